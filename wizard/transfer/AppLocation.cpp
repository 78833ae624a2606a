// AppLocation.cpp: the install folder of an application without a script of its own, found from
// its mirrored uninstall entry and "App Paths", and the copies of its desktop item, program group
// and installer cache folder.
#include "wizard/transfer/AppLocation.h"

#include "common/Text.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <array>
#include <optional>
#include <vector>

namespace wizard::ModOtherApplications {
namespace {

using namespace wizard::transfer;
using Registry_Related_Functions::FN_Reg_Get_Value;

constexpr const char* kAppPathsKey =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";

bool filled(const std::string& text) { return !trim(text).empty(); }

std::string entryValue(const std::string& key, const char* name)
{
    return FN_Reg_Get_Value(platform::RegRoot::LocalMachine, key, name, "");
}

// The text up to, not including, its last "\"; the text itself without one.
std::string folderPart(const std::string& text)
{
    const size_t at = text.rfind('\\');
    return at == std::string::npos ? text : text.substr(0, at);
}

// The text up to and including its last "\"; the text itself without one.
std::string upToLastSlash(const std::string& text)
{
    const size_t at = text.rfind('\\');
    return at == std::string::npos ? text : text.substr(0, at + 1);
}

// Where the token starts in the command, ignoring case (the first row alone is exact).
std::optional<size_t> findToken(const std::string& command, const std::string& token, bool exact = false)
{
    const size_t at =
        exact ? command.find(token) : common::lowerAscii(command).find(common::lowerAscii(token));
    if (at == std::string::npos)
        return std::nullopt;
    return at;
}

// The text `skip` characters after the end of the token; empty past the end.
std::string after(const std::string& command, size_t at, const std::string& token, size_t skip)
{
    const size_t from = at + token.size() + skip;
    return from >= command.size() ? std::string() : command.substr(from);
}

// The IsUninst/miuninst form: the quoted path's folder, else the path from the drive letter before
// the first (or last) ":\" up to the last "\".
std::string quotedOrDrivePath(const std::string& rest, bool lastDrive)
{
    const size_t open = rest.find('"');
    if (open != std::string::npos) {
        const size_t close = rest.find('"', open + 2);
        if (close != std::string::npos)
            return folderPart(rest.substr(open + 1, close - open - 1));
    }
    const size_t drive = lastDrive ? rest.rfind(":\\") : rest.find(":\\");
    const size_t slash = rest.rfind('\\');
    if (drive == std::string::npos || drive == 0 || slash == std::string::npos)
        return rest;
    return rest.substr(drive - 1, slash - (drive - 1));
}

// A Wise or Visual Basic uninstaller's log path: the folder (with or without its "\").
std::string logFolder(const std::string& rest, bool keepSlash)
{
    if (rest.find('.') == std::string::npos)
        return rest;
    return keepSlash ? upToLastSlash(rest) : folderPart(rest);
}

bool matchesName(const std::string& entry, const std::string& name)
{
    // An empty name would match every entry: it names no application.
    if (name.empty() || entry == "." || entry == "..")
        return false;
    return entry.find(name) != std::string::npos || name.find(entry) != std::string::npos;
}

// False for a shortcut whose target lies on a mapped source drive and is gone there.
bool shortcutTargetPresent(const std::string& file)
{
    if (!endsWithNoCase(file, ".lnk"))
        return true;
    const std::string target = shortcutTargetOf(file);
    if (target.size() < 3 || target[1] != ':')
        return true;
    const auto local = transferGlobals().driveMap.lookup(target.substr(0, 2));
    if (!local)
        return true;
    const std::string onSource = translateDrive(target, *local);
    return fileExists(onSource) || folderExists(onSource);
}

std::optional<std::string> firstMatching(const std::vector<std::string>& names, const std::string& name)
{
    for (const std::string& entry : names)
        if (matchesName(entry, name))
            return entry;
    return std::nullopt;
}

} // namespace

std::string folderOfUninstallCommand(const std::string& command)
{
    if (findToken(command, "-u", true))
        return folderPart(replaceAll(common::lowerAscii(command), "-u", ""));
    if (const auto at = findToken(command, "IsUninst.exe"))
        return quotedOrDrivePath(after(command, *at, "IsUninst.exe", 0), true);
    if (const auto at = findToken(command, "miuninst.exe"))
        return quotedOrDrivePath(after(command, *at, "miuninst.exe", 0), false);
    if (findToken(command, "/UNINSTALL"))
        return folderPart(replaceAll(command, "/uninstall", ""));
    if (const auto at = findToken(command, "unvise32qt.exe"))
        return logFolder(after(command, *at, "unvise32qt.exe", 1), true);
    if (const auto at = findToken(command, "unvise32.exe"))
        return logFolder(after(command, *at, "unvise32.exe", 1), false);
    if (const auto at = findToken(command, "iun6002.exe"))
        return logFolder(after(command, *at, "iun6002.exe", 2), true);
    if (const auto at = findToken(command, "UNWISE.EXE"))
        return logFolder(after(command, *at, "UNWISE.EXE", 1), false);
    std::string text = command;
    for (const char* token : {"ST5UNST.EXE", "ST6UNST.EXE", "uninst.exe"}) {
        const auto at = findToken(text, token);
        if (!at)
            continue;
        const std::string rest = after(text, *at, token, 1);
        const size_t drive = rest.find(":\\");
        const size_t slash = rest.rfind('\\');
        if (drive != std::string::npos && drive >= 1 && slash != std::string::npos)
            return rest.substr(drive - 1, slash - (drive - 1));
        text = rest;
    }
    return folderPart(text);
}

std::string FindInstallLocation(const std::string& key)
{
    if (const std::string location = entryValue(key, "InstallLocation"); filled(location)) {
        CopyInstallShieldFolder(key);
        return location;
    }
    if (const std::string icon = entryValue(key, "DisplayIcon"); filled(icon))
        return folderPart(icon);
    if (const std::string installTo = entryValue(key, "InstallTo"); filled(installTo))
        return folderPart(installTo);
    if (const std::string command = entryValue(key, "UnInstallString"); filled(command))
        return folderOfUninstallCommand(command);
    if (const std::string path = entryValue(key, "UNINSTALLPATH"); filled(path))
        return path;
    writeTransferLog("GenricApplnPath", "No install location : " + key);
    return {};
}

void CopyInstallShieldFolder(const std::string& key)
{
    const std::string command = entryValue(key, "UninstallString");
    if (!filled(command))
        return;
    const size_t quote = command.find('"');
    const size_t start = quote == std::string::npos ? 0 : quote + 1;
    const size_t brace = command.rfind('}');
    // Only a folder named after a product code is the installer's cache.
    if (brace == std::string::npos || brace < start)
        return;
    const std::string folder = command.substr(start, brace + 1 - start);
    const std::string local = ConvertPath(folder);
    if (local.empty()) {
        writeTransferLog("CopyInstallShieldFolder", "Not copied : " + folder);
        return;
    }
    if (const std::string why = steeredCopyRefusal(local, folder, platform::SteeredFolder::Application);
        !why.empty()) {
        refusePath("CopyInstallShieldFolder", folder, why);
        return;
    }
    Action_Copy_Folder(local, folder, "true");
}

std::string ConvertPath(const std::string& path)
{
    const std::string trimmed = trim(path);
    const auto local =
        trimmed.size() >= 2 ? transferGlobals().driveMap.lookup(trimmed.substr(0, 2)) : std::nullopt;
    if (!local) {
        writeTransferLog("ConvertPath", "Drive not mapped : " + trimmed);
        return {};
    }
    std::string out = replaceAll(trimmed, trimmed.substr(0, 2), *local);
    if (out.find('~') != std::string::npos)
        out = longPathOf(out);
    return out;
}

std::string GetInstallPath(const std::string& path, const std::string& name)
{
    if (path.find('\\') == std::string::npos)
        return path;
    std::vector<std::string> parts;
    for (size_t start = 0;;) {
        const size_t slash = path.find('\\', start);
        parts.push_back(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    for (size_t i = parts.size() - 1; i >= 1; --i) {
        if (parts[i].find(name) != std::string::npos && parts[i - 1].find(name) == std::string::npos) {
            std::string cut = parts[0];
            for (size_t j = 1; j <= i; ++j)
                cut += "\\" + parts[j];
            return cut;
        }
    }
    return path;
}

std::string FindAppPaths(const std::string& name)
{
    const auto keys =
        Registry_Related_Functions::FN_Reg_Enum_Keys(platform::RegRoot::LocalMachine, kAppPathsKey);
    if (!keys) {
        writeTransferLog("FindAppPaths", "Key not found : " + std::string(kAppPathsKey));
        return {};
    }
    const std::string lowerName = common::lowerAscii(name);
    for (const std::string& key : *keys) {
        const std::string stem = common::lowerAscii(key.substr(0, key.find('.')));
        // A key named ".exe" has no program name to look for.
        if (stem.empty() || lowerName.find(stem) == std::string::npos)
            continue;
        const std::string value =
            FN_Reg_Get_Value(platform::RegRoot::LocalMachine, std::string(kAppPathsKey) + "\\" + key, "", "");
        if (filled(value))
            return folderPart(value);
    }
    return {};
}

bool CreateShortCut(const std::string& name)
{
    std::string source = scriptVariable("$st_source_alluser_settings");
    source = (filled(source) ? source : scriptVariable("$st_source_win_dir")) + "\\Desktop\\";
    const std::string target = scriptVariable("$st_destination_alluser_settings") + "\\Desktop\\";
    std::optional<std::string> entry = firstMatching(fileNames(source), name);
    if (!entry) {
        source = scriptVariable("$st_source_curr_user_settings") + "\\Desktop\\";
        entry = firstMatching(fileNames(source), name);
    }
    if (!entry)
        return true;
    const std::string named = sourceNamed(source + *entry);
    if (!shortcutTargetPresent(source + *entry)) {
        writeTransferLog("CreateShortCut", "Target not found : " + named);
        return true;
    }
    ItemTally* tally = currentItemTally();
    if (tally)
        tally->keepFolderBefore(target);
    makeSurePathExists(target);
    const FsError e = tally && !tally->keepFileBefore(target + *entry)
        ? FsError::PathFileAccess
        : copyFile(source + *entry, target + *entry, true);
    if (e != FsError::None) {
        writeTransferLog("CreateShortCut", errorStatus(e) + " : " + named);
        return false;
    }
    return true;
}

bool CopyProgramGroup(const std::string& name)
{
    writeTransferLog("CopyProgramGroup ", "Start");
    // A Windows 98 destination has no shared program group: the user's takes its place.
    std::string destination = scriptVariable("$st_destination_alluser");
    if (!filled(destination))
        destination = scriptVariable("$st_destination_program_group");
    for (const char* variable : {"$st_source_program_group", "$st_source_alluser"}) {
        const std::string folder = scriptVariable(variable);
        if (!filled(folder) || !filled(destination))
            continue;
        std::vector<std::string> entries = subFolderNames(folder);
        for (const std::string& file : fileNames(folder))
            entries.push_back(file);
        const auto entry = firstMatching(entries, name);
        if (!entry)
            continue;
        const std::string from = folder + "\\" + *entry;
        const std::string to = destination + "\\" + *entry;
        std::string why = folderExists(from) ? folderCopyRefusal(from) : "";
        if (why.empty() && folderExists(from))
            why = steeredFolderRefusal(to, platform::SteeredFolder::Profile);
        if (!why.empty()) {
            refusePath("CopyProgramGroup", from, why);
            return true;
        }
        const bool copied =
            folderExists(from) ? Action_Copy_Group(from, to) : Action_Copy_File(from, destination, "true");
        if (!copied)
            writeTransferLog("CreateShortCut : " + *entry, "Program Group Failed");
        return true;
    }
    return false;
}

} // namespace wizard::ModOtherApplications
