// InstallerRules.cpp: the rules that put a migrated product's installer data, cached installer
// packages and file-type registrations in force on the destination.
#include "wizard/rules/ItemRules.h"

#include "platform/EventLog.h"
#include "platform/RunningMachine.h"
#include "wizard/connection/GeneralUtilities.h"
#include "wizard/core/AppPath.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <array>
#include <cstdint>

namespace wizard {
namespace {

using namespace wizard::transfer;

struct PackageName {
    std::int64_t size;
    const char* target;
};

// The cached packages recognised by their size, first match wins.
constexpr std::array<PackageName, 7> kPackages = {{
    {2351104, "Data1.msi"},
    {2332672, "Data1.msi"},
    {2233344, "Data2.msi"},
    {2331648, "Data3.msi"},
    {1070592, "install.msi"},
    {1071104, "install.msi"},
    {7087616, "Symantec pcAnywhere.msi"},
}};

const char* packageTargetOf(std::int64_t size)
{
    for (const PackageName& p : kPackages)
        if (p.size == size)
            return p.target;
    return nullptr;
}

// SHChangeNotify(SHCNE_ASSOCCHANGED): recorded in the machine's events log.
void notifyAssociationsChanged()
{
    if (platform::RunningMachine* machine = platform::RunningMachine::current())
        platform::appendMachineEvent(machine->folder(), "shell-notify", "SHCNE_ASSOCCHANGED");
}

} // namespace

bool Get_Installer() { return Fix_Installer_Keys(); }

bool Installer_msi_Change()
{
    const std::string folder = scriptVariable("$st_destination_win_dir") + "\\installer";
    if (!folderExists(folder))
        return true;
    for (const std::string& name : fileNames(folder)) {
        if (name.size() < 3 || upperAscii(name.substr(name.size() - 3)) != "MSI")
            continue;
        const char* target = packageTargetOf(fileSize(folder + "\\" + name));
        // A package that already carries its fixed name is left where it is.
        if (!target || upperAnsi(name) == upperAnsi(target))
            continue;
        copyFile(folder + "\\" + name, folder + "\\" + target, true);
    }
    return true;
}

bool Class_Root_Update()
{
    writeTransferLog("Class_Root_Update", "Start/End");
    yieldToEvents();
    ModOtherApplications::ImportRegistry(AppPath + "\\temp\\HKCR.reg");
    yieldToEvents();
    ModOtherApplications::ImportRegistry("C:\\QZExpTemp\\HKCR_Temp.reg");
    return true;
}

bool OverwriteClassesRoot()
{
    writeTransferLog("OverwriteClassesRoot", "Start");
    const std::string file = scriptVariable("$st_destination_win_dir") + "\\HKCR_Temp.reg";
    yieldToEvents();
    if (!ModOtherApplications::ImportRegistry(file))
        writeTransferLog("OverwriteClassesRoot", "Not merged : " + file);
    yieldToEvents();
    notifyAssociationsChanged();
    writeTransferLog("OverwriteClassesRoot", "End");
    return true;
}

} // namespace wizard
