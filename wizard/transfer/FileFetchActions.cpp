// FileFetchActions.cpp: file fetch by a mirrored registry path, file-type copy and messages.
#include "wizard/transfer/FileFetchActions.h"

#include "platform/MessageBox.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferText.h"

#include <array>

namespace wizard::Action_Function {
namespace {

using namespace wizard::transfer;

// Reads a value that is not plain text from its raw data: only text types can name a file.
std::string rawText(const std::string& fullKey, const std::string& valueName)
{
    const size_t slash = fullKey.find('\\');
    RegData data;
    const auto root = slash == std::string::npos ? std::nullopt : scriptRootOf(fullKey.substr(0, slash));
    if (!root || !readRegistryValue(*root, fullKey.substr(slash + 1), valueName, data))
        return {};
    using platform::RegType;
    if (data.type != RegType::Sz && data.type != RegType::ExpandSz && data.type != RegType::MultiSz)
        return {};
    return fromAnsi(data.bytes.substr(0, data.bytes.find('\0')));
}

// The destination path for a literal source path (already translated to the mapped drive): the
// source's profile folder (2000/XP sources), system folder or Windows folder it lies in, as the
// running machine resolves them, replaced by the destination's; else the path as the source wrote
// it (`original`).
std::string literalDestination(const std::string& sourcePath, const std::string& original)
{
    const std::string& os = SourceOs;
    const bool ntSource = os == "win2k" || os == "winxp";
    const std::array<std::pair<const char*, const char*>, 3> kFolders = {{
        {ntSource ? "$st_source_curr_user_settings" : "", "$st_destination_curr_user_settings"},
        {"$st_source_system_dir", "$st_destination_system_dir"},
        {"$st_source_win_dir", "$st_destination_win_dir"},
    }};
    for (const auto& [source, dest] : kFolders) {
        const std::string to = *source ? resolveVariablePath(dest) : std::string();
        // A folder whose variable is unset never matches.
        if (to.empty())
            continue;
        if (const auto rest = partBelow(sourcePath, resolveVariablePath(source)))
            return rest->empty() ? to : to + "\\" + *rest;
    }
    return original;
}

// What the step writes: a wallpaper or a screen saver may replace one of the destination's own.
platform::SteeredFile kindOf(const std::string& valueName)
{
    if (valueName == "Wallpaper")
        return platform::SteeredFile::Wallpaper;
    if (upperAscii(valueName) == "SCRNSAVE.EXE")
        return platform::SteeredFile::ScreenSaver;
    return platform::SteeredFile::Any;
}

void registerWallpaper(const std::string& path)
{
    platform::Registry* registry = machineRegistry();
    platform::RegKey desktop;
    if (!registry ||
        registry->openKey(platform::RegKey(platform::RegRoot::CurrentUser), "Control Panel\\Desktop",
            desktop) != platform::WinError::Success)
        return;
    if (ItemTally* tally = currentItemTally())
        tally->keepKeyBefore("HKEY_CURRENT_USER\\Control Panel\\Desktop");
    registry->deleteValue(desktop, "Wallpaper");
    registry->setString(desktop, "Wallpaper", path);
}

} // namespace

bool Action_Get_File(const std::string& key, const std::string& valueName)
{
    writeTransferLog("Action_Get_Files", "Start");
    std::string sourcePath = Application_Functions::Get_Remote_App_Path(key, valueName);
    if (sourcePath == "0")
        sourcePath = rawText(key, valueName);
    sourcePath = replaceAll(sourcePath, "\"", "");
    const std::string value = sourcePath;
    std::string destPath = sourcePath;

    bool unresolvedSource = false;
    bool unresolvedDest = false;
    const bool expanded = expandPathTokens(sourcePath,
        {scriptVariable("$st_source_win_dir"), scriptVariable("$st_source_curr_user_settings")},
        unresolvedSource);
    expandPathTokens(destPath,
        {scriptVariable("$st_destination_win_dir"), scriptVariable("$st_destination_curr_user_settings")},
        unresolvedDest);
    if (sourcePath.empty())
        return false;
    if (unresolvedSource || unresolvedDest) {
        writeTransferLog(
            "Action_Get_File", "0:A folder of the path is not known : " + sourceNamed(sourcePath));
        return false;
    }

    // A literal path is written with the source PC's drive and needs its mapped letter; the folder
    // variables behind an expanded path already name the mapped drive.
    const std::string drive = sourcePath.substr(0, 2);
    const auto local = transferGlobals().driveMap.lookup(drive);
    if (local)
        sourcePath = replaceAll(sourcePath, drive, *local);
    if (sourcePath.find('~') != std::string::npos)
        sourcePath = longPathOf(sourcePath);
    destPath = folderOf(expanded ? destPath : literalDestination(sourcePath, destPath));

    bool result = true;
    std::string why = pathTextRefusal(sourcePath);
    if (why.empty())
        why = fileWriteRefusal(destPath + "\\" + fileNameOf(sourcePath), kindOf(valueName));
    if (!why.empty()) {
        // Neither copied nor named as the destination's own.
        refusePath("Action_Get_File", value, why);
        return false;
    }
    if (!expanded && !local) {
        // Without a mapped drive the source would be a path of the destination PC itself.
        writeTransferLog("Action_Get_File", "0:Drive not mapped : " + sourcePath);
        result = false;
    } else if (!fileExists(sourcePath)) {
        sourceNotFound("Action_Get_File", sourcePath);
    } else {
        result = Action_Copy_File(sourcePath, destPath, "false");
    }

    if (valueName == "Wallpaper")
        registerWallpaper(destPath + "\\" + fileNameOf(sourcePath));
    writeTransferLog("Action_Get_File", "End");
    return result;
}

bool Action_File_Type_Copy(const std::string& folder, const std::string& ending)
{
    const std::string wanted = trim(ending);
    if (wanted.empty() || !folderExists(folder))
        return true;
    bool result = true;
    // Depth first: a folder's sub-folders, then its own files.
    const auto walk = [&](const auto& self, const std::string& current) -> void {
        std::vector<std::string> subFolders, files;
        std::vector<platform::LeftOutName> leftOut;
        listFolderNames(current, subFolders, files, &leftOut);
        for (const platform::LeftOutName& entry : leftOut) {
            if (!entry.isFolder && !endsWithNoCase(entry.name, wanted))
                continue;
            writeTransferLogText("Action_File_Type_Copy", "Not copied : " + leftOutText(current, entry));
            result = false;
        }
        for (const std::string& name : subFolders)
            self(self, current + "\\" + name);
        for (const std::string& name : files) {
            // Each copy yields to the window: once the program is to end, the walk stops.
            if (programEndRequested())
                return;
            const std::string path = current + "\\" + name;
            if (!endsWithNoCase(path, wanted))
                continue;
            const auto local = transferGlobals().driveMap.lookup(path.substr(0, 2));
            if (!local) {
                writeTransferLog("Action_File_Type_Copy", "0:Drive not mapped : " + path);
                result = false;
                continue;
            }
            if (!Action_Copy_File(translateDrive(path, *local), folderOf(path), "false"))
                result = false;
        }
    };
    walk(walk, folder);
    return result;
}

bool Action_Msgbox(const std::string& text, const std::string& type)
{
    const std::string t = upperAscii(type);
    platform::MsgIcon icon;
    if (t == "I")
        icon = platform::MsgIcon::Information;
    else if (t == "E")
        icon = platform::MsgIcon::Exclamation;
    else if (t == "C")
        icon = platform::MsgIcon::Critical;
    else
        return true;
    platform::showMessage(text, platform::MsgButtons::Ok, icon);
    return true;
}

} // namespace wizard::Action_Function
