// ApplicationKeys.cpp: the rules that move an application without a script of its own: its
// registry keys found in the mirror by its name, its install folder and uninstall entry, its
// desktop item and program group.
#include "wizard/rules/ItemRules.h"

#include "common/Text.h"
#include "platform/CodePage.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/rules/MigrationRun.h"
#include "wizard/selection/SourceApplications.h"
#include "wizard/transfer/AppLocation.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"

#include <array>
#include <optional>

namespace wizard {
namespace {

using namespace wizard::transfer;

constexpr std::size_t kShortestName = 3;
constexpr std::array<const char*, 2> kMirrorRoots = {
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\Software", "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software"};

// The busy window's texts; the key walk writes them whether or not it is shown.
void busyTexts(const std::string& caption, const std::string& details)
{
    wizardWindows().setBusyCaption(caption);
    if (!details.empty())
        wizardWindows().setBusyDetails(details);
}

void progressTexts(const std::string& details)
{
    if (!migrationRunState().progressShown)
        return;
    yieldToEvents();
    busyTexts(transferGlobals().progressCaption, details);
}

std::optional<std::vector<std::string>> subKeysOf(const std::string& key)
{
    return Registry_Related_Functions::FN_Reg_Enum_Keys(platform::RegRoot::LocalMachine, key);
}

} // namespace

namespace {

// Keys that Windows itself and every program share: never taken whole, whatever the name.
bool sharedKey(const std::string& key)
{
    static const std::array<const char*, 13> kShared = {"Microsoft", "Windows", "Windows NT",
        "CurrentVersion", "Explorer", "Shell Folders", "Classes", "Clients", "Policies", "Program Groups",
        "Secure", "ODBC", "Description"};
    for (const char* shared : kShared)
        if (platform::equalsNoCase(key, shared))
            return true;
    return false;
}

} // namespace

bool keyMatchesApplication(const std::string& key, const std::string& name, const std::string& parent)
{
    // A name of one or two letters is held by too many keys to name an application.
    if (trim(name).size() < kShortestName || key.size() < kShortestName)
        return false;
    if (key.find(name) != std::string::npos)
        return true;
    if (name.find(key) == std::string::npos || sharedKey(key))
        return false;
    // A key that is only a word of the name ("Explorer" of "Star Chart Explorer") names the
    // application only where the name begins with it or its parent is part of the name too
    // ("Adobe\Acrobat" for "Adobe Acrobat 5.0").
    return name.rfind(key, 0) == 0 ||
        (parent.size() >= kShortestName && name.find(parent) != std::string::npos);
}

namespace {

// Walks the sub-keys of keyPath depth first: the first matching key of a level is recorded and
// ends that level; the subtrees of the keys before it are searched.
void IterateKeys(const std::string& keyPath, const std::string& name, std::vector<std::string>& matched)
{
    const auto subs = subKeysOf(keyPath);
    wizardWindows().setBusyCaption("Analysing Registry...");
    if (!subs)
        return;
    for (const std::string& sub : *subs) {
        if (keyMatchesApplication(sub, name, fileNameOf(keyPath))) {
            matched.push_back(keyPath + "\\" + sub);
            return;
        }
        IterateKeys(keyPath + "\\" + sub, name, matched);
    }
}

} // namespace

namespace {

// One key directly below a root that matches: a key that holds the whole name is the
// application's; a key that is only part of the name is its vendor's ("Adobe" of "Adobe
// Acrobat"), searched for the application first and taken whole only when nothing inside matches
// and it is not a key Windows shares.
void takeTopKey(const std::string& path, const std::string& key, const std::string& name,
    std::vector<std::string>& matched)
{
    if (key.find(name) != std::string::npos) {
        matched.push_back(path);
        return;
    }
    const std::size_t before = matched.size();
    IterateKeys(path, name, matched);
    if (matched.size() == before && !sharedKey(key))
        matched.push_back(path);
}

} // namespace

std::vector<std::string> applicationKeysOf(const std::string& name)
{
    std::vector<std::string> matched;
    for (const char* root : kMirrorRoots) {
        const auto keys = subKeysOf(root);
        wizardWindows().setBusyCaption("Analysing Registry...");
        if (!keys || keys->empty()) {
            writeTransferLog("Identify_Keys", "Key not Found " + std::string(root));
            continue;
        }
        for (const std::string& key : *keys) {
            const std::string path = std::string(root) + "\\" + key;
            if (keyMatchesApplication(key, name, "")) {
                takeTopKey(path, key, name, matched);
                break;
            }
            IterateKeys(path, name, matched);
        }
    }
    return matched;
}

bool Identify_Keys()
{
    const std::string name = migrationRunState().currentItemName;
    writeTransferLog("Identify_Keys : " + name, "Start");
    const std::vector<std::string> matched = applicationKeysOf(name);
    wizardWindows().setBusyCaption("Updating Registry...");
    if (matched.empty())
        writeTransferLog("Identify_Keys", "No Keys Found");
    for (const std::string& key : matched)
        Action_Function::Action_Import("HKEY_LOCAL_MACHINE\\" + key, "*.*");
    writeTransferLog("Identify_Keys", "End");
    return true;
}

namespace {

// The install folder of the application as the source names it: its uninstall entry, else App
// Paths; quotes removed and cut after the folder whose name holds the name.
struct FoundApplication {
    std::string path;
    std::string key;
};

std::string cutAtName(std::string path, const std::string& name)
{
    const size_t at = common::lowerAscii(path).find(common::lowerAscii(name));
    if (at != std::string::npos && !name.empty()) {
        const size_t slash = path.find('\\', at);
        if (slash != std::string::npos)
            path = path.substr(0, slash);
    }
    return path;
}

FoundApplication findApplication(const std::string& name)
{
    const std::string wanted = common::lowerAscii(trim(name));
    const auto& list = ApplicationList();
    for (std::size_t i = 1; i < list.size(); ++i) {
        if (common::lowerAscii(trim(list[i].getApplnName())) != wanted)
            continue;
        std::string path = ModOtherApplications::FindInstallLocation(list[i].getApplicationKey());
        if (trim(path).empty() || common::lowerAscii(path).find("rundll32") != std::string::npos)
            path = ModOtherApplications::FindAppPaths(name);
        return {cutAtName(replaceAll(path, "\"", ""), name), list[i].getApplicationKey()};
    }
    return {};
}

// Source folder (local side) and destination folder of a found path.
struct FolderPair {
    std::string source;
    std::string dest;
};

FolderPair foldersOf(const std::string& path, const std::string& name)
{
    const std::string local =
        ModOtherApplications::GetInstallPath(ModOtherApplications::ConvertPath(path), name);
    if (local.empty())
        return {};
    return {local, path.substr(0, 1) + local.substr(1)};
}

// Why a folder must never be copied as an application's ("" when it may): what no copy a source
// value steers may take (a drive root, a Windows or system folder, Program Files itself), and, for
// an application, anything in the Windows folder and Common Files. Copying one of them would lay
// the source's system over the destination's.
std::string refusalOf(const FolderPair& f)
{
    if (std::string why = steeredCopyRefusal(f.source, f.dest, platform::SteeredFolder::Application);
        !why.empty())
        return why;
    if (partBelow(f.source, scriptVariable("$st_source_win_dir")))
        return "in the Windows folder";
    if (partBelow(f.source, scriptVariable("$st_source_common_dir")))
        return "in the Common Files folder";
    return {};
}

void noteNotFound()
{
    if (ItemTally* tally = currentItemTally())
        tally->note(TransferOutcome::NotFound);
}

} // namespace

bool Identify_Application_Path()
{
    const std::string name = migrationRunState().currentItemName;
    const std::string process = "Identify_Application_Path : " + name;
    progressTexts("Please wait.. Finding Application Path ");
    const FoundApplication app = findApplication(name);
    writeTransferLog(process, app.path);
    FolderPair folders = trim(app.path).empty() ? FolderPair{} : foldersOf(app.path, name);
    std::string refused = folders.source.empty() ? "" : refusalOf(folders);
    if (!refused.empty()) {
        const std::string first = folders.source;
        const std::string appPath = cutAtName(ModOtherApplications::FindAppPaths(name), name);
        folders = trim(appPath).empty() ? FolderPair{} : foldersOf(appPath, name);
        const std::string again = folders.source.empty() ? "" : refusalOf(folders);
        // The item is refused when App Paths names no folder it may take either.
        if (folders.source.empty()) {
            refusePath(process, first, refused);
            return false;
        }
        writeTransferLog(
            process, "Refused : " + transferGlobals().driveMap.sourcePathOf(first) + " : " + refused);
        if (!again.empty()) {
            refusePath(process, folders.source, again);
            return false;
        }
    }
    if (folders.source.empty()) {
        writeTransferLog(process, "Unable to Find Installed Location");
        return false;
    }
    if (!folderExists(folders.source)) {
        // The entry names a folder that is gone: nothing to copy, and no entry to re-create.
        writeTransferLog(process, "Application folder not found : " + folders.source);
        noteNotFound();
        return true;
    }
    if (!ModOtherApplications::Action_Copy_Folder(folders.source, folders.dest, "true"))
        writeTransferLog(process, "Unable to Copy Application Path");
    if (!trim(app.key).empty() && !Action_Function::Action_Import("HKEY_LOCAL_MACHINE\\" + app.key, "*.*"))
        writeTransferLog(process, "Updation of Application Path Failed");
    return true;
}

bool ApplnCreateShortCut()
{
    progressTexts("Creating Desktop Links...   ");
    ModOtherApplications::CreateShortCut(migrationRunState().currentItemName);
    return true;
}

bool ApplnCopyProgramGroup()
{
    progressTexts("Copying Link Files ...");
    ModOtherApplications::CopyProgramGroup(migrationRunState().currentItemName);
    return true;
}

} // namespace wizard
