// HostileSource.h: the demo network's OLDPC made into a hostile source: what a source PC we do not
// control may hold that no Windows PC could, planted the way the source would deliver it.
// - Registry: keys whose names carry line breaks, so that the exports its own batch file makes hold
//   sections of other roots (HKEY_LOCAL_MACHINE and its short name inside HKCU.reg, HKEY_USERS,
//   HKEY_CURRENT_CONFIG, a deletion of a key of the destination).
// - Files: host names Windows cannot hold ("..\WINDOWS", ? < > | * " and control characters,
//   device names, invalid UTF-8, a trailing dot or blank), case-only twins, pipes (one as a side
//   file, one as a shortcut on the desktop), character devices (one as a side file) and host
//   links, beside ordinary files.
#pragma once

#include "platform/MachineConfig.h"
#include "platform/RegFile.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace hostile {

namespace fs = std::filesystem;

// The folder of OLDPC's C: drive that holds most hostile names (its Windows path).
inline constexpr const char* kHostileFolder = "C:\\My Documents\\Hostile";
// What a planted file holds: it must never reach the destination.
inline constexpr const char* kPlanted = "planted by the source";

inline void putHost(const fs::path& file, const std::string& bytes)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
}

inline void pipeAt(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    ASSERT_EQ(::mkfifo(file.c_str(), 0644), 0) << file;
}

// A character device reading as endless zeros, where the host lets the test make one (as root);
// elsewhere nothing is planted.
inline void zeroDeviceAt(const fs::path& file)
{
    fs::create_directories(file.parent_path());
    ::mknod(file.c_str(), S_IFCHR | 0644, makedev(1, 5));
}

// Keys of OLDPC's current user whose names break the export's lines: each export line after the
// break is a section of the root the name names, and the sub-keys below follow it there.
inline void plantHostileRegistry(const fs::path& machine)
{
    platform::Registry reg;
    ASSERT_EQ(reg.open(machine / "registry.db"), platform::WinError::Success);
    const auto plant = [&](const std::string& path, const char* name, const char* data) {
        platform::RegKey k;
        ASSERT_EQ(reg.createKey(platform::RegKey(platform::RegRoot::CurrentUser), path, k),
            platform::WinError::Success)
            << path;
        if (name) {
            ASSERT_EQ(reg.setString(k, name, data), platform::WinError::Success);
        }
    };
    plant("Software\\a]\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Planted",
        "C:\\evil.exe");
    plant("Software\\b]\r\n[HKLM\\SOFTWARE\\Planted", "Short", "1");
    plant("Software\\c]\r\n[HKEY_USERS\\.DEFAULT\\Planted", "Users", "1");
    plant("Software\\d]\r\n[HKEY_CURRENT_CONFIG\\Planted", "Config", "1");
    plant("Software\\e]\r\n[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT", nullptr, nullptr);
}

// The names below kHostileFolder that Windows could not hold, each a file holding kPlanted.
inline std::vector<std::string> badNames()
{
    return {"a?b.txt", "a<b.txt", "a>b.txt", "a|b.txt", "a*b.txt", "a\"b.txt", "ctl\x01.txt", "CON",
        "NUL.txt", "COM1", "bad\xff.txt", "trail.", "trail "};
}

// Files, folders, pipes and links of a hostile source on OLDPC's drives.
inline void plantHostileFiles(const fs::path& machine)
{
    const fs::path c = platform::driveFolder(machine, 'C');
    const fs::path h = c / "My Documents" / "Hostile";
    putHost(h / "ok.txt", "an ordinary file");
    putHost(h / "Sub" / "inner.txt", "a sub-folder's file");
    for (const std::string& name : badNames())
        putHost(h / name, kPlanted);
    // A folder whose host name climbs out of the chosen folder onto the destination's WIN.INI.
    putHost(h / "..\\WINDOWS" / "WIN.INI", kPlanted);
    putHost(h / "..\\..\\WINDOWS" / "WIN.INI", kPlanted);
    putHost(h / "sub\\..\\..\\.." / "x.txt", kPlanted);
    // Case-only twins: the first in listing order (FILE.TXT) is taken, the others reported.
    putHost(h / "FILE.TXT", "upper");
    putHost(h / "File.txt", kPlanted);
    putHost(h / "file.txt", kPlanted);
    // Special files: a pipe, a pipe as the folder's attribute side file, links out and in.
    pipeAt(h / "pipe.txt");
    pipeAt(h / "Sub" / ":attributes");
    zeroDeviceAt(h / "zero.dat");
    zeroDeviceAt(h / "Dev" / ":attributes");
    putHost(h / "Dev" / "d.txt", "beside a device as side file");
    fs::create_symlink("/etc/passwd", h / "passwd.txt");
    fs::create_symlink("../../../../NEWPC", h / "newpc");
    fs::create_symlink("/dev/zero", h / "zero.bin");
    // A pipe named like a shortcut on the user's desktop, and a profile folder climbing out.
    pipeAt(c / "WINDOWS" / "Desktop" / "Hostile.lnk");
    putHost(c / "WINDOWS" / "Profiles" / "Anna" / "Desktop" / "..\\..\\..\\WINDOWS" / "WIN.INI", kPlanted);
    putHost(c / "WINDOWS" / "Profiles" / "Anna" / "Desktop" / "Anna.txt", "Anna's own");
}

// Another folder of the network whose machine.ini is a pipe: every lookup of a computer name reads
// the network's machine.ini files and must neither wait on it nor give up on the others.
inline void plantHostileNetwork(const fs::path& network) { pipeAt(network / "STRANGE" / "machine.ini"); }

// Every entry below a machine's drives by its host path below the machine folder: a file's size
// and bytes, "folder", "link" or "special" (pipes and devices are never opened).
inline std::map<std::string, std::string> hostTree(const fs::path& machine)
{
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(machine / "drives", ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::file_status st = it->symlink_status(ec);
        std::string what = fs::is_symlink(st) ? "link" : fs::is_directory(st) ? "folder" : "special";
        if (fs::is_regular_file(st)) {
            std::ifstream in(it->path(), std::ios::binary);
            what =
                "file " + std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        out[fs::relative(it->path(), machine).string()] = what;
    }
    return out;
}

// The registry of the running machine as its sections ("[key]" and its value lines), the mirror's
// below HKEY_LOCAL_MACHINE\SOFTWARE\QZ left out.
inline std::set<std::string> registryOutsideMirror()
{
    std::string text;
    EXPECT_EQ(platform::exportRegText(platform::RunningMachine::current()->registry(), "",
                  platform::RegFileFormat::Regedit4, text),
        platform::WinError::Success);
    std::set<std::string> sections;
    std::size_t at = text.find("\r\n[");
    while (at != std::string::npos) {
        const std::size_t next = text.find("\r\n\r\n[", at + 3);
        std::string section = text.substr(at + 2, next == std::string::npos ? std::string::npos : next - at);
        if (section.rfind("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ", 0) != 0)
            sections.insert(std::move(section));
        at = next == std::string::npos ? next : next + 2;
    }
    return sections;
}

} // namespace hostile
