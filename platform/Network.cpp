// Network.cpp: machines of a network folder, name resolution, shares, drive connections kept in
// the connecting machine's registry, drive types and space, parallel ports.
#include "platform/Network.h"

#include "common/Text.h"

#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/RunRecord.h"

#include <algorithm>
#include <cctype>
#include <sys/statvfs.h>

namespace platform {
namespace {

constexpr const char* kNetworkKey = "Network";

using common::equalsNoCaseAscii;
std::string upper(std::string_view text) { return common::upperAscii(text); }
std::string_view trim(std::string_view s) { return common::trimmed(s); }

bool isDottedAddress(std::string_view s)
{
    int parts = 0;
    std::size_t i = 0;
    while (i <= s.size()) {
        std::size_t j = i;
        int value = 0;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) {
            value = value * 10 + (s[j] - '0');
            if (value > 255 || j - i >= 3)
                return false;
            ++j;
        }
        if (j == i)
            return false;
        ++parts;
        if (j == s.size())
            break;
        if (s[j] != '.')
            return false;
        i = j + 1;
    }
    return parts == 4;
}

// "\\server\share[\rest]" into server and share; false for anything else.
bool splitUnc(std::string_view path, std::string& server, std::string& share)
{
    if (path.size() < 5 || !((path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/')))
        return false;
    path.remove_prefix(2);
    const auto sep = path.find_first_of("\\/");
    if (sep == std::string_view::npos || sep == 0)
        return false;
    server = std::string(path.substr(0, sep));
    auto rest = path.substr(sep + 1);
    const auto end = rest.find_first_of("\\/");
    share = std::string(rest.substr(0, end));
    return !share.empty();
}

// "F:", "F:\" or "F" (for roots) into the upper-case letter; 0 when malformed.
char driveLetterOf(std::string_view name, bool allowBare)
{
    if (name.empty() || !common::isAsciiLetter(name[0]))
        return 0;
    const char letter = common::upperAscii(name[0]);
    if (name.size() == 1)
        return allowBare ? letter : 0;
    if (name[1] != ':')
        return 0;
    if (name.size() == 2)
        return letter;
    if (name.size() == 3 && (name[2] == '\\' || name[2] == '/'))
        return letter;
    return 0;
}

bool sameFolder(const std::filesystem::path& a, const std::filesystem::path& b)
{
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec);
}

bool hasMedium(const std::filesystem::path& machineFolder, char letter)
{
    std::error_code ec;
    return std::filesystem::is_directory(driveFolder(machineFolder, letter), ec);
}

WinError spaceOfDrive(const std::filesystem::path& machineFolder, const MachineConfig& config, char letter,
    std::uint64_t& total, std::uint64_t& free)
{
    const DriveEntry* drive = config.drive(letter);
    if (!drive)
        return WinError::InvalidDrive;
    if (!hasMedium(machineFolder, letter))
        return WinError::NotReady;
    std::uint64_t hostTotal = 0, hostFree = 0;
    if (!drive->totalBytes || !drive->freeBytes) {
        struct statvfs st {};
        if (::statvfs(driveFolder(machineFolder, letter).c_str(), &st) == 0) {
            hostTotal = static_cast<std::uint64_t>(st.f_blocks) * st.f_frsize;
            hostFree = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
        }
    }
    total = drive->totalBytes.value_or(hostTotal);
    free = drive->freeBytes.value_or(hostFree);
    if (free > total)
        free = total;
    return WinError::Success;
}

class MachineRegistry {
public:
    explicit MachineRegistry(const std::filesystem::path& machineFolder, bool create)
    {
        m_result = m_registry.open(machineFolder / Machine::kRegistryFileName,
            create ? Registry::OpenMode::CreateIfMissing : Registry::OpenMode::OpenExisting);
    }
    WinError status() const { return m_result; }
    Registry& operator*() { return m_registry; }
    Registry* operator->() { return &m_registry; }

private:
    Registry m_registry;
    WinError m_result;
};

} // namespace

Network::Network(std::filesystem::path machineFolder, MachineConfig self)
    : m_folder(std::move(machineFolder))
    , m_self(std::move(self))
{}

std::vector<Computer> Network::computers() const
{
    std::vector<Computer> result;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(networkFolder(), ec)) {
        std::error_code ec2;
        if (!entry.is_directory(ec2) || !std::filesystem::exists(entry.path() / Machine::kIniFileName, ec2))
            continue;
        Computer c;
        std::string error;
        if (!loadMachineConfig(entry.path(), c.config, error))
            continue;
        c.folder = entry.path();
        result.push_back(std::move(c));
    }
    std::sort(result.begin(), result.end(), [](const Computer& a, const Computer& b) {
        return upper(a.config.computerName) < upper(b.config.computerName);
    });
    return result;
}

std::optional<Computer> Network::findComputer(std::string_view nameOrAddress) const
{
    const auto name = trim(nameOrAddress);
    if (name.empty())
        return std::nullopt;
    const bool dotted = isDottedAddress(name);
    std::optional<Computer> found;
    for (auto& c : computers()) {
        if (!(dotted ? c.config.address == name : equalsNoCaseAscii(c.config.computerName, name)))
            continue;
        // Two machines answering to one name or address: neither is the one meant.
        if (found)
            return std::nullopt;
        found = std::move(c);
    }
    return found;
}

bool Network::isReachable(std::string_view nameOrAddress) const
{
    if (!m_self.networkAdapter)
        return false;
    const auto c = findComputer(nameOrAddress);
    if (!c)
        return false;
    if (sameFolder(c->folder, m_folder))
        return true;
    return c->config.reachable && c->config.networkAdapter;
}

std::optional<std::string> Network::resolve(std::string_view nameOrAddress) const
{
    const auto name = trim(nameOrAddress);
    if (equalsNoCaseAscii(name, "localhost"))
        return std::string("127.0.0.1");
    if (!isReachable(name))
        return std::nullopt;
    const auto c = findComputer(name);
    if (!c || c->config.address.empty())
        return std::nullopt;
    return c->config.address;
}

bool Network::shareExists(std::string_view uncPath) const
{
    std::string server, share;
    if (!splitUnc(uncPath, server, share) || !isReachable(server))
        return false;
    const auto c = findComputer(server);
    return c && c->config.share(share) != nullptr;
}

std::vector<std::string> Network::adminShares(std::string_view server) const
{
    std::vector<std::string> result;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (shareExists("\\\\" + std::string(server) + "\\" + letter + "$"))
            result.push_back(std::string(1, letter) + ":");
    }
    return result;
}

std::vector<std::string> Network::browseComputers() const
{
    std::vector<std::string> names;
    if (!m_self.networkAdapter)
        return names;
    for (const auto& c : computers()) {
        if (isReachable(c.config.computerName))
            names.push_back(upper(c.config.computerName));
    }
    return names;
}

std::vector<DriveConnection> Network::connections() const
{
    std::vector<DriveConnection> result;
    std::error_code ec;
    if (!std::filesystem::exists(m_folder / Machine::kRegistryFileName, ec))
        return result;
    MachineRegistry reg(m_folder, false);
    RegKey network;
    if (reg.status() != WinError::Success ||
        reg->openKey(RegRoot::CurrentUser, kNetworkKey, network) != WinError::Success)
        return result;
    std::vector<RegSubKey> keys;
    reg->listSubKeys(network, keys);
    for (const auto& k : keys) {
        const char letter = driveLetterOf(k.name, true);
        DriveConnection c;
        if (!letter || k.name.size() != 1 ||
            reg->queryString(k.key, "RemotePath", c.remotePath) != WinError::Success)
            continue;
        c.letter = letter;
        reg->queryString(k.key, "UserName", c.userName);
        result.push_back(std::move(c));
    }
    return result;
}

std::optional<DriveConnection> Network::connection(char letter) const
{
    letter = common::upperAscii(letter);
    for (auto& c : connections()) {
        if (c.letter == letter)
            return c;
    }
    return std::nullopt;
}

WinError Network::addConnection(std::string_view localName, std::string_view remoteName, const char* user,
    const char* password, std::uint32_t)
{
    char letter = 0;
    if (!localName.empty()) {
        letter = driveLetterOf(localName, false);
        if (!letter || localName.size() != 2)
            return WinError::BadDevice;
        if (m_self.drive(letter) || connection(letter))
            return WinError::AlreadyAssigned;
    }
    if (!m_self.networkAdapter)
        return WinError::NoNetwork;
    std::string server, share;
    if (!splitUnc(remoteName, server, share))
        return WinError::BadNetName;
    if (!isReachable(server))
        return WinError::BadNetPath;
    const auto target = findComputer(server);
    if (!target || !target->config.share(share))
        return WinError::BadNetName;

    const std::string requestedUser = user ? std::string(user) : std::string();
    for (const auto& existing : connections()) {
        std::string otherServer, otherShare;
        if (!splitUnc(existing.remotePath, otherServer, otherShare))
            continue;
        const auto other = findComputer(otherServer);
        if (other && sameFolder(other->folder, target->folder) && !requestedUser.empty() &&
            !equalsNoCaseAscii(
                existing.userName.empty() ? m_self.userName : existing.userName, requestedUser))
            return WinError::SessionCredentialConflict;
    }

    if (target->config.isNt()) {
        std::string logonUser = requestedUser;
        std::string logonPassword = password ? std::string(password) : std::string();
        if (!user) {
            logonUser = m_self.userName;
            const Account* own = m_self.account(m_self.userName);
            logonPassword = password ? std::string(password) : (own ? own->password : std::string());
        }
        const Account* account = target->config.account(logonUser);
        if (!account || account->password != logonPassword)
            return WinError::LogonFailure;
        if (share.back() == '$' && !account->administrator)
            return WinError::AccessDenied;
    }

    if (!letter)
        return WinError::Success;
    MachineRegistry reg(m_folder, true);
    if (reg.status() != WinError::Success)
        return WinError::CannotOpenProfile;
    RegTransaction tx(*reg);
    if (tx.status() != WinError::Success)
        return WinError::CannotOpenProfile;
    RegKey key;
    const std::string remote = "\\\\" + server + "\\" + share;
    if (reg->createKey(RegRoot::CurrentUser, std::string(kNetworkKey) + "\\" + letter, key) !=
            WinError::Success ||
        reg->setString(key, "RemotePath", remote) != WinError::Success ||
        reg->setString(key, "UserName", requestedUser) != WinError::Success ||
        reg->setString(key, "ProviderName", "Microsoft Windows Network") != WinError::Success ||
        reg->setDword(key, "ConnectionType", 1) != WinError::Success || tx.commit() != WinError::Success)
        return WinError::CannotOpenProfile;
    RunRecord::noteConnection(m_folder, letter, remote);
    return WinError::Success;
}

WinError Network::cancelConnection(std::string_view name, std::uint32_t, bool)
{
    if (name.size() >= 2 && (name[0] == '\\' || name[0] == '/'))
        return WinError::NotConnected; // only drive letters are ever connected here
    const char letter = driveLetterOf(name, false);
    if (!letter || name.size() != 2)
        return WinError::BadDevice;
    if (!connection(letter))
        return WinError::NotConnected;
    MachineRegistry reg(m_folder, false);
    RegKey network;
    if (reg.status() != WinError::Success ||
        reg->openKey(RegRoot::CurrentUser, kNetworkKey, network) != WinError::Success)
        return WinError::NotConnected;
    const WinError e = reg->deleteTree(network, std::string(1, letter));
    if (e == WinError::Success)
        RunRecord::noteDisconnection(m_folder, letter);
    return e == WinError::Success     ? WinError::Success
        : e == WinError::FileNotFound ? WinError::NotConnected
                                      : WinError::CannotOpenProfile;
}

DriveType Network::driveType(std::string_view root) const
{
    if (root.size() >= 2 && (root[0] == '\\' || root[0] == '/'))
        return shareExists(root) ? DriveType::Remote : DriveType::NoRootDir;
    const char letter = driveLetterOf(root, true);
    if (!letter)
        return DriveType::NoRootDir;
    if (const DriveEntry* drive = m_self.drive(letter))
        return drive->type;
    return connection(letter) ? DriveType::Remote : DriveType::NoRootDir;
}

WinError Network::diskSpace(std::string_view root, std::uint64_t& total, std::uint64_t& free) const
{
    const char letter = driveLetterOf(root, true);
    if (!letter)
        return WinError::InvalidDrive;
    if (m_self.drive(letter))
        return spaceOfDrive(m_folder, m_self, letter, total, free);
    const auto conn = connection(letter);
    if (!conn)
        return WinError::InvalidDrive;
    std::string server, share;
    if (!splitUnc(conn->remotePath, server, share) || !isReachable(server))
        return WinError::BadNetPath;
    const auto target = findComputer(server);
    const ShareEntry* entry = target ? target->config.share(share) : nullptr;
    if (!entry)
        return WinError::BadNetName;
    const char sourceLetter = driveLetterOf(entry->folder.substr(0, 2), false);
    if (!sourceLetter)
        return WinError::BadNetName;
    return spaceOfDrive(target->folder, target->config, sourceLetter, total, free);
}

bool Network::parallelPortOpens(int n) const
{
    if (n < 1 || n > 8)
        return false;
    return std::find(m_self.parallelPorts.begin(), m_self.parallelPorts.end(), n) !=
        m_self.parallelPorts.end();
}

} // namespace platform
