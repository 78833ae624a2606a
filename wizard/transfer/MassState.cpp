// MassState.cpp: the mass migration's shared state, read from the mirror and the local registry.
#include "wizard/transfer/MassState.h"

#include "common/Text.h"
#include "wizard/core/TextUtil.h"
#include "wizard/transfer/MassProfiles.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferPlatform.h"

namespace wizard::mass {
namespace {

using coretext::trimBlanks;
using platform::RegRoot;
using wizard::Registry_Related_Functions::FN_Reg_Get_Value;

constexpr const char* kNtKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const char* kWinKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kMirror = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\";

// The value from the "Windows NT" key, else from the "Windows" key, below the prefix.
std::string windowsValue(const std::string& prefix, const std::string& name)
{
    const std::string nt = trimBlanks(FN_Reg_Get_Value(RegRoot::LocalMachine, prefix + kNtKey, name, ""));
    if (!nt.empty())
        return nt;
    return trimBlanks(FN_Reg_Get_Value(RegRoot::LocalMachine, prefix + kWinKey, name, ""));
}

} // namespace

MassState& massState()
{
    static MassState state;
    return state;
}

std::string osCodeOf(const std::string& productName)
{
    const std::string name = common::upperAscii(productName);
    if (name == "MICROSOFT WINDOWS 2000")
        return "W2K";
    if (name == "MICROSOFT WINDOWS XP")
        return "XP";
    if (name == "MICROSOFT WINDOWS 95")
        return "W95";
    if (name == "MICROSOFT WINDOWS 98")
        return "W98";
    if (name == "WINDOWS MILLENNIUM EDITION" || name == "MICROSOFT WINDOWS ME")
        return "ME";
    return productName;
}

bool isWin9xCode(const std::string& code) { return code == "W95" || code == "W98" || code == "ME"; }

bool isNtCode(const std::string& code) { return code == "W2K" || code == "XP"; }

bool fillMassState(const std::string& sourcePcName, const std::string& logonUser)
{
    if (!transfer::machineRegistry())
        return false;
    MassState s;
    s.uncRoot = "\\\\" + sourcePcName;
    s.sourceSystemRoot = windowsValue(kMirror, "SystemRoot");
    s.destSystemRoot = windowsValue("", "SystemRoot");
    s.destOsCode = osCodeOf(windowsValue("", "ProductName"));
    s.sourceOsCode = osCodeOf(windowsValue(kMirror, "ProductName"));
    s.sourceUserName = trimBlanks(FN_Reg_Get_Value(
        RegRoot::LocalMachine, std::string(kMirror) + kNtKey + "\\Winlogon", "DefaultUserName", ""));
    s.destUserName = trimBlanks(logonUser);
    massState() = s;
    return true;
}

std::string confineSourceSystemRoot(bool ntSource)
{
    MassState& s = massState();
    const std::string given = s.sourceSystemRoot;
    std::string why;
    std::string stored;
    const bool onDrive = given.size() >= 3 && common::isAsciiLetter(given[0]) && given[1] == ':' &&
        (given[2] == '\\' || given[2] == '/');
    if (!onDrive) {
        why = "not a folder on a drive";
    } else {
        // Judged where the mass steps take its folders from: the drive's share on the source.
        why = transfer::windowsFolderRefusal(
            sourceShareRoot() + given.substr(3), ntSource ? "System32" : "SYSTEM", stored);
    }
    if (why.empty()) {
        s.sourceSystemRoot = given.substr(0, 3) + stored;
        return {};
    }
    s.sourceSystemRoot.clear();
    s.refusedSystemRoot = given.empty() ? std::string("(empty)") : given;
    return why;
}

std::string windowsFolderName(const std::string& systemRoot)
{
    return systemRoot.size() > 3 ? systemRoot.substr(3) : std::string();
}

} // namespace wizard::mass
