// MachineConfig.cpp: reading and writing machine.ini.
#include "platform/MachineConfig.h"

#include "common/HostCalls.h"
#include "platform/CodePage.h"
#include "platform/HostFile.h"
#include "platform/Machine.h"
#include "platform/WinPath.h"

#include "common/IniLine.h"
#include "common/Text.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <mutex>
#include <optional>
#include <set>

namespace platform {
namespace {

// What is trimmed from a line's parts: blanks and a stray carriage return.
constexpr std::string_view kPartBlanks = " \t\r";

bool parseBool(std::string_view v, bool& out)
{
    const std::string u = foldCase(v);
    if (u == "YES" || u == "TRUE" || u == "1") {
        out = true;
        return true;
    }
    if (u == "NO" || u == "FALSE" || u == "0") {
        out = false;
        return true;
    }
    return false;
}

template <typename T> bool parseNumber(std::string_view v, T& out)
{
    v = common::trimmed(v, kPartBlanks);
    if (v.empty())
        return false;
    const auto res = std::from_chars(v.data(), v.data() + v.size(), out);
    return res.ec == std::errc() && res.ptr == v.data() + v.size();
}

bool validAddress(std::string_view v)
{
    int count = 0;
    std::size_t start = 0;
    while (true) {
        const auto dot = v.find('.', start);
        const auto part =
            v.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        unsigned value = 0;
        if (part.empty() || part.size() > 3 || !parseNumber(part, value) || value > 255)
            return false;
        ++count;
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return count == 4;
}

std::vector<std::string_view> splitComma(std::string_view v, std::size_t maxParts)
{
    std::vector<std::string_view> parts;
    while (parts.size() + 1 < maxParts) {
        const auto comma = v.find(',');
        if (comma == std::string_view::npos)
            break;
        parts.push_back(common::trimmed(v.substr(0, comma), kPartBlanks));
        v = v.substr(comma + 1);
    }
    parts.push_back(maxParts == parts.size() + 1 ? v : common::trimmed(v, kPartBlanks));
    return parts;
}

struct Entry {
    int line;
    std::string key;
    std::string value;
};

} // namespace

const DriveEntry* MachineConfig::drive(char letter) const
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    for (const auto& d : drives)
        if (d.letter == letter)
            return &d;
    return nullptr;
}

const ShareEntry* MachineConfig::share(std::string_view name) const
{
    for (const auto& s : shares)
        if (equalsNoCase(s.name, name))
            return &s;
    return nullptr;
}

const Account* MachineConfig::account(std::string_view user) const
{
    for (const auto& a : accounts)
        if (equalsNoCase(a.user, user))
            return &a;
    return nullptr;
}

bool applyOsDefaults(std::string_view os, MachineConfig& c)
{
    struct Row {
        const char* code;
        int major, minor, build;
        const char* win;
        const char* sys;
    };
    static const Row rows[] = {
        {"win95", 4, 0, 950, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"},
        {"win98", 4, 10, 2222, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"},
        {"winme", 4, 90, 3000, "C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM"},
        {"win2k", 5, 0, 2195, "C:\\WINNT", "C:\\WINNT\\system32"},
        {"winxp", 5, 1, 2600, "C:\\WINDOWS", "C:\\WINDOWS\\system32"},
    };
    for (const auto& r : rows) {
        if (equalsNoCase(os, r.code)) {
            c.os = r.code;
            c.versionMajor = r.major;
            c.versionMinor = r.minor;
            c.buildNumber = r.build;
            c.windowsFolder = r.win;
            c.systemFolder = r.sys;
            return true;
        }
    }
    return false;
}

std::string_view driveTypeName(DriveType type)
{
    switch (type) {
    case DriveType::Removable: return "removable";
    case DriveType::Fixed: return "fixed";
    case DriveType::Remote: return "remote";
    case DriveType::CdRom: return "cdrom";
    case DriveType::RamDisk: return "ramdisk";
    case DriveType::NoRootDir: return "none";
    case DriveType::Unknown: break;
    }
    return "unknown";
}

namespace {

// What the readers of one section have in common: the file's name for messages, the entries of
// each section, the first failure.
struct IniReading {
    std::string_view fileName;
    std::map<std::string, std::vector<Entry>> sections; // upper-cased section name -> entries
    std::string* error = nullptr;

    bool fail(int line, const std::string& what) const
    {
        *error = std::string(fileName) + ", line " + std::to_string(line) + ": " + what;
        return false;
    }
};

// Sorts the lines of machine.ini into their sections; false at a line no section may hold.
bool readSections(std::string_view text, IniReading& r)
{
    std::string section;
    int lineNo = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const auto nl = text.find('\n', pos);
        std::string_view raw =
            text.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? text.size() + 1 : nl + 1;
        if (++lineNo == 1 && raw.substr(0, 3) == "\xEF\xBB\xBF")
            raw.remove_prefix(3);
        const common::IniLine line = common::readIniLine(raw, "#");
        if (line.kind == common::IniLine::Kind::Blank || line.kind == common::IniLine::Kind::Comment)
            continue;
        if (line.kind == common::IniLine::Kind::Section) {
            if (!line.closedSection)
                return r.fail(lineNo, "section header without \"]\"");
            section = foldCase(line.name);
            if (section != "MACHINE" && section != "DRIVES" && section != "SHARES" && section != "ACCOUNTS")
                return r.fail(lineNo, "unknown section [" + std::string(line.name) + "]");
            r.sections[section];
            continue;
        }
        if (!line.hasEquals)
            return r.fail(lineNo, "expected key=value");
        if (section.empty())
            return r.fail(lineNo, "key outside a section");
        if (line.name.empty())
            return r.fail(lineNo, "empty key");
        r.sections[section].push_back({lineNo, std::string(line.name), std::string(line.value)});
    }
    return true;
}

// "major.minor.build" (anything after a comma is ignored).
bool readVersion(const Entry& e, MachineConfig& c, const IniReading& r)
{
    std::string_view v = splitComma(std::string_view(e.value), 1)[0];
    int nums[3] = {0, 0, 0};
    int n = 0;
    bool ok = true;
    while (ok && n < 3) {
        const auto dot = v.find('.');
        ok = parseNumber(v.substr(0, dot), nums[n]);
        ++n;
        if (dot == std::string_view::npos)
            break;
        v = v.substr(dot + 1);
        if (n == 3)
            ok = false;
    }
    if (!ok || n != 3)
        return r.fail(e.line, "version must be major.minor.build, not \"" + e.value + "\"");
    c.versionMajor = nums[0];
    c.versionMinor = nums[1];
    c.buildNumber = nums[2];
    return true;
}

bool readParallelPorts(const Entry& e, MachineConfig& c, const IniReading& r)
{
    c.parallelPorts.clear();
    if (e.value.empty())
        return true;
    for (auto part : splitComma(e.value, 64)) {
        std::string_view p = common::trimmed(part, kPartBlanks);
        if (foldCase(p.substr(0, 3)) == "LPT")
            p.remove_prefix(3);
        int port = 0;
        if (!parseNumber(p, port) || port < 1 || port > 8)
            return r.fail(e.line, "parallel port \"" + std::string(part) + "\" is not LPT1..LPT8");
        c.parallelPorts.push_back(port);
    }
    return true;
}

// One key of [Machine] other than OS.
bool readMachineKey(const Entry& e, MachineConfig& c, const IniReading& r)
{
    const std::string k = foldCase(e.key);
    if (k == "COMPUTERNAME") {
        if (e.value.empty() || e.value.find_first_of("\\/ ") != std::string::npos)
            return r.fail(e.line, "invalid computer name \"" + e.value + "\"");
        c.computerName = e.value;
    } else if (k == "ADDRESS") {
        if (!e.value.empty() && !validAddress(e.value))
            return r.fail(e.line, "invalid IPv4 address \"" + e.value + "\"");
        c.address = e.value;
    } else if (k == "VERSION") {
        return readVersion(e, c, r);
    } else if (k == "USER") {
        c.userName = e.value;
    } else if (k == "WINDOWSFOLDER" || k == "SYSTEMFOLDER") {
        WinPath p;
        if (WinPath::parse(e.value, p) != PathSyntax::Ok || p.kind() != WinPath::Kind::Drive)
            return r.fail(e.line, "\"" + e.value + "\" is not a drive path");
        (k == "WINDOWSFOLDER" ? c.windowsFolder : c.systemFolder) = p.text();
    } else if (k == "NETWORKADAPTER" || k == "REACHABLE") {
        bool b = false;
        if (!parseBool(e.value, b))
            return r.fail(e.line, e.key + " must be yes or no");
        (k == "REACHABLE" ? c.reachable : c.networkAdapter) = b;
    } else if (k == "PARALLELPORTS") {
        return readParallelPorts(e, c, r);
    } else if (k != "OS") {
        return r.fail(e.line, "unknown key \"" + e.key + "\" in [Machine]");
    }
    return true;
}

// [Machine]: OS first, as it sets the defaults that the other keys override.
bool readMachineSection(IniReading& r, MachineConfig& c)
{
    const auto& machine = r.sections["MACHINE"];
    bool hasOs = false;
    for (const auto& e : machine)
        hasOs = hasOs || foldCase(e.key) == "OS";
    if (!hasOs) {
        *r.error = std::string(r.fileName) + ": [Machine] has no OS= (win95, win98, winme, win2k or winxp)";
        return false;
    }
    for (const auto& e : machine)
        if (foldCase(e.key) == "OS" && !applyOsDefaults(e.value, c))
            return r.fail(e.line, "unknown OS \"" + e.value + "\" (win95, win98, winme, win2k or winxp)");
    for (const auto& e : machine)
        if (!readMachineKey(e, c, r))
            return false;
    return true;
}

bool readDriveType(const Entry& e, std::string_view text, DriveEntry& d, const IniReading& r)
{
    const std::string type = foldCase(text);
    if (type == "FIXED")
        d.type = DriveType::Fixed;
    else if (type == "REMOVABLE")
        d.type = DriveType::Removable;
    else if (type == "CDROM")
        d.type = DriveType::CdRom;
    else if (type == "RAMDISK")
        d.type = DriveType::RamDisk;
    else
        return r.fail(
            e.line, "drive type \"" + std::string(text) + "\" is not fixed, removable, cdrom or ramdisk");
    return true;
}

// One drive line: "C=fixed[,total bytes[,free bytes]]".
bool readDrive(const Entry& e, MachineConfig& c, const IniReading& r)
{
    std::string letter = foldCase(e.key);
    if (letter.size() == 2 && letter[1] == ':')
        letter.pop_back();
    if (letter.size() != 1 || letter[0] < 'A' || letter[0] > 'Z')
        return r.fail(e.line, "\"" + e.key + "\" is not a drive letter");
    if (c.drive(letter[0]))
        return r.fail(e.line, "drive " + letter + ": is listed twice");
    const auto parts = splitComma(e.value, 3);
    DriveEntry d;
    d.letter = letter[0];
    if (!readDriveType(e, parts[0], d, r))
        return false;
    if (parts.size() >= 2) {
        std::uint64_t total = 0;
        if (!parseNumber(parts[1], total))
            return r.fail(e.line, "total bytes \"" + std::string(parts[1]) + "\" is not a number");
        d.totalBytes = total;
    }
    if (parts.size() >= 3) {
        std::uint64_t free = 0;
        if (!parseNumber(parts[2], free))
            return r.fail(e.line, "free bytes \"" + std::string(parts[2]) + "\" is not a number");
        if (free > *d.totalBytes)
            return r.fail(e.line, "free bytes exceed total bytes");
        d.freeBytes = free;
    }
    c.drives.push_back(d);
    return true;
}

// [Drives]: when present it replaces the default drive C:.
bool readDrivesSection(IniReading& r, MachineConfig& c)
{
    if (!r.sections.count("DRIVES"))
        return true;
    c.drives.clear();
    for (const auto& e : r.sections["DRIVES"])
        if (!readDrive(e, c, r))
            return false;
    std::sort(c.drives.begin(), c.drives.end(),
        [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
    return true;
}

bool readSharesSection(IniReading& r, MachineConfig& c)
{
    for (const auto& e : r.sections["SHARES"]) {
        if (e.key.find_first_of("\\/") != std::string::npos)
            return r.fail(e.line, "invalid share name \"" + e.key + "\"");
        if (c.share(e.key))
            return r.fail(e.line, "share \"" + e.key + "\" is listed twice");
        WinPath p;
        if (WinPath::parse(e.value, p) != PathSyntax::Ok || p.kind() != WinPath::Kind::Drive)
            return r.fail(e.line, "share folder \"" + e.value + "\" is not a drive path");
        if (!c.drive(p.drive()))
            return r.fail(e.line, "share folder \"" + e.value + "\" is on a drive the machine does not have");
        c.shares.push_back({e.key, p.text()});
    }
    return true;
}

bool readAccountsSection(IniReading& r, MachineConfig& c)
{
    for (const auto& e : r.sections["ACCOUNTS"]) {
        if (c.account(e.key))
            return r.fail(e.line, "account \"" + e.key + "\" is listed twice");
        const auto comma = e.value.find(',');
        const std::string kind =
            foldCase(common::trimmed(std::string_view(e.value).substr(0, comma), kPartBlanks));
        if (kind != "ADMIN" && kind != "USER")
            return r.fail(e.line, "account kind must be admin or user, then a comma and the password");
        Account a;
        a.user = e.key;
        a.administrator = kind == "ADMIN";
        a.password = comma == std::string::npos ? std::string() : e.value.substr(comma + 1);
        c.accounts.push_back(a);
    }
    return true;
}

} // namespace

bool parseMachineIni(std::string_view text, std::string_view fileName, std::string_view defaultName,
    MachineConfig& out, std::string& error)
{
    IniReading r{fileName, {}, &error};
    if (!readSections(text, r))
        return false;
    MachineConfig c;
    c.computerName = foldCase(defaultName);
    c.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
    if (!readMachineSection(r, c) || !readDrivesSection(r, c) || !readSharesSection(r, c) ||
        !readAccountsSection(r, c))
        return false;
    out = std::move(c);
    error.clear();
    return true;
}

namespace {

std::string formatMachineIniLf(const MachineConfig& c)
{
    std::string s = "; machine.ini: identity and hardware of an emulated PC\n[Machine]\n";
    s += "ComputerName=" + c.computerName + "\n";
    s += "Address=" + c.address + "\n";
    s += "OS=" + c.os + "\n";
    s += "Version=" + std::to_string(c.versionMajor) + "." + std::to_string(c.versionMinor) + "." +
        std::to_string(c.buildNumber) + "\n";
    s += "User=" + c.userName + "\n";
    s += "WindowsFolder=" + c.windowsFolder + "\n";
    s += "SystemFolder=" + c.systemFolder + "\n";
    s += std::string("NetworkAdapter=") + (c.networkAdapter ? "yes" : "no") + "\n";
    s += "ParallelPorts=";
    for (std::size_t i = 0; i < c.parallelPorts.size(); ++i)
        s += (i ? ",LPT" : "LPT") + std::to_string(c.parallelPorts[i]);
    s += "\n";
    s += std::string("Reachable=") + (c.reachable ? "yes" : "no") + "\n";
    s += "\n[Drives]\n";
    for (const auto& d : c.drives) {
        s += std::string(1, d.letter) + "=" + std::string(driveTypeName(d.type));
        if (d.totalBytes) {
            s += "," + std::to_string(*d.totalBytes);
            if (d.freeBytes)
                s += "," + std::to_string(*d.freeBytes);
        }
        s += "\n";
    }
    s += "\n[Shares]\n";
    for (const auto& sh : c.shares)
        s += sh.name + "=" + sh.folder + "\n";
    s += "\n[Accounts]\n";
    for (const auto& a : c.accounts)
        s += a.user + "=" + (a.administrator ? "admin," : "user,") + a.password + "\n";
    return s;
}

} // namespace

std::string formatMachineIni(const MachineConfig& c)
{
    std::string lf = formatMachineIniLf(c);
    std::string crlf;
    for (char ch : lf) {
        if (ch == '\n')
            crlf += '\r';
        crlf += ch;
    }
    return crlf;
}

} // namespace platform

#include <fstream>
#include <sstream>
#include <system_error>

namespace platform {

namespace fs = std::filesystem;

fs::path driveFolder(const fs::path& machineFolder, char letter)
{
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    return machineFolder / "drives" / std::string(1, letter);
}

std::string defaultComputerName(const fs::path& machineFolder)
{
    return machineFolder.filename().empty() ? machineFolder.parent_path().filename().string()
                                            : machineFolder.filename().string();
}

bool loadMachineConfig(const fs::path& machineFolder, MachineConfig& out, std::string& error)
{
    const fs::path file = machineFolder / Machine::kIniFileName;
    std::error_code ec;
    if (!fs::is_directory(machineFolder, ec)) {
        error = "machine folder " + machineFolder.string() + " does not exist";
        return false;
    }
    if (!fs::exists(file, ec)) {
        error = machineFolder.string() + " is not a machine: it holds no machine.ini";
        return false;
    }
    // Never waits on a pipe or reads a device: every lookup of the network reads this file.
    std::string bytes;
    if (readHostMetadata(file, bytes) != WinError::Success) {
        error = file.string() + ": cannot be read";
        return false;
    }
    return parseMachineIni(
        cp1252ToUtf8(bytes), file.string(), defaultComputerName(machineFolder), out, error);
}

bool saveMachineConfig(const fs::path& machineFolder, const MachineConfig& config, std::string& error)
{
    common::hostcalls::makeFolders(machineFolder.string());
    for (const auto& d : config.drives)
        common::hostcalls::makeFolders(driveFolder(machineFolder, d.letter).string());
    const fs::path file = machineFolder / Machine::kIniFileName;
    if (replaceHostFile(file, utf8ToCp1252(formatMachineIni(config))) != WinError::Success) {
        error = file.string() + ": cannot be written";
        return false;
    }
    return true;
}

namespace {

// What a lookup read of a network: every sub-folder with the stamp (time and size) of its
// machine.ini and, when it is a machine, its model. Kept while the network folder and every stamp
// are unchanged, so that every path through a share does not read every machine again; checking
// the stamps costs one stat() per sub-folder.
struct Stamp {
    fs::file_time_type time{};
    std::uintmax_t size = 0;
    bool present = false;
    bool operator==(const Stamp&) const = default;
};

struct ScannedFolder {
    fs::path folder;
    Stamp stamp;
    std::optional<MachineConfig> config;
};

struct ScannedNetwork {
    fs::file_time_type time{};
    std::vector<ScannedFolder> folders; // folder-name order
    std::set<std::string> reported;     // ambiguous names already logged
};

std::mutex g_foundMutex;
std::map<std::string, ScannedNetwork>& scannedNetworks()
{
    static std::map<std::string, ScannedNetwork> found;
    return found;
}

Stamp stampOf(const fs::path& folder)
{
    std::error_code ec;
    const fs::path ini = folder / Machine::kIniFileName;
    Stamp s;
    s.time = fs::last_write_time(ini, ec);
    if (ec)
        return {};
    s.size = fs::file_size(ini, ec);
    s.present = !ec;
    return s.present ? s : Stamp{};
}

bool unchanged(const fs::path& networkFolder, const ScannedNetwork& n)
{
    std::error_code ec;
    if (fs::last_write_time(networkFolder, ec) != n.time || ec)
        return false;
    return std::all_of(n.folders.begin(), n.folders.end(),
        [](const ScannedFolder& f) { return stampOf(f.folder) == f.stamp; });
}

ScannedNetwork scan(const fs::path& networkFolder)
{
    ScannedNetwork n;
    std::error_code ec;
    n.time = fs::last_write_time(networkFolder, ec);
    for (fs::directory_iterator it(networkFolder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc))
            n.folders.push_back({it->path(), {}, std::nullopt});
    }
    std::sort(n.folders.begin(), n.folders.end(),
        [](const ScannedFolder& a, const ScannedFolder& b) { return a.folder < b.folder; });
    for (ScannedFolder& f : n.folders) {
        f.stamp = stampOf(f.folder);
        MachineConfig c;
        std::string error;
        if (f.stamp.present && loadMachineConfig(f.folder, c, error))
            f.config = std::move(c);
    }
    return n;
}

} // namespace

bool findMachine(const fs::path& networkFolder, std::string_view name, fs::path& folderOut,
    MachineConfig& configOut, std::string* ambiguity)
{
    if (name.empty())
        return false;
    const std::lock_guard<std::mutex> lock(g_foundMutex);
    ScannedNetwork& n = scannedNetworks()[networkFolder.string()];
    if (!unchanged(networkFolder, n))
        n = scan(networkFolder);
    std::vector<const ScannedFolder*> claimants;
    for (const ScannedFolder& f : n.folders)
        if (f.config && equalsNoCase(f.config->computerName, name))
            claimants.push_back(&f);
    if (claimants.size() == 1) {
        folderOut = claimants.front()->folder;
        configOut = *claimants.front()->config;
        return true;
    }
    // Two machines with one name: neither is taken, whichever the host happens to list first.
    if (claimants.size() > 1 && ambiguity && n.reported.insert(foldCase(name)).second) {
        *ambiguity = "The computer name " + std::string(name) + " is claimed by " +
            claimants[0]->folder.string() + " and " + claimants[1]->folder.string() +
            ": refused as ambiguous";
    }
    return false;
}

} // namespace platform
