// ItemRules.cpp: the item operations in the rules class's member order, as it registers them.
#include "wizard/rules/ItemRules.h"

namespace wizard {

const std::vector<ItemRuleOperation>& itemRuleOperations()
{
    static const std::vector<ItemRuleOperation> ops = {
        {"Get_Installer", &Get_Installer},
        {"Installer_msi_Change", &Installer_msi_Change},
        {"Class_Root_Update", &Class_Root_Update},
        {"Shortcut_Copy", &Shortcut_Copy},
        {"Missing_ShortCut", &Missing_ShortCut},
        {"Caller_Settings_Resolution", &Caller_Settings_Resolution},
        {"Caller_Settings_ScreenSaver", &Caller_Settings_ScreenSaver},
        {"Get_dotdbs_file_outlook", &Get_dotdbs_file_outlook},
        {"Identify_Keys", &Identify_Keys},
        {"ApplnCreateShortCut", &ApplnCreateShortCut},
        {"ApplnCopyProgramGroup", &ApplnCopyProgramGroup},
        {"Identify_Application_Path", &Identify_Application_Path},
        {"OverwriteClassesRoot", &OverwriteClassesRoot},
    };
    return ops;
}

} // namespace wizard
