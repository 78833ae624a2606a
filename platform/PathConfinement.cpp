// PathConfinement.cpp: the folders no copy a source value steers may reach, found on the machine
// the path resolves into and compared as host paths.
#include "platform/PathConfinement.h"

#include "common/Text.h"
#include "platform/MachineConfig.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <vector>

namespace platform {
namespace {

namespace fs = std::filesystem;

// A host path as the comparisons see it: normal form, "/" separated, in lower case, no closing "/".
std::string keyOf(const fs::path& host)
{
    std::string key = host.lexically_normal().generic_string();
    while (key.size() > 1 && key.back() == '/')
        key.pop_back();
    std::transform(key.begin(), key.end(), key.begin(),
        [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

bool isBelow(const std::string& key, const std::string& folder)
{
    return key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
        key[folder.size()] == '/';
}

bool atOrBelow(const std::string& key, const std::string& folder)
{
    return key == folder || isBelow(key, folder);
}

// The guarded folders of one machine, as host path keys.
struct Guarded {
    std::string machine;
    std::string windows;
    std::string programFiles;
    std::vector<std::string> systems; // the configured one, and SYSTEM and SYSTEM32 of the Windows folder
};

Guarded guardedOf(const PathResolver& running, const fs::path& machineFolder)
{
    MachineConfig config;
    std::string error;
    if (machineFolder == running.machineFolder())
        config = running.config();
    else
        loadMachineConfig(machineFolder, config, error); // a config it cannot read keeps the defaults
    const PathResolver own(machineFolder, config, [](char) { return std::nullopt; });
    const auto hostOf = [&](const std::string& windowsPath) {
        const ResolvedPath r = own.resolve(windowsPath);
        return r.ok() ? keyOf(r.host) : std::string();
    };
    Guarded g;
    g.machine = keyOf(machineFolder);
    g.windows = hostOf(config.windowsFolder);
    g.programFiles = hostOf(config.windowsFolder.substr(0, 2) + "\\Program Files");
    for (const std::string& system :
        {config.systemFolder, config.windowsFolder + "\\SYSTEM", config.windowsFolder + "\\SYSTEM32"})
        if (std::string key = hostOf(system); !key.empty())
            g.systems.push_back(std::move(key));
    return g;
}

bool isDriveRoot(const std::string& key, const Guarded& g)
{
    const std::string drives = g.machine + "/drives";
    return isBelow(key, drives) && key.find('/', drives.size() + 1) == std::string::npos;
}

bool ofKind(std::string_view name, SteeredFile kind)
{
    static constexpr std::array<std::string_view, 10> kPictures = {
        ".bmp", ".dib", ".jpg", ".jpeg", ".jpe", ".gif", ".png", ".htm", ".html", ".tif"};
    switch (kind) {
    case SteeredFile::Any: return false;
    case SteeredFile::ScreenSaver: return common::endsWithNoCaseAscii(name, ".scr");
    case SteeredFile::PersonalFolders: return common::endsWithNoCaseAscii(name, ".pst");
    case SteeredFile::Wallpaper:
        return std::any_of(kPictures.begin(), kPictures.end(),
            [&](std::string_view e) { return common::endsWithNoCaseAscii(name, e); });
    }
    return false;
}

} // namespace

std::string pathTextRefusal(std::string_view path)
{
    std::size_t at = 0;
    std::size_t skip = 0; // the server and share of a UNC path are no folder names
    if (path.size() >= 2 && path[1] == ':')
        at = 2;
    else if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'))
        skip = 2;
    while (at < path.size()) {
        const std::size_t end = std::min(path.find_first_of("\\/", at), path.size());
        const std::string_view part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty())
            continue;
        if (skip > 0) {
            --skip;
            continue;
        }
        if (part == "." || part == "..")
            return "a \"" + std::string(part) + "\" part";
        if (const NameFault fault = windowsNameFault(part); fault != NameFault::None)
            return std::string(nameFaultText(fault)) + ": " + printableName(part);
    }
    return {};
}

std::string folderCopyRefusal(const PathResolver& resolver, std::string_view folder)
{
    if (std::string why = pathTextRefusal(folder); !why.empty())
        return why;
    const ResolvedPath r = resolver.resolve(folder);
    if (!r.ok())
        return {}; // nothing can be copied from or to it; the copy says so
    const Guarded g = guardedOf(resolver, r.machineFolder);
    const std::string key = keyOf(r.host);
    if (isDriveRoot(key, g))
        return "a drive root";
    if (!g.windows.empty() && key == g.windows)
        return "the Windows folder";
    if (!g.windows.empty() && isBelow(g.windows, key))
        return "a folder holding the Windows folder";
    for (const std::string& system : g.systems)
        if (atOrBelow(key, system))
            return "a system folder or a folder in one";
    if (!g.programFiles.empty() && key == g.programFiles)
        return "the Program Files folder";
    return {};
}

std::string fileWriteRefusal(const PathResolver& resolver, std::string_view target, SteeredFile kind)
{
    if (std::string why = pathTextRefusal(target); !why.empty())
        return why;
    const ResolvedPath r = resolver.resolve(target);
    if (!r.ok() || !r.exists)
        return {};
    const Guarded g = guardedOf(resolver, r.machineFolder);
    if (g.windows.empty() || !isBelow(keyOf(r.host), g.windows) || ofKind(r.path.leaf(), kind))
        return {};
    return "would replace a file of the Windows folder";
}

std::optional<std::string> partBelow(
    const PathResolver& resolver, std::string_view path, std::string_view folder)
{
    const ResolvedPath p = resolver.resolve(path);
    const ResolvedPath f = resolver.resolve(folder);
    if (!p.ok() || !f.ok() || p.machineFolder != f.machineFolder || !atOrBelow(keyOf(p.host), keyOf(f.host)))
        return std::nullopt;
    const std::size_t depth = f.path.parts().size();
    const std::vector<std::string>& parts = p.path.parts();
    // Both name one drive of one machine: the path's parts beyond the folder's are the rest.
    if (p.path.kind() != f.path.kind() || parts.size() < depth)
        return std::nullopt;
    std::string rest;
    for (std::size_t i = depth; i < parts.size(); ++i)
        rest += (rest.empty() ? "" : "\\") + parts[i];
    return rest;
}

} // namespace platform
