// TroubleshootingDialogTable.cpp: the texts, buttons and help topics of the eleven troubleshooting
// dialogs.
#include "wizard/ui/connection/TroubleshootingDialogs.h"

namespace wizard {

namespace {

constexpr const char* kBack = "&Back to Kestro";
constexpr const char* kMoreHelp = "&Need More Help";
constexpr const char* kClose = "&Close Kestro";
constexpr const char* kUnidentified = "Unable to  identify Source PC !  Please check the following:";
constexpr const char* kUnableToLogin = "Unable to login to Source PC ! Please check the following:";
constexpr const char* kSourceStaticIp = "Check if static IP address is configured in Source PC. ";
constexpr const char* kDestinationStaticIp = "Check if static IP address is configured in Destination PC. ";

// The usual three buttons, each carrying `topic` (the help button `helpTopic`).
TroubleButton back(int topic) { return {"cmdContinue", kBack, topic}; }
TroubleButton moreHelp(int topic) { return {"Command1", kMoreHelp, topic}; }
TroubleButton close(int topic) { return {"CmdCancel", kClose, topic}; }

std::vector<TroubleDialogLayout> buildDialogs()
{
    static const std::string sourceIp1 = std::string("3.") + kSourceStaticIp;
    static const std::string destinationIp1 = std::string("4.") + kDestinationStaticIp;
    static const std::string sourceIp2 = std::string("3. ") + kSourceStaticIp;
    static const std::string destinationIp2 = std::string("4. ") + kDestinationStaticIp;
    static const std::string sourceIp3 = std::string("4.") + kSourceStaticIp;
    static const std::string destinationIp3 = std::string("5.") + kDestinationStaticIp;

    std::vector<TroubleDialogLayout> d;

    TroubleDialogLayout os{"frm_Error_Get_SourcePC_Info", "Operating System Error",
        "Specified and the connected Operating Systems are not same", {"Command3", kBack, 101}, moreHelp(101),
        {"Command2", kClose, 101},
        {{"1.Please check the selected Operating system.", 101},
            {"2.The selected OS is  Login OS or Non Login OS.(win95,win98 and ME are Non Login OS. win2k and "
             "winXP are Login OS.) ",
                101},
            {"3.Please change the Source OS.", 101}}};
    os.plainStepsOpenTopic = true;
    d.push_back(os);

    d.push_back({"frm_Error_Lan_validate", "LAN connection ", kUnidentified, back(33), moreHelp(33),
        close(33),
        {{"1.Check whether the cable is LAN Crossover cable.", 91, "Cmd_Link"},
            {"2.Check if LAN cable is connected properly on both PCs to Hub/Switch.", 92, "Cmd_link1"},
            {sourceIp1.c_str(), 93, "Cmd_Link2"}, {destinationIp1.c_str(), 94, "Cmd_Link3"},
            {"5.Check if any Firewall and Antivirus software are turned off in Source and Destination PCs.",
                95, "Cmd_Link4"}}});

    TroubleDialogLayout crossover{"frm_Error_Crossover_validate", "Crossover cable connection ",
        kUnidentified, back(26), moreHelp(111), close(26),
        {{"1. Check whether your cable is crossover cable.", 86, "Cmd_Link"},
            {"2. Check the Crossover cable is connected properly on both PCs.", 85, "Cmd_link1"},
            {sourceIp2.c_str(), 87, "Cmd_Link2"}, {destinationIp2.c_str(), 88, "Cmd_Link3"},
            {"5. Check if any Firewall and Antivirus software are turned off in Source and Destination PCs.",
                89, "Cmd_Link4"}}};
    crossover.moreHelpActsAsStep = 0;
    d.push_back(crossover);

    d.push_back({"frm_Error_Parrall_validate", "Parallel connection ",
        "Unable to identify Source PC ! Please check the following:", back(39), moreHelp(39), close(39),
        {{"1. Check if Parallel cable is connected properly on both PCs.", 81, "Cmd_Link"},
            {"2. Check if Direct Parallel cable connection is active on both Source and Destination PC.", 96,
                "Cmd_link1"},
            {"3. Check if any Firewall and Antivirus software are turned off in Source and Destination PC s.",
                83, "Cmd_Link2"}}});

    d.push_back({"frm_Error_USB_Port", "USB Connection ",
        "Unable to find USB port in your PC !  Please check the following: ", back(16), moreHelp(51),
        close(16),
        {{"1.Check whether USB drives are Installed in your system.", 97, "Cmd_Link"},
            {"2. Check if USB cable is connected properly on both PCs.", 98, "Cmd_link1"},
            {"3. Check if any Firewall and Antivirus software are turned off in Source and Destination PCs.",
                95, "Cmd_Link2"}}});

    d.push_back({"frm_Error_Port_Validate", "Network Port Error",
        "Unable to detect ethernet port, the possible reasons are:", {"cmdContinue", "&Continue", 0},
        moreHelp(0), close(0),
        {{"1.Cross over cable is not connected. Make sure crossover cable  is connected to Ethernet port and "
          "LED's blinking.",
             0},
            {"2.The IP address for the ethernet card  could be 127.0.0.1. Make sure you assign proper IP "
             "address "
             "for your Ethernet card.",
                0},
            {"3.Ethernet card may be disabled.", 0}}});

    d.push_back({"frm_Error_Simple_Map", "Mapping Error",
        "Unable to map your Source PC ! the possible reasons are:", back(0), moreHelp(114), close(0),
        {{"1.Share source PC's hard drives as C, D with full rights. ", 114, "Command2"},
            {"2.The Source and Destination PC's are on different network.", 112, "Cmd_Link"},
            {"3. Crossover/Lancable is disconnected.", 92, "Cmd_link1"}, {sourceIp3.c_str(), 93, "Cmd_Link2"},
            {destinationIp3.c_str(), 94, "Cmd_Link3"},
            {"6. Check if any Firewall and Antivirus software are turned off in Source and Destination PCs.",
                95, "Cmd_Link4"}}});

    // Both checks share one link button, whose first topic is 102.
    TroubleDialogLayout logMap{"frm_Error_Log_Map", "Source PC drive map error", kUnableToLogin, back(33),
        moreHelp(33), close(33),
        {{"1.Check if Source PC user name and password are correct", 21, "Cmd_Link"},
            {"2.Check if user name has administrative rights and drives are shared.", 102, "Cmd_Link"}}};
    logMap.moreHelpFollowsConnection = true;
    d.push_back(logMap);

    TroubleDialogLayout remote{"frm_Error_Remote_Disconneted", "Remote Machine Disconnected",
        "Unable to communicate with Source PC !  the possible reasons are:", {"cmdContinue", "&Continue", 0},
        {"", "", 0}, {"CmdCancel", "Canc&el", 0},
        {{"1. Network cable may be plugged out.", 0}, {"2. Source Machine may be turned off.", 0}}};
    remote.footer = "After fixing the above problems, click on continue button  to proceed the migration.";
    d.push_back(remote);

    d.push_back({"frm_Error_Sourceothers_validate", "Source PC - Windows 95/98/98SE/ME", kUnableToLogin,
        back(0), moreHelp(0), close(0),
        {{"1.Check if File and Print sharing is enabled in Source PC.", 0},
            {"2.Check if Source PC\u2019s hard drive is shared as C$ and D$ respectively with full rights.",
                0}}});

    TroubleDialogLayout source2k{"frm_Error_Source2k_validate", "Source PC Validation",
        "Unable to login to Source PC !  Please check the following:", back(0), moreHelp(0), close(0),
        {{"1.Check if Source PC user name and password are correct.", 0},
            {"2.Check if User Name has administrative rights. share Source PC's C Drive as C$, If the Source "
             "PC "
             "is XP share it as C.",
                0}}};
    source2k.animatedBack = true;
    d.push_back(source2k);
    return d;
}

} // namespace

const std::vector<TroubleDialogLayout>& troubleshootingDialogs()
{
    static const std::vector<TroubleDialogLayout> dialogs = buildDialogs();
    return dialogs;
}

const TroubleDialogLayout* troubleshootingDialog(const std::string& formName)
{
    for (const TroubleDialogLayout& layout : troubleshootingDialogs()) {
        if (formName == layout.formName)
            return &layout;
    }
    return nullptr;
}

} // namespace wizard
