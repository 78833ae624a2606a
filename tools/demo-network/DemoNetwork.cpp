// DemoNetwork.cpp: the demo machines' identity, registry content and files.
#include "tools/demo-network/DemoNetwork.h"

#include "platform/ShellLink.h"
#include "tools/demo-network/DemoBuilder.h"

namespace demo {
namespace {

using namespace detail;

constexpr const char* kOeIdentity98 = "{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}";
constexpr const char* kOeIdentityXp = "{8D4E7C11-2B9A-4F60-A1C3-5E7D90B24F68}";
constexpr const char* kVideoGuid = "{23A77BF7-ED96-40EC-AF06-9B1F4867732A}";

MachineConfig baseConfig(
    const std::string& name, const std::string& os, const std::string& address, const std::string& user)
{
    MachineConfig c;
    applyOsDefaults(os, c);
    c.os = os;
    c.computerName = name;
    c.address = address;
    c.userName = user;
    c.networkAdapter = true;
    c.reachable = true;
    c.parallelPorts = {1};
    return c;
}

DriveEntry drive(char letter, DriveType type, std::uint64_t totalMb, std::uint64_t freeMb)
{
    DriveEntry d;
    d.letter = letter;
    d.type = type;
    if (totalMb) {
        d.totalBytes = totalMb * 1024 * 1024;
        d.freeBytes = freeMb * 1024 * 1024;
    }
    return d;
}

// Replaces a machine folder (only when it is one) and creates the machine.
bool freshMachine(const fs::path& folder, const MachineConfig& config, Machine& machine, std::string& error)
{
    std::error_code ec;
    if (fs::exists(folder, ec)) {
        const bool isMachine = fs::exists(folder / Machine::kIniFileName, ec);
        const bool empty = fs::is_directory(folder, ec) && fs::is_empty(folder, ec);
        if (!isMachine && !empty) {
            error = folder.string() + " exists and is not a machine; it was left alone";
            return false;
        }
        fs::remove_all(folder, ec);
        if (ec) {
            error = "cannot remove " + folder.string() + ": " + ec.message();
            return false;
        }
    }
    std::string message;
    if (machine.create(folder, config, &message) != WinError::Success) {
        error = message;
        return false;
    }
    return true;
}

// The special folders `folders` of the machine as values of the shell-folder key `key`, each
// folder made on the drive; folders the machine does not have are left out.
template <std::size_t N>
void shellFolderValues(Builder& b, const std::string& key, const std::pair<const char*, int> (&folders)[N])
{
    for (const auto& [name, id] : folders) {
        const std::string path = b.special(id);
        if (path.empty())
            continue;
        b.sz(key, name, path);
        b.folder(path);
    }
}

// The version keys of the installation and its computer name.
void windowsVersion(Builder& b, const std::string& owner)
{
    const auto& c = b.config();
    const bool nt = c.isNt();
    const std::string cv = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    const std::string drive = c.windowsFolder.substr(0, 2);
    b.sz(cv, "ProgramFilesDir", drive + "\\Program Files");
    b.sz(cv, "CommonFilesDir", drive + "\\Program Files\\Common Files");
    b.sz(cv, "ProductId", nt ? "55274-640-1011873-23081" : "10272-OEM-0012875-37841");
    if (nt) {
        const std::string nv = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
        b.sz(nv, "SystemRoot", c.windowsFolder);
        b.sz(nv, "ProductName", c.os == "winxp" ? "Microsoft Windows XP" : "Microsoft Windows 2000");
        b.sz(nv, "CurrentVersion", std::to_string(c.versionMajor) + "." + std::to_string(c.versionMinor));
        b.sz(nv, "CurrentBuildNumber", std::to_string(c.buildNumber));
        b.sz(nv, "CSDVersion", "Service Pack 2");
        b.sz(nv, "RegisteredOwner", owner);
        b.sz(nv, "RegisteredOrganization", "");
        b.sz(cv, "ProgramFilesPath", "%ProgramFiles%", RegType::ExpandSz);
    } else {
        b.sz(cv, "SystemRoot", c.windowsFolder);
        b.sz(cv, "ProductName", "Microsoft Windows 98");
        b.sz(cv, "Version", "Windows 98");
        b.sz(cv, "VersionNumber", "4.10.1998");
        b.sz(cv, "RegisteredOwner", owner);
        b.sz(cv, "RegisteredOrganization", "");
    }
    b.sz("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName", "ComputerName",
        computerNameOf(c));
}

// Shell folders, per user and shared, with their folders on the drive.
void shellFolders(Builder& b)
{
    const auto& c = b.config();
    const bool nt = c.isNt();
    const std::string user =
        "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::string common =
        "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    const std::pair<const char*, int> userFolders[] = {
        {"AppData", csidl::AppData},
        {"Cache", csidl::InternetCache},
        {"Cookies", csidl::Cookies},
        {"Desktop", csidl::DesktopDirectory},
        {"Favorites", csidl::Favorites},
        {"Fonts", csidl::Fonts},
        {"History", csidl::History},
        {"NetHood", csidl::NetHood},
        {"Personal", csidl::Personal},
        {"PrintHood", csidl::PrintHood},
        {"Programs", csidl::Programs},
        {"Recent", csidl::Recent},
        {"SendTo", csidl::SendTo},
        {"Start Menu", csidl::StartMenu},
        {"Startup", csidl::Startup},
        {"Templates", csidl::Templates},
        {"Local AppData", csidl::LocalAppData},
    };
    shellFolderValues(b, user, userFolders);
    const std::pair<const char*, int> commonFolders[] = {
        {"Common AppData", csidl::CommonAppData},
        {"Common Desktop", csidl::CommonDesktopDirectory},
        {"Common Documents", csidl::CommonDocuments},
        {"Common Programs", csidl::CommonPrograms},
        {"Common Start Menu", csidl::CommonStartMenu},
        {"Common Startup", csidl::CommonStartup},
    };
    shellFolderValues(b, common, commonFolders);
    // Windows 98 keeps the shared program group beside the per-user one.
    if (!nt)
        b.sz(common, "Programs", b.special(csidl::Programs));
    if (nt) {
        const std::string userShell =
            "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
        b.sz(userShell, "AppData", "%USERPROFILE%\\Application Data", RegType::ExpandSz);
        b.sz(userShell, "Desktop", "%USERPROFILE%\\Desktop", RegType::ExpandSz);
        b.sz(userShell, "Personal", "%USERPROFILE%\\My Documents", RegType::ExpandSz);
        b.sz(userShell, "Programs", "%USERPROFILE%\\Start Menu\\Programs", RegType::ExpandSz);
        b.sz(userShell, "Cookies", "%USERPROFILE%\\Cookies", RegType::ExpandSz);
    }
}

// Control Panel settings of the user.
void controlPanel(Builder& b)
{
    const auto& c = b.config();
    const bool nt = c.isNt();
    const std::string cp = "HKEY_CURRENT_USER\\Control Panel";
    b.sz(cp + "\\Desktop", "Wallpaper",
        c.windowsFolder + (nt ? "\\Web\\Wallpaper\\Bliss.bmp" : "\\Clouds.bmp"));
    b.sz(cp + "\\Desktop", "TileWallpaper", "0");
    b.sz(cp + "\\Desktop", "WallpaperStyle", "2");
    b.sz(cp + "\\Desktop", "ScreenSaveActive", "1");
    b.sz(cp + "\\Desktop", "ScreenSaveTimeOut", "600");
    b.sz(cp + "\\Desktop", "MenuShowDelay", "400");
    if (nt)
        b.sz(cp + "\\Desktop", "SCRNSAVE.EXE", c.systemFolder + "\\ssflwbox.scr");
    b.sz(cp + "\\Colors", "Background", nt ? "0 78 152" : "0 128 128");
    b.sz(cp + "\\Colors", "Window", "255 255 255");
    b.sz(cp + "\\Colors", "WindowText", "0 0 0");
    b.sz(cp + "\\Mouse", "DoubleClickSpeed", "500");
    b.sz(cp + "\\Mouse", "MouseSpeed", "1");
    b.sz(cp + "\\Mouse", "SwapMouseButtons", "0");
    b.sz(cp + "\\International", "Locale", "00000409");
    b.sz(cp + "\\International", "sCountry", "United States");
    b.sz(cp + "\\International", "iCountry", "1");
    b.sz(cp + "\\International", "sShortDate", "M/d/yyyy");
    b.sz(cp + "\\International", "sTimeFormat", "h:mm:ss tt");
    b.sz(cp + "\\International", "sCurrency", "$");
    b.sz(cp + "\\Keyboard", "KeyboardDelay", "1");
    b.sz(cp + "\\Keyboard", "KeyboardSpeed", "31");
    b.sz("HKEY_CURRENT_USER\\Keyboard Layout\\Preload", "1", "00000409");
    b.sz("HKEY_CURRENT_USER\\Keyboard Layout\\Preload", "2", "00000407");
    b.sz(cp + "\\Appearance", "Current", nt ? "Windows Standard" : "Windows Standard (large)");
    b.sz(cp + "\\Desktop\\WindowMetrics", "BorderWidth", "-15");
    b.sz(cp + "\\Desktop\\WindowMetrics", "Shell Icon Size", "32");
    b.sz(cp + "\\Sound", "Beep", "yes");
    b.sz(cp + "\\Accessibility\\StickyKeys", "Flags", "510");
    b.sz("HKEY_CURRENT_USER\\AppEvents\\Schemes", "", ".Default");
    b.sz("HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main", "Start Page",
        "http://www.example.com/");
}

// What every Windows installation holds: version keys, shell folders, Control Panel.
void windowsBase(Builder& b, const std::string& owner)
{
    windowsVersion(b, owner);
    shellFolders(b);
    controlPanel(b);

    // Files every installation has.
    const auto& c = b.config();
    const bool nt = c.isNt();
    const std::string drive = c.windowsFolder.substr(0, 2);
    b.program(c.windowsFolder + "\\REGEDIT.EXE", nt ? 5 : 4, nt ? 1 : 10, nt ? 2600 : 1998, 0);
    b.program(c.windowsFolder + "\\EXPLORER.EXE", nt ? 6 : 4, nt ? 0 : 72, nt ? 2900 : 3110, nt ? 2180 : 1);
    b.program(c.systemFolder + "\\SHELL32.DLL", nt ? 6 : 4, nt ? 0 : 72, nt ? 2900 : 3110, nt ? 2180 : 1);
    b.text(c.windowsFolder + "\\WIN.INI",
        "[windows]\nload=\nrun=\nNullPort=None\n\n[Desktop]\nWallpaper=(None)\nTileWallpaper=0\n");
    b.folder(c.windowsFolder + "\\Temp");
    if (nt)
        b.file(c.windowsFolder + "\\Web\\Wallpaper\\Bliss.bmp", std::string("BM") + std::string(70, '\x11'));
    b.folder(drive + "\\Program Files\\Common Files");
}

void userDocuments(Builder& b)
{
    const std::string docs = b.special(csidl::Personal);
    const std::string& user = b.config().userName;
    b.text(docs + "\\Letter to the bank.doc", "Dear Sir or Madam,\n\nplease find enclosed ...\n");
    b.text(docs + "\\Budget 2004.xls", "Month;Income;Expenses\nJanuary;2100;1830\n");
    b.text(docs + "\\Notes.txt", "Call the plumber on Monday.\nBuy a new printer cartridge.\n");
    b.file(docs + "\\My Pictures\\Holiday 2003.jpg",
        std::string("\xFF\xD8\xFF\xE0", 4) + "JFIF holiday picture of " + user);
    b.text(b.special(csidl::Favorites) + "\\Example Home Page.url",
        "[InternetShortcut]\nURL=http://www.example.com/\n");
    b.text(b.special(csidl::DesktopDirectory) + "\\To do.txt", "Move to the new PC.\n");
    b.text(b.special(csidl::Cookies) + "\\" + user + "@example[1].txt", "session\n1\nexample.com/\n");
}

void usbAndNetwork(Builder& b, bool nt, bool bridge)
{
    const std::string usb =
        nt ? "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\USB" : "HKEY_LOCAL_MACHINE\\Enum\\USB";
    b.sz(usb + "\\ROOT_HUB\\4&1B3C2F5A&0", "DeviceDesc", "USB Root Hub");
    b.sz(usb + "\\ROOT_HUB\\4&1B3C2F5A&0", "Class", "USB");
    b.sz(usb + "\\VID_046D&PID_C00E\\5&2A9E4B1&0&1", "DeviceDesc", "USB Optical Mouse");
    b.sz(usb + "\\VID_046D&PID_C00E\\5&2A9E4B1&0&1", "Class", "HIDClass");
    b.sz(usb + "\\VID_03F0&PID_1104\\7&14C2A9&0&2", "DeviceDesc", "USB Printing Support");
    if (bridge) {
        b.sz(usb + "\\VID_067B&PID_0000\\6&3B09E2C&0&1", "DeviceDesc",
            "Prolific USB-to-USB Network Bridge Cable");
        b.sz(usb + "\\VID_067B&PID_0000\\6&3B09E2C&0&1", "Class", "Net");
    }
    if (nt) {
        const std::string cards =
            "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards\\2";
        b.sz(cards, "Description", "Realtek RTL8139 Family PCI Fast Ethernet NIC");
        b.sz(cards, "ServiceName", "{4D36E972-E325-11CE-BFC1-08002BE10318}");
        b.sz("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_10EC&DEV_8139\\3&61AAA01&0&48",
            "DeviceDesc", "Realtek RTL8139 Family PCI Fast Ethernet NIC");
    } else {
        b.sz("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10EC&DEV_8139\\BUS_00&DEV_09&FUNC_00", "DeviceDesc",
            "Realtek RTL8139(A) PCI Fast Ethernet Adapter");
        b.sz("HKEY_LOCAL_MACHINE\\Enum\\PCI\\VEN_10EC&DEV_8139\\BUS_00&DEV_09&FUNC_00", "Class", "Net");
        b.sz("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Net\\0000", "DriverDesc",
            "Realtek RTL8139(A) PCI Fast Ethernet Adapter");
        b.sz("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\VxD\\MSTCP", "HostName",
            b.config().computerName);
    }
    b.sz("HKEY_CURRENT_USER\\Network\\Persistent", "", "");
}

void display(Builder& b, std::uint32_t width, std::uint32_t height)
{
    if (b.config().isNt()) {
        b.sz("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0",
            std::string("\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Video\\") + kVideoGuid +
                "\\0000");
        b.dword("HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\VIDEO", "MaxObjectNumber", 0);
        for (const char* profile : {"0001", "Current"}) {
            const std::string k =
                std::string("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Hardware Profiles\\") + profile +
                "\\System\\CurrentControlSet\\Control\\VIDEO\\" + kVideoGuid + "\\0000";
            b.dword(k, "DefaultSettings.XResolution", width);
            b.dword(k, "DefaultSettings.YResolution", height);
            b.dword(k, "DefaultSettings.BitsPerPel", 32);
            b.dword(k, "DefaultSettings.VRefresh", 60);
        }
    } else {
        const std::string k = "HKEY_LOCAL_MACHINE\\Config\\0001\\Display\\Settings";
        b.sz(k, "Resolution", std::to_string(width) + "," + std::to_string(height));
        b.sz(k, "BitsPerPixel", "16");
        b.sz(k, "DPILogicalX", "96");
        b.sz("HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\Class\\Display\\0000", "DriverDesc",
            "S3 Trio64V2/DX PCI");
    }
}

} // namespace

// The visual effects and the Active Desktop a user set on a source PC.
void effectsAndActiveDesktop(Builder& b, bool nt)
{
    const std::string desktop = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
    b.sz(desktop, "DragFullWindows", "1");
    b.sz(desktop, "FontSmoothing", "2");
    b.dword("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects",
        "VisualFXSetting", nt ? 3 : 2);
    const std::string ie = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Desktop\\General";
    b.sz(ie, "WallpaperSource", nt ? "C:\\WINDOWS\\Web\\Wallpaper\\Bliss.bmp" : "C:\\WINDOWS\\Clouds.bmp");
    b.dword(ie, "ComponentsPositioned", 1);
}

bool buildSourcePc98(const fs::path& network, std::string& error)
{
    MachineConfig c = baseConfig("OLDPC", "win98", "192.168.0.10", "Martin");
    c.windowsFolder = "C:\\WINDOWS";
    c.systemFolder = "C:\\WINDOWS\\SYSTEM";
    c.drives = {drive('C', DriveType::Fixed, 4094, 1536), drive('D', DriveType::Fixed, 2047, 1660),
        drive('E', DriveType::CdRom, 0, 0)};
    c.shares = {{"C$", "C:\\"}, {"D$", "D:\\"}};
    c.accounts.clear();
    Machine machine;
    if (!freshMachine(network / kSourcePc98, c, machine, error))
        return false;
    fs::remove_all(machine.driveFolder('E')); // no CD in the drive
    Builder b(machine, error);
    windowsBase(b, "Martin");
    // The tool the wizard looks for to tell a 95/98/ME source from a 2000 one.
    b.program("C:\\WINDOWS\\WINIPCFG.EXE", 4, 10, 1998, 0);
    b.text("C:\\WINDOWS\\SYSTEM.INI",
        "[boot]\nshell=Explorer.exe\nSCRNSAVE.EXE=C:\\WINDOWS\\SYSTEM\\3DTEXT~1.SCR\n\n"
        "[386Enh]\nebios=*ebios\n");
    b.text("C:\\WINDOWS\\CONTROL.INI",
        "[Screen Saver.3DText]\nDisplayString=Kestro\nSpeed=5\nSurfaceType=1\n\n"
        "[Current]\ncolor schemes=Windows Standard\n");
    b.program("C:\\WINDOWS\\SYSTEM\\3D Text.scr", 4, 10, 1998, 0);
    // A shortcut left behind by a game removed long ago.
    b.file("C:\\WINDOWS\\Desktop\\Old Game.lnk", encodeShellLink(ShellLinkData{"C:\\Games\\OLDGAME.EXE"}));
    b.file("C:\\WINDOWS\\Clouds.bmp", std::string("BM") + std::string(52, '\0'));
    installSourceApps98(b);
    // The game's own key, with paths into the Windows and System folders (SYSTEM.INI is a file of
    // the Windows folder, not the System folder).
    const std::string game = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Card Games Ltd\\Solitaire Plus\\2.1";
    b.sz(game, "InstallDir", "C:\\Program Files\\Solitaire Plus");
    b.sz(game, "HelpFile", "C:\\WINDOWS\\SYSTEM\\SOLPLUS.HLP");
    b.sz(game, "Settings", "C:\\WINDOWS\\SYSTEM.INI");
    b.dword(game, "Games Won", 42);
    b.sz(game, "Greeting", "Say \"hello\" to C:\\WINDOWS\\SYSTEM\\");
    b.sz(game, "Player", "Zo\xc3\xab Caf\xc3\xa9");      // beyond ASCII, in the machine's code page
    b.sz(game, "C:\\WINDOWS\\SYSTEM\\SOLPLUS.DLL", "1"); // a path as the value's name
    b.sz(game, "Lower", "c:\\windows\\system\\cards.dll");
    b.sz(game, "Cards", "%windir%\\SYSTEM\\cards.dll", RegType::ExpandSz);
    b.multi(
        game, "Decks", {"C:\\WINDOWS\\SYSTEM\\classic.deck", "C:\\Program Files\\Solitaire Plus\\a.deck"});
    b.binary(game, "Layout", RegBytes{0x00, 0x5c, 0x22, 0xff, 0x0d, 0x0a});
    installOffice(b, "9.0", false);
    // The Outlook mail profile and its personal folders file.
    b.sz("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows Messaging Subsystem\\Profiles\\Martin\\"
         "9207f3e0a3b11019908b08002b2a56c2",
        "001e6700", "C:\\WINDOWS\\Application Data\\Microsoft\\Outlook\\Martin.pst");
    b.file("C:\\WINDOWS\\Application Data\\Microsoft\\Outlook\\Martin.pst",
        std::string("!BDN") + "personal folders of Martin");
    outlookExpress(b, kOeIdentity98, false);
    userDocuments(b);
    effectsAndActiveDesktop(b, false);
    usbAndNetwork(b, false, false);
    display(b, 1024, 768);
    b.text("D:\\Projects\\Garden plan.txt", "Roses along the fence, herbs by the kitchen door.\n");
    b.text("D:\\Projects\\Club members.csv", "Name;Phone\nHenderson;555-0142\n");
    return b.finish();
}

bool buildSourcePcXp(const fs::path& network, std::string& error)
{
    MachineConfig c = baseConfig("OLDXP", "winxp", "192.168.0.11", kXpAdminUser);
    c.drives = {drive('C', DriveType::Fixed, 19077, 11264), drive('E', DriveType::CdRom, 0, 0)};
    c.shares = {{"C", "C:\\"}};
    c.accounts = {{kXpAdminUser, kXpAdminPassword, true}, {"Guest", "", false}};
    Machine machine;
    if (!freshMachine(network / kSourcePcXp, c, machine, error))
        return false;
    fs::remove_all(machine.driveFolder('E'));
    Builder b(machine, error);
    windowsBase(b, kXpAdminUser);
    xpScreenSavers(b);
    b.program(c.systemFolder + "\\cacls.exe", 5, 1, 2600, 0);
    installSourceAppsXp(b);
    const std::string stars = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Night Sky Software\\Star Chart";
    b.sz(stars, "Catalog", "C:\\Program Files\\Star Chart\\stars.dat");
    b.sz(stars, "Observatory", "Greenwich");
    installOffice(b, "11.0", true);
    // The Outlook mail profile and its personal folders file, where Windows XP keeps them.
    const std::string pst = b.special(csidl::LocalAppData) + "\\Microsoft\\Outlook\\Outlook.pst";
    b.sz("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging "
         "Subsystem\\Profiles\\Outlook\\9207f3e0a3b11019908b08002b2a56c2",
        "001e6700", pst);
    b.file(pst, std::string("!BDN") + "personal folders of Sarah");
    outlookExpress(b, kOeIdentityXp, true);
    userDocuments(b);
    effectsAndActiveDesktop(b, true);
    usbAndNetwork(b, true, false);
    display(b, 1280, 1024);
    return b.finish();
}

bool buildDestinationPc(const fs::path& network, const DemoOptions& options, std::string& error)
{
    MachineConfig c = baseConfig("NEWPC", options.destinationOs, "192.168.0.20", "Martin");
    c.drives = {drive('C', DriveType::Fixed, 38154, 31200), drive('D', DriveType::Fixed, 76308, 74100),
        drive('E', DriveType::CdRom, 0, 0)};
    c.shares = {{"SharedDocs", "C:\\Documents and Settings\\All Users\\Documents"}};
    c.accounts = {{"Martin", "", true}};
    Machine machine;
    if (!freshMachine(network / kDestinationPc, c, machine, error))
        return false;
    fs::remove_all(machine.driveFolder('E'));
    Builder b(machine, error);
    windowsBase(b, "Martin");
    xpScreenSavers(b);
    usbAndNetwork(b, true, true);
    display(b, 800, 600); // before its display driver was set up
    b.folder(kWizardFolder);
    for (const auto& folder : options.dataFolders)
        b.install(folder, kWizardFolder);
    const std::string uninstall =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestro";
    b.sz(uninstall, "DisplayName", "Kestro");
    b.sz(uninstall, "InstallLocation", kWizardFolder);
    return b.finish();
}

bool buildDemoNetwork(const fs::path& network, const DemoOptions& options, std::string& error)
{
    std::error_code ec;
    fs::create_directories(network, ec);
    if (ec) {
        error = "cannot create " + network.string() + ": " + ec.message();
        return false;
    }
    return buildSourcePc98(network, error) && buildSourcePcXp(network, error) &&
        buildDestinationPc(network, options, error);
}

} // namespace demo
