// PathResolver.cpp: resolution of Windows paths onto the host folders of the network's machines.
#include "platform/PathResolver.h"

#include <optional>

#include "platform/CodePage.h"
#include "platform/EventLog.h"
#include "platform/ShortName.h"

#include <algorithm>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

namespace {

// The stored name of the entry of `entries` that `part` names: exact spelling first, then any
// case, then a generated short name.
const FolderEntry* matchEntry(const std::vector<FolderEntry>& entries, std::string_view part)
{
    for (const auto& e : entries)
        if (e.name == part)
            return &e;
    for (const auto& e : entries)
        if (equalsNoCase(e.name, part))
            return &e;
    if (part.find('~') == std::string_view::npos)
        return nullptr;
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const auto& e : entries)
        names.push_back(e.name);
    const std::optional<std::size_t> found = findByShortName(names, part);
    return found ? &entries[*found] : nullptr;
}

// Whether the host path lies inside the root, compared as written: the resolution never follows a
// host link (lookupEntry and the listings refuse them and a name a link carries is an error), so
// the written path is where a file operation lands. A ".." that slipped through is caught here.
bool isWithin(const fs::path& host, const fs::path& root)
{
    const fs::path h = host.lexically_normal();
    const fs::path r = root.lexically_normal();
    auto hi = h.begin();
    for (auto ri = r.begin(); ri != r.end(); ++ri, ++hi) {
        if (ri->empty())
            continue;
        if (hi == h.end() || *hi != *ri)
            return false;
    }
    return true;
}

// A host link in `folder` whose name is `part` (without regard to case). Links are no part of an
// emulated drive, so such a name can be neither used nor created: a write through it would follow
// the link, dangling or not, wherever it points.
bool isHostLinkName(const fs::path& folder, const std::string& part)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (it->is_symlink(linkEc) && equalsNoCase(it->path().filename().string(), part))
            return true;
    }
    return false;
}

// The entry of a host folder that `part` names, as matchEntry picks it from the sorted listing,
// found without listing and sorting the whole folder for every component: the exact spelling is
// one lookup, any other case one pass over the folder, and only a short name needs the sorted
// listing. `linkNamed` tells whether a host link carries the name (it is never an entry).
std::optional<FolderEntry> lookupEntry(const fs::path& folder, const std::string& part, bool& linkNamed)
{
    linkNamed = false;
    std::error_code ec;
    if (part.find(':') == std::string::npos) {
        const fs::file_status st = fs::symlink_status(folder / part, ec);
        if (!ec && fs::exists(st) && !fs::is_symlink(st))
            return FolderEntry{part, fs::is_directory(st)};
    }
    std::optional<FolderEntry> best;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.find(':') != std::string::npos || !equalsNoCase(name, part))
            continue;
        std::error_code linkEc;
        if (it->is_symlink(linkEc)) {
            linkNamed = true;
            continue;
        }
        if (!best || nameLess(name, best->name)) {
            std::error_code typeEc;
            best = FolderEntry{std::move(name), it->is_directory(typeEc)};
        }
    }
    if (best || part.find('~') == std::string::npos)
        return best;
    const auto entries = PathResolver::listHost(folder);
    if (const FolderEntry* match = matchEntry(entries, part))
        return *match;
    return std::nullopt;
}

} // namespace

WinError syntaxError(PathSyntax syntax)
{
    switch (syntax) {
    case PathSyntax::Ok: return WinError::Success;
    case PathSyntax::Escapes: return WinError::PathNotFound;
    case PathSyntax::Relative:
    case PathSyntax::BadName: break;
    }
    return WinError::InvalidName;
}

PathResolver::PathResolver(fs::path machineFolder, MachineConfig config, MappingLookup mappings)
    : m_machineFolder(std::move(machineFolder))
    , m_config(std::move(config))
    , m_mappings(std::move(mappings))
{}

std::vector<FolderEntry> PathResolver::listHost(const fs::path& folder, std::vector<LeftOutName>* leftOut)
{
    std::vector<FolderEntry> entries;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        std::error_code linkEc;
        // Host links are no part of an emulated drive: never listed, never followed by name.
        if (it->is_symlink(linkEc))
            continue;
        std::error_code typeEc;
        entries.push_back({std::move(name), it->is_directory(typeEc)});
    }
    // In nameLess order, each name folded once: a folder of many thousand entries sorts in a
    // fraction of the time that folding at every comparison takes.
    std::vector<std::pair<std::u32string, FolderEntry>> keyed;
    keyed.reserve(entries.size());
    for (FolderEntry& e : entries)
        keyed.emplace_back(foldedKey(e.name), std::move(e));
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first : a.second.name < b.second.name;
    });
    ListingNameFilter filter;
    entries.clear();
    for (auto& [key, e] : keyed)
        if (filter.admit(e.name, e.isFolder))
            entries.push_back(std::move(e));
    if (leftOut)
        leftOut->insert(leftOut->end(), std::make_move_iterator(filter.leftOut().begin()),
            std::make_move_iterator(filter.leftOut().end()));
    return entries;
}

std::optional<std::string> PathResolver::mapping(char letter) const
{
    if (!m_mappings)
        return std::nullopt;
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return m_mappings(letter);
}

DriveType PathResolver::driveType(char letter) const
{
    if (const auto* d = m_config.drive(letter))
        return d->type;
    if (mapping(letter))
        return DriveType::Remote;
    return DriveType::NoRootDir;
}

ResolvedPath PathResolver::resolve(std::string_view windowsPath, bool allowWildcards) const
{
    WinPath path;
    const PathSyntax syntax = WinPath::parse(windowsPath, path);
    if (syntax != PathSyntax::Ok) {
        ResolvedPath r;
        r.error = syntaxError(syntax);
        return r;
    }
    return resolve(path, allowWildcards);
}

ResolvedPath PathResolver::resolve(const WinPath& path, bool allowWildcards) const
{
    ResolvedPath r;
    if (path.hasWildcards() && !allowWildcards) {
        r.error = WinError::InvalidName;
        return r;
    }
    std::error_code ec;

    if (path.kind() == WinPath::Kind::Drive) {
        if (const DriveEntry* drive = m_config.drive(path.drive())) {
            r.root = driveFolder(m_machineFolder, drive->letter);
            r.driveType = drive->type;
            r.machineFolder = m_machineFolder;
            if (!fs::is_directory(r.root, ec)) {
                r.error = WinError::NotReady;
                return r;
            }
            r.path = path.withParts({});
            r.host = r.root;
            r.exists = true;
            return resolveBelow(r, path.parts(), allowWildcards);
        }
        const auto remote = mapping(path.drive());
        if (!remote) {
            r.error = WinError::InvalidDrive;
            return r;
        }
        WinPath unc;
        if (WinPath::parse(*remote, unc) != PathSyntax::Ok || unc.kind() != WinPath::Kind::Unc) {
            r.error = WinError::BadNetPath;
            return r;
        }
        std::vector<std::string> parts = unc.parts();
        parts.insert(parts.end(), path.parts().begin(), path.parts().end());
        ResolvedPath viaShare = resolve(unc.withParts(std::move(parts)), allowWildcards);
        if (viaShare.ok()) {
            // Keep the caller's view: the mapped letter with the stored case below it.
            std::vector<std::string> tail(
                viaShare.path.parts().begin() + static_cast<long>(unc.parts().size()),
                viaShare.path.parts().end());
            viaShare.path = path.withParts(std::move(tail));
        }
        return viaShare;
    }

    fs::path serverFolder;
    MachineConfig server;
    std::string ambiguity;
    if (!findMachine(networkFolder(), path.server(), serverFolder, server, &ambiguity) || !server.reachable) {
        if (!ambiguity.empty())
            appendMachineEvent(m_machineFolder, "network", ambiguity);
        r.error = WinError::BadNetPath;
        return r;
    }
    const ShareEntry* share = server.share(path.share());
    WinPath exposed;
    if (!share || WinPath::parse(share->folder, exposed) != PathSyntax::Ok ||
        !server.drive(exposed.drive())) {
        r.error = WinError::BadNetName;
        return r;
    }
    // The exposed folder, resolved on the server's own drive (a share never crosses a mapping).
    ResolvedPath base;
    base.root = driveFolder(serverFolder, exposed.drive());
    base.machineFolder = serverFolder;
    base.driveType = DriveType::Remote;
    base.path = exposed.withParts({});
    base.host = base.root;
    base.exists = fs::is_directory(base.root, ec);
    base = resolveBelow(base, exposed.parts(), false);
    if (!base.ok() || !base.exists || !fs::is_directory(base.host, ec)) {
        r.error = WinError::BadNetName;
        return r;
    }
    base.root = base.host;
    base.path = WinPath();
    // The server's own spelling of its name and share.
    WinPath::parse("\\\\" + server.computerName + "\\" + share->name, base.path);
    return resolveBelow(base, path.parts(), allowWildcards);
}

ResolvedPath PathResolver::resolveBelow(
    ResolvedPath r, const std::vector<std::string>& parts, bool wildcardLeaf) const
{
    std::vector<std::string> stored = r.path.parts();
    bool present = r.exists;
    bool isFolder = true;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        const bool last = i + 1 == parts.size();
        bool linkNamed = false;
        if (present && isFolder && !(last && wildcardLeaf)) {
            if (const std::optional<FolderEntry> match = lookupEntry(r.host, part, linkNamed)) {
                stored.push_back(match->name);
                r.host /= match->name;
                isFolder = match->isFolder;
                continue;
            }
        } else if (present && isFolder) {
            linkNamed = isHostLinkName(r.host, part);
        }
        if (linkNamed) {
            r.error = WinError::PathNotFound;
            r.host.clear();
            r.exists = false;
            return r;
        }
        present = false;
        stored.push_back(part);
        r.host /= part;
    }
    r.exists = present && !(wildcardLeaf && !parts.empty());
    r.path = r.path.withParts(std::move(stored));
    // Whether or not the whole path exists, it must not lead out of the root: a write would
    // otherwise land outside the machine.
    if (!isWithin(r.host, r.root)) {
        r.error = WinError::PathNotFound;
        r.host.clear();
        r.exists = false;
    }
    return r;
}

std::string PathResolver::longPath(std::string_view windowsPath) const
{
    const ResolvedPath r = resolve(windowsPath);
    if (!r.ok() || !r.exists)
        return {};
    return r.path.text();
}

} // namespace platform
