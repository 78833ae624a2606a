// MassSteps.cpp: mass-migration state, space check, MAPI files and stages.
#include "wizard/transfer/MassSteps.h"

#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"

namespace wizard::mass {
namespace {

using namespace wizard::transfer;

constexpr const char* kMapiFiles[] = {
    "faxmapi.dll", "mapistub.dll", "sfmapi.dll", "mapi32.dll", "mapi.dll", "mapisrvr.exe"};

std::function<void()>& listener()
{
    static std::function<void()> fn;
    return fn;
}

std::string system32Folder() { return massState().destSystemRoot + "\\System32\\"; }

} // namespace

std::string FN_Get_User_Name()
{
    writeTransferLog("FN_Get_User_Name", "End");
    platform::RunningMachine* machine = platform::RunningMachine::current();
    std::string name = machine ? machine->config().userName : std::string();
    const auto first = name.find_first_not_of(' ');
    name = first == std::string::npos ? std::string()
                                      : name.substr(first, name.find_last_not_of(' ') - first + 1);
    writeTransferLog("FN_Get_User_Name", "End");
    return name;
}

bool FN_Temp(const std::string& sourcePcName)
{
    writeTransferLog("FN_Temp", "Start");
    if (!fillMassState(sourcePcName, FN_Get_User_Name())) {
        writeTransferLog("FN_Temp_Err", "0:the registry cannot be opened");
        return false;
    }
    // A 2000/XP source that remembers no default user: the profile is the one the wizard logged on as.
    if (massState().sourceUserName.empty() && isNtCode(massState().sourceOsCode))
        massState().sourceUserName = LogonUserName;
    // The source names its Windows folder: the drive copy's renaming, the profile, installer and
    // font copies and the registry's rewriting all rest on it, so it must be one.
    const std::string code = massState().sourceOsCode;
    const bool nt = isNtCode(code) || (!isWin9xCode(code) && (SourceOs == "win2k" || SourceOs == "winxp"));
    const std::string given = massState().sourceSystemRoot;
    if (const std::string why = confineSourceSystemRoot(nt); !why.empty())
        refusePath("FN_Temp", given, "not the source's Windows folder (" + why + ")");
    writeTransferLog("FN_Temp", "End");
    return true;
}

std::vector<SpaceCheck> checkSpace()
{
    std::vector<SpaceCheck> checks;
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return checks;
    platform::Network& network = machine->network();
    // Each source drive is checked against the drive the whole-drive copy writes it onto (by
    // position, not by its own letter); a drive that is not copied needs no room.
    std::size_t position = 0;
    for (const auto& [sourceDrive, localDrive] : transferGlobals().driveMap.entries()) {
        SpaceCheck c;
        c.sourceDrive = sourceDrive;
        c.destDrive = copyDestinationDrive(position++);
        if (c.destDrive.empty())
            continue;
        std::uint64_t total = 0, free = 0;
        if (network.diskSpace(localDrive + "\\", total, free) == platform::WinError::Success)
            c.sourceUsed = total - free;
        std::uint64_t destTotal = 0;
        if (network.driveType(c.destDrive + "\\") == platform::DriveType::Fixed &&
            network.diskSpace(c.destDrive + "\\", destTotal, c.destFree) == platform::WinError::Success) {
            c.compared = true;
            c.enough = c.destFree > c.sourceUsed;
        }
        checks.push_back(c);
    }
    return checks;
}

bool FN_Check_Space()
{
    writeTransferLog("FN_Check_Space", "Start");
    for (const SpaceCheck& c : checkSpace()) {
        if (c.enough)
            continue;
        const std::string text =
            "Space is not available in (" + c.destDrive + ") drive. You can't proceed migration.";
        do {
            platform::showMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Critical);
            writeTransferLog("Space is not available in " + c.destDrive, "Proceeded");
        } while (!Exit_Application());
        requestProgramEnd();
        return false;
    }
    writeTransferLog("FN_Check_Space", "End");
    return true;
}

bool FN_MAPI(const std::string& direction)
{
    writeTransferLog("FN_MAPI", "Start");
    const std::string saved = wizard::AppPath + "\\Temp\\Mapi";
    // A file that cannot be saved or put back is told; the migration goes on all the same.
    platform::FsError failed = platform::FsError::None;
    auto copied = [&failed](platform::FsError e) {
        if (e != platform::FsError::None)
            failed = e;
    };
    if (coretext::upperAscii(direction) == "BACK") {
        makeSurePathExists(saved + "\\");
        for (const char* name : kMapiFiles)
            if (fileExists(system32Folder() + name))
                copied(copyFileBeside(system32Folder() + name, saved + "\\" + name, true));
    } else {
        for (const std::string& name : fileNames(saved))
            copied(copyFileBeside(saved + "\\" + name, system32Folder() + name, true));
        deleteFolder(saved, true);
    }
    writeTransferLog(failed == platform::FsError::None ? "FN_MAPI" : "FN_MAPI_Err",
        failed == platform::FsError::None ? "End" : errorStatus(failed));
    return true;
}

bool FN_STATUS()
{
    writeTransferLog("FN_STATUS", "Start");
    ++MassStage;
    if (MassStage == 1)
        wizardWindows().setStatusText("Copying files");
    else if (MassStage == 2)
        wizardWindows().setStatusText("Update Registry Values");
    notifyMassProgress();
    if (MassStage == 3 && Exit_Application())
        requestProgramEnd();
    writeTransferLog("FN_STATUS", "End");
    return true;
}

std::vector<StageRow> stageRows(int stage)
{
    // A mass migration migrates no desktop and network settings of their own: that row is never
    // ticked.
    return {{"ChDskNet", "LblDskNet", "Migrate Desktop and Network Settings", false},
        {"ChIndentify", "LblIndentify", "Identify Source and Destination Configuration", stage >= 1},
        {"ChCopyfile", "LblCopyfile", "Copy Files from Source to destination", stage >= 2},
        {"ChUpdateReg", "LblUpdatReg", "Update Registry Settings", stage >= 3}};
}

std::function<void()> setMassProgressListener(std::function<void()> fn)
{
    std::swap(listener(), fn);
    return fn;
}

void notifyMassProgress()
{
    if (listener())
        listener()();
}

} // namespace wizard::mass
