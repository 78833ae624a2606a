// DriveMapping.cpp: Map_Drive and the connection calls behind it.
#include "wizard/connection/DriveMapping.h"

#include "common/Text.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/transfer/TransferGlobals.h"

#include <utility>
#include <vector>

namespace wizard {

namespace {

constexpr const char* kNoFreeDrive = "No Free Drive for mapping";

std::string replaceDollar(const std::string& share, const std::string& by)
{
    std::string out;
    for (char c : share)
        out += c == '$' ? by : std::string(1, c);
    return out;
}

// Cancels the old map's connections (each failure told) and starts a new, empty map.
void dropOldConnections()
{
    DriveMap& map = transferGlobals().driveMap;
    for (const std::string& local : map.localDrives()) {
        if (!Cancel_Connection(local))
            platform::showMessage("Not able to disconnect Mapped Drive " + local + ",Drive may being used!",
                platform::MsgButtons::Ok, platform::MsgIcon::Critical);
    }
    map.clear();
}

// The further administrative shares D$ to Z$ that exist, connected to free letters. False when no
// letter is left for one of them.
bool connectFurtherShares(const std::string& share, std::string& drive, const std::string& userName,
    const std::string& password, std::vector<std::pair<std::string, std::string>>& made)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    // The share named after each letter: the drive letter before the final "$" replaced.
    const std::size_t dollar = share.rfind('$');
    if (!machine || dollar == std::string::npos || dollar == 0)
        return true;
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        std::string other = share;
        other[dollar - 1] = letter;
        if (!machine->network().shareExists(other))
            continue;
        drive = std::string(common::trimmed(Get_Free_Drive()));
        if (drive.empty())
            return false;
        if (Add_Connection(drive, other, userName, password))
            made.emplace_back(std::string(1, letter) + ":", drive);
    }
    return true;
}

} // namespace

bool Add_Connection(const std::string& localName, const std::string& remoteName, const std::string& userName,
    const std::string& password)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    // No user name: the logged-on user's credentials, as a null user and password give them.
    const bool own = userName.empty();
    return machine->network().addConnection(localName, remoteName, own ? nullptr : userName.c_str(),
               own ? nullptr : password.c_str()) == platform::WinError::Success;
}

std::string Get_Free_Drive()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return {};
    for (char letter = 'D'; letter <= 'Z'; ++letter) {
        const std::string root = std::string(1, letter) + ":\\";
        if (machine->network().driveType(root) == platform::DriveType::NoRootDir)
            return std::string(1, letter) + ":";
    }
    return {};
}

bool Cancel_Connection(const std::string& drive)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    return machine && machine->network().cancelConnection(drive) == platform::WinError::Success;
}

bool Map_Drive(
    std::string& share, std::string& drive, const std::string& userName, const std::string& password)
{
    if (share.empty()) {
        platform::showMessage("Please type a server name first!", platform::MsgButtons::Ok,
            platform::MsgIcon::Exclamation, "Monitor");
        return false;
    }
    drive = std::string(common::trimmed(Get_Free_Drive()));
    if (drive.empty()) {
        platform::showMessage(kNoFreeDrive);
        return false;
    }
    bool connected = false;
    for (const std::string& form : {share, replaceDollar(share, ":"), replaceDollar(share, "")}) {
        if (Add_Connection(drive, form, userName, password)) {
            connected = true;
            break;
        }
    }
    if (!connected)
        return false;

    std::vector<std::pair<std::string, std::string>> made{
        {common::upperAscii(replaceDollar(share.substr(share.size() >= 2 ? share.size() - 2 : 0), ":")),
            drive}};
    if (!connectFurtherShares(share, drive, userName, password, made)) {
        // Half a mapping is worse than none: the source's drives would be partly missing later.
        platform::showMessage(kNoFreeDrive);
        for (const auto& [source, local] : made)
            Cancel_Connection(local);
        return false;
    }
    dropOldConnections();
    DriveMap& map = transferGlobals().driveMap;
    for (const auto& [source, local] : made)
        map.set(source, local);
    return true;
}

} // namespace wizard
