// ItemRules.h: the rules operations that application and settings scripts call by name while an
// item is migrated: installer data and file types, an application's keys, folder, shortcuts and
// program group, the desktop shortcuts of a scripted application, the display settings and the
// mail store. Each takes no argument and answers a Boolean, as the engine calls it.
#pragma once

#include <string>
#include <vector>

namespace wizard {

// One operation as the rules class registers it.
struct ItemRuleOperation {
    const char* name;
    bool (*fn)();
};
// The item operations built, in the rules class's member order.
const std::vector<ItemRuleOperation>& itemRuleOperations();

// Installer data and file types (InstallerRules.cpp).
// Moves the installer data of the migrated product out of the mirror (Fix_Installer_Keys) and
// answers its result.
bool Get_Installer();
// Copies each cached installer package of the destination's "<windows>\installer" folder whose size
// names it to the fixed name the migrated installer data refers to (Data1.msi ...). Always True.
bool Installer_msi_Change();
// Merges AppPath\temp\HKCR.reg and C:\QZExpTemp\HKCR_Temp.reg; missing files are passed over.
// Always True.
bool Class_Root_Update();
// Merges "<windows>\HKCR_Temp.reg" of the destination and tells the shell that file associations
// changed; a failed merge is only logged. Always True.
bool OverwriteClassesRoot();

// Scripted applications and settings (SettingsCallers.cpp).
// Copies the source desktop's shortcuts that point into the folder the last "get" action fetched
// (LastAppPath) to the destination's shared desktop (a Windows 98 destination's desktop), leaving
// out those whose target is gone from the source; clears LastAppPath. True.
bool Shortcut_Copy();
// "$bln_msn_messenger_5" = "true" when that folder holds msnmsgr.exe; clears LastAppPath. True.
bool Missing_ShortCut();
// The display settings (DisplaySettings.h).
bool Caller_Settings_Resolution();
bool Caller_Settings_ScreenSaver();
// Copies the source user's Outlook Express store folder (its "Store Root", tokens expanded with
// the source's folders) from the source PC to where the same root points on the destination (its
// tokens expanded with the destination's folders, so "%UserProfile%" is this PC's user), which is
// where the migrated identity looks for it. True when copied or when no store root is mirrored;
// False when the export failed, the destination has no folder for a token of the root, a store
// file could not be copied (in use), or no identity here has that store root (the identities key
// did not arrive before it).
bool Get_dotdbs_file_outlook();
// The "Store Root" value of a registry export (string or expandable-string form); empty without one.
std::string storeRootOf(const std::string& exportText);
// A store root with its tokens (any case) replaced by the source's folders, on the source's drive.
std::string expandStoreRoot(std::string root);
// The same root as the destination reads it: its tokens replaced by the destination's folders;
// empty when the root holds a token whose folder the destination does not have.
std::string storeRootHere(std::string root);

// An application without a script of its own (ApplicationKeys.cpp); the application is the item
// being migrated (migrationRunState().currentItemName).
// Imports the application's keys from the mirror's HKEY_LOCAL_MACHINE\Software and
// HKEY_CURRENT_USER\Software to their real places (applicationKeysOf). True.
bool Identify_Keys();
// Copies the application's install folder (from its uninstall entry, else App Paths) to the same
// path on the destination under the version rule and re-creates its uninstall entry. False when no
// folder is found or only one that must never be copied (a drive root, the Windows folder or a
// folder in it, Common Files, Program Files itself). A folder that no longer exists on the source
// is logged and counted as not found: True, nothing copied or re-created.
bool Identify_Application_Path();
// The application's desktop item and program group. True.
bool ApplnCreateShortCut();
bool ApplnCopyProgramGroup();

// Whether a key's name (below the key named `parent`) names the application: the key holds the
// name (letter case counts), or the key is part of the name, is not a key Windows shares
// (Microsoft, Windows, CurrentVersion, Explorer, Classes ...) and either begins the name or has a
// parent that is part of the name too. A name or key of fewer than three characters names nothing.
bool keyMatchesApplication(const std::string& key, const std::string& name, const std::string& parent);
// The mirror keys (below HKEY_LOCAL_MACHINE) of the application, in the order found: per root, the
// subtrees of the keys before the first matching key are searched depth first, and the first
// matching key of a level is taken whole. A key directly below a root that is only part of the
// name (a vendor's key) is searched for the product first, and taken whole only when nothing in it
// matches and it is not a key Windows shares (Microsoft, Classes ...).
std::vector<std::string> applicationKeysOf(const std::string& name);

} // namespace wizard
