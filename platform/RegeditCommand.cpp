// RegeditCommand.cpp: parsing the registry editor's options and running merges and exports.
#include "platform/RegeditCommand.h"

#include "common/Text.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"

#include <new>

namespace platform {
namespace {

constexpr std::string_view kUsage =
    "usage: regedit /s FILE...  |  regedit [/s] /e FILE [KEY]  |  regedit [/s] /a FILE [KEY]\n";

// "/x" or "-x" (one letter) is an option; a longer "/..." is a host path.
bool isOption(std::string_view arg) { return arg.size() == 2 && (arg[0] == '/' || arg[0] == '-'); }

char optionLetter(std::string_view arg)
{
    const char c = arg[1];
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A merge's message names the file by its host path first: the caller's own name for it goes there.
std::string withoutFile(const std::string& message, const std::filesystem::path& file)
{
    const std::string hostPrefix = file.string() + ": ";
    return message.rfind(hostPrefix, 0) == 0 ? message.substr(hostPrefix.size()) : message;
}

int run(const std::vector<std::string>& arguments, const Machine& machine,
    const RegeditPathResolver& resolvePath, std::string& errors)
{
    bool silent = false;
    char exportMode = 0; // 'e' or 'a'
    std::vector<std::string> rest;
    for (const std::string& arg : arguments) {
        if (!isOption(arg)) {
            rest.push_back(arg);
            continue;
        }
        switch (optionLetter(arg)) {
        case 's': silent = true; break;
        case 'e':
        case 'a':
            if (exportMode && exportMode != optionLetter(arg)) {
                errors += "regedit: /e and /a cannot be combined\n";
                errors += kUsage;
                return 1;
            }
            exportMode = optionLetter(arg);
            break;
        default:
            errors += "regedit: unknown option " + arg + "\n";
            errors += kUsage;
            return 1;
        }
    }
    if (rest.empty() || (exportMode && rest.size() > 2) || (!exportMode && !silent)) {
        if (!exportMode && !silent && !rest.empty())
            errors += "regedit: merging needs /s\n";
        errors += kUsage;
        return 1;
    }

    Registry registry;
    std::string message;
    if (registry.open(machine.registryPath(), Registry::OpenMode::CreateIfMissing, &message) !=
        WinError::Success) {
        errors += "regedit: " + message + "\n";
        return 1;
    }

    if (exportMode) {
        std::filesystem::path file;
        if (resolvePath(rest[0], file, message) != WinError::Success) {
            errors += "regedit: " + rest[0] + ": " + message + "\n";
            return 1;
        }
        const std::string key = rest.size() > 1 ? rest[1] : std::string();
        const RegFileFormat format =
            exportMode == 'e' && !isWin9x(machine.os()) ? RegFileFormat::Version5 : RegFileFormat::Regedit4;
        if (exportRegFile(registry, file, key, format, &message) != WinError::Success) {
            errors += "regedit: cannot export to " + rest[0] + ": " + message + "\n";
            return 1;
        }
        return 0;
    }

    int exitCode = 0;
    for (const std::string& arg : rest) {
        std::filesystem::path file;
        if (resolvePath(arg, file, message) != WinError::Success) {
            errors += "regedit: " + arg + ": " + message + "\n";
            exitCode = 1;
            continue;
        }
        RegFileMergeReport report;
        const WinError e = mergeRegFile(registry, file, report);
        for (const RegFileWarning& w : report.warnings)
            errors += "regedit: " + arg + ":" + std::to_string(w.line) +
                (w.kept ? ": value kept cut short: " : ": line passed over: ") + w.text + "\n";
        if (e != WinError::Success) {
            errors += "regedit: " + arg + ": " + withoutFile(report.message, file) + "\n";
            exitCode = 1;
        }
    }
    return exitCode;
}

} // namespace

WinError hostPathResolver(std::string_view argument, std::filesystem::path& host, std::string& message)
{
    if (argument.empty()) {
        message = "empty file name";
        return WinError::InvalidName;
    }
    host = std::filesystem::path(std::string(argument));
    return WinError::Success;
}

RegeditPathResolver machinePathResolver(const Machine& machine)
{
    return [&machine](std::string_view argument, std::filesystem::path& host, std::string& message) {
        const bool driveAbsolute = argument.size() >= 3 && common::isAsciiLetter(argument[0]) &&
            argument[1] == ':' && (argument[2] == '\\' || argument[2] == '/');
        const bool unc = argument.size() >= 2 && (argument[0] == '\\' || argument[0] == '/') &&
            (argument[1] == '\\' || argument[1] == '/') && argument.substr(0, 2) != "//";
        if (driveAbsolute || unc)
            return machine.hostPath(argument, host, &message);
        if (!argument.empty() && argument.front() == '/')
            return hostPathResolver(argument, host, message);
        message = "not a full path (a drive letter or \\\\server\\share path is needed)";
        return WinError::InvalidName;
    };
}

int runRegedit(const std::vector<std::string>& arguments, const Machine& machine,
    const RegeditPathResolver& resolvePath, std::string& errors)
{
    try {
        return run(arguments, machine, resolvePath, errors);
    } catch (const std::bad_alloc&) {
        errors += "regedit: out of memory\n";
    } catch (...) {
        errors += "regedit: internal failure\n";
    }
    return 1;
}

} // namespace platform
