// PathResolver.h: turns Windows paths of the running machine (drive letters, mapped letters,
// UNC shares of the network, 8.3 names) into host paths inside some machine's drive folders.
#pragma once

#include "platform/MachineConfig.h"
#include "platform/WinError.h"
#include "platform/WinPath.h"
#include "platform/WindowsName.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The name of the per-folder file that holds Windows attributes; never listed, never matched.
inline constexpr std::string_view kAttributeSidecar = ":attributes";

// One resolved path. `host` lies inside `root` (the drive or share folder on the host): existing
// components carry their stored case, the first missing one and all after it are as written.
struct ResolvedPath {
    WinError error = WinError::Success;
    WinPath path;                             // the Windows path with the stored case of existing components
    std::filesystem::path host;               // empty unless error == Success
    std::filesystem::path root;               // the drive or share folder `host` lies in
    bool exists = false;                      // the whole path names an existing file or folder
    DriveType driveType = DriveType::Unknown; // the type of the drive or, for UNC paths, Remote
    std::filesystem::path machineFolder;      // the machine whose drives hold `host`

    bool ok() const { return error == WinError::Success; }
};

// One entry of a folder as the layer lists it.
struct FolderEntry {
    std::string name; // stored spelling
    bool isFolder = false;
};

class PathResolver {
public:
    // Reads the remote path ("\\PC\C$") of a mapped drive letter, or nothing when the letter is
    // not mapped. The default reads the running machine's registry (set by Machine).
    using MappingLookup = std::function<std::optional<std::string>(char letter)>;

    PathResolver() = default;
    PathResolver(std::filesystem::path machineFolder, MachineConfig config, MappingLookup mappings = {});

    const std::filesystem::path& machineFolder() const { return m_machineFolder; }
    const MachineConfig& config() const { return m_config; }
    std::filesystem::path networkFolder() const { return m_machineFolder.parent_path(); }

    // Resolves a Windows path. Errors (nothing is created or changed):
    //   InvalidName   - relative text, a character names cannot hold, wildcards
    //   PathNotFound  - ".." above the drive root or share (never a host path outside the machine)
    //   InvalidDrive  - a letter that is neither a drive of the machine nor mapped
    //   NotReady      - a removable or CD drive without a medium (its folder is missing)
    //   BadNetPath    - a UNC server that is not a reachable machine of the network
    //   BadNetName    - a share that the server does not expose
    // With allowWildcards, "*" and "?" may stand in the last component (left unresolved).
    ResolvedPath resolve(std::string_view windowsPath, bool allowWildcards = false) const;
    ResolvedPath resolve(const WinPath& path, bool allowWildcards = false) const;

    // The drive letter's type: a drive of the machine, Remote when mapped, NoRootDir otherwise.
    DriveType driveType(char letter) const;
    // The remote path a letter is mapped to, if any.
    std::optional<std::string> mapping(char letter) const;

    // The entries of a host folder in case-insensitive name order: only names Windows could hold
    // (ListingNameFilter), and of names equal but for case only the first; host links and the
    // layer's own files (the attribute sidecar) are never listed. The names left out by the rule
    // are added to `leftOut` when it is given.
    static std::vector<FolderEntry> listHost(
        const std::filesystem::path& folder, std::vector<LeftOutName>* leftOut = nullptr);

    // The long form with the stored case of an existing path; empty when it does not exist.
    std::string longPath(std::string_view windowsPath) const;

private:
    ResolvedPath resolveBelow(
        ResolvedPath base, const std::vector<std::string>& parts, bool wildcardLeaf) const;

    std::filesystem::path m_machineFolder;
    MachineConfig m_config;
    MappingLookup m_mappings;
};

// The error a Windows path syntax problem gives.
WinError syntaxError(PathSyntax syntax);

} // namespace platform
