// ConnectionOperations.cpp: the rules that reach the source PC: validation of the name and logon,
// the source OS check, the port checks and the mapping of the source's C drive.
#include "wizard/rules/clsRules.h"

#include "common/Text.h"
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "wizard/connection/DriveMapping.h"
#include "wizard/connection/GeneralUtilities.h"
#include "wizard/connection/NetworkHelpers.h"
#include "wizard/connection/SourceBatchFile.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/PageControls.h"
#include "wizard/core/WizardState.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/TransferGlobals.h"

namespace wizard {

namespace {

constexpr const char* kConnectionPage = "Frm_ConnectionType";

void status(const std::string& text) { wizardWindows().setStatusText(text); }
void hourglass(bool on)
{
    wizardWindows().setMousePointer(on ? MousePointer::Hourglass : MousePointer::Default);
}

std::string pageText(const char* control)
{
    PageControls* controls = pageControls();
    return controls ? controls->text(kConnectionPage, control) : std::string();
}
bool pageChecked(const char* form, const char* control)
{
    PageControls* controls = pageControls();
    return controls && controls->isChecked(form, control);
}
bool focus(const char* control)
{
    PageControls* controls = pageControls();
    return controls && controls->setFocus(kConnectionPage, control);
}
void inform(const std::string& text)
{
    platform::showMessage(text, platform::MsgButtons::Ok, platform::MsgIcon::Information);
}

} // namespace

void clsRules::refuse(const std::string& operation, const std::string& error)
{
    hourglass(false);
    log(operation, error.empty() ? "0 : " : error);
}

bool clsRules::Validate_Source_PC()
{
    const char* op = "Validate_Source_PC";
    log(op, "Start");
    status("Please wait Kestro validating source PC!");
    SourcePcName = std::string(common::trimmed(pageText("txt_Source_Name")));
    if (SourcePcName.empty() || !Is_Valid_Name(SourcePcName)) {
        inform(SourcePcName.empty() ? "Please enter source PC name!" : "Please enter valid Source PC name!");
        focus("txt_Source_Name");
        status("Validation failed: Enter valid Source PC name");
        refuse(op);
        return false;
    }
    if (m_env.setVariable)
        m_env.setVariable("$st_source_mc_name", "\\\\" + SourcePcName);
    hourglass(true);
    const std::string address = Get_IP_Address(SourcePcName);
    if (address == kUnresolvedAddress) {
        static const std::pair<const char*, const char*> kDialogs[] = {
            {"optNWCbl", "frm_Error_Crossover_validate"}, {"optNWLan", "frm_Error_Lan_validate"},
            {"optParlPorts", "frm_Error_Parrall_validate"}, {"opt_USB", "frm_Error_USB_Port"}};
        for (const auto& [option, dialog] : kDialogs) {
            if (pageChecked(kConnectionPage, option)) {
                showTroubleshooting(dialog);
                break;
            }
        }
        const bool focused = focus("txtuser");
        status("Validating source PC fails!");
        refuse(op, focused ? "0 : " : "5 : Invalid procedure call or argument");
        return false;
    }
    const std::string local = LocalPcName.empty() ? Get_Computer_Name() : LocalPcName;
    if (address == Get_IP_Address(local)) {
        inform("Please give Source PC name, you have given local PC's name!");
        status("Validating source PC fails!");
        refuse(op);
        return false;
    }
    if (pageChecked("Frm_PreparatoryTask", "Opt2K") || pageChecked("Frm_PreparatoryTask", "OptXP")) {
        const std::string user = pageText("txtuser");
        if (common::trimmed(user).empty()) {
            status("Please enter valid user name and Password!");
            inform("Please enter user name and password, the user name must have Administrator rights");
            focus("txtuser");
            refuse(op);
            return false;
        }
        LogonUserName = user;
        LogonPassword = pageText("TxtPass");
    }
    hourglass(false);
    status("Validating source PC had done!");
    log(op, "End");
    return true;
}

bool clsRules::Get_Source_PC_Information()
{
    const char* op = "Get_Source_PC_Information";
    RegistryRequired = false;
    status("Analysing Source PC information for connection!");
    log(op, "Start");
    const std::optional<std::string> drive = transferGlobals().driveMap.lookup("C:");
    bool marker = false;
    // Without a mapped C: there is no source drive to look at: the destination's own drive must
    // never stand in for it.
    if (drive && !drive->empty()) {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        std::vector<std::string> names;
        if (machine)
            machine->files().dir(*drive + "\\windows\\WINIPCFG.EXE",
                platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System |
                    platform::attr::Archive,
                names);
        marker = !names.empty() && common::upperAscii(names.front()) == "WINIPCFG.EXE";
    }
    const bool accepted = drive && !drive->empty() &&
        (SourceOs == "winxp" ||
            (marker ? (SourceOs == "win95" || SourceOs == "win98" || SourceOs == "winme")
                    : SourceOs == "win2k"));
    if (accepted) {
        if (m_env.setVariable)
            m_env.setVariable("$st_source_os", SourceOs);
        log(op, "End");
        return true;
    }
    // Without a mapped C: the source was never reached: the mapping's dialog says why.
    showTroubleshooting(drive ? "frm_Error_Get_SourcePC_Info" : "frm_Error_Simple_Map");
    // The drives of a source that is not the one the user meant do not stay connected.
    DriveMap& map = transferGlobals().driveMap;
    for (const std::string& local : map.localDrives())
        Cancel_Connection(local);
    map.clear();
    refuse(op, drive ? "0 : " : "0 : The source PC's C drive is not mapped");
    return false;
}

bool clsRules::Validate_Network_Port()
{
    status("Please wait... Kestro validating connection!");
    status("Validating port, please wait!");
    hourglass(true);
    if (Is_Network_Present()) {
        hourglass(false);
        status("Port successfully validated!");
        log("Validate_Network_Port", "End");
        return true;
    }
    showTroubleshooting("frm_Error_Port_Validate");
    status("Validating port,failed!");
    refuse("Validate_Network_Port");
    return false;
}

bool clsRules::Validate_Parallel_Port()
{
    status("Kestro validating Parallel port");
    status("Validating parallel port!");
    log("Validate_Parallel_Port", "Start");
    hourglass(true);
    if (Check_Parallel_Port()) {
        hourglass(false);
        status("Validating parallel port done!");
        log("Validate_Parallel_Port", "End");
        return true;
    }
    showTroubleshooting("frm_Error_Parrall_validate");
    status("Validating parallel port failed!");
    refuse("Validate_Parallel_Port");
    return false;
}

bool clsRules::Validate_USB()
{
    if (Check_USB_Bridge())
        return true;
    showTroubleshooting("frm_Error_USB_Port");
    return false;
}

bool clsRules::mapCDrive(const char* op, bool withLogon)
{
    std::string share = "\\\\" + SourcePcName + "\\C$";
    hourglass(true);
    if (!withLogon) {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        // The share must be writable without a logon: a probe folder proves it (one left from an
        // earlier run counts).
        const std::string probe = share + "\\Temp_Folder_For_Delete";
        if (machine)
            machine->files().createFolder(probe);
        if (!machine || !machine->files().folderExists(probe)) {
            showTroubleshooting("frm_Error_Simple_Map");
            status("Mapping source drive failed!");
            refuse(op);
            return false;
        }
        machine->files().deleteFolder(probe);
    }
    std::string drive;
    const bool mapped =
        withLogon ? Map_Drive(share, drive, LogonUserName, LogonPassword) : Map_Drive(share, drive, "", "");
    if (mapped) {
        hourglass(false);
        status("Source drive successfully mapped!");
        log(op, "End");
        return true;
    }
    showTroubleshooting(withLogon ? "frm_Error_Log_Map" : "frm_Error_Simple_Map");
    status("Mapping source drive failed!");
    refuse(op);
    return false;
}

bool clsRules::Simple_Map_C_Drive()
{
    status("Mapping Source PC!");
    log("Simple_Map_C_Drive", "Start");
    status("Mapping source drive!");
    return mapCDrive("Simple_Map_C_Drive", false);
}

bool clsRules::Logon_Map_C_Drive()
{
    status("Mapping source drive!");
    log("Logon_Map_C_Drive", "Start");
    return mapCDrive("Logon_Map_C_Drive", true);
}

} // namespace wizard
