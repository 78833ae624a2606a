// MassOperations.cpp: the mass migration's rules operations: the hourglass around one or a few
// mass steps with their fixed arguments.
#include "wizard/rules/MassOperations.h"

#include "common/Text.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/FileActions.h"
#include "wizard/transfer/MassCopy.h"
#include "wizard/transfer/MassProfiles.h"
#include "wizard/transfer/MassRegistry.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/MassSteps.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"

#include <algorithm>
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
        // The way out taken before the deletion ends the stage: no key goes.
        if (programEndRequested())
            return false;
        bool last = true;
        // Each key in a call of its own, whatever an earlier call met.
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
            const std::string up = common::upperAscii(name);
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
            if (common::upperAscii(value) == "DISPLAYNAME=MICROSOFT FRONTPAGE 2000")
                apps.add("Microsoft FrontPage 2000", "Microsoft FrontPage 2000");
            else if (common::upperAscii(value) == "DISPLAYNAME=MSN MESSENGER 5.0")
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

std::string pstPathIn(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    const std::size_t p = common::upperAscii(text).find(".PST");
    if (p == std::string::npos)
        return {};
    const std::size_t q = text.find('"', p);
    const std::size_t start = q == std::string::npos || q == 0 ? std::string::npos : text.rfind('"', q - 1);
    if (q == std::string::npos || start == std::string::npos)
        return {};
    std::string path = text.substr(start + 1, q - start - 1);
    for (std::size_t at = path.find("\\\\"); at != std::string::npos; at = path.find("\\\\", at + 1))
        path.erase(at, 1);
    return path;
}

namespace {

std::string pstProfilesKey()
{
    const std::string mirror = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\SOFTWARE\\MICROSOFT\\";
    if (SourceOs == "win95" || SourceOs == "win98" || SourceOs == "winme")
        return mirror + "WINDOWS MESSAGING SUBSYSTEM\\PROFILES";
    if (SourceOs == "win2k" || SourceOs == "winxp")
        return mirror + "WINDOWS NT\\CURRENTVERSION\\WINDOWS MESSAGING SUBSYSTEM\\PROFILES";
    return {};
}

// Where the file goes on the destination: its path as the mass registry rewrite leaves the mail
// profile's value, so that the profile finds it (below a source Windows folder of another name, the
// destination's; elsewhere the same path).
std::string pstDestination(const std::string& path)
{
    std::string escaped;
    for (char ch : path)
        escaped += ch == '\\' ? std::string("\\\\") : std::string(1, ch);
    const std::string moved = rewriteRegText(escaped, "", "", pathRewriteFor(massState()));
    std::string out;
    for (std::size_t i = 0; i < moved.size(); ++i) {
        out += moved[i];
        if (moved[i] == '\\' && i + 1 < moved.size() && moved[i + 1] == '\\')
            ++i;
    }
    return out;
}

} // namespace

bool Fn_Get_Pst_File_Path()
{
    using namespace wizard::transfer;
    writeTransferLog("Fn_Get_Pst_File_Path", "Start");
    const std::string key = pstProfilesKey();
    // No mail profile on the source is nothing to copy, not a failure of the migration.
    if (key.empty() || !registryKeyExists(key)) {
        writeTransferLog("Fn_Get_Pst_File_Path PST File not found on source PC", "End");
        return true;
    }
    std::string text;
    if (!Action_Function::Action_Export(key, "PstRegFile.reg") ||
        readFileBytes(std::string(Action_Function::kExportFolder) + "\\PstRegFile.reg", text) !=
            FsError::None) {
        writeTransferLog("Fn_Get_Pst_File_Path", "0:the mail profiles could not be exported");
        return false;
    }
    const std::string path = pstPathIn(text);
    if (path.size() < 3) {
        writeTransferLog("Fn_Get_Pst_File_Path PST File not found on source PC", "End");
        return true;
    }
    const auto local = transferGlobals().driveMap.lookup(path.substr(0, 2));
    if (!local) {
        writeTransferLog("Fn_Get_Pst_File_Path", "Drive not mapped : " + path);
        // The mail item of a selective run did not arrive whole: its report says so.
        noteItemFailure("Fn_Get_Pst_File_Path : the drive of " + path + " is not connected");
        return true;
    }
    const std::string target = pstDestination(path);
    std::string why = pathTextRefusal(path);
    if (why.empty())
        why = fileWriteRefusal(target, platform::SteeredFile::PersonalFolders);
    if (!why.empty()) {
        // The rest of the run goes on; a selective run's mail item did not arrive whole.
        refusePath("Fn_Get_Pst_File_Path", path, why);
        return true;
    }
    if (!Action_Function::Action_Copy_File(
            *local + path.substr(2), target.substr(0, target.rfind('\\')), "true")) {
        writeTransferLog("Fn_Get_Pst_File_Path", "0:the personal folders file could not be copied");
        return false;
    }
    writeTransferLog("Fn_Get_Pst_File_Path", "End");
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
        {"Fn_Get_Pst_File_Path", &Fn_Get_Pst_File_Path},
    };
    return ops;
}

} // namespace wizard
