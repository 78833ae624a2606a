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
    std::vector<std::string>
        profiles;    // "Documents and Settings" (2000, XP) and the Windows folder's "Profiles"
    std::string app; // the wizard's own folder
};

// The guarded folders of the machine `machineFolder`; with `appOnly` only the machine and the
// wizard's folder (what the kept-place rule needs, asked for every folder a copy walk enters).
Guarded guardedOf(const PathResolver& running, const fs::path& machineFolder, std::string_view appFolder,
    bool appOnly = false)
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
    if (!appFolder.empty())
        g.app = hostOf(std::string(appFolder));
    if (appOnly)
        return g;
    g.windows = hostOf(config.windowsFolder);
    g.programFiles = hostOf(config.windowsFolder.substr(0, 2) + "\\Program Files");
    for (const std::string& system :
        {config.systemFolder, config.windowsFolder + "\\SYSTEM", config.windowsFolder + "\\SYSTEM32"})
        if (std::string key = hostOf(system); !key.empty())
            g.systems.push_back(std::move(key));
    for (const std::string& profiles :
        {config.windowsFolder.substr(0, 2) + "\\Documents and Settings", config.windowsFolder + "\\Profiles"})
        if (std::string key = hostOf(profiles); !key.empty())
            g.profiles.push_back(std::move(key));
    return g;
}

// The folder a host path key lies in ("" for none).
std::string parentOf(const std::string& key)
{
    const std::size_t slash = key.rfind('/');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

bool isDriveRoot(const std::string& key, const Guarded& g)
{
    const std::string drives = g.machine + "/drives";
    return isBelow(key, drives) && key.find('/', drives.size() + 1) == std::string::npos;
}

// True for `at` in `key` starting "/start menu/programs/startup", ending there or below it.
bool startupAt(const std::string& key, std::size_t at)
{
    static const std::string kStartup = "/start menu/programs/startup";
    const std::size_t end = at + kStartup.size();
    return key.size() >= end && key.compare(at, kStartup.size(), kStartup) == 0 &&
        (key.size() == end || key[end] == '/');
}

// A Startup folder of a profile or anything in one: below a profiles folder, a profile's
// "Start Menu\Programs\Startup"; a Windows 98 PC's own in its Windows folder and in its "All Users".
bool inStartupFolder(const std::string& key, const Guarded& g)
{
    for (const std::string& profiles : g.profiles) {
        if (!isBelow(key, profiles))
            continue;
        const std::size_t slash = key.find('/', profiles.size() + 1);
        if (slash != std::string::npos && startupAt(key, slash))
            return true;
    }
    if (g.windows.empty())
        return false;
    for (const std::string& own : {g.windows, g.windows + "/all users"})
        if (isBelow(key, own) && startupAt(key, own.size()))
            return true;
    return false;
}

// A profile's registry hive or one of its logs.
bool isHiveName(std::string_view name)
{
    static constexpr std::array<std::string_view, 9> kHives = {"ntuser.dat", "ntuser.dat.log",
        "ntuser.dat.log1", "ntuser.dat.log2", "ntuser.man", "usrclass.dat", "usrclass.dat.log",
        "usrclass.dat.log1", "usrclass.dat.log2"};
    return std::any_of(
        kHives.begin(), kHives.end(), [&](std::string_view h) { return common::equalsNoCaseAscii(name, h); });
}

bool isRootFileName(std::string_view name)
{
    static constexpr std::array<std::string_view, 8> kRootFiles = {"boot.ini", "ntldr", "ntdetect.com",
        "bootfont.bin", "io.sys", "msdos.sys", "pagefile.sys", "hiberfil.sys"};
    return std::any_of(kRootFiles.begin(), kRootFiles.end(),
        [&](std::string_view f) { return common::equalsNoCaseAscii(name, f); });
}

// What a file of the step's kind must be, as a refusal says it.
std::string_view kindText(SteeredFile kind)
{
    switch (kind) {
    case SteeredFile::Any: break;
    case SteeredFile::ScreenSaver: return "a screen saver (.scr)";
    case SteeredFile::Wallpaper: return "a picture or a page";
    case SteeredFile::PersonalFolders: return "a personal folders file (.pst)";
    }
    return "any file";
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

namespace {

// folderCopyRefusal of a resolved folder's key on the machine of `g`.
std::string copyRefusalOf(const std::string& key, const Guarded& g)
{
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
    for (const std::string& profiles : g.profiles) {
        if (key == profiles)
            return "the profiles folder";
        if (parentOf(key) == profiles)
            return "a profile's own folder";
    }
    if (!g.app.empty() && (atOrBelow(key, g.app) || isBelow(g.app, key)))
        return "the wizard's own folder or a folder holding it";
    return {};
}

} // namespace

std::string folderCopyRefusal(
    const PathResolver& resolver, std::string_view folder, std::string_view appFolder)
{
    if (std::string why = pathTextRefusal(folder); !why.empty())
        return why;
    const ResolvedPath r = resolver.resolve(folder);
    if (!r.ok())
        return {}; // nothing can be copied from or to it; the copy says so
    return copyRefusalOf(keyOf(r.host), guardedOf(resolver, r.machineFolder, appFolder));
}

std::string steeredFolderRefusal(
    const PathResolver& resolver, std::string_view folder, SteeredFolder kind, std::string_view appFolder)
{
    if (std::string why = pathTextRefusal(folder); !why.empty())
        return why;
    const ResolvedPath r = resolver.resolve(folder);
    if (!r.ok())
        return {};
    const Guarded g = guardedOf(resolver, r.machineFolder, appFolder);
    const std::string key = keyOf(r.host);
    if (std::string why = copyRefusalOf(key, g); !why.empty())
        return why;
    if (inStartupFolder(key, g))
        return "a Startup folder or a folder in one";
    if (!g.windows.empty() && atOrBelow(key, g.windows + "/tasks"))
        return "the Tasks folder or a folder in it";
    if (kind == SteeredFolder::Application && !g.windows.empty() && isBelow(key, g.windows))
        return "in the Windows folder";
    return {};
}

std::string windowsFolderRefusal(
    const PathResolver& resolver, std::string_view folder, std::string_view systemFolder, std::string* stored)
{
    if (std::string why = pathTextRefusal(folder); !why.empty())
        return why;
    const auto isFolder = [](const ResolvedPath& r) {
        std::error_code ec;
        return r.ok() && r.exists && fs::is_directory(fs::symlink_status(r.host, ec));
    };
    const ResolvedPath r = resolver.resolve(folder);
    if (!isFolder(r))
        return "no such folder";
    const Guarded g = guardedOf(resolver, r.machineFolder, {});
    const std::string key = keyOf(r.host);
    if (!isDriveRoot(parentOf(key), g))
        return "not a folder directly below a drive root";
    if (!isFolder(resolver.resolve(r.path.child(systemFolder).text())))
        return "it holds no " + std::string(systemFolder) + " folder";
    // A system folder planted in another folder makes no Windows folder of it.
    if (!g.windows.empty() && key != g.windows)
        return "not the Windows folder of its PC";
    if (stored)
        *stored = r.path.leaf();
    return {};
}

std::string shortNameRefusal(
    const PathResolver& resolver, std::string_view source, std::string_view destination)
{
    WinPath sourceWritten;
    WinPath destWritten;
    if (WinPath::parse(source, sourceWritten) != PathSyntax::Ok ||
        WinPath::parse(destination, destWritten) != PathSyntax::Ok)
        return {};
    const ResolvedPath s = resolver.resolve(source);
    const ResolvedPath d = resolver.resolve(destination);
    const std::vector<std::string>& sw = sourceWritten.parts();
    const std::vector<std::string>& dw = destWritten.parts();
    if (!s.ok() || !d.ok() || s.path.parts().size() != sw.size() || d.path.parts().size() != dw.size())
        return {};
    const std::vector<std::string>& ss = s.path.parts();
    const std::vector<std::string>& ds = d.path.parts();
    for (std::size_t i = 1; i <= std::min(sw.size(), dw.size()); ++i) {
        const std::string& sourceName = sw[sw.size() - i];
        const std::string& destName = dw[dw.size() - i];
        const std::string& destStored = ds[ds.size() - i];
        // The destination found the part under another entry's short name, while the source's
        // entry is plainly called so.
        if (!common::equalsNoCaseAscii(destName, destStored) &&
            common::equalsNoCaseAscii(sourceName, ss[ss.size() - i]) &&
            common::equalsNoCaseAscii(sourceName, destName))
            return "the short name of \"" + destStored + "\" here";
    }
    return {};
}

std::string fileWriteRefusal(
    const PathResolver& resolver, std::string_view target, SteeredFile kind, std::string_view appFolder)
{
    if (std::string why = pathTextRefusal(target); !why.empty())
        return why;
    const ResolvedPath r = resolver.resolve(target);
    if (!r.ok())
        return {};
    if (std::string why = keptPlaceRefusal(resolver, target, appFolder); !why.empty())
        return why;
    const bool own = ofKind(r.path.leaf(), kind);
    if (kind != SteeredFile::Any && !own)
        return "not " + std::string(kindText(kind));
    const Guarded g = guardedOf(resolver, r.machineFolder, appFolder);
    if (!r.exists || g.windows.empty() || !isBelow(keyOf(r.host), g.windows) || own)
        return {};
    return "would replace a file of the Windows folder";
}

bool isKeptFileName(std::string_view name) { return isHiveName(name) || isRootFileName(name); }

std::string keptPlaceRefusal(
    const PathResolver& resolver, std::string_view target, std::string_view appFolder)
{
    const ResolvedPath r = resolver.resolve(target);
    if (!r.ok())
        return {};
    const std::string leaf = r.path.leaf();
    if (isHiveName(leaf))
        return "a profile's registry hive";
    const Guarded g = guardedOf(resolver, r.machineFolder, appFolder, true);
    const std::string key = keyOf(r.host);
    if (isRootFileName(leaf) && isDriveRoot(parentOf(key), g))
        return "a start-up file of a drive root";
    if (!g.app.empty() && atOrBelow(key, g.app))
        return "in the wizard's own folder";
    return {};
}

KeptPlaces::KeptPlaces(const PathResolver& resolver, std::string_view destination, std::string_view appFolder)
    : m_resolver(&resolver)
    , m_appFolder(appFolder)
    , m_destination(destination)
{
    while (m_destination.size() > 2 && (m_destination.back() == '\\' || m_destination.back() == '/'))
        m_destination.pop_back();
    const ResolvedPath r = resolver.resolve(destination);
    if (!r.ok())
        return;
    const Guarded g = guardedOf(resolver, r.machineFolder, appFolder, true);
    m_destKey = keyOf(r.host);
    m_drives = g.machine + "/drives";
    m_appKey = g.app;
}

std::string KeptPlaces::refusal(std::string_view destPath) const
{
    const std::size_t at = m_destination.size();
    if (m_destKey.empty() || destPath.size() <= at + 1 || destPath[at] != '\\' ||
        !common::equalsNoCaseAscii(destPath.substr(0, at), m_destination))
        return keptPlaceRefusal(*m_resolver, destPath, m_appFolder);
    std::string key = m_destKey;
    for (const char c : destPath.substr(at))
        key += c == '\\' ? '/' : common::lowerAscii(c);
    const std::string leaf(destPath.substr(destPath.rfind('\\') + 1));
    if (isHiveName(leaf))
        return "a profile's registry hive";
    const std::string parent = parentOf(key);
    if (isRootFileName(leaf) && isBelow(parent, m_drives) &&
        parent.find('/', m_drives.size() + 1) == std::string::npos)
        return "a start-up file of a drive root";
    if (!m_appKey.empty() && atOrBelow(key, m_appKey))
        return "in the wizard's own folder";
    return {};
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
