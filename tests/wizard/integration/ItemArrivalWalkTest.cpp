// ItemArrivalWalkTest.cpp: every application and setting the selection page offers, from OLDPC
// (Windows 98) and from OLDXP (Windows XP), migrated one at a time through the main window after
// one hand-over per source. Each time NEWPC is compared whole, file by file and key by key, with
// what it held just before Migrate plus what the item must bring (its program folder, keys,
// shortcuts, uninstall entry, user data; a setting's keys and files): anything missing or
// unexplained is named, every folder the item's configuration on NEWPC names must be there, and
// the report row says "Migrated" only for an item that arrived whole.
#include "tests/wizard/integration/DemoWalk.h"

#include "platform/Machine.h"
#include "platform/RegFile.h"
#include "tests/wizard/integration/MassDestinationCheck.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/ui/selection/SelectionTreeWidget.h"

#include <QLabel>
#include <QTreeWidget>

#include <fstream>
#include <set>
#include <sstream>

namespace {

using masscheck::Expectation;
using masscheck::Snapshot;
using masscheck::upper;

// One thing an item must bring: a source file or folder tree copied to `to`, a source key with
// everything below it, some values of a source key, a text value the migration writes, a file of
// the wizard's own folder copied to `to`, or the keys of a shipped registry template.
struct Arrival {
    enum Kind { File, Tree, Key, Values, Text, OwnFile, Template, Dword, MovedKey } kind;
    std::string from;
    std::string to;        // Values: the value names, "|" between them; Text: the value's name
    std::string data = {}; // Text, Dword: the value; Template: the placeholder's replacement
    std::string placeholder = {};
};
Arrival file(const std::string& from, const std::string& to) { return {Arrival::File, from, to}; }
Arrival tree(const std::string& from, const std::string& to) { return {Arrival::Tree, from, to}; }
Arrival key(const std::string& path) { return {Arrival::Key, path, path}; }
Arrival values(const std::string& path, const std::string& names) { return {Arrival::Values, path, names}; }
Arrival text(const std::string& path, const std::string& name, const std::string& value)
{
    return {Arrival::Text, path, name, value};
}

// A value of NEWPC's registry naming a folder the item needs ("%UserProfile%" is NEWPC's user).
struct Pointer {
    std::string key, value;
};

struct ItemCase {
    std::string node; // below "My Computer" on the selection page
    std::vector<Arrival> arrivals;
    std::vector<Pointer> pointers = {};
    // A source file in use during the run, which cannot arrive; the item's report row then says so.
    std::string inUse = {};
    std::string report = "Migrated";
};

// The case with one source file in use: everything else of it arrives, and it is reported Failed.
ItemCase withFileInUse(ItemCase c, const std::string& file)
{
    c.inUse = file;
    c.report = "Failed";
    return c;
}

const std::string kHklm = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
const std::string kHkcu = "HKEY_CURRENT_USER\\Software\\";
const std::string kAppPaths = kHklm + "Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::string kUninstall = kHklm + "Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::string kDesktopKey = "HKEY_CURRENT_USER\\Control Panel\\Desktop";
// NEWPC's shared profile, its Start menu's programs and its user's profile.
const std::string kAllUsers = "C:\\Documents and Settings\\All Users";
const std::string kAllPrograms = kAllUsers + "\\Start Menu\\Programs";
const std::string kMartin = "C:\\Documents and Settings\\Martin";
// NEWPC's display adapter.
const std::string kNewPcVideo = "{23A77BF7-ED96-40EC-AF06-9B1F4867732A}";
const std::string kNewPcDisplay =
    "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Hardware Profiles\\0001\\System\\"
    "CurrentControlSet\\Control\\VIDEO\\" +
    kNewPcVideo + "\\0000";

// Where a source keeps its user's things.
struct SourceFolders {
    std::string desktop, programs, appData, localAppData, officeFolder, officeVersion, officeProduct;
};

const SourceFolders kOldPc = {"C:\\WINDOWS\\Desktop", "C:\\WINDOWS\\Start Menu\\Programs",
    "C:\\WINDOWS\\Application Data", "C:\\WINDOWS\\Application Data",
    "C:\\Program Files\\Microsoft Office\\Office", "9.0", "{00000409-78E1-11D2-B60F-006097C998E7}"};
const SourceFolders kOldXp = {"C:\\Documents and Settings\\Sarah\\Desktop",
    "C:\\Documents and Settings\\Sarah\\Start Menu\\Programs",
    "C:\\Documents and Settings\\Sarah\\Application Data",
    "C:\\Documents and Settings\\Sarah\\Local Settings\\Application Data",
    "C:\\Program Files\\Microsoft Office\\OFFICE11", "11.0", "{90110409-6000-11D3-8CFE-0150048383C9}"};

// An application with its own script: program folder, desktop shortcut, program group, App
// Paths entry, its own machine and user keys, uninstall entry.
ItemCase application(const SourceFolders& s, const std::string& name, const std::string& folder,
    const std::string& exe, const std::string& vendor, const std::string& uninstall, const std::string& shown,
    const std::string& group)
{
    return {"Supported Applications\\" + name,
        {tree("C:\\Program Files\\" + folder, "C:\\Program Files\\" + folder),
            file(s.desktop + "\\" + shown + ".lnk", kAllUsers + "\\Desktop\\" + shown + ".lnk"),
            tree(s.programs + "\\" + group, kAllPrograms + "\\" + group), key(kAppPaths + exe),
            key(kHklm + vendor), key(kHkcu + vendor), key(kUninstall + uninstall)}};
}

// An Office program: the Office folder and the install root naming it, its keys, the user's Office
// identity, App Paths, Office's uninstall entry and its Start-menu shortcut (the wizard's set for a
// 98 source, else the source's).
ItemCase office(const SourceFolders& s, const std::string& program, const std::string& exe, bool userKey)
{
    const std::string office = "Microsoft\\Office\\" + s.officeVersion + "\\";
    ItemCase c{"Supported Applications\\MS " + program,
        {tree(s.officeFolder, s.officeFolder), key(kHklm + office + program),
            key(kHkcu + office + "Common\\UserInfo"), key(kAppPaths + exe), key(kUninstall + s.officeProduct),
            key(kHklm + office + "Common\\InstallRoot")},
        {{kHklm + office + "Common\\InstallRoot", "Path"}}};
    if (userKey)
        c.arrivals.push_back(key(kHkcu + office + program));
    const std::string link = "Microsoft Office " + program + " 2003.lnk";
    if (s.officeVersion == "9.0")
        c.arrivals.push_back({Arrival::OwnFile,
            std::string(demo::kWizardFolder) + "\\Icons\\mslinks_9x\\Microsoft " + program + ".lnk",
            kAllPrograms + "\\Microsoft " + program + ".lnk"});
    else
        c.arrivals.push_back(
            file(kAllPrograms + "\\Microsoft Office\\" + link, kAllPrograms + "\\Microsoft Office\\" + link));
    return c;
}

// The settings: the keys and values each brings, the files it needs.
std::vector<ItemCase> settingCases(bool xp)
{
    const std::string cp = "HKEY_CURRENT_USER\\Control Panel\\";
    const std::string wallpaper = xp ? "C:\\WINDOWS\\Web\\Wallpaper\\Bliss.bmp" : "C:\\WINDOWS\\Clouds.bmp";
    ItemCase saver{
        "Display Settings\\Screen Saver", {values(kDesktopKey, "ScreenSaveActive|ScreenSaveTimeOut")}};
    if (xp) {
        saver.arrivals.push_back(values(kDesktopKey, "SCRNSAVE.EXE"));
        saver.arrivals.push_back(
            file("C:\\WINDOWS\\system32\\ssflwbox.scr", "C:\\WINDOWS\\system32\\ssflwbox.scr"));
    } else {
        // The 3D saver of Windows 98 is XP's own under its XP name; its options come from Control.ini.
        saver.arrivals.push_back(text(kDesktopKey, "SCRNSAVE.EXE", "C:\\WINDOWS\\SYSTEM32\\sstext3d.scr"));
        saver.arrivals.push_back(
            file("C:\\WINDOWS\\SYSTEM\\3D Text.scr", "C:\\WINDOWS\\system32\\3D Text.scr"));
        for (const auto& [name, value] : {std::pair<const char*, const char*>{"DisplayString", "Kestro"},
                 {"Speed", "5"}, {"SurfaceType", "1"}})
            saver.arrivals.push_back(text(cp + "Screen Saver.3DText", name, value));
    }
    return {
        {"Control Panel Settings\\Regional Settings", {key(cp + "International")}},
        {"Control Panel Settings\\Mouse Settings", {key(cp + "Mouse")}},
        {"Control Panel Settings\\Keyboard Settings",
            {key(cp + "Keyboard"), key("HKEY_CURRENT_USER\\Keyboard Layout\\Preload")}},
        {"Display Settings\\Effects",
            {values(kDesktopKey, "DragFullWindows|FontSmoothing"),
                key(kHkcu + "Microsoft\\Windows\\CurrentVersion\\Explorer\\VisualEffects")}},
        {"Display Settings\\Wallpaper",
            {values(kDesktopKey, "Wallpaper|TileWallpaper|WallpaperStyle"), file(wallpaper, wallpaper)}},
        {"Display Settings\\Active Desktop", {key(kHkcu + "Microsoft\\Internet Explorer\\Desktop")}},
        {"Display Settings\\Appearance",
            {key(cp + "Colors"), key(cp + "Appearance"), key(cp + "Desktop\\WindowMetrics")}},
        saver,
        // Both sources are larger than NEWPC: its adapter takes the source's width and height (the
        // width template's other keys beside), its colour depth stays.
        {"Display Settings\\Resolution",
            {{Arrival::Template, "Services_XP.reg", "", "", ""},
                {Arrival::Template, xp ? "1280_XP.reg" : "1024_XP.reg", "", kNewPcVideo,
                    "{D6C08B8B-CBFC-40D1-8A7E-CD701D6D31DA}"},
                {Arrival::Dword, kNewPcDisplay, "DefaultSettings.XResolution", xp ? "1280" : "1024"},
                {Arrival::Dword, kNewPcDisplay, "DefaultSettings.YResolution", xp ? "1024" : "768"},
                {Arrival::Dword, kNewPcDisplay, "DefaultSettings.BitsPerPel", "32"}}},
    };
}

// Outlook beside the Office parts: the mail profile with its personal folders file where the
// profile names it, the Outlook Express identities and store (where the identity's store root
// points on NEWPC: an XP source's "%UserProfile%" is Martin's profile), and the address book.
ItemCase outlook(const SourceFolders& s, bool xp)
{
    ItemCase c = office(s, "Outlook", "OUTLOOK.EXE", false);
    const std::string profiles = xp
        ? "Microsoft\\Windows NT\\CurrentVersion\\Windows Messaging Subsystem\\Profiles"
        : "Microsoft\\Windows Messaging Subsystem\\Profiles";
    const std::string pst = xp ? s.localAppData + "\\Microsoft\\Outlook\\Outlook.pst"
                               : s.appData + "\\Microsoft\\Outlook\\Martin.pst";
    const std::string identity =
        xp ? "{8D4E7C11-2B9A-4F60-A1C3-5E7D90B24F68}" : "{3B1F2A40-6E21-11D7-9C3A-00A0C9E5F1B2}";
    const std::string storeBelow = "\\Identities\\" + identity + "\\Microsoft\\Outlook Express";
    const std::string store = s.localAppData + storeBelow;
    const std::string storeHere = xp ? kMartin + "\\Local Settings\\Application Data" + storeBelow : store;
    c.pointers.push_back(
        {"HKEY_CURRENT_USER\\Identities\\" + identity + "\\Software\\Microsoft\\Outlook Express\\5.0",
            "Store Root"});
    for (const Arrival& a :
        {key(kHkcu + profiles), file(pst, pst), key("HKEY_CURRENT_USER\\Identities"), tree(store, storeHere),
            tree(s.appData + "\\Microsoft\\Address Book",
                kMartin + "\\Application Data\\Microsoft\\Address Book")})
        c.arrivals.push_back(a);
    return c;
}

// An application without a script of its own, through the generic one: program folder, desktop
// shortcut, program group, uninstall entry and the key found by its name.
ItemCase generic(const SourceFolders& s, const std::string& name, const std::string& folder,
    const std::string& uninstall, const std::string& vendor)
{
    ItemCase c{"Unsupported Applications\\" + name,
        {tree("C:\\Program Files\\" + folder, "C:\\Program Files\\" + folder),
            file(s.desktop + "\\" + name + ".lnk", kAllUsers + "\\Desktop\\" + name + ".lnk"),
            tree(s.programs + "\\" + folder, kAllPrograms + "\\" + folder), key(kUninstall + uninstall)}};
    if (!vendor.empty())
        c.arrivals.push_back({Arrival::MovedKey, kHklm + vendor, kHklm + vendor});
    return c;
}

std::vector<ItemCase> casesOf(const char* pc)
{
    const bool xp = std::string(pc) == demo::kSourcePcXp;
    const SourceFolders& s = xp ? kOldXp : kOldPc;
    const std::string acrobat = xp ? "Adobe Acrobat 6.0" : "Adobe Acrobat 5.0";
    std::vector<ItemCase> cases = {
        application(s, "WinZip", "WinZip", "WINZIP32.EXE", "WinZip Computing\\WinZip", "WinZip",
            xp ? "WinZip 9.0" : "WinZip 8.1", "WinZip"),
        application(s, "Adobe Acrobat", "Adobe\\" + acrobat.substr(6) + "\\Reader", "AcroRd32.exe",
            "Adobe\\Acrobat Reader", acrobat, acrobat, "Adobe"),
        office(s, "Word", "WINWORD.EXE", true),
        office(s, "Excel", "EXCEL.EXE", true),
        office(s, "PowerPoint", "POWERPNT.EXE", false),
        outlook(s, xp),
    };
    cases.back().node = "Supported Applications\\MS Outlook";
    // Word's global template is the user's.
    cases[2].arrivals.push_back(file(s.appData + "\\Microsoft\\Templates\\Normal.dot",
        kMartin + "\\Application Data\\Microsoft\\Templates\\Normal.dot"));
    if (xp) {
        cases.push_back(generic(
            s, "Star Chart Explorer 1.4", "Star Chart", "StarChart", "Night Sky Software\\Star Chart"));
        // Access of the premium edition has its own script, though the page lists it without an icon.
        cases.push_back(office(s, "Access", "MSACCESS.EXE", false));
        cases.back().node = "Unsupported Applications\\MS Access";
    } else {
        cases.push_back(application(s, "Photo Editor", "Photo Editor", "PHOTOED.EXE",
            "Pixel Works\\Photo Editor", "Photo Editor", "Photo Editor 5.0 Deluxe", "Photo Editor"));
        cases.push_back(generic(
            s, "Solitaire Plus 2.1", "Solitaire Plus", "SolitairePlus", "Card Games Ltd\\Solitaire Plus"));
        cases.push_back(generic(s, "Home Tax Helper 2003", "Home Tax Helper", "HomeTax2003", ""));
    }
    for (ItemCase& c : settingCases(xp))
        cases.push_back(std::move(c));
    // First, items that cannot arrive whole: a program file, or the personal folders file, in use.
    cases.insert(cases.begin(),
        xp ? withFileInUse(cases[0], "C:\\Program Files\\WinZip\\WINZIP32.EXE")
           : withFileInUse(cases[5], s.appData + "\\Microsoft\\Outlook\\Martin.pst"));
    return cases;
}

class ItemArrivalWalkTest : public testsupport::DemoWalk {
protected:
    // Through the hand-over from `pc` to the selection page.
    // The applications and settings the selection page offers ("Supported Applications\WinZip").
    static std::set<std::string> offered(QTreeWidget* tree)
    {
        std::set<std::string> out;
        for (const char* category : {"Supported Applications", "Unsupported Applications", "Display Settings",
                 "Control Panel Settings"})
            if (QTreeWidgetItem* c = item(tree, std::string("My Computer\\") + category))
                for (int i = 0; i < c->childCount(); ++i)
                    out.insert(std::string(category) + "\\" + c->child(i)->text(0).toStdString());
        return out;
    }
    // NEWPC as it must be after `c`: as before, with the item's arrivals.
    Expectation expected(const ItemCase& c, const Snapshot& source, const Snapshot& before)
    {
        Expectation e(before, source);
        for (const Arrival& a : c.arrivals)
            expect(e, a, source);
        // The file in use stays as NEWPC had it, wherever the item would have put it.
        for (const Arrival& a : c.arrivals) {
            const std::string from = upper(a.from);
            const std::string file = upper(c.inUse);
            if (c.inUse.empty() || (a.kind != Arrival::File && a.kind != Arrival::Tree) ||
                file.rfind(from, 0) != 0)
                continue;
            const std::string target = upper(a.to + c.inUse.substr(a.from.size()));
            const auto had = before.files.find(target);
            if (had == before.files.end())
                e.files.erase(target);
            else
                e.files[target] = had->second;
        }
        // A key made below a missing one makes that one too.
        std::vector<std::string> made;
        for (const auto& [path, state] : e.keys)
            for (std::size_t cut = state.path.rfind('\\'); cut != std::string::npos;
                 cut = state.path.rfind('\\', cut - 1)) {
                made.push_back(state.path.substr(0, cut));
                if (cut == 0)
                    break;
            }
        for (const std::string& path : made)
            if (path.find('\\') != std::string::npos && !e.keys.count(upper(path)))
                e.keys[upper(path)].path = path;
        return e;
    }
    void expect(Expectation& e, const Arrival& a, const Snapshot& source)
    {
        switch (a.kind) {
        case Arrival::File:
            EXPECT_TRUE(source.files.count(upper(a.from))) << "the source lacks " << a.from;
            e.copyFile(a.from, a.to, true);
            break;
        case Arrival::Tree:
            EXPECT_TRUE(source.folders.count(upper(a.from))) << "the source lacks " << a.from;
            e.copyTree(a.from, a.to, true, masscheck::TreeRules{});
            break;
        case Arrival::Key:
        case Arrival::MovedKey:
            EXPECT_TRUE(source.keys.count(upper(a.from))) << "the source lacks " << a.from;
            e.mergeKeys(source.keys, a.from, a.to, masscheck::TextRewrite{});
            if (a.kind == Arrival::MovedKey)
                toSystem32(e, a.to);
            break;
        case Arrival::Values: {
            const auto k = source.keys.find(upper(a.from));
            ASSERT_NE(k, source.keys.end()) << "the source lacks " << a.from;
            masscheck::KeyState& target = e.keys[upper(a.from)];
            target.path = a.from;
            for (std::size_t at = 0; at <= a.to.size();) {
                const std::size_t end = std::min(a.to.find('|', at), a.to.size());
                const std::string name = upper(a.to.substr(at, end - at));
                const auto v = k->second.values.find(name);
                EXPECT_NE(v, k->second.values.end()) << "the source lacks " << a.from << " " << name;
                if (v != k->second.values.end())
                    target.values[name] = v->second;
                at = end + 1;
            }
            break;
        }
        case Arrival::Text: {
            masscheck::KeyState& target = e.keys[upper(a.from)];
            if (target.path.empty())
                target.path = a.from;
            target.values[upper(a.to)] =
                masscheck::ValueState{a.to, platform::RegType::Sz, platform::regStringData(a.data)};
            break;
        }
        case Arrival::Dword: {
            const std::uint32_t n = static_cast<std::uint32_t>(std::stoul(a.data));
            platform::RegBytes bytes(4);
            for (int i = 0; i < 4; ++i)
                bytes[i] = static_cast<std::uint8_t>(n >> (8 * i));
            masscheck::KeyState& target = e.keys[upper(a.from)];
            if (target.path.empty())
                target.path = a.from;
            target.values[upper(a.to)] = masscheck::ValueState{a.to, platform::RegType::Dword, bytes};
            break;
        }
        case Arrival::OwnFile: {
            const auto own = e.files.find(upper(a.from));
            ASSERT_NE(own, e.files.end()) << "the wizard lacks " << a.from;
            masscheck::FileState copy = own->second;
            copy.path = a.to;
            e.files[upper(a.to)] = copy;
            break;
        }
        case Arrival::Template: {
            std::ifstream in(
                std::filesystem::path(KESTRO_SOURCE_DATA) / "RegFiles" / a.from, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            std::string text = bytes.str();
            for (std::size_t at = text.find(a.placeholder); !a.placeholder.empty() && at != std::string::npos;
                 at = text.find(a.placeholder, at + a.data.size()))
                text.replace(at, a.placeholder.size(), a.data);
            const std::filesystem::path scratch = network / "scratch";
            std::filesystem::remove_all(scratch);
            std::filesystem::create_directories(scratch);
            {
                platform::Registry reg;
                ASSERT_EQ(reg.open(scratch / "registry.db"), platform::WinError::Success);
                platform::RegFileMergeReport report;
                platform::mergeRegText(reg, text, report);
            }
            const Snapshot merged = masscheck::snapshotMachine(scratch);
            e.mergeKeys(merged.keys, "HKEY_LOCAL_MACHINE", "HKEY_LOCAL_MACHINE", masscheck::TextRewrite{});
            break;
        }
        }
    }
    // A Windows 98 key imported onto XP: its paths into the Windows 98 system folder, in names and
    // texts and in any letter case, name XP's system folder.
    static void toSystem32(Expectation& e, const std::string& prefix)
    {
        const std::string from = "C:\\WINDOWS\\SYSTEM\\";
        const auto moved = [&](std::string text) {
            for (std::size_t at = upper(text).find(from); at != std::string::npos;
                 at = upper(text).find(from, at + 1))
                text.replace(at, from.size(), "C:\\WINDOWS\\System32\\");
            return text;
        };
        for (auto& [path, key] : e.keys) {
            if (path.rfind(upper(prefix), 0) != 0)
                continue;
            std::map<std::string, masscheck::ValueState> values;
            for (auto [name, value] : key.values) {
                value.name = moved(value.name);
                if (value.type == platform::RegType::Sz)
                    value.data = platform::regStringData(moved(platform::regDataText(value.data)));
                values[upper(value.name)] = value;
            }
            key.values = values;
        }
    }
    // The folder a value of NEWPC's registry names, "%UserProfile%" and a trailing "\" resolved.
    static std::string pointedAt(const Snapshot& machine, const Pointer& p)
    {
        const auto k = machine.keys.find(upper(p.key));
        if (k == machine.keys.end() || !k->second.values.count(upper(p.value)))
            return "<no value>";
        std::string text = platform::regDataText(k->second.values.at(upper(p.value)).data);
        const std::string token = "%USERPROFILE%";
        if (upper(text).rfind(token, 0) == 0)
            text = kMartin + text.substr(token.size());
        while (!text.empty() && text.back() == '\\')
            text.pop_back();
        return text;
    }
    // What the wizard itself changes in any run: its log, its unscrambled scripts, its working
    // folders.
    static bool bookkeeping(const std::string& path)
    {
        static const char* const kPrefixes[] = {"C:\\PROGRAM FILES\\KESTRO\\KESTRO_LOG_FILE.TXT",
            "C:\\PROGRAM FILES\\KESTRO\\SYSTEM_VARIABLES.TXT", "C:\\PROGRAM FILES\\KESTRO\\TEMP",
            "C:\\QZEXPTEMP"};
        for (const char* prefix : kPrefixes)
            if (path.rfind(prefix, 0) == 0)
                return true;
        return path.rfind("C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\", 0) == 0 &&
            path.find("\\DEC_") != std::string::npos;
    }

    // Migrates each case from the selection page and checks NEWPC afterwards; back to the
    // selection page for the next.
    void migrateEach(wizard::KestroMain* w, const char* pc, const std::vector<ItemCase>& cases)
    {
        auto* tree = sourceTree(w);
        ASSERT_NE(tree, nullptr);
        std::set<std::string> covered;
        for (const ItemCase& c : cases)
            covered.insert(c.node);
        EXPECT_EQ(offered(tree), covered) << "every item the page offers has its case";
        const Snapshot source = masscheck::snapshotMachine(network / pc);
        for (const ItemCase& c : cases) {
            SCOPED_TRACE(c.node);
            ASSERT_EQ(activeForm(w), "Frm_ApplicationSettings");
            QTreeWidgetItem* it = item(tree, "My Computer\\" + c.node);
            ASSERT_NE(it, nullptr);
            it->setCheckState(0, Qt::Checked);
            emit tree->itemClicked(it, 0);
            user.shown.clear();
            next(w);
            ASSERT_EQ(activeForm(w), "frm_Drive_Info") << (user.shown.empty() ? "" : user.shown.back());
            // Both sources' system drive is on the drive page, in whatever form its share has.
            EXPECT_EQ(control<QLabel>(w, "frm_Drive_Info", "lblSrcDrv0")->text(), "C:");
            next(w);
            ASSERT_EQ(activeForm(w), "frm_source_Space_Info");
            const Snapshot before = masscheck::snapshotMachine(network / demo::kDestinationPc);
            {
                platform::Machine machine;
                ASSERT_EQ(machine.open(network / pc), platform::WinError::Success);
                const platform::FileLock lock =
                    c.inUse.empty() ? platform::FileLock{} : machine.fileSystem().lockFile(c.inUse);
                w->findChild<QPushButton*>("Btn_Migrate")->click();
            }
            ASSERT_EQ(activeForm(w), "frm_Migration_Status");
            const std::string name = c.node.substr(c.node.rfind('\\') + 1);
            EXPECT_EQ(reportRow(w, name).substr(0, c.report.size() + 1), c.report + " ")
                << reportRow(w, name);
            const Snapshot after = masscheck::snapshotMachine(network / demo::kDestinationPc);
            const masscheck::Differences d =
                masscheck::compare(expected(c, source, before), after, bookkeeping);
            std::string lines;
            for (const std::string& line : d.lines)
                lines += line + "\n";
            EXPECT_TRUE(d.lines.empty()) << d.lines.size() << " differences:\n" << lines;
            for (const Pointer& p : c.pointers) {
                const std::string folder = pointedAt(after, p);
                EXPECT_TRUE(after.folders.count(upper(folder)))
                    << p.key << " " << p.value << " names " << folder << ", which is not there";
            }
            // Previous, as often as it takes, back to the selection page.
            for (int back = 0; back < 3 && activeForm(w) != "Frm_ApplicationSettings"; ++back)
                w->findChild<QPushButton*>("Btn_Back")->click();
        }
    }
};

TEST_F(ItemArrivalWalkTest, EveryItemOfOldPcArrivesWhole)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePc98);
    migrateEach(w, demo::kSourcePc98, casesOf(demo::kSourcePc98));
}

TEST_F(ItemArrivalWalkTest, EveryItemOfOldXpArrivesWhole)
{
    wizard::KestroMain* w = walkToSelection(demo::kSourcePcXp);
    migrateEach(w, demo::kSourcePcXp, casesOf(demo::kSourcePcXp));
}

} // namespace
