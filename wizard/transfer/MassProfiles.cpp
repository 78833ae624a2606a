// MassProfiles.cpp: profile folders, installer cache, Office icon folders and fonts of a mass
// migration.
#include "wizard/transfer/MassProfiles.h"

#include "wizard/core/AppPath.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"

namespace wizard::mass {
namespace {

using namespace wizard::transfer;

constexpr const char* kOfficeIconFolders[] = {"{00010409-78E1-11D2-B60F-006097C998E7}",
    "{00040409-78E1-11D2-B60F-006097C998E7}", "{2DFE1608-BDCA-11D1-B7AE-00C04FB92F3D}"};
constexpr const char* kFonts[] = {"batang.ttf", "OCR-A.TTF", "OCRBMT.TTF", "WQT_P_TT.TTF", "WQT_B_TT.TTF",
    "WQTCP_TT.TTF", "WQTCB_TT.TTF", "WQTCI_TT.TTF", "WQT_I_TT.TTF", "WQTM_P_T.TTF", "WQT_PI_T.TTF"};
constexpr const char* k9xShortcuts[] = {"Documents and Settings\\All Users\\Start Menu\\Windows Update.lnk",
    "Documents and Settings\\All Users\\Start Menu\\New Office Document.lnk",
    "Documents and Settings\\All Users\\Start Menu\\Open Office Document.lnk",
    "Documents and Settings\\All Users\\Desktop\\Microsoft Outlook.*"};

std::string destDriveRoot() { return massState().destSystemRoot.substr(0, 3); }

void copyTree(const std::string& source, const std::string& dest, bool overwrite)
{
    // Once the program is to end, no further tree is started.
    if (programEndRequested() || !folderExists(source))
        return;
    // The source names its profile and shell folders: never a system's own folder.
    for (const std::string& side : {source, dest}) {
        if (const std::string why = folderCopyRefusal(side); !why.empty()) {
            refusePath("FN_StartMenu_Copy", source, why);
            return;
        }
    }
    FN_Copy_Folder_Tree(source, dest, true, overwrite);
}

// A tree the mass rules name themselves (a Windows 98 profile onto the profile of the same name,
// the wizard's own icons): only the copy walk's rule keeps it from what this PC keeps for itself.
void copyOwnTree(const std::string& source, const std::string& dest, bool overwrite)
{
    if (!programEndRequested() && folderExists(source))
        FN_Copy_Folder_Tree(source, dest, true, overwrite);
}

// 2000/XP source: its own "Documents and Settings" user onto the destination's user.
void copyNtProfile(const std::string& shareRoot)
{
    const MassState& s = massState();
    const std::string p = shareRoot + "Documents and Settings\\" + s.sourceUserName;
    const std::string q = destDriveRoot() + "Documents and Settings\\" + s.destUserName;
    for (const std::string& entry : subFolderNames(p + "\\Start Menu"))
        if (coretext::upperAscii(entry) != "ALL USERS")
            copyTree(p + "\\Start Menu\\" + entry, q + "\\Start Menu\\" + entry, true);
    copyTree(p + "\\Desktop", q + "\\Desktop", false);
    copyTree(p + "\\Favorites", q + "\\Favorites", true);
    copyTree(shareRoot + windowsFolderName(s.sourceSystemRoot) + "\\Application Data\\Identities",
        q + "\\Local Settings\\Application Data\\Identities", true);
}

// 95/98/ME source: its profiles and shared folders below its Windows folder.
void copy9xProfiles(const std::string& shareRoot)
{
    const MassState& s = massState();
    const std::string w = shareRoot + windowsFolderName(s.sourceSystemRoot);
    const std::string r = destDriveRoot() + "Documents and Settings\\";
    for (const std::string& entry : subFolderNames(w + "\\Profiles"))
        if (const std::string up = coretext::upperAscii(entry); up != "ALL USERS" && up != "DEFAULT USER")
            copyOwnTree(w + "\\Profiles\\" + entry, r + entry, true);
    copyTree(w + "\\Start Menu", r + "All Users\\Start Menu", false);
    copyTree(w + "\\Desktop", r + "All Users\\Desktop", false);
    copyTree(w + "\\Favorites", r + s.destUserName + "\\Favorites", false);
    copyTree(w + "\\Application Data\\Identities",
        r + s.destUserName + "\\Local Settings\\Application Data\\Identities", true);
    for (const char* shortcut : k9xShortcuts)
        deleteFile(destDriveRoot() + shortcut, true);
}

// The source's SystemRoot is no Windows folder of it: the copies of the folders below it are named
// as refused, and none is made.
void refuseBelowSystemRoot(const char* process, std::initializer_list<std::string> parts)
{
    const std::string& root = massState().refusedSystemRoot;
    if (root.empty())
        return; // no SystemRoot was judged: there is nothing to name
    for (const std::string& part : parts)
        refusePath(process, root + (!root.empty() && root.back() == '\\' ? "" : "\\") + part,
            "below the source's SystemRoot, which is no Windows folder of the source");
}

} // namespace

std::string sourceShareRoot()
{
    const MassState& s = massState();
    const std::string letter = s.sourceSystemRoot.substr(0, 1);
    return s.uncRoot + "\\" + letter + (s.sourceOsCode == "XP" ? "\\" : "$\\");
}

std::string fixedPackageName(std::uint64_t length)
{
    switch (length) {
    case 2351104:
    case 2332672: return "data1.msi";
    case 2331648: return "data3.msi";
    case 2233344: return "data2.msi";
    case 1070592:
    case 1071104: return "install.msi";
    case 7087616: return "Symantec pcAnywhere.msi";
    default: return {};
    }
}

bool FN_StartMenu_Copy()
{
    writeTransferLog("FN_StartMenu_Copy", "Start");
    const MassState& s = massState();
    if (isNtCode(s.destOsCode) && !s.sourceSystemRoot.empty()) {
        if (isNtCode(s.sourceOsCode))
            copyNtProfile(sourceShareRoot());
        else if (isWin9xCode(s.sourceOsCode))
            copy9xProfiles(sourceShareRoot());
    } else if (isNtCode(s.destOsCode) && !s.refusedSystemRoot.empty()) {
        if (isNtCode(s.sourceOsCode))
            refuseBelowSystemRoot("FN_StartMenu_Copy", {"Application Data\\Identities"});
        else
            refuseBelowSystemRoot("FN_StartMenu_Copy",
                {"Profiles", "Start Menu", "Desktop", "Favorites", "Application Data\\Identities"});
    }
    if (s.destSystemRoot.size() >= 3) {
        deleteFile(
            destDriveRoot() + "Documents and Settings\\All Users\\Start Menu\\Programs\\MS-DOS Prompt.pif",
            true);
        deleteFile(destDriveRoot() + "Documents and Settings\\" + s.sourceUserName +
                "\\Start Menu\\Programs\\MS-DOS Prompt.pif",
            true);
    }
    writeTransferLog("FN_StartMenu_Copy", "End");
    return true;
}

bool FN_MSI_Copy()
{
    writeTransferLog("FN_MSI_Copy", "Start");
    const MassState& s = massState();
    const std::string source = sourceShareRoot() + windowsFolderName(s.sourceSystemRoot);
    const std::string dest = s.destSystemRoot;
    const bool known = !s.sourceSystemRoot.empty();
    if (!known)
        refuseBelowSystemRoot("FN_MSI_Copy", {"Installer", "Fonts"});
    const bool cached = known && folderExists(source + "\\Installer");
    if (cached) {
        FN_Copy_Folder_Tree(source + "\\Installer\\", dest + "\\Installer\\", true, true);
        for (const std::string& name : fileNames(source + "\\Installer")) {
            if (programEndRequested())
                break;
            if (name.size() < 4 ||
                coretext::upperAscii(std::string_view(name).substr(name.size() - 4)) != ".MSI")
                continue;
            const std::int64_t length = fileSize(dest + "\\installer\\" + name);
            const std::string fixed =
                length < 0 ? std::string() : fixedPackageName(static_cast<std::uint64_t>(length));
            if (!fixed.empty())
                copyFileBeside(source + "\\Installer\\" + name, dest + "\\installer\\" + fixed, true);
        }
    }
    for (const char* folder : kOfficeIconFolders)
        copyOwnTree(wizard::AppPath + "\\Icons\\" + folder, dest + "\\installer\\" + folder, false);
    if (known) {
        copyTree(source + "\\Fonts", dest + "\\Fonts", false);
        for (const char* font : kFonts)
            if (fileExists(source + "\\Fonts\\" + font))
                copyFileBeside(source + "\\Fonts\\" + font, dest + "\\Fonts\\" + font, true);
    }
    if (known && !cached)
        writeTransferLog("FN_MSI_Copy", "Not found : " + source + "\\Installer");
    writeTransferLog("FN_MSI_Copy", "End");
    return true;
}

} // namespace wizard::mass
