// MassExpectedDestination.cpp: the steps of a mass migration replayed on snapshots, by the rules
// of each step, to give what the destination must hold afterwards.
#include "tests/wizard/integration/MassDestinationCheck.h"

#include "platform/RegFile.h"
#include "tools/demo-network/DemoNetwork.h"

#include <fstream>
#include <set>
#include <sstream>

namespace masscheck {
namespace {

namespace fs = std::filesystem;

const char* const kWindowsNt = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kWindows = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

// SystemRoot or ProductName as the mass state reads it: the NT key first, then the Windows key.
std::string windowsValue(const Keys& keys, const std::string& name)
{
    const std::string nt = textValue(keys, kWindowsNt, name);
    return nt.empty() ? textValue(keys, kWindows, name) : nt;
}

bool isWin9x(const Keys& keys) { return upper(windowsValue(keys, "ProductName")) == "MICROSOFT WINDOWS 98"; }
bool isXp(const Keys& keys) { return upper(windowsValue(keys, "ProductName")) == "MICROSOFT WINDOWS XP"; }

// The names of the folders directly below `folder`.
std::set<std::string> subFolders(const Folders& folders, const std::string& folder)
{
    const std::string prefix = upper(folder) + "\\";
    std::set<std::string> names;
    for (const auto& [path, stored] : folders)
        if (path.rfind(prefix, 0) == 0 && path.find('\\', prefix.size()) == std::string::npos)
            names.insert(stored.substr(prefix.size()));
    return names;
}

// The profile folders: a 2000/XP source's own user onto the destination's user, a 95/98/ME
// source's profiles and shared folders from below its Windows folder.
void copyProfiles(Expectation& e, const MassPcs& pcs, bool win9x, const std::string& sourceWindows)
{
    const Snapshot& source = *pcs.source;
    const std::string& destUser = pcs.destUser;
    const std::string docs = "C:\\Documents and Settings\\";
    if (!win9x) {
        // Without a default user the profile is the one the wizard logged on as.
        std::string sourceUser =
            textValue(source.keys, std::string(kWindowsNt) + "\\Winlogon", "DefaultUserName");
        if (sourceUser.empty())
            sourceUser = pcs.logonUser;
        const std::string p = docs + sourceUser;
        const std::string q = docs + destUser;
        for (const std::string& entry : subFolders(source.folders, p + "\\Start Menu"))
            if (upper(entry) != "ALL USERS")
                e.copyTree(p + "\\Start Menu\\" + entry, q + "\\Start Menu\\" + entry, true, {});
        e.copyTree(p + "\\Desktop", q + "\\Desktop", false, {});
        e.copyTree(p + "\\Favorites", q + "\\Favorites", true, {});
        e.copyTree(sourceWindows + "\\Application Data\\Identities",
            q + "\\Local Settings\\Application Data\\Identities", true, {});
        e.removeFiles(docs + sourceUser + "\\Start Menu\\Programs\\MS-DOS Prompt.pif");
    } else {
        for (const std::string& entry : subFolders(source.folders, sourceWindows + "\\Profiles"))
            if (upper(entry) != "ALL USERS")
                e.copyTree(sourceWindows + "\\Profiles\\" + entry, docs + entry, true, {});
        e.copyTree(sourceWindows + "\\Start Menu", docs + "All Users\\Start Menu", false, {});
        e.copyTree(sourceWindows + "\\Desktop", docs + "All Users\\Desktop", false, {});
        e.copyTree(sourceWindows + "\\Favorites", docs + destUser + "\\Favorites", false, {});
        e.copyTree(sourceWindows + "\\Application Data\\Identities",
            docs + destUser + "\\Local Settings\\Application Data\\Identities", true, {});
        for (const char* shortcut : {"Start Menu\\Windows Update.lnk", "Start Menu\\New Office Document.lnk",
                 "Start Menu\\Open Office Document.lnk", "Desktop\\Microsoft Outlook."})
            e.removeFiles(docs + "All Users\\" + shortcut);
    }
    e.removeFiles(docs + "All Users\\Start Menu\\Programs\\MS-DOS Prompt.pif");
}

// The installer cache (with the packages known by their length a second time under a fixed
// name), the Office icon folders and the fonts.
void copyInstallerAndFonts(Expectation& e, const Snapshot& source, const std::string& sourceWindows,
    const std::string& destRoot, const std::string& appPath)
{
    e.copyTree(sourceWindows + "\\Installer", destRoot + "\\Installer", true, {});
    const std::map<std::uint64_t, std::string> fixed = {{2351104, "data1.msi"}, {2332672, "data1.msi"},
        {2331648, "data3.msi"}, {2233344, "data2.msi"}, {1070592, "install.msi"}, {1071104, "install.msi"},
        {7087616, "Symantec pcAnywhere.msi"}};
    const std::string installer = upper(sourceWindows + "\\Installer\\");
    for (const auto& [path, state] : source.files) {
        if (path.rfind(installer, 0) != 0)
            continue;
        const std::string name = path.substr(installer.size());
        if (name.find('\\') == std::string::npos && name.size() > 4 &&
            name.substr(name.size() - 4) == ".MSI" && fixed.count(state.size))
            e.copyFile(state.path, destRoot + "\\installer\\" + fixed.at(state.size), true);
    }
    for (const char* icons : {"{00010409-78E1-11D2-B60F-006097C998E7}",
             "{00040409-78E1-11D2-B60F-006097C998E7}", "{2DFE1608-BDCA-11D1-B7AE-00C04FB92F3D}"})
        e.copyOwnTree(appPath + "\\Icons\\" + icons, destRoot + "\\installer\\" + icons, false);
    e.copyTree(sourceWindows + "\\Fonts", destRoot + "\\Fonts", false, {});
    for (const char* font : {"batang.ttf", "OCR-A.TTF", "OCRBMT.TTF", "WQT_P_TT.TTF", "WQT_B_TT.TTF",
             "WQTCP_TT.TTF", "WQTCB_TT.TTF", "WQTCI_TT.TTF", "WQT_I_TT.TTF", "WQTM_P_T.TTF", "WQT_PI_T.TTF"})
        if (source.files.count(upper(sourceWindows + "\\Fonts\\" + font)))
            e.copyFile(sourceWindows + "\\Fonts\\" + font, destRoot + "\\Fonts\\" + font, true);
}

// The source's current user: its Software key, with its certificates, Windows settings and
// installer data renamed so that the destination user's own stay in force.
std::string renameUserKey(const std::string& path)
{
    const std::string base = "HKEY_CURRENT_USER\\Software\\Microsoft\\";
    for (const char* kept : {"SystemCertificates", "Windows\\CurrentVersion", "Installer"}) {
        const std::string from = base + kept;
        if (upper(path.substr(0, from.size())) == upper(from) &&
            (path.size() == from.size() || path[from.size()] == '\\'))
            return path.substr(0, from.size()) + "1" + path.substr(from.size());
    }
    return path;
}

// The keys a registry file sets, as merging it into an empty registry gives them.
Keys templateKeys(const fs::path& file, const fs::path& scratch)
{
    std::error_code ec;
    fs::remove(scratch, ec);
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    Keys keys;
    {
        platform::Registry reg;
        if (reg.open(scratch) != platform::WinError::Success)
            return keys;
        platform::RegFileMergeReport report;
        platform::mergeRegText(reg, bytes.str(), report);
    }
    Snapshot s = snapshotMachine(scratch.parent_path());
    fs::remove(scratch, ec);
    return s.keys;
}

void mergeRegistry(Expectation& e, const MassPcs& pcs, const TextRewrite& rewrite, bool win9x)
{
    const Keys& source = pcs.source->keys;
    const std::string software = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    // The source's vendor keys, each but the system's own (in any spelling).
    for (const auto& [path, key] : source) {
        const std::string name = upper(key.path.substr(std::min(key.path.size(), software.size())));
        if (path.rfind(upper(software), 0) != 0 || name.find('\\') != std::string::npos)
            continue;
        if (name == "MICROSOFT" || name == "CLIENTS" || name == "INTEL" || name == "POLICIES" ||
            name == "CLASSES")
            continue;
        e.mergeKeys(source, key.path, key.path, rewrite);
    }
    std::vector<std::string> installed = {"App Paths", "Uninstall"};
    if (!win9x)
        installed.insert(installed.begin(), "App Management");
    for (const std::string& k : installed)
        e.mergeKeys(source, std::string(kWindows) + "\\" + k, std::string(kWindows) + "\\" + k, rewrite);
    e.mergeKeys(source, "HKEY_CURRENT_USER\\Software", "HKEY_CURRENT_USER\\Software", rewrite, renameUserKey);
    // The source's classes, then the destination's own again over them.
    const std::string classes = software + "Classes";
    e.mergeKeys(source, classes, classes, rewrite);
    e.mergeKeys(pcs.destination->keys, classes, classes, rewrite);
    for (const char* id : {"904010001E872D116BF00006799C897E", "904000001E872D116BF00006799C897E"})
        for (const char* kind : {"Features", "Products"})
            e.removeKeys(classes + "\\Installer\\" + kind + "\\" + id);
}

// The personal folders file of the source user's mail profile, copied once more (replacing what is
// there) to where the rewritten profile points.
void copyPersonalFolders(Expectation& e, const Snapshot& source, bool win9x, const TextRewrite& rewrite)
{
    const std::string profiles = upper(std::string("HKEY_CURRENT_USER\\Software\\Microsoft\\") +
        (win9x ? "" : "Windows NT\\CurrentVersion\\") + "Windows Messaging Subsystem\\Profiles\\");
    for (const auto& [path, key] : source.keys)
        if (path.rfind(profiles, 0) == 0)
            for (const auto& [name, value] : key.values) {
                const std::string text = platform::regDataText(value.data);
                if (value.type == platform::RegType::Sz && upper(text).find(".PST") != std::string::npos) {
                    e.copyFile(text, rewrite.apply(text), true);
                    return;
                }
            }
}

// The Office templates of the programs the destination now has (their " 2000_XP" forms on XP),
// then the class-root, installer and wizard templates of the destination's system.
void mergeTemplates(Expectation& e, const MassPcs& pcs, bool destinationXp)
{
    const std::pair<const char*, const char*> office[] = {{"Microsoft Access", "MSAccess.exe"},
        {"Microsoft Excel", "Excel.exe"}, {"Microsoft OutLook", "Outlook.exe"},
        {"Microsoft PowerPoint", "PowerPnt.exe"}, {"Microsoft Word", "winWord.exe"},
        {"Microsoft Project", "WinProj.exe"}, {"Microsoft publisher", "MSPUB.exe"},
        {"Microsoft FrontPage", "MS FrontPg.exe"}};
    const std::pair<const char*, const char*> plainNames[] = {{"Microsoft Access", "Microsoft Access.Reg"},
        {"Microsoft Excel", "Microsoft Excel.Reg"}, {"Microsoft OutLook", "Microsoft OutLook.Reg"},
        {"Microsoft PowerPoint", "Microsoft PowerPoint.Reg"}, {"Microsoft Word", "Microsoft Word.Reg"},
        {"Microsoft Project", "Microsoft Project.reg"}, {"Microsoft publisher", "Microsoft publisher.reg"},
        {"Microsoft FrontPage", "Microsoft FrontPage.reg"}};
    std::vector<std::string> files;
    for (std::size_t i = 0; i < std::size(office); ++i)
        if (e.hasFile(std::string("C:\\Program Files\\Microsoft Office\\Office\\") + office[i].second))
            files.push_back(
                destinationXp ? std::string(office[i].first) + " 2000_XP.reg" : plainNames[i].second);
    const std::vector<const char*> system = destinationXp
        ? std::vector<const char*>{"Classroot_xp.reg", "installer_xp.reg", "kestro_xp.reg"}
        : std::vector<const char*>{"classroot.reg", "kestro.reg"};
    for (const char* name : system)
        files.push_back(name);
    const TextRewrite none;
    for (const std::string& file : files) {
        const Keys keys = templateKeys(pcs.templates / file, pcs.scratch / "registry.db");
        for (const char* hive : {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER"})
            e.mergeKeys(keys, hive, hive, none);
    }
}

} // namespace

MassPcs demoMassPcs(const Snapshot& source, const Snapshot& before, const std::string& destUser,
    const std::filesystem::path& network)
{
    MassPcs pcs;
    pcs.source = &source;
    pcs.destination = &before;
    pcs.copiedDrives = {'C', 'D'};
    pcs.appPath = demo::kWizardFolder;
    pcs.destUser = destUser;
    pcs.templates = std::filesystem::path(KESTRO_SOURCE_DATA) / "RegFiles";
    pcs.scratch = network / "scratch";
    std::filesystem::create_directories(pcs.scratch);
    return pcs;
}

Expectation expectMassMigration(const MassPcs& pcs)
{
    Expectation e(*pcs.destination, *pcs.source);
    const Keys& source = pcs.source->keys;
    const bool win9x = isWin9x(source);
    const std::string sourceRoot = windowsValue(source, "SystemRoot");
    const std::string destRoot = windowsValue(pcs.destination->keys, "SystemRoot");

    // Each mapped source drive onto the destination drive of its letter, existing files kept; an
    // XP destination keeps its own system folders, a 2000 one takes a 95/98/ME System as System32.
    const bool destinationXp = isXp(pcs.destination->keys);
    TreeRules drive{true, sourceRoot.substr(3), destRoot.substr(3), destinationXp, win9x && !destinationXp};
    e.keptFolder = pcs.appPath;
    for (char letter : pcs.copiedDrives) {
        const std::string root = std::string(1, letter) + ":\\";
        e.copyTree(root, root, false, drive);
    }
    copyProfiles(e, pcs, win9x, sourceRoot);
    copyInstallerAndFonts(e, *pcs.source, sourceRoot, destRoot, pcs.appPath);
    // Paths below the source's Windows folder move to the destination's; a 95/98/ME source's
    // System folder becomes System32.
    const TextRewrite rewrite{sourceRoot, destRoot, win9x};
    copyPersonalFolders(e, *pcs.source, win9x, rewrite);
    // The exit routine removes the working folders.
    for (const std::string& folder : {pcs.appPath + "\\temp", pcs.appPath + "\\tempreg",
             std::string("C:\\QZImpTemp"), std::string("C:\\QZExpTemp")})
        e.removeFolder(folder);

    mergeRegistry(e, pcs, rewrite, win9x);
    mergeTemplates(e, pcs, destinationXp);
    // The mirror of the source's registry is removed at the end.
    e.removeKeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ");
    return e;
}

} // namespace masscheck
