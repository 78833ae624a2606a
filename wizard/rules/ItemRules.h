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

} // namespace wizard
