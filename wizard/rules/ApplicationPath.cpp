// ApplicationPath.cpp: the generic script's step for an application without a script of its own:
// its installation folder and uninstall entry, found through the mirrored uninstall entry.
#include "wizard/rules/MigrationRun.h"

#include "wizard/core/TextUtil.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"

namespace wizard {

namespace {

// The application's uninstall key in the mirror (below HKEY_LOCAL_MACHINE); "" when unknown.
std::string applicationKeyOf(const std::string& name)
{
    const std::string wanted = coretext::lowerAscii(coretext::trimBlanks(name));
    const std::vector<clsApplicationInfo>& apps = ApplicationList();
    for (std::size_t i = 1; i < apps.size(); ++i)
        if (coretext::lowerAscii(coretext::trimBlanks(apps[i].getApplnName())) == wanted)
            return apps[i].getApplicationKey();
    return {};
}

void noteNotFound()
{
    if (transfer::ItemTally* tally = transfer::currentItemTally())
        tally->note(transfer::TransferOutcome::NotFound);
}

} // namespace

bool Identify_Application_Path()
{
    const std::string name = migrationRunState().currentItemName;
    const std::string process = "Identify_Application_Path : " + name;
    const std::string key = applicationKeyOf(name);
    std::string path = key.empty() ? std::string()
                                   : Registry_Related_Functions::FN_Reg_Get_Value(
                                         platform::RegRoot::LocalMachine, key, "InstallLocation", "");
    path = coretext::trimBlanks(replaceAll(path, "\"", ""));
    writeTransferLog(process, path);
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        // Nothing to copy: the item ends "not found" instead of keeping the wizard on its page.
        writeTransferLog(process, "Unable to Find Installed Location");
        noteNotFound();
        return true;
    }
    const auto local = transferGlobals().driveMap.lookup(path.substr(0, 2));
    if (!local) {
        writeTransferLog(process, "Drive not mapped : " + path);
        if (transfer::ItemTally* tally = transfer::currentItemTally())
            tally->noteFailedStep("Identify_Application_Path " + path + " (its drive is not connected)");
        return true;
    }
    TransferActions& act = transferActions();
    if (!act.ModOtherApplications_Action_Copy_Folder(*local + path.substr(2), path, "true"))
        writeTransferLog(process, "Unable to Copy Application Path");
    if (!act.Action_Import("HKEY_LOCAL_MACHINE\\" + key, "*.*"))
        writeTransferLog(process, "Updation of Application Path Failed");
    return true;
}

} // namespace wizard
