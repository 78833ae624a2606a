// ConnectionRules.cpp: connection type, help topics and Quick Help texts of the connection page.
#include "wizard/ui/connection/ConnectionRules.h"

namespace wizard {

int ConnectionHelpTopic = 0;

std::optional<ConnectionValue> connectionValue(const ConnectionChoice& c)
{
    if (!c.connected)
        return std::nullopt;
    if (c.crossover)
        return ConnectionValue{"crossover", 61};
    if (c.lan)
        return ConnectionValue{"network", 33};
    if (c.parallel)
        return ConnectionValue{"parallel", 39};
    if (c.usb)
        return ConnectionValue{"USB", 71};
    return std::nullopt;
}

std::optional<int> connectionHelpContext(const ConnectionChoice& c)
{
    if (c.usb)
        return 5;
    if (c.lan)
        return 3;
    if (c.crossover)
        return 2;
    if (c.parallel)
        return 4;
    return std::nullopt;
}

bool sourceNameGiven(const std::string& name) { return name.find_first_not_of(" \t") != std::string::npos; }

const std::array<ConnectionTopic, 7>& connectionTopics()
{
    static const std::array<ConnectionTopic, 7> t{{
        {"Connect through Parallel cable", "Is Direct Cable Connection installed?"},
        {"Connect through Direct Crossover cable",
            "TCP/IP protocol is a communication software, which is bound to the Network (Ethernet) card. "
            "Make sure that "
            "this software is installed in order for the source PC to connect to destination PC. This "
            "normally comes "
            "installed on most PCs, especially if the computer can access the Internet.\r\r"},
        {"Connect through Network LAN",
            "You may also perform the migration process if your source and destination PCs have network "
            "(Ethernet) "
            "ports and are connected to a LAN using a hub or switch.\r\r"},
        {"Universal Serial Bus",
            "After you choose the connection type, make sure that the two PCs are connected physically, as "
            "per the "
            "chosen option. If so, turn on the checkbox.\r\r"},
        {"Connect the PCs",
            "After you choose the connection type, make sure that the two PCs are connected physically, as "
            "per the "
            "chosen option. If so, turn on the checkbox.\r\r"},
        {"Specify Source PC",
            "Specify the Source PC name or Source PC's IP address. You may browse the PC name from the "
            "network or "
            "directly type in the name or IP address.\r\r"},
        {"Source PC Details",
            "Specify the User Name and Password for accessing the Source PC. These need to be entered only "
            "if the Source "
            "PC operating systems are Windows 2000 and Windows XP.\r\r"},
    }};
    return t;
}

} // namespace wizard
