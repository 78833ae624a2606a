// MassOperations.cpp: the mass migration's rules operations: the hourglass around one or a few
// mass steps with their fixed arguments.
#include "wizard/rules/MassOperations.h"

#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassProfiles.h"
#include "wizard/transfer/MassRegistry.h"
#include "wizard/transfer/MassSteps.h"
#include "wizard/transfer/RegistryReaders.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace wizard {
namespace {

using namespace wizard::mass;
using Registry_Related_Functions::FN_Reg_Enum_Keys;
using Registry_Related_Functions::FN_Reg_Enum_Values;
using Registry_Related_Functions::FN_Reg_Get_Value;

constexpr const char* kOfficeMirror = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\";

// Runs the steps under the hourglass; the answer is the last step's.
bool withHourglass(const std::function<bool()>& steps)
{
    wizardWindows().setMousePointer(MousePointer::Hourglass);
    const bool result = steps();
    wizardWindows().setMousePointer(MousePointer::Default);
    return result;
}

std::string upper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
        [](unsigned char ch) { return static_cast<char>(std::toupper(ch)); });
    return text;
}

bool checkSpaceOp() { return FN_Check_Space(); }
bool clsLocalExport()
{
    return withHourglass([] {
        FN_Export_Registry("temp\\ClsLocal.Reg", "HKEY_CLASSES_ROOT");
        return FN_ClsRoot_Process("temp\\ClsLocal.Reg");
    });
}
bool clsRootProcess()
{
    return withHourglass([] { return FN_ClsRoot_Process("tempreg\\HKCR.reg"); });
}
bool curUserExport()
{
    return withHourglass([] {
        FN_Export_Registry(
            "temp\\HKCU_Local.Reg", "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software");
        return FN_Cur_User_Process("temp\\HKCU_Local.Reg");
    });
}
bool delRegKey()
{
    return withHourglass([] {
        bool last = true;
        for (const char* id :
            {"Features\\904010001E872D116BF00006799C897E", "Products\\904010001E872D116BF00006799C897E",
                "Features\\904000001E872D116BF00006799C897E", "Products\\904000001E872D116BF00006799C897E"})
            last = FN_DEL_REGKEY(std::string("HKEY_CLASSES_ROOT\\Installer\\") + id);
        return last;
    });
}
bool getSubKeys()
{
    withHourglass(
        [] { return FN_Get_Sub_Keys("HKEY_LOCAL_MACHINE", "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE"); });
    return true;
}
bool importHkcr()
{
    return withHourglass([] { return FN_Import_Registry("tempreg\\HKCR.Reg"); });
}
bool importHkcrLocal()
{
    return withHourglass([] { return FN_Import_Registry("temp\\ClsLocal.Reg"); });
}
bool importHkcu()
{
    return withHourglass([] { return FN_Import_Registry("temp\\HKCU_Local.Reg"); });
}
bool importAll()
{
    return withHourglass([] { return FN_Import_Registry(""); });
}
bool mapiBack()
{
    return withHourglass([] { return FN_MAPI("Back"); });
}
bool mapiRes()
{
    return withHourglass([] { return FN_MAPI("RES"); });
}
bool msApp()
{
    return withHourglass([] {
        static const std::pair<const char*, const char*> templates[] = {
            {"RegFiles\\Microsoft Access.Reg", "MSAccess.exe"},
            {"RegFiles\\Microsoft Excel.Reg", "Excel.exe"},
            {"RegFiles\\Microsoft OutLook.Reg", "Outlook.exe"},
            {"RegFiles\\Microsoft PowerPoint.Reg", "PowerPnt.exe"},
            {"RegFiles\\Microsoft Word.Reg", "winWord.exe"},
            {"RegFiles\\Microsoft Project.reg", "WinProj.exe"},
            {"RegFiles\\Microsoft publisher.reg", "MSPUB.exe"},
            {"RegFiles\\Microsoft FrontPage.reg", "MS FrontPg.exe"}, {"ALL", "ALL"}};
        bool last = true;
        for (const auto& [file, mode] : templates)
            last = FN_MS_APP(file, mode);
        return last;
    });
}
bool msiCopy()
{
    return withHourglass([] { return FN_MSI_Copy(); });
}
bool startMenuCopy()
{
    return withHourglass([] { return FN_StartMenu_Copy(); });
}
bool status()
{
    return withHourglass([] { return FN_STATUS(); });
}
bool temp()
{
    return withHourglass([] { return FN_Temp(SourcePcName); });
}

} // namespace

bool FN_MS_APP_LIST()
{
    return withHourglass([] {
        KeyedList& apps = selectionCollections().applications;
        apps = KeyedList{};
        const std::string pid = FN_Reg_Get_Value(platform::RegRoot::LocalMachine,
            std::string(kOfficeMirror) + "11.0\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}",
            "PIDKEY", "");
        const bool office2003 = pid.find_first_not_of(' ') != std::string::npos;
        const std::string versionKey = std::string(kOfficeMirror) + (office2003 ? "11.0" : "9.0");
        for (const std::string& name : FN_Reg_Enum_Keys(platform::RegRoot::LocalMachine, versionKey)
                                           .value_or(std::vector<std::string>{})) {
            const std::string up = upper(name);
            if (up == "COMMON" || up == "DELIVERY" || up == "MSE" || up == "REGISTRATION")
                continue;
            std::string item = "MS " + name;
            if (item.rfind("MS MS", 0) == 0)
                item = "MS" + item.substr(5);
            apps.add(item, item);
        }
        const std::string frontPage =
            "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
            "{00120409-78E1-11D2-B60F-006097C998E7}";
        for (const std::string& value : FN_Reg_Enum_Values(platform::RegRoot::LocalMachine, frontPage)
                                            .value_or(std::vector<std::string>{})) {
            if (upper(value) == "DISPLAYNAME=MICROSOFT FRONTPAGE 2000")
                apps.add("Microsoft FrontPage 2000", "Microsoft FrontPage 2000");
            else if (upper(value) == "DISPLAYNAME=MSN MESSENGER 5.0")
                apps.add("MSN Messenger 5.0", "MSN Messenger 5.0");
        }
        return true;
    });
}

bool FN_CopyFiles_Tmp()
{
    withHourglass([] {
        copyMappedDrives();
        return true;
    });
    return true;
}

const std::vector<ItemRuleOperation>& massRuleOperations()
{
    static const std::vector<ItemRuleOperation> ops = {
        {"FN_Check_Space", &checkSpaceOp},
        {"FN_CLSLOCAL_EXPORT", &clsLocalExport},
        {"FN_ClsRoot_Process", &clsRootProcess},
        {"FN_CopyFiles_Tmp", &FN_CopyFiles_Tmp},
        {"FN_CURUSR_EXPORT", &curUserExport},
        {"FN_DEL_REGKEY", &delRegKey},
        {"FN_Get_Sub_keys", &getSubKeys},
        {"FN_Import_HKCR", &importHkcr},
        {"FN_Import_HKCR_LOCAL", &importHkcrLocal},
        {"FN_MS_APP_LIST", &FN_MS_APP_LIST},
        {"FN_Import_HKCU", &importHkcu},
        {"FN_Import_Registry", &importAll},
        {"FN_MAPI_BACK", &mapiBack},
        {"FN_MAPI_RES", &mapiRes},
        {"FN_MS_APP", &msApp},
        {"FN_MSI_Copy", &msiCopy},
        {"FN_StartMenu_Copy", &startMenuCopy},
        {"FN_STATUS", &status},
        {"FN_Temp", &temp},
    };
    return ops;
}

} // namespace wizard
