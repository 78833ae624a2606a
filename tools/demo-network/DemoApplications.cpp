// DemoApplications.cpp: the applications installed on the demo network's source PCs.
#include "tools/demo-network/DemoBuilder.h"

#include "platform/ShellLink.h"
#include "tools/demo-network/DemoNetwork.h"

namespace demo::detail {
namespace {

// The installer's product code under which the premium Office edition is registered.
constexpr const char* kPremiumOfficeProduct = "904000001E872D116BF00006799C897E";

// An installed application: its program folder, executable, uninstall entry and App Paths.
struct App {
    const char* uninstallKey;
    const char* displayName;
    const char* publisher;
    const char* folder; // below Program Files
    const char* exe;
    std::uint16_t version[4];
    // The program's own keys below SOFTWARE (machine) and Software (user), "" for none.
    const char* vendorKey = "";
};

void installApp(Builder& b, const App& app)
{
    const std::string drive = b.config().windowsFolder.substr(0, 2);
    const std::string folder = drive + "\\Program Files\\" + app.folder;
    const std::string exe = folder + "\\" + app.exe;
    b.program(exe, app.version[0], app.version[1], app.version[2], app.version[3]);
    b.text(folder + "\\Readme.txt", std::string(app.displayName) + "\n\nThank you for using this program.\n");
    const std::string key =
        std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
        app.uninstallKey;
    b.sz(key, "DisplayName", app.displayName);
    b.sz(key, "UninstallString", std::string("\"") + folder + "\\Uninst.exe\" /u");
    b.sz(key, "InstallLocation", folder);
    b.sz(key, "Publisher", app.publisher);
    b.sz(key, "DisplayVersion", std::to_string(app.version[0]) + "." + std::to_string(app.version[1]));
    const std::string appPath =
        std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
        app.exe;
    b.sz(appPath, "", exe);
    b.sz(appPath, "Path", folder);
    if (*app.vendorKey) {
        const std::string vendor = std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + app.vendorKey;
        b.sz(vendor, "InstallPath", folder);
        b.sz(vendor, "Version", std::to_string(app.version[0]) + "." + std::to_string(app.version[1]));
        const std::string user = std::string("HKEY_CURRENT_USER\\Software\\") + app.vendorKey;
        b.sz(user + "\\Settings", "LastFolder", b.special(csidl::Personal));
        b.dword(user + "\\Settings", "ShowTips", 0);
    }
    // Its program group and desktop shortcut, as its setup left them.
    const std::string link = encodeShellLink(ShellLinkData{exe, "", folder, exe});
    b.file(b.special(csidl::Programs) + "\\" + app.folder + "\\" + app.displayName + ".lnk", link);
    b.file(b.special(csidl::DesktopDirectory) + "\\" + app.displayName + ".lnk", link);
}

// The program file of an Office program.
std::string officeProgramFile(const std::string& program)
{
    if (program == "Word")
        return "WINWORD.EXE";
    if (program == "PowerPoint")
        return "POWERPNT.EXE";
    if (program == "Access")
        return "MSACCESS.EXE";
    return program == "Excel" ? "EXCEL.EXE" : "OUTLOOK.EXE";
}

} // namespace

// Office: the product keys the wizard reads and the program files.
void installOffice(Builder& b, const std::string& version, bool premium)
{
    const std::string drive = b.config().windowsFolder.substr(0, 2);
    const std::string office = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\" + version;
    const std::string folder = drive + (version == "11.0" ? kOfficeFolder2003 : kOfficeFolder2000);
    for (const char* part : {"Common", "Delivery", "Registration", "Word", "Excel", "Outlook", "PowerPoint"})
        b.key(office + "\\" + part);
    if (premium)
        b.key(office + "\\Access");
    b.sz(office + "\\Common\\InstallRoot", "Path", folder + "\\");
    b.sz(office + "\\Word\\InstallRoot", "Path", folder + "\\");
    b.sz(office + "\\Excel\\InstallRoot", "Path", folder + "\\");
    const std::uint16_t major = version == "11.0" ? 11 : 9;
    const std::uint16_t build = version == "11.0" ? 5604 : 2720;
    const std::string appPaths =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    std::vector<std::string> programs = {"Word", "Excel", "Outlook", "PowerPoint"};
    if (premium)
        programs.push_back("Access");
    for (const std::string& program : programs) {
        const std::string exe = officeProgramFile(program);
        b.program(folder + "\\" + exe, major, 0, build, 0);
        b.sz(appPaths + exe, "", folder + "\\" + exe);
        b.sz(appPaths + exe, "Path", folder + "\\");
    }
    // Word's global template, which keeps the user's styles and macros.
    b.file(b.special(csidl::AppData) + "\\Microsoft\\Templates\\Normal.dot",
        std::string("\xD0\xCF\x11\xE0", 4) + "global template of " + b.config().userName);
    // Office 2003 puts its programs' shortcuts into the shared Start menu; the Office 2000 set of a
    // Windows 95/98/ME source comes from the wizard's own shortcut set instead.
    if (version == "11.0")
        for (const std::string& program : programs)
            b.file(b.special(csidl::CommonPrograms) + "\\Microsoft Office\\Microsoft Office " + program +
                    " 2003.lnk",
                encodeShellLink(ShellLinkData{folder + "\\" + officeProgramFile(program), "", folder,
                    folder + "\\" + officeProgramFile(program)}));
    if (premium) {
        // The installer's product record of the premium edition: per machine on 2000/XP, per user
        // on 95/98/ME.
        const std::string products = b.config().isNt()
            ? "HKEY_CLASSES_ROOT\\Installer\\Products\\"
            : "HKEY_CURRENT_USER\\Software\\Microsoft\\Installer\\Products\\";
        b.sz(products + kPremiumOfficeProduct, "ProductName", "Microsoft Office Premium");
    }
    const std::string userOffice = "HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\" + version;
    b.sz(userOffice + "\\Word\\Options", "AutoSave-Time", "10");
    b.sz(userOffice + "\\Word\\Options", "DOC-PATH", b.special(csidl::Personal));
    b.sz(userOffice + "\\Excel\\Options", "DefaultPath", b.special(csidl::Personal));
    b.sz(userOffice + "\\Common\\UserInfo", "UserName", b.config().userName);
    b.sz(userOffice + "\\Common\\UserInfo", "UserInitials", b.config().userName.substr(0, 1));
    const std::string uninstall =
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    if (version == "11.0") {
        b.sz(office + "\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}", "PIDKEY",
            "JD3QWKHR7TF4YCBMW9G8VKP2X");
        b.sz(uninstall + "{90110409-6000-11D3-8CFE-0150048383C9}", "DisplayName",
            "Microsoft Office Professional Edition 2003");
    } else {
        b.sz(uninstall + "{00000409-78E1-11D2-B60F-006097C998E7}", "DisplayName",
            "Microsoft Office 2000 Premium");
    }
}

void outlookExpress(Builder& b, const char* identity, bool nt)
{
    const std::string ids = "HKEY_CURRENT_USER\\Identities";
    b.sz(ids, "Default User ID", identity);
    b.sz(ids, "Last User ID", identity);
    b.sz(ids + "\\" + identity, "Username", "Main Identity");
    b.sz(ids + "\\" + identity, "User ID", identity);
    const std::string appData = b.special(csidl::AppData);
    const std::string localData = nt ? b.special(csidl::LocalAppData) : appData;
    const std::string store = localData + "\\Identities\\" + identity + "\\Microsoft\\Outlook Express";
    const std::string storeValue = nt
        ? std::string("%UserProfile%\\Local Settings\\Application Data\\Identities\\") + identity +
            "\\Microsoft\\Outlook Express"
        : store;
    b.sz(ids + "\\" + identity + "\\Software\\Microsoft\\Outlook Express\\5.0", "Store Root", storeValue,
        RegType::ExpandSz);
    b.dword(ids + "\\" + identity + "\\Software\\Microsoft\\Outlook Express\\5.0", "Show Splash", 0);
    for (const char* box :
        {"Inbox.dbx", "Outbox.dbx", "Sent Items.dbx", "Deleted Items.dbx", "Drafts.dbx", "Folders.dbx"})
        b.file(store + "\\" + box, std::string("\xCF\xAD\x12\xFE", 4) + std::string("message store ") + box);
    b.text(appData + "\\Microsoft\\Address Book\\" + b.config().userName + ".wab", "address book\n");
}

namespace {

const App kSourceApps98[] = {
    {"Photo Editor", "Photo Editor 5.0 Deluxe", "Pixel Works", "Photo Editor", "PHOTOED.EXE", {5, 0, 0, 12},
        "Pixel Works\\Photo Editor"},
    {"Adobe Acrobat 5.0", "Adobe Acrobat 5.0", "Adobe Systems", "Adobe\\Acrobat 5.0\\Reader", "AcroRd32.exe",
        {5, 0, 5, 0}, "Adobe\\Acrobat Reader\\5.0"},
    {"WinZip", "WinZip 8.1", "WinZip Computing", "WinZip", "WINZIP32.EXE", {8, 1, 0, 4331},
        "WinZip Computing\\WinZip"},
    {"SolitairePlus", "Solitaire Plus 2.1", "Card Games Ltd", "Solitaire Plus", "SOLPLUS.EXE", {2, 1, 0, 0}},
    {"HomeTax2003", "Home Tax Helper 2003", "Ledger Soft", "Home Tax Helper", "HTAX.EXE", {3, 0, 2, 17}},
};

const App kSourceAppsXp[] = {
    {"Adobe Acrobat 6.0", "Adobe Acrobat 6.0", "Adobe Systems", "Adobe\\Acrobat 6.0\\Reader", "AcroRd32.exe",
        {6, 0, 0, 0}, "Adobe\\Acrobat Reader\\6.0"},
    {"WinZip", "WinZip 9.0", "WinZip Computing", "WinZip", "WINZIP32.EXE", {9, 0, 0, 6028},
        "WinZip Computing\\WinZip"},
    {"StarChart", "Star Chart Explorer 1.4", "Night Sky Software", "Star Chart", "STARS.EXE", {1, 4, 0, 3}},
};

} // namespace

void installSourceApps98(Builder& b)
{
    for (const auto& app : kSourceApps98)
        installApp(b, app);
}

void installSourceAppsXp(Builder& b)
{
    for (const auto& app : kSourceAppsXp)
        installApp(b, app);
}

// The screen savers Windows XP installs in its system folder.
void xpScreenSavers(Builder& b)
{
    for (const char* saver : {"logon.scr", "scrnsave.scr", "ss3dfo.scr", "ssbezier.scr", "ssflwbox.scr",
             "ssmarque.scr", "ssmypics.scr", "ssmyst.scr", "sspipes.scr", "ssstars.scr", "sstext3d.scr"})
        b.program(b.config().systemFolder + "\\" + saver, 5, 1, 2600, 0);
}

} // namespace demo::detail
