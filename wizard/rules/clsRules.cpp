// clsRules.cpp: the member list of the rules class, its registration by name and the page-showing
// operations.
#include "wizard/rules/clsRules.h"

#include "wizard/rules/FilesFoldersMigration.h"
#include "wizard/rules/ItemRules.h"
#include "wizard/rules/MassOperations.h"
#include "wizard/rules/MigrationRun.h"
#include "wizard/rules/SourceValues.h"
#include "wizard/selection/SelectionCollectors.h"
#include "wizard/transfer/MigrationReport.h"
#include "wizard/zip/OfficeLinks.h"

#include "wizard/core/ProgramEnd.h"
#include "wizard/core/RulesTable.h"
#include "wizard/core/WizardCore.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"

#include <vector>

namespace wizard {

const std::array<const char*, clsRules::kMemberCount>& clsRules::memberNames()
{
    static const std::array<const char*, kMemberCount> names = {
        "Display_License_Agreement",
        "Display_Prep_Tasks_Panels",
        "Display_Req_Prep_Tasks_Panels",
        "Display_Migration_Type",
        "Display_Connection_Info",
        "Get_Source_PC_Information",
        "Validate_Source_PC",
        "Validate_Network_Port",
        "Validate_Parallel_Port",
        "Simple_Map_C_Drive",
        "Logon_Map_C_Drive",
        "Create_Batch_File",
        "Display_Msg_To_User",
        "Display_application_Setting",
        "Collect_Selected_Info",
        "Display_Drive_Info_Panel",
        "Display_Source_Space_Info",
        "Migration_Progress",
        "Application_Migration",
        "Selective_Migration_End",
        "Display_Migration_Report",
        "Validate_USB",
        "Source_Value_Initialize",
        "Get_Installer",
        "Installer_msi_Change",
        "Display_Mass_Screen",
        "Class_Root_Update",
        "Sub_Data_Explorer_Migration",
        "Drive_Check",
        "Office_Flag",
        "Progress_Enable",
        "Progress_Disable",
        "FN_Check_Space",
        "FN_CLSLOCAL_EXPORT",
        "FN_ClsRoot_Process",
        "FN_CopyFiles_Tmp",
        "FN_CURUSR_EXPORT",
        "FN_DEL_REGKEY",
        "FN_Get_Sub_keys",
        "FN_Import_HKCR",
        "FN_Import_HKCR_LOCAL",
        "FN_MS_APP_LIST",
        "FN_Import_HKCU",
        "FN_Import_Registry",
        "FN_MAPI_BACK",
        "FN_MAPI_RES",
        "FN_MS_APP",
        "FN_MSI_Copy",
        "FN_StartMenu_Copy",
        "FN_STATUS",
        "FN_Temp",
        "Fn_Get_Pst_File_Path",
        "Collect_Settings",
        "Settings_Migration",
        "Shortcut_Copy",
        "Missing_ShortCut",
        "Caller_Settings_Resolution",
        "Caller_Settings_ScreenSaver",
        "Get_dotdbs_file_outlook",
        "Sync_Common_Folders",
        "Identify_Keys",
        "IterateKeys",
        "ApplnCreateShortCut",
        "ApplnCopyProgramGroup",
        "Identify_Application_Path",
        "DisableSyncFlag",
        "Set_Mass_Finished_Flag",
        "OverwriteClassesRoot",
    };
    return names;
}

bool clsRules::takesArguments(const std::string& member)
{
    return member == "Drive_Check" || member == "IterateKeys";
}

const std::array<clsRules::PageOperation, 10>& clsRules::pageOperations()
{
    static const std::array<PageOperation, 10> ops = {{
        {"Display_License_Agreement", "KestroMain", &clsRules::Display_License_Agreement},
        {"Display_Prep_Tasks_Panels", "Frm_Preparatory", &clsRules::Display_Prep_Tasks_Panels},
        {"Display_Req_Prep_Tasks_Panels", "Frm_PreparatoryTask", &clsRules::Display_Req_Prep_Tasks_Panels},
        {"Display_Migration_Type", "Frm_MigrationType", &clsRules::Display_Migration_Type},
        {"Display_Connection_Info", "Frm_ConnectionType", &clsRules::Display_Connection_Info},
        {"Display_application_Setting", "Frm_ApplicationSettings", &clsRules::Display_application_Setting},
        {"Display_Drive_Info_Panel", "frm_Drive_Info", &clsRules::Display_Drive_Info_Panel},
        {"Display_Source_Space_Info", "frm_source_Space_Info", &clsRules::Display_Source_Space_Info},
        {"Display_Migration_Report", "frm_Migration_Status", &clsRules::Display_Migration_Report},
        {"Display_Mass_Screen", "Frm_Mass", &clsRules::Display_Mass_Screen},
    }};
    return ops;
}

const std::vector<clsRules::WorkOperation>& clsRules::workOperations()
{
    // The migration run's operations (MigrationRun.h, FilesFoldersMigration.h) keep no state in
    // this object.
    static const std::vector<WorkOperation> ops = {
        {"Collect_Selected_Info", [](clsRules& r) { return r.Collect_Selected_Info(); }},
        {"Validate_Source_PC", [](clsRules& r) { return r.Validate_Source_PC(); }},
        {"Get_Source_PC_Information", [](clsRules& r) { return r.Get_Source_PC_Information(); }},
        {"Validate_Network_Port", [](clsRules& r) { return r.Validate_Network_Port(); }},
        {"Validate_Parallel_Port", [](clsRules& r) { return r.Validate_Parallel_Port(); }},
        {"Validate_USB", [](clsRules& r) { return r.Validate_USB(); }},
        {"Simple_Map_C_Drive", [](clsRules& r) { return r.Simple_Map_C_Drive(); }},
        {"Logon_Map_C_Drive", [](clsRules& r) { return r.Logon_Map_C_Drive(); }},
        {"Create_Batch_File", [](clsRules& r) { return r.Create_Batch_File(); }},
        {"Display_Msg_To_User", [](clsRules& r) { return r.Display_Msg_To_User(); }},
        {"Source_Value_Initialize", [](clsRules& r) { return r.Source_Value_Initialize(); }},
        {"Migration_Progress", [](clsRules&) { return Migration_Progress(); }},
        {"Application_Migration", [](clsRules&) { return Application_Migration(); }},
        {"Selective_Migration_End", [](clsRules&) { return Selective_Migration_End(); }},
        {"Sub_Data_Explorer_Migration", [](clsRules&) { return Sub_Data_Explorer_Migration(); }},
        {"Office_Flag", [](clsRules&) { return Office_Flag(); }},
        {"Progress_Enable", [](clsRules&) { return Progress_Enable(); }},
        {"Progress_Disable", [](clsRules&) { return Progress_Disable(); }},
        {"Collect_Settings", [](clsRules&) { return Collect_Settings(); }},
        {"Settings_Migration", [](clsRules&) { return Settings_Migration(); }},
        {"Sync_Common_Folders", [](clsRules&) { return Sync_Common_Folders(); }},
        {"DisableSyncFlag", [](clsRules&) { return DisableSyncFlag(); }},
        {"Set_Mass_Finished_Flag", [](clsRules&) { return Set_Mass_Finished_Flag(); }},
    };
    return ops;
}

std::string clsRules::pageOf(const std::string& operation)
{
    for (const PageOperation& op : pageOperations())
        if (operation == op.name)
            return op.form;
    return {};
}

clsRules::clsRules(RulesEnvironment env)
    : m_env(std::move(env))
{}

std::vector<std::string> clsRules::registeredNames() const
{
    std::vector<std::string> names;
    for (const char* member : memberNames()) {
        for (const WorkOperation& op : workOperations()) {
            if (std::string(member) == op.name)
                names.push_back(member);
        }
        for (const ItemRuleOperation& op : itemRuleOperations()) {
            if (std::string(member) == op.name)
                names.push_back(member);
        }
        for (const ItemRuleOperation& op : massRuleOperations()) {
            if (std::string(member) == op.name)
                names.push_back(member);
        }
        for (const PageOperation& op : pageOperations()) {
            if (std::string(member) != op.name)
                continue;
            // The agreement page is this program's main window and always there.
            const bool available =
                std::string(op.form) == "KestroMain" || (m_env.pageAvailable && m_env.pageAvailable(op.form));
            if (available)
                names.push_back(member);
        }
    }
    return names;
}

std::size_t clsRules::registerOperations(RulesTable& table)
{
    const std::vector<std::string> names = registeredNames();
    for (const std::string& name : names) {
        for (const WorkOperation& op : workOperations()) {
            if (name == op.name) {
                auto fn = op.fn;
                table.add(name, [this, fn] { return fn(*this) && !programEndRequested(); });
            }
        }
        for (const ItemRuleOperation& op : itemRuleOperations()) {
            if (name == op.name) {
                auto fn = op.fn;
                table.add(name, [fn] { return fn() && !programEndRequested(); });
            }
        }
        for (const ItemRuleOperation& op : massRuleOperations()) {
            if (name == op.name) {
                auto fn = op.fn;
                table.add(name, [fn] { return fn() && !programEndRequested(); });
            }
        }
        for (const PageOperation& op : pageOperations()) {
            if (name == op.name) {
                auto fn = op.fn;
                // An operation that ended the program answers False, so that the engine stops
                // instead of running further steps on the way out.
                table.add(name, [this, fn] { return (this->*fn)() && !programEndRequested(); });
            }
        }
    }
    return names.size();
}

void clsRules::log(const std::string& process, const std::string& status) const
{
    if (m_env.writeLog)
        m_env.writeLog(process, status);
}

bool clsRules::showPage(
    const char* operation, const char* form, const char* status, const std::string& failureSeparator)
{
    if (status)
        wizardWindows().setStatusText(status);
    log(operation, "Start");
    const bool shown = m_env.showPanel && m_env.showPanel(form);
    if (shown) {
        log(operation, "End");
        return true;
    }
    // No run-time error object here: the failure names the page that could not be shown.
    log(operation, failureSeparator + "Page " + form + " could not be shown");
    return false;
}

bool clsRules::Display_License_Agreement()
{
    wizardWindows().setStatusText("To perform migration, accept the agreement");
    return m_env.showPanel && m_env.showPanel("KestroMain");
}

bool clsRules::Display_Prep_Tasks_Panels()
{
    WizardStarted = true;
    return showPage("Display_Prep_Tasks_Panels", "Frm_Preparatory",
        "Follow the preparatory task for better performance", "0:");
}

bool clsRules::Display_Req_Prep_Tasks_Panels()
{
    return showPage("Display_Req_Prep_Tasks_Panels", "Frm_PreparatoryTask",
        "Check the checkboxes and select your Source PC's Operating System", "0: ");
}

bool clsRules::Display_Migration_Type()
{
    return showPage("Display_Migration_Type", "Frm_MigrationType",
        "Select migration type and specify what you would like to migrate", "0:");
}

bool clsRules::Display_Connection_Info()
{
    wizardWindows().setStatusText("Select the connection type and specify the Source PC 's details");
    log("Display_Connection_Info", "Start");
    static const std::pair<const char*, const char*> kOptions[] = {
        {"Opt2K", "win2k"}, {"Opt95", "win95"}, {"Opt98", "win98"}, {"OptME", "winme"}, {"OptXP", "winxp"}};
    if (m_env.optionChosen) {
        for (const auto& [control, code] : kOptions) {
            if (m_env.optionChosen("Frm_PreparatoryTask", control)) {
                SourceOs = code;
                break;
            }
        }
    }
    if (m_env.setVariable)
        m_env.setVariable("$st_source_os", SourceOs);
    const bool shown = m_env.showPanel && m_env.showPanel("Frm_ConnectionType");
    if (shown) {
        log("Display_Connection_Info", "End");
        return true;
    }
    log("Display_Connection_Info", "0 : Page Frm_ConnectionType could not be shown");
    return false;
}

bool clsRules::Display_application_Setting()
{
    wizardWindows().setStatusText("Display application Setting!");
    log("Display_application_Setting", "Start");
    if (m_env.showPanel && m_env.showPanel("Frm_ApplicationSettings")) {
        log("Display_application_Setting", "End");
        return true;
    }
    wizardWindows().setStatusText("Display application Setting failed!");
    log("Display_application_Setting", "0:Page Frm_ApplicationSettings could not be shown");
    return false;
}

bool clsRules::Display_Drive_Info_Panel()
{
    return showPage("Display_Drive_Info_Panel", "frm_Drive_Info",
        "Specify the drive to Migrate the Application and Data!", "Error : ");
}

bool clsRules::Display_Source_Space_Info()
{
    return showPage("Display_Source_Space_Info", "frm_source_Space_Info",
        "Click the Migration Button to Migrate, or Else click the previous button to change the selection!",
        "0:");
}

bool clsRules::Display_Migration_Report()
{
    return showPage("Display_Migration_Report", "frm_Migration_Status", nullptr, "0:");
}

bool clsRules::Display_Mass_Screen()
{
    return showPage("Display_Mass_Screen", "Frm_Mass", "Prepare for Mass Migration", "0:");
}

bool clsRules::Collect_Selected_Info()
{
    // A new selection starts a new report.
    migrationReport().clear();
    return collectProgramSelection();
}

bool clsRules::Source_Value_Initialize()
{
    log("Source_Value_Initialize", "Start");
    // A half-merged mirror is no source registry: nothing is read from it, and the wizard stays on
    // the connection page.
    if (RegistryRequired && !sourceMirrorWhole())
        return false;
    return initializeSourceValues(
        core().variables, defaultEnvironmentAccess(), [] { FN_Unzip_Office_Links(); });
}

} // namespace wizard
