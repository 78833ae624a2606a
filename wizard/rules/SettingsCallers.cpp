// SettingsCallers.cpp: the rules that application and settings scripts call for the desktop
// shortcuts of a scripted application, the messenger check, the display settings and the Outlook
// Express message store.
#include "wizard/rules/ItemRules.h"

#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/DisplaySettings.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <array>
#include <cstdlib>

namespace wizard {
namespace {

using namespace wizard::transfer;

bool ntSource() { return SourceOs == "win2k" || SourceOs == "winxp"; }

// The path on the source PC as the drive map reaches it; empty when its drive is not mapped.
std::string onSource(const std::string& path)
{
    const auto local = path.size() >= 2 ? transferGlobals().driveMap.lookup(path.substr(0, 2)) : std::nullopt;
    return local ? *local + path.substr(2) : std::string();
}

// False for a shortcut whose target lies on a mapped source drive and no longer exists there.
bool targetPresent(const std::string& target)
{
    const std::string local = onSource(target);
    return local.empty() || fileExists(local) || folderExists(local);
}

std::string hexText(const std::string& list)
{
    std::string out;
    for (size_t at = 0; at < list.size();) {
        const size_t comma = list.find(',', at);
        const std::string byte =
            trim(list.substr(at, comma == std::string::npos ? std::string::npos : comma - at));
        if (!byte.empty()) {
            const char ch = static_cast<char>(std::strtol(byte.c_str(), nullptr, 16));
            if (ch == '\0')
                break;
            out += ch;
        }
        if (comma == std::string::npos)
            break;
        at = comma + 1;
    }
    return out;
}

} // namespace

std::string storeRootOf(const std::string& exportText)
{
    std::string text = replaceAll(exportText, std::string(1, '\0'), "");
    text = replaceAll(replaceAll(text, "\\\r\n", ""), "\\\n", "");
    const std::string wanted = "\"store root\"=";
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        const std::string line = trim(replaceAll(text.substr(start, end - start), "\r", ""));
        start = end == std::string::npos ? text.size() : end + 1;
        if (line.size() <= wanted.size() || !containsNoCase(line.substr(0, wanted.size()), wanted))
            continue;
        const std::string data = trim(line.substr(wanted.size()));
        if (data.rfind("hex(2):", 0) == 0)
            return hexText(data.substr(7));
        if (data.size() >= 2 && data.front() == '"' && data.back() == '"')
            return replaceAll(replaceAll(data.substr(1, data.size() - 2), "\\\\", "\\"), "\\\"", "\"");
        return {};
    }
    return {};
}

namespace {

// The store root's tokens (any case: Windows writes "%UserProfile%") replaced by one PC's folders,
// named by the script variables of that side ("source" or "destination"). Empty when the root
// holds a token whose folder is not known.
std::string expandStoreRootOn(std::string root, const std::string& side)
{
    const std::string winDir = scriptVariable("$st_" + side + "_win_dir");
    const std::array<std::pair<const char*, std::string>, 5> tokens = {{
        {"%ProgramFiles%", scriptVariable("$st_" + side + "_program_file")},
        {"%windir%", winDir},
        {"%SystemRoot%", winDir},
        {"%USERPROFILE%", scriptVariable("$st_" + side + "_curr_user_settings")},
        {"%SystemDrive%", winDir.substr(0, 2)},
    }};
    for (const auto& [token, value] : tokens) {
        if (!containsNoCase(root, token))
            continue;
        if (trim(value).empty())
            return {};
        root = replaceAll(root, token, value, CaseMode::IgnoreCase);
    }
    return root;
}

// True when an identity here has the store root `stored`: the migrated identity then looks for its
// store where this PC reads that root.
bool identityHereHasRoot(const std::string& stored)
{
    using namespace Registry_Related_Functions;
    const std::string identities = "Identities";
    for (const std::string& id :
        FN_Reg_Enum_Keys(platform::RegRoot::CurrentUser, identities).value_or(TextList::value_type{}))
        if (upperAscii(FN_Reg_Get_Value(platform::RegRoot::CurrentUser,
                identities + "\\" + id + "\\Software\\Microsoft\\Outlook Express\\5.0", "Store Root", "")) ==
            upperAscii(stored))
            return true;
    return false;
}

} // namespace

std::string expandStoreRoot(std::string root)
{
    // The folders are the source's as mapped here: the store root names the source's own drive.
    return transferGlobals().driveMap.sourcePathOf(expandStoreRootOn(std::move(root), "source"));
}

std::string storeRootHere(std::string root) { return expandStoreRootOn(std::move(root), "destination"); }

bool Shortcut_Copy()
{
    writeTransferLog("Shortcut_Copy", "Start");
    std::string& appPath = transferGlobals().lastAppPath;
    if (appPath.empty())
        return true;
    const std::string desktop =
        scriptVariable(ntSource() ? "$st_source_curr_user_settings" : "$st_source_win_dir") + "\\Desktop";
    std::string shared = scriptVariable("$st_destination_alluser_settings");
    // A Windows 98 destination has no shared profile: its desktop is in the Windows folder.
    if (trim(shared).empty())
        shared = scriptVariable("$st_destination_win_dir");
    for (const std::string& name : fileNames(desktop)) {
        if (!endsWithNoCase(name, ".lnk"))
            continue;
        const std::string target = shortcutTargetOf(desktop + "\\" + name);
        if (!containsNoCase(target, appPath.substr(1)))
            continue;
        if (!targetPresent(target)) {
            writeTransferLog("Shortcut_Copy", "Target not found : " + target);
            continue;
        }
        Action_Function::Action_Copy_File(desktop + "\\" + name, shared + "\\Desktop", "true");
    }
    appPath.clear();
    return true;
}

bool Missing_ShortCut()
{
    std::string& appPath = transferGlobals().lastAppPath;
    if (!appPath.empty() && fileExists(appPath + "\\msnmsgr.exe"))
        Set_System_Variable_Value("$bln_msn_messenger_5", "true");
    appPath.clear();
    return true;
}

bool Caller_Settings_Resolution() { return Registry_Related_Functions::FN_Resolution_Migrate(); }

bool Caller_Settings_ScreenSaver() { return Registry_Related_Functions::FN_ScreenSaver_Migrate(); }

bool Get_dotdbs_file_outlook()
{
    writeTransferLog("Get_dotdbs_file_outlook", "Strat");
    static const std::array<const char*, 5> kKnown = {"win95", "win98", "winme", "win2k", "winxp"};
    bool known = false;
    for (const char* os : kKnown)
        known = known || SourceOs == os;
    const std::string key = known ? "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Identities" : "";
    // A source whose user never had an identity has no store to bring: nothing failed.
    if (!key.empty() && !registryKeyExists(key)) {
        writeTransferLog("Get_dotdbs_file_outlook", "Not found : " + key);
        return true;
    }
    if (!Action_Function::Action_Export(key, "DotDbsgFile.reg"))
        return false;
    std::string bytes;
    readFileBytes(std::string(Action_Function::kExportFolder) + "\\DotDbsgFile.reg", bytes);
    const std::string stored = storeRootOf(fromAnsi(bytes));
    const std::string root = expandStoreRoot(stored);
    if (root.size() < 3 || root[1] != ':') {
        writeTransferLog("Get_dotdbs_file_outlook", "End");
        return true;
    }
    // The store goes where the root, as this PC reads it, points: "%UserProfile%\..." is this
    // PC's user's profile, not the source user's.
    const std::string here = storeRootHere(stored);
    if (here.size() < 3 || here[1] != ':') {
        writeTransferLog("Get_dotdbs_file_outlook", "Store not copied : this PC has no folder for " + stored);
        return false;
    }
    std::string source = onSource(root);
    if (source.empty())
        source = "\\\\" + SourcePcName + "\\" + replaceAll(root, ":", "$");
    // The store root names a folder copied whole on both PCs: never a system's own, and here
    // never a place this PC starts programs from.
    if (const std::string why = steeredCopyRefusal(source, here, platform::SteeredFolder::Profile);
        !why.empty()) {
        // The item is refused with the reason: its later steps do not run, and the store root
        // its import wrote is taken back.
        refusePath("Get_dotdbs_file_outlook", stored, why);
        return true;
    }
    if (!Action_Function::Action_Copy_Folder(source, here, "true")) {
        // A store file the mail program holds open on the source cannot be read.
        writeTransferLog("Get_dotdbs_file_outlook", "Store not copied (in use?) : " + sourceNamed(source));
        return false;
    }
    if (!identityHereHasRoot(stored)) {
        // The mail program here would look elsewhere: the store is there, but not found.
        writeTransferLog("Get_dotdbs_file_outlook", "No identity here has its store root : " + stored);
        return false;
    }
    writeTransferLog("Get_dotdbs_file_outlook", "End");
    return true;
}

} // namespace wizard
