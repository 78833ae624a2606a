// HandOverOperations.cpp: the rules of the hand-over on the source PC: the batch file, and the wait
// for the registry exports the user makes with it and their copy into "tempreg".
#include "wizard/rules/clsRules.h"

#include "common/Text.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/RegFile.h"
#include "platform/RunningMachine.h"
#include "wizard/connection/SourceBatchFile.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardLog.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

namespace wizard {

namespace {

constexpr const char* kRunBatchFile =
    "In the Source PC, click  the Start button  > Run. In the input box,  key in  "
    "'C:\\KestroBatch\\Temp.bat'.  "
    "Click OK  to execute the batch file.  After the process is completed in Source PC , Click 'OK'  in this "
    "dialog box.";

bool migrationOption(const char* control)
{
    PageControls* controls = pageControls();
    return controls && controls->isChecked("Frm_MigrationType", control);
}

// Puts Temp.bat and regexp.bat into the source's C:\KestroBatch, makes "tempreg" here when it is
// not there, and removes exports (and their record) of an earlier run in both, so that only exports the batch file makes now
// are taken. False when one of them could not be put there or removed: the user would run a batch
// file that is not there, or an earlier export would be taken for a fresh one.
bool prepareSource(platform::FileSystem& files, const std::string& sourceFolder, const std::string& target)
{
    using platform::FsError;
    const auto removed = [&files](const std::string& file) {
        const FsError e = files.deleteFile(file, true);
        return e == FsError::None || e == FsError::FileNotFound;
    };
    // The folder the exports are copied to is made here too, so that one that could not be made
    // is made again before the next question.
    const auto made = [&files](const std::string& folder) {
        const FsError e = files.createFolder(folder);
        return e == FsError::None || e == FsError::FileExists;
    };
    bool ready = made(sourceFolder) && made(target.substr(0, target.size() - 1));
    for (const char* name : {kBatchFileName, kExportListName})
        ready = ready &&
            files.copyFile(AppPath + "\\temp\\" + name, sourceFolder + "\\" + name, true) == FsError::None;
    ready = ready && removed(sourceFolder + "\\" + kExportRecordName);
    for (const char* name : kSourceExports)
        ready = ready && removed(sourceFolder + "\\" + name) && removed(target + name);
    return ready;
}

// The root each export holds, in the order of kSourceExports.
constexpr const char* kExportRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};

// What the main script merges of an export: the export with its root's section headers moved
// below the mirror ("[HKEY_CURRENT_USER" becomes "[HKEY_LOCAL_MACHINE\SOFTWARE\QZ\HKEY_CURRENT_USER",
// any case), the same replacement its "replace" step makes.
std::string mirroredExport(std::string bytes, const std::string& root)
{
    rewriteText(bytes, "[" + root, "[" + std::string(kMirrorPrefix) + root, CaseMode::IgnoreCase);
    bytes += "\r\n";
    return bytes;
}

// Why an export cannot be merged ("" when it can), from `check` and `report`, the check of the
// export moved below the mirror (mirroredExport) and confined to its root's mirror: it is no
// registry file, a merge would pass over one of its lines, or it still names a key outside the
// mirror of its own root (another root, a short root name, a deletion outside the mirror, a form the
// move does not rewrite). A refused export reaches no registry.
std::string exportFault(
    platform::WinError check, const platform::RegFileMergeReport& report, const std::string& root)
{
    if (check == platform::WinError::Cancelled)
        return " was not checked";
    if (report.refusedLine != 0)
        return " names a key outside " + root + " (line " + std::to_string(report.refusedLine) + ")";
    if (check != platform::WinError::Success)
        return " cannot be read";
    if (!report.warnings.empty())
        return " cannot be read (line " + std::to_string(report.warnings.front().line) + ")";
    return {};
}

// exportFault of the copy in `target` of the export at `index` of kSourceExports. The read, the move
// below the mirror and the check run beside the window, whose events go on; the way out stops the
// check (" was not checked"). A sound export is kept, as the mirror merge will read it, in
// TransferGlobals::checkedMirrors.
std::string copiedExportFault(platform::FileSystem& files, const std::string& target, std::size_t index)
{
    const std::string root = kExportRoots[index];
    const std::string file = target + kSourceExports[index];
    std::string bytes;
    platform::FsError read = platform::FsError::None;
    platform::RegFileMergeReport report;
    platform::WinError check = platform::WinError::Success;
    transfer::runWithEvents([&](const std::atomic<bool>& stop) {
        read = files.readFile(file, bytes);
        if (read != platform::FsError::None)
            return;
        bytes = mirroredExport(std::move(bytes), root);
        platform::RegFileMergeOptions options;
        options.confineTo = {std::string(kMirrorPrefix) + root};
        options.stop = [&stop] { return stop.load(); };
        check = platform::checkRegText(bytes, report, options);
    });
    if (read != platform::FsError::None)
        return " cannot be read";
    std::string fault = exportFault(check, report, root);
    if (fault.empty())
        transferGlobals().checkedMirrors.push_back(std::move(bytes));
    return fault;
}

// The source as the hand-over knows it: its name (without regard to case) and its system.
std::string handOverSource() { return common::upperAscii(SourcePcName) + "|" + SourceOs; }

// Whether this run's exports of the same source are still in "tempreg" and can be merged: a second
// pass through the hand-over (Previous and Next again) then takes them instead of asking again.
bool exportsOfThisRun(platform::FileSystem& files, const std::string& target)
{
    transferGlobals().checkedMirrors.clear();
    if (HandOverSource.empty() || HandOverSource != handOverSource())
        return false;
    for (std::size_t i = 0; i < std::size(kSourceExports); ++i)
        if (!copiedExportFault(files, target, i).empty())
            return false;
    return true;
}

// An export that cannot be merged: told, and every copy in "tempreg" removed, so that nothing of
// any export reaches the registry and the user is asked for them again.
void refuseExport(
    platform::FileSystem& files, const std::string& target, const char* name, const std::string& fault)
{
    wizardWindows().closeBusyWindow();
    transferGlobals().checkedMirrors.clear();
    for (const char* copy : kSourceExports)
        files.deleteFile(target + copy, true);
    if (programEndRequested())
        return;
    writeLog("Display_Msg_To_User", std::string("0 : ") + name + fault);
    platform::showMessage(std::string("The registry file ") + name + " from the Source PC" + fault +
            ". Run 'C:\\KestroBatch\\Temp.bat' in the Source PC again.",
        platform::MsgButtons::Ok, platform::MsgIcon::Critical);
}

// Whether the copied exports can be merged (exportFault); a faulty one is refused.
bool exportsReadable(platform::FileSystem& files, const std::string& target)
{
    for (std::size_t i = 0; i < std::size(kSourceExports); ++i) {
        const std::string fault = copiedExportFault(files, target, i);
        if (fault.empty())
            continue;
        refuseExport(files, target, kSourceExports[i], fault);
        return false;
    }
    return true;
}

// The longest line an export may hold, as for the source's INI files: a longer one is refused
// before anything of the export is copied or read whole.
constexpr std::uint64_t kMaxExportLineBytes = transfer::kMaxSourceTextBytes;

// Whether each export on the source holds only lines this PC reads; the first that does not is
// refused, named as the source PC names it. The exports are read in pieces beside the window.
bool exportLinesBounded(
    platform::FileSystem& files, const std::string& sourceFolder, const std::string& target)
{
    for (const char* name : kSourceExports) {
        const std::string source = sourceFolder + "\\" + name;
        bool longer = false;
        transfer::runWithEvents(
            [&](const std::atomic<bool>&) { files.hasLineLongerThan(source, kMaxExportLineBytes, longer); });
        if (!longer)
            continue;
        refuseExport(files, target, name,
            " (" + transferGlobals().driveMap.sourcePathOf(source) + ") has a line longer than " +
                std::to_string(kMaxExportLineBytes >> 20) + " MiB");
        return false;
    }
    return true;
}

// Copies the three exports; false when one is missing, still being written on the source, or
// damaged.
bool copyExports(platform::FileSystem& files, const std::string& sourceFolder, const std::string& target)
{
    for (const char* name : kSourceExports)
        if (!files.fileExists(sourceFolder + "\\" + name))
            return false;
    wizardWindows().openBusyWindow();
    if (!exportLinesBounded(files, sourceFolder, target))
        return false;
    const char* texts[] = {"Getting remote PC information...", "Getting remote PC information.....",
        "Getting remote PC information........"};
    for (int i = 0; i < 3; ++i) {
        platform::yieldToEvents();
        wizardWindows().setStatusText(texts[i]);
        platform::FsError copied = platform::FsError::None;
        transfer::runWithEvents([&](const std::atomic<bool>&) {
            copied =
                files.copyFile(sourceFolder + "\\" + kSourceExports[i], target + kSourceExports[i], true);
        });
        // Any failure (the export still open on the source included) means: not ready yet.
        if (copied != platform::FsError::None) {
            wizardWindows().closeBusyWindow();
            return false;
        }
    }
    return exportsReadable(files, target);
}

} // namespace

bool clsRules::Create_Batch_File()
{
    log("Create_Batch_File", "Start");
    wizardWindows().setStatusText("Getting remote PC information!");
    auto set = [this](const std::string& name, const std::string& value) {
        if (m_env.setVariable)
            m_env.setVariable(name, value);
    };
    if (!RegistryRequired) {
        const bool selective = migrationOption("optSel");
        MigrationMode = selective ? "selective" : "mass";
        const bool required =
            !selective || migrationOption("chk_Settings") || migrationOption("chk_Applications");
        if (required) {
            set("$bln_reg_required", "true");
            RegistryRequired = true;
        }
        set("$st_migration_type", MigrationMode);
        if (!Batch_File_content()) {
            platform::showMessage("Not able to create Batch File In Destination PC User must have "
                                  "Administrator right in Destination PC",
                platform::MsgButtons::Ok, platform::MsgIcon::Critical);
            wizardWindows().setStatusText("Getting remote PC information had failed!");
            log("Create_Batch_File", "0:Batch file not written");
            // Without the batch file the source's registry never arrives: stay on the page.
            return false;
        }
    } else {
        if (migrationOption("optSel"))
            MigrationMode = "selective";
        else if (migrationOption("optMass"))
            MigrationMode = "mass";
        set("$st_migration_type", MigrationMode);
    }
    wizardWindows().setStatusText("Getting remote PC information had done!");
    log("Create_Batch_File", "End");
    return true;
}

bool clsRules::Display_Msg_To_User()
{
    const std::optional<std::string> drive = transferGlobals().driveMap.lookup("C:");
    platform::RunningMachine* machine = platform::RunningMachine::current();
    wizardWindows().setStatusText("Execute Batch File in Source PC under C:\\KestroBatch\\Temp.bat");
    log("Display_Msg_To_User", "Start");
    if (m_env.setVariable)
        m_env.setVariable("$bln_initial_migration_done", "false");
    if (!drive || drive->empty() || !machine) {
        log("Display_Msg_To_User", "0 : The source PC's C drive is not mapped");
        return false;
    }
    const std::string sourceFolder = *drive + "\\KestroBatch";
    const std::string target = AppPath + "\\tempreg\\";
    platform::FileSystem& files = machine->files();
    if (exportsOfThisRun(files, target)) {
        // The same source again: its exports on the source PC and here stay as they are.
        RegistryRequired = true;
        log("Display_Msg_To_User", "The exports of " + SourcePcName + " are taken again");
        return true;
    }
    if (programEndRequested())
        return false;
    HandOverSource.clear();
    // Until the batch file is in place, it is put there again before each question.
    bool prepared = false;
    for (;;) {
        if (!prepared && !(prepared = prepareSource(files, sourceFolder, target)))
            log("Display_Msg_To_User",
                "0 : " + sourceFolder + "\\" + kBatchFileName + " could not be made ready");
        const platform::MsgResult answer = platform::showMessage(
            kRunBatchFile, platform::MsgButtons::OkCancel, platform::MsgIcon::Information);
        if (answer != platform::MsgResult::Ok) {
            RegistryRequired = false;
            if (Exit_Application()) {
                requestProgramEnd(0);
                return false;
            }
            continue;
        }
        transferGlobals().checkedMirrors.clear();
        if (copyExports(files, sourceFolder, target))
            break;
        if (programEndRequested())
            return false;
    }
    RegistryRequired = true;
    HandOverSource = handOverSource();
    log("Display_Msg_To_User", "End");
    return true;
}

bool clsRules::sourceMirrorWhole()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    bool whole = true;
    for (const char* root : kExportRoots) {
        platform::RegKey key;
        whole = whole &&
            machine->registry().openKey(platform::RegKey(platform::RegRoot::LocalMachine),
                "SOFTWARE\\QZ\\" + std::string(root), key) == platform::WinError::Success;
    }
    if (whole)
        return true;
    log("Source_Value_Initialize", "0 : the registry of " + SourcePcName + " was not merged");
    // Nothing of a half-made mirror may be taken for the source's registry; its room in the
    // registry's file goes with it.
    Remove_Registry_Entries(AppPath);
    // An editor ended at its limit leaves its unfinished merge in the registry's log file.
    machine->registry().giveBackSpace();
    platform::FileSystem& files = machine->files();
    for (const char* name : kSourceExports) {
        files.deleteFile(AppPath + "\\tempreg\\" + name, true);
        files.deleteFile(AppPath + "\\tempreg\\mirror\\" + name, true);
    }
    HandOverSource.clear();
    wizardWindows().closeBusyWindow();
    wizardWindows().setStatusText("The registry of the Source PC was not taken over");
    platform::showMessage("The registry of the Source PC could not be taken over. Click Next to run "
                          "'C:\\KestroBatch\\Temp.bat' in the Source PC again, or Cancel to leave.",
        platform::MsgButtons::Ok, platform::MsgIcon::Critical);
    return false;
}

} // namespace wizard
