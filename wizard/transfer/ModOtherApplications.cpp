// ModOtherApplications.cpp: application copy workers and the registry editor's export and import.
#include "wizard/transfer/ModOtherApplications.h"

#include "wizard/core/ProgramEnd.h"
#include "wizard/transfer/FileWorkers.h"
#include "wizard/transfer/RegistryEditorWait.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"

namespace wizard::ModOtherApplications {
namespace {

using namespace wizard::transfer;

const FolderCopyStyle& appCopyStyle()
{
    static const FolderCopyStyle style{"Action_Copy_Folder", [](int number, const std::string& dest) {
                                           return "Error : " + std::to_string(number) + "(" + dest + ")";
                                       }};
    return style;
}

void registerHook(const std::string& target) { CheckandRegister(target); }

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The log words of an editor run that did not finish well.
const char* editorFault(EditorWaitResult result)
{
    switch (result) {
    case EditorWaitResult::Failed: return "Failed : ";
    case EditorWaitResult::Stopped: return "Stopped by the way out : ";
    default: return "No answer : ";
    }
}

// Starts the editor, waits until it has let go of the file and has ended, and reads its result.
// A failure is logged under `record`. Once the program's end has been asked for, no editor starts.
bool runEditor(const std::string& commandLine, const std::string& file, const std::string& record)
{
    if (programEndRequested())
        return false;
    yieldToEvents();
    StartedProcess process;
    const bool started = !programEndRequested() && startHidden(commandLine, process);
    yieldToEvents();
    if (!started) {
        if (!programEndRequested())
            writeTransferLog(record, "Not started : " + commandLine);
        return false;
    }
    const EditorWaitResult waited = waitForEditor(file, process);
    if (waited != EditorWaitResult::Finished) {
        writeTransferLog(record, editorFault(waited) + commandLine);
        return false;
    }
    return true;
}

} // namespace

bool Action_Copy_File(const std::string& source, const std::string& destFolder, const std::string& /*flag*/)
{
    return scriptAnswer(copyFileWorker(source, destFolder, registerHook).outcome);
}

bool Action_Copy_Folder(const std::string& source, const std::string& dest, const std::string& /*flag*/)
{
    return scriptAnswer(copyFolderWorker(source, dest, registerHook, appCopyStyle()));
}

bool Action_Copy_Group(const std::string& source, const std::string& dest)
{
    FolderCopyStyle style = appCopyStyle();
    style.passedOver = [](const std::string& entry) {
        if (ItemTally* tally = currentItemTally())
            tally->notePassedOver(entry);
    };
    return scriptAnswer(copyFolderWorker(source, dest, registerHook, style));
}

bool CheckandRegister(const std::string& /*path*/) { return true; }

bool ExportRegistry(const std::string& file, const std::string& key)
{
    return runEditor("regedit.exe /a " + quoted(file) + " " + quoted(key), file, "regedit.exe");
}

bool ImportRegistry(const std::string& file)
{
    if (!fileExists(file))
        return false;
    return runEditor("regedit.exe /s " + quoted(file), file, "ImportRegistry : " + file);
}

} // namespace wizard::ModOtherApplications
