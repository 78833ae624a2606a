// NetworkHelpers.cpp: network presence, computer name, name resolution and the share probe.
#include "wizard/connection/NetworkHelpers.h"

#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "platform/SystemInfo.h"
#include "platform/WinPath.h"

namespace wizard {

std::vector<std::string>& AdminShares()
{
    static std::vector<std::string> shares{""};
    return shares;
}

bool Is_Network_Present()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    return machine && machine->network().networkPresent();
}

std::string Get_Computer_Name()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    return machine ? platform::computerNameOf(machine->config()) : std::string();
}

std::string Get_IP_Address(std::optional<std::string>& name)
{
    if (!name)
        name = Get_Computer_Name();
    return Get_IP_Address(*name);
}

std::string Get_IP_Address(const std::string& name)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return kUnresolvedAddress;
    return machine->network().resolve(name).value_or(kUnresolvedAddress);
}

std::string Format_IP_Address(std::string_view raw)
{
    std::string dotted;
    for (std::size_t i = 0; i < 4 && i < raw.size(); ++i) {
        if (i > 0)
            dotted += '.';
        dotted += std::to_string(static_cast<unsigned char>(raw[i]));
    }
    return dotted;
}

void Get_Admin_Shares(const std::string& server)
{
    std::vector<std::string>& shares = AdminShares();
    shares.assign(1, "");
    if (server.empty()) {
        platform::showMessage("Please enter a server name!", platform::MsgButtons::Ok,
            platform::MsgIcon::Exclamation, "Monitor");
        return;
    }
    // A drive is shared in one of the forms the mapping connects: "C$", "C:" or, as Windows XP
    // shares it, "C".
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        for (const char* suffix : {"$", ":", ""}) {
            if (Path_Exists("\\\\" + server + "\\" + letter + suffix)) {
                shares.back() = std::string(1, letter) + ":";
                shares.emplace_back();
                break;
            }
        }
    }
}

bool Path_Exists(const std::string& path)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    platform::WinPath parsed;
    if (platform::WinPath::parse(path, parsed) != platform::PathSyntax::Ok)
        return false;
    // A share root is described when its computer answers and exposes the share.
    if (parsed.kind() == platform::WinPath::Kind::Unc && parsed.isRoot())
        return machine->network().shareExists(path);
    return machine->files().fileExists(path) || machine->files().folderExists(path);
}

} // namespace wizard
