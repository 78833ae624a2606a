// TransferGlobals.cpp: the transfer layer's shared state and its bridges to the wizard core.
#include "wizard/transfer/TransferGlobals.h"

#include "wizard/core/LogFile.h"
#include "wizard/core/WizardCore.h"
#include "wizard/transfer/TransferText.h"

#include <algorithm>

namespace wizard {
namespace {

TransferHooks& hooks()
{
    static TransferHooks installed;
    return installed;
}

} // namespace

void DriveMap::set(const std::string& sourceDrive, const std::string& localDrive)
{
    m_map[upperAscii(sourceDrive)] = localDrive;
}

std::optional<std::string> DriveMap::lookup(const std::string& sourceDrive) const
{
    const auto it = m_map.find(upperAscii(sourceDrive));
    if (it == m_map.end() || it->second.empty())
        return std::nullopt;
    return it->second;
}

std::vector<std::pair<std::string, std::string>> DriveMap::entries() const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (const auto& [source, local] : m_map)
        if (!local.empty())
            out.emplace_back(source, local);
    return out;
}

std::string DriveMap::sourcePathOf(const std::string& path) const
{
    for (const auto& [source, local] : entries())
        if (path.size() >= local.size() && upperAscii(path.substr(0, local.size())) == upperAscii(local))
            return source + path.substr(local.size());
    return path;
}

std::vector<std::string> DriveMap::localDrives() const
{
    std::vector<std::string> out;
    for (const auto& [source, local] : entries()) {
        bool seen = false;
        for (const std::string& known : out)
            seen = seen || upperAscii(known) == upperAscii(local);
        if (!seen)
            out.push_back(local);
    }
    return out;
}

ExitState exitStateWithDriveMap()
{
    ExitState state = sharedExitState();
    state.mappedDrives = transferGlobals().driveMap.localDrives();
    return state;
}

TransferGlobals& transferGlobals()
{
    static TransferGlobals globals;
    return globals;
}

TransferHooks setTransferHooks(TransferHooks newHooks)
{
    TransferHooks previous = std::move(hooks());
    hooks() = std::move(newHooks);
    return previous;
}

void writeTransferLog(const std::string& process, const std::string& status)
{
    if (hooks().log)
        hooks().log(process, status);
    else
        writeLogText(process, status);
}

std::string scriptVariable(const std::string& name)
{
    if (hooks().variable)
        return hooks().variable(name).value_or(std::string());
    return core().variables.lookup(name).value_or(std::string());
}

std::string resolveVariablePath(const std::string& text)
{
    if (text.find('$') == std::string::npos)
        return text;
    if (text.find('\\') == std::string::npos)
        return text.front() == '$' ? scriptVariable(text) : text;
    std::string out;
    size_t start = 0;
    while (true) {
        const size_t slash = text.find('\\', start);
        std::string part = text.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (!part.empty() && part.front() == '$') {
            part = scriptVariable(part);
            if (part.empty())
                return {};
        }
        out += part;
        if (slash == std::string::npos)
            break;
        out += '\\';
        start = slash + 1;
    }
    return out;
}

} // namespace wizard
