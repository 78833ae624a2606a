// Network.h: the network as one machine sees it: name resolution, reachability, shares, the
// computer browser, drive connections (WNet add/cancel, remembered in HKEY_CURRENT_USER\Network),
// drive types and space, and the parallel ports.
#pragma once

#include "platform/MachineConfig.h"
#include "platform/WinError.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A machine of the network.
struct Computer {
    std::filesystem::path folder;
    MachineConfig config;
};

// WNetAddConnection2 flags.
inline constexpr std::uint32_t kConnectUpdateProfile = 1;

// The remembered connection of a drive letter.
struct DriveConnection {
    char letter = 0;        // 'F'
    std::string remotePath; // "\\OLDPC\C$"
    std::string userName;   // as given when connecting; empty for the logged-on user
};

class Network {
public:
    // The network of the machine in `machineFolder` (its parent folder), seen from that machine.
    Network(std::filesystem::path machineFolder, MachineConfig self);

    const std::filesystem::path& machineFolder() const { return m_folder; }
    const MachineConfig& self() const { return m_self; }
    std::filesystem::path networkFolder() const { return m_folder.parent_path(); }

    // Every machine of the network (the running one included), by computer name in
    // case-insensitive order; folders without a readable machine.ini are passed over.
    std::vector<Computer> computers() const;

    // The machine answering to a computer name (case-insensitive) or to a dotted address; nothing
    // when none does or when two do (an ambiguous name is no path to either).
    std::optional<Computer> findComputer(std::string_view nameOrAddress) const;

    // As gethostbyname: the dotted IPv4 address of a reachable machine of the network named by
    // its computer name (case-insensitive) or by its own dotted address; "localhost" and the
    // running machine's own name resolve too. Nothing for anything else (the wizard then shows
    // "127.0.0.1"). Surrounding blanks are not part of a name.
    std::optional<std::string> resolve(std::string_view name) const;

    // The machine exists and answers on the network (the running machine always does, when it
    // has a network adapter).
    bool isReachable(std::string_view nameOrAddress) const;

    // "\\NAME\SHARE" (anything after the share is not looked at): the machine is reachable and
    // exposes the share (case-insensitive).
    bool shareExists(std::string_view uncPath) const;

    // The administrative drive shares of a server in letter order ("C:", "D:"), as the wizard's
    // probe of "\\SERVER\A$" to "\\SERVER\Z$" finds them.
    std::vector<std::string> adminShares(std::string_view server) const;

    // The computer browser: the reachable machines' computer names, upper case, sorted.
    // Empty when the running machine has no network adapter.
    std::vector<std::string> browseComputers() const;

    // GetSystemMetrics(SM_NETWORK) bit 0: the running machine has a network adapter.
    bool networkPresent() const { return m_self.networkAdapter; }

    // As WNetAddConnection2A with a disk resource: connects `remoteName` ("\\SRC\C$") to the local
    // drive `localName` ("F:"; empty: authenticate only, no letter). `user` and `password` null
    // mean the logged-on user's credentials. The connection is remembered in this machine's
    // registry under HKEY_CURRENT_USER\Network\<letter> ("RemotePath" REG_SZ, "UserName",
    // "ProviderName", "ConnectionType" 1) whatever the flags: sessions are not modelled, so a
    // connection lasts until cancelled. Logon rules: a 95/98/ME server uses share-level access
    // (no account checked); a 2000/XP server needs an account whose password matches, and an
    // administrator for a "$" share; null credentials stand for the running machine's user with
    // its password from the running machine's accounts (empty when it has none).
    // Errors, each changing nothing:
    //   BadDevice (1200)      localName is not a drive letter with ":"
    //   AlreadyAssigned (85)  the letter is a drive of this machine or already connected
    //   NoNetwork (1222)      this machine has no network adapter
    //   BadNetName (67)       remoteName is not "\\server\share", or the server lacks the share
    //   BadNetPath (53)       the server is not a reachable machine of the network
    //   SessionCredentialConflict (1219)  connected to that server already as another user
    //   LogonFailure (1326)   no such account or a wrong password (2000/XP)
    //   AccessDenied (5)      an account without administrator rights on an administrative share
    WinError addConnection(std::string_view localName, std::string_view remoteName, const char* user,
        const char* password, std::uint32_t flags = kConnectUpdateProfile);

    // As WNetCancelConnection2A: drops the connection of a drive letter ("F:") and its remembered
    // entry. Open files are not tracked, so `force` changes nothing. NotConnected (2250) when the
    // letter (or a remote name) has no connection; BadDevice for a malformed name.
    WinError cancelConnection(
        std::string_view name, std::uint32_t flags = kConnectUpdateProfile, bool force = true);

    // The remembered connections of this machine, in letter order.
    std::vector<DriveConnection> connections() const;
    // The connection of a letter, if any.
    std::optional<DriveConnection> connection(char letter) const;

    // As GetDriveTypeA on a root ("F:\", also "F:" and "F"; "\\PC\SHARE\" gives Remote when the
    // share exists): the type of a drive of this machine, Remote for a connected letter,
    // NoRootDir for anything else.
    DriveType driveType(std::string_view root) const;

    // Total and free bytes of a drive: the figures configured in machine.ini, else the host file
    // system's; a connected letter reports the drive its share lies on. InvalidDrive (15) for an
    // unknown letter; NotReady (21) for a removable or CD drive without a medium; BadNetPath (53)
    // when a connected server has gone.
    WinError diskSpace(std::string_view root, std::uint64_t& totalBytes, std::uint64_t& freeBytes) const;

    // Whether the parallel port "LPT<n>" (n 1 to 8) can be opened on this machine.
    bool parallelPortOpens(int n) const;

private:
    std::filesystem::path m_folder;
    MachineConfig m_self;
};

} // namespace platform
