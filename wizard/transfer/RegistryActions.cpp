// RegistryActions.cpp: registry file merges and rewrites, mirrored key and value imports, key
// exports, renames and the application folder fetch.
#include "wizard/transfer/RegistryActions.h"

#include <algorithm>

#include "common/Text.h"
#include "platform/RegFile.h"

#include "wizard/core/AppPath.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryEditorWait.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"

namespace wizard::transfer {
namespace {

constexpr const char* kCollecting = "Please wait... collecting remote information";

// A searched text as the status line shows it: paths are searched in the escaped form of registry
// files (every backslash doubled, the drive also as "C?\\"), but the user reads them plain.
std::string shownSearch(const std::string& search)
{
    std::string shown = replaceAll(search, "\\\\", "\\");
    if (shown.size() >= 3 && common::isAsciiLetter(shown[0]) && shown[1] == '?' && shown[2] == '\\')
        shown[1] = ':';
    return shown;
}

// Reads the file, applies one replacement and writes it back with CR LF appended. A replacement
// with an empty side leaves the file as it is. A large file is read, rewritten and written beside
// the window, whose events go on.
TransferOutcome replaceInFile(const char* process, const std::string& file, const std::string& search,
    const std::string& replacement, CaseMode mode)
{
    if (!fileExists(file))
        return sourceNotFound(process, file);
    const std::string from = toAnsi(search);
    const std::string to = toAnsi(replacement);
    FsError read = FsError::None;
    FsError written = FsError::None;
    bool replaced = false;
    runWithEvents([&](const std::atomic<bool>&) {
        std::string bytes;
        read = readFileBytes(file, bytes);
        replaced = read == FsError::None && rewriteText(bytes, from, to, mode);
        if (replaced) {
            bytes += "\r\n";
            written = writeFileBytes(file, bytes);
        }
    });
    if (read != FsError::None || written != FsError::None) {
        writeTransferLog(process, errorStatus(read != FsError::None ? read : written) + " : " + file);
        return TransferOutcome::Failed;
    }
    if (!replaced)
        writeTransferLog(process, "Not replaced (empty text) : " + search + " : " + replacement);
    return TransferOutcome::Migrated;
}

// Whether the rewritten export names only the key it was made of and keys below it: a key name
// of the source that broke the export's lines must not reach another key of this PC.
bool keptBelow(const std::string& file, const std::string& key, const char* process = "Action_Import")
{
    std::string bytes;
    if (readFileBytes(file, bytes) != FsError::None)
        return false;
    platform::RegFileMergeReport report;
    if (platform::checkRegText(bytes, report, liveCheckOptions({key})) == platform::WinError::Success)
        return true;
    writeTransferLog(process, "Outside " + key + " : " + report.message);
    return false;
}

// Whether the file holds one of the source's exports the hand-over already found below the mirror
// (TransferGlobals::checkedMirrors); that one is taken off the list.
bool checkedAtHandOver(const std::string& file)
{
    std::vector<std::string>& checked = transferGlobals().checkedMirrors;
    if (checked.empty())
        return false;
    bool found = false;
    // A large export is read, compared and let go beside the window, whose events go on.
    runWithEvents([&](const std::atomic<bool>&) {
        std::string bytes;
        if (readFileBytes(file, bytes) != FsError::None)
            return;
        const auto same = std::find(checked.begin(), checked.end(), bytes);
        if (same == checked.end())
            return;
        const std::string taken = std::move(*same);
        checked.erase(same);
        found = true;
    });
    return found;
}

// Exports the whole key through the registry editor into the import folder, rewrites the mirror
// headers and the source's Windows and system folders, and merges the file.
TransferOutcome importWholeKey(const std::string& key)
{
    if (!registryKeyExists(key))
        return sourceNotFound("Action_Import", key);
    const std::string folder = Action_Function::kImportFolder;
    const std::string file = folder + "\\Temp.reg";
    if (folderExists(folder))
        deleteFolder(folder);
    createFolder(folder);
    bool ok = ModOtherApplications::ExportRegistry(file, key);
    wizardWindows().setStatusText(kCollecting);
    ok = ok && waitWhileFileBusy(file) && fileExists(file);
    const auto replaced = [&file](const std::string& search, const std::string& replacement) {
        return replaceWorker(file, search, replacement) == TransferOutcome::Migrated;
    };
    if (ok && isMirrorKey(key))
        ok = replaced(std::string(kMirrorHeader), "[");
    if (ok) {
        // System folders first: the Windows folder is their prefix.
        const std::string srcSys = scriptVariable("$st_source_sys_path");
        const std::string dstSys = scriptVariable("$st_destination_sys_path");
        const std::string srcWin = scriptVariable("$st_source_win_path");
        const std::string dstWin = scriptVariable("$st_destination_win_path");
        const auto q = [](const std::string& s) { return replaceAll(s, ":", "?"); };
        ok = replaced(srcSys, dstSys) && replaced(srcWin, dstWin) && replaced(q(srcSys), q(dstSys)) &&
            replaced(q(srcWin), q(dstWin));
    }
    ok = ok && keptBelow(file, isMirrorKey(key) ? realKeyOf(key) : key);
    if (ItemTally* tally = currentItemTally(); ok && tally)
        tally->keepKeyBefore(isMirrorKey(key) ? realKeyOf(key) : key);
    ok = ok && mergeRegFileWorker(file) == TransferOutcome::Migrated;
    deleteFolder(folder);
    if (!ok) {
        writeTransferLog("Action_Import",
            std::to_string(errorNumber(FsError::PathFileAccess)) + ":The key was not imported : " + key);
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Migrated;
}

// Copies one mirrored value with its own type to its real place. Nothing is written for an empty
// text value, a key outside the mirror or a hive the transfer layer does not write to.
TransferOutcome importOneValue(const std::string& key, const std::string& item)
{
    RegData data;
    const size_t slash = key.find('\\');
    const auto sourceRoot = slash == std::string::npos ? std::nullopt : scriptRootOf(key.substr(0, slash));
    const bool readable = sourceRoot && readRegistryValue(*sourceRoot, key.substr(slash + 1), item, data);
    if (!readable)
        return sourceNotFound("Action_Import", key + " : " + item);
    const bool emptyText = (data.type == platform::RegType::Sz || data.type == platform::RegType::ExpandSz) &&
        (data.bytes.empty() || data.bytes[0] == '\0');
    if (emptyText || !isMirrorKey(key))
        return TransferOutcome::Migrated;
    const std::string realKey = realKeyOf(key);
    const size_t cut = realKey.find('\\');
    const auto hive = scriptRootOf(realKey.substr(0, cut));
    if (!hive || cut == std::string::npos)
        return TransferOutcome::Migrated;
    if (ItemTally* tally = currentItemTally())
        tally->keepKeyBefore(realKey);
    if (!importValue(*hive, realKey.substr(cut + 1), item, data)) {
        writeTransferLog("Action_Import",
            std::to_string(errorNumber(FsError::PathFileAccess)) + ":The value was not written : " + item);
        return TransferOutcome::Failed;
    }
    return TransferOutcome::Migrated;
}

// Before an item merges a registry file: every key of this PC the file names is kept, so that a
// refusal of the item puts them back. False when the file cannot be read (nor merged then).
bool keepKeysOf(const std::string& regFile, ItemTally& tally)
{
    std::string bytes;
    if (readFileBytes(regFile, bytes) != FsError::None)
        return false;
    platform::RegFileMergeReport report;
    platform::RegFileMergeOptions options;
    options.listKeys = true;
    platform::checkRegText(bytes, report, options);
    for (const std::string& key : report.keys)
        tally.keepKeyBefore(key);
    return true;
}

} // namespace

TransferOutcome mergeRegFileWorker(const std::string& regFile)
{
    WizardWindows& windows = wizardWindows();
    writeTransferLog("Action_Update_Registry", "Start");
    if (windows.busyWindowOpen()) {
        windows.setBusyCaption(transferGlobals().progressCaption);
        windows.setBusyDetails("Please wait.. Analyzing " + regFile);
    }
    windows.setMousePointer(MousePointer::Hourglass);
    TransferOutcome outcome = TransferOutcome::Migrated;
    ItemTally* tally = currentItemTally();
    if (!fileExists(regFile)) {
        outcome = sourceNotFound("Action_Update_Registry", regFile);
    } else if (tally && tally->refused()) {
        writeTransferLog("Action_Update_Registry", "Not merged : " + regFile + " : " + kItemHaltedWhy);
        outcome = TransferOutcome::Failed;
    } else if (fileSize(regFile) >= 1) {
        yieldToEvents();
        // The source's exports in "tempreg" (the main script's mirror copies) merge only below
        // the mirror, whatever the script's rewrite made of them.
        const bool fromSource = upperAscii(regFile).rfind(upperAscii(AppPath + "\\tempreg\\"), 0) == 0;
        if (fromSource && !checkedAtHandOver(regFile) &&
            !keptBelow(regFile, std::string(kMirrorPrefix.substr(0, kMirrorPrefix.size() - 1)),
                "Action_Update_Registry")) {
            outcome = TransferOutcome::Failed;
        } else if ((tally && !keepKeysOf(regFile, *tally)) ||
            !ModOtherApplications::ImportRegistry(regFile)) {
            writeTransferLog("Action_Update_Registry",
                std::to_string(errorNumber(FsError::PathFileAccess)) + ":" + regFile +
                    " : The registry editor did not merge the file");
            outcome = TransferOutcome::Failed;
        }
        windows.setBusyDetails("Please wait.. Analyzing...");
    }
    windows.setMousePointer(MousePointer::Default);
    if (outcome != TransferOutcome::Failed)
        writeTransferLog("Action_Update_Registry", "End");
    return outcome;
}

TransferOutcome replaceWorker(
    const std::string& file, const std::string& search, const std::string& replacement)
{
    WizardWindows& windows = wizardWindows();
    windows.setStatusText(
        "Please wait... Analyzing the source PC's information " + shownSearch(search) + "!");
    writeTransferLog("Action_Replace", "Start");
    if (windows.busyWindowOpen()) {
        windows.setBusyCaption(transferGlobals().progressCaption);
        windows.setBusyDetails("Please wait.. Analyzing " + file);
    }
    windows.setMousePointer(MousePointer::Hourglass);
    const TransferOutcome outcome =
        replaceInFile("Action_Replace", file, search, replacement, CaseMode::IgnoreCase);
    windows.setMousePointer(MousePointer::Default);
    windows.setStatusText("Process completed " + shownSearch(search) + "!");
    if (outcome != TransferOutcome::Failed)
        writeTransferLog("Action_Replace", "End");
    return outcome;
}

TransferOutcome importWorker(const std::string& key, const std::string& item)
{
    if (trim(key).empty()) {
        writeTransferLog("Action_Import", "End");
        return TransferOutcome::Migrated;
    }
    writeTransferLog("Action_Import", "Start");
    if (currentItemRefused()) {
        writeTransferLog("Action_Import", "Not imported : " + key + " : " + kItemHaltedWhy);
        return TransferOutcome::Failed;
    }
    const TransferOutcome outcome = trim(item) == "*.*" ? importWholeKey(key) : importOneValue(key, item);
    if (outcome != TransferOutcome::Failed)
        writeTransferLog("Action_Import", "End");
    return outcome;
}

bool importValue(
    platform::RegRoot hive, const std::string& subKey, const std::string& valueName, const RegData& data)
{
    if (writeRegistryValue(hive, subKey, valueName, data))
        return true;
    writeTransferLog("Registry_Import",
        std::to_string(errorNumber(FsError::PathFileAccess)) + ":" +
            std::to_string(static_cast<std::int32_t>(static_cast<std::uint32_t>(hive))) + " : " + subKey +
            " : " + valueName);
    return false;
}

} // namespace wizard::transfer

namespace wizard::Action_Function {
namespace {

using namespace wizard::transfer;

bool isPlainFileName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name != "." && name != "..";
}

} // namespace

bool Action_Update_Registry(const std::string& regFile) { return scriptAnswer(mergeRegFileWorker(regFile)); }

bool Action_Rename(const std::string& oldPath, const std::string& newPath)
{
    writeTransferLog("Action_Rename", "Start");
    if (!fileExists(oldPath)) {
        writeTransferLog("Action_Rename", "0:");
        return false;
    }
    if (const FsError e = renameFile(oldPath, newPath); e != FsError::None) {
        writeTransferLog("Action_Rename", errorStatus(e));
        return false;
    }
    writeTransferLog("Action_Rename", "End");
    return true;
}

bool Action_Replace(const std::string& file, const std::string& search, const std::string& replacement)
{
    return scriptAnswer(replaceWorker(file, search, replacement));
}

bool Replace_withOut_Case(const std::string& file, const std::string& search, const std::string& replacement)
{
    wizardWindows().setStatusText("please wait getting remote PC information " + shownSearch(search) + "!");
    writeTransferLog("Replace_withOut_Case", "Start");
    const bool result =
        scriptAnswer(replaceInFile("Replace_withOut_Case", file, search, replacement, CaseMode::Exact));
    if (result)
        writeTransferLog("Replace_withOut_Case", "End");
    return result;
}

bool Action_Get(const std::string& key, const std::string& valueName, const std::string& pathPart)
{
    writeTransferLog("Action_Get", "Start");
    std::string path = replaceAll(Application_Functions::Get_Remote_App_Path(key, valueName), "\"", "");
    if (path.empty())
        return false;
    const std::string value = path;
    if (const std::string why = pathTextRefusal(path); !why.empty()) {
        refusePath("Action_Get", value, why);
        return false;
    }
    // "C:/WINDOWS" names the same folder as "C:\WINDOWS".
    path = replaceAll(path, "/", "\\");
    const std::string drive = path.substr(0, 2);
    const auto local = transferGlobals().driveMap.lookup(drive);
    if (!local || path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        // Without a mapped drive neither side of the copy is known: copy nothing.
        const bool named = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
        const std::string why = named ? "the source PC's drive " + drive + " is not connected : " + value
                                      : "not a path on a drive : " + value;
        writeTransferLog("Action_Get", "0:Drive not mapped : " + value);
        noteItemFailure("Action_Get : " + why);
        return false;
    }
    path = replaceAll(path, drive, *local);
    if (path.find('~') != std::string::npos)
        path = longPathOf(path);
    if (fileExists(path))
        path = folderOf(path);
    transferGlobals().lastAppPath = path;
    if (!pathPart.empty()) {
        const size_t at = upperAnsi(path).rfind(upperAnsi(pathPart));
        if (at != std::string::npos)
            path = replaceAll(path.substr(0, at) + pathPart, "\\\\", "\\");
    }
    std::string destPath = replaceAll(path, *local, drive);
    if (!destPath.empty() && destPath.back() == '\\') {
        destPath.pop_back();
        path.pop_back();
    }
    // The value names a folder to copy whole, on both PCs: never a system's own, and here never
    // a place this PC starts programs from.
    if (const std::string why = steeredCopyRefusal(path, destPath, platform::SteeredFolder::Application);
        !why.empty()) {
        refusePath("Action_Get", value, why);
        return false;
    }
    if (!Action_Copy_Folder(path, destPath, "false")) {
        const std::string shown = transferGlobals().driveMap.sourcePathOf(path);
        writeTransferLog("Action_Get",
            std::to_string(errorNumber(FsError::PathFileAccess)) + ":The folder copy failed : " + shown);
        noteItemFailure("Action_Get : the folder copy failed : " + shown);
        return false;
    }
    writeTransferLog("Action_Get", "End");
    return true;
}

bool Action_Import(const std::string& key, const std::string& item)
{
    return scriptAnswer(importWorker(key, item));
}

bool Registry_Import(
    platform::RegRoot hive, const std::string& subKey, const std::string& valueName, const std::string& value)
{
    return importValue(
        hive, subKey, valueName, RegData{platform::RegType::Sz, toAnsi(value) + std::string(1, '\0')});
}

bool Action_Export(const std::string& key, const std::string& targetFile)
{
    if (trim(key).empty()) {
        writeTransferLog("Action_Export", "0:");
        return false;
    }
    if (!isPlainFileName(targetFile)) {
        writeTransferLog("Action_Export", "0:Not a file name : " + targetFile);
        return false;
    }
    writeTransferLog("Action_Export", "Start");
    const std::string folder = kExportFolder;
    if (!folderExists(folder))
        createFolder(folder);
    const std::string file = folder + "\\" + targetFile;
    bool ok = ModOtherApplications::ExportRegistry(file, key);
    wizardWindows().setStatusText(kCollecting);
    if (fileExists(file))
        ok = waitWhileFileBusy(file) && ok;
    else
        ok = false;
    deleteFile(folder + "\\tempbat.bat");
    if (!ok) {
        writeTransferLog("Action_Export",
            std::to_string(errorNumber(FsError::PathFileAccess)) + ":The key was not exported : " + key);
        return false;
    }
    writeTransferLog("Action_Export", "End");
    return true;
}

bool Merge_Template_Copy(
    const std::string& templatePath, const std::vector<std::pair<std::string, std::string>>& substitutions)
{
    std::string bytes;
    if (!fileExists(templatePath) || readFileBytes(templatePath, bytes) != FsError::None) {
        writeTransferLog(
            "Merge_Template_Copy", std::to_string(errorNumber(FsError::FileNotFound)) + ":" + templatePath);
        return false;
    }
    for (const auto& [search, replacement] : substitutions) {
        if (!rewriteText(bytes, toAnsi(search), toAnsi(replacement), CaseMode::Exact)) {
            writeTransferLog("Merge_Template_Copy", "Not replaced (empty text) : " + templatePath);
            return false;
        }
    }
    const std::string folder = AppPath + "\\temp";
    makeSurePathExists(folder + "\\");
    const std::string copy = folder + namePartOf(templatePath);
    if (const FsError e = writeFileBytes(copy, bytes + "\r\n"); e != FsError::None) {
        writeTransferLog("Merge_Template_Copy", errorStatus(e) + " : " + copy);
        return false;
    }
    const bool merged = mergeRegFileWorker(copy) == TransferOutcome::Migrated;
    deleteFile(copy);
    return merged;
}

} // namespace wizard::Action_Function
