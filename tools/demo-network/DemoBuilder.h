// DemoBuilder.h: what the demo network's builders share (internal to tools/demo-network): the
// writer of one machine's registry content and files, and the installed applications.
#pragma once

#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/FileVersion.h"
#include "platform/Machine.h"
#include "platform/Registry.h"
#include "platform/SystemInfo.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace demo::detail {

using namespace platform;
namespace fs = std::filesystem;

// Every file of the demo carries this time: 2004-03-15 10:00:00 UTC.
inline const auto kFileTime = std::chrono::system_clock::time_point{} + std::chrono::seconds(1079344800);

// Writes registry content and files of one machine, remembering the first failure.
class Builder {
public:
    Builder(Machine& machine, std::string& error)
        : m_machine(machine)
        , m_files(machine.fileSystem())
        , m_error(error)
    {
        std::string message;
        if (m_registry.open(machine.registryPath(), Registry::OpenMode::CreateIfMissing, &message) !=
            WinError::Success)
            fail("cannot open the registry: " + message);
        else
            m_registry.beginTransaction();
    }
    ~Builder()
    {
        if (m_registry.inTransaction())
            m_registry.rollbackTransaction();
    }

    bool finish()
    {
        if (m_ok && m_registry.commitTransaction() != WinError::Success)
            fail("cannot commit the registry of " + m_machine.folder().string());
        m_registry.close();
        return m_ok;
    }

    const MachineConfig& config() const { return m_machine.config(); }

    void sz(std::string_view path, std::string_view name, std::string_view value, RegType type = RegType::Sz)
    {
        RegKey k = key(path);
        if (k.isValid() && m_registry.setString(k, name, value, type) != WinError::Success)
            fail("cannot set " + std::string(path) + "\\" + std::string(name));
    }
    void dword(std::string_view path, std::string_view name, std::uint32_t value)
    {
        RegKey k = key(path);
        if (k.isValid() && m_registry.setDword(k, name, value) != WinError::Success)
            fail("cannot set " + std::string(path) + "\\" + std::string(name));
    }
    void binary(std::string_view path, std::string_view name, RegBytes value)
    {
        RegKey k = key(path);
        if (k.isValid() && m_registry.setValue(k, name, RegType::Binary, value) != WinError::Success)
            fail("cannot set " + std::string(path) + "\\" + std::string(name));
    }
    void multi(std::string_view path, std::string_view name, const std::vector<std::string>& value)
    {
        RegKey k = key(path);
        if (k.isValid() &&
            m_registry.setValue(k, name, RegType::MultiSz, regMultiStringData(value)) != WinError::Success)
            fail("cannot set " + std::string(path) + "\\" + std::string(name));
    }
    RegKey key(std::string_view path)
    {
        RegRoot root;
        std::string sub;
        RegKey out;
        if (!splitRegPath(path, root, sub) || m_registry.createKey(root, sub, out) != WinError::Success) {
            fail("cannot create " + std::string(path));
            return {};
        }
        return out;
    }

    void folder(std::string_view path)
    {
        if (!m_files.folderExists(path) &&
            m_files.makeSurePathExists(std::string(path) + "\\") != WinError::Success)
            fail("cannot create " + std::string(path));
    }
    void file(std::string_view path, std::string_view bytes)
    {
        const auto slash = path.rfind('\\');
        folder(path.substr(0, slash));
        if (m_files.writeFile(path, bytes) != FsError::None ||
            m_files.setFileTime(path, kFileTime) != FsError::None)
            fail("cannot write " + std::string(path));
    }
    // A text file in the machine's code page with CR LF line ends.
    void text(std::string_view path, std::string_view lfText)
    {
        std::string crlf;
        for (char c : lfText) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        const auto slash = path.rfind('\\');
        folder(path.substr(0, slash));
        if (m_files.writeText(path, crlf) != FsError::None ||
            m_files.setFileTime(path, kFileTime) != FsError::None)
            fail("cannot write " + std::string(path));
    }
    void program(std::string_view path, std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d)
    {
        file(path, buildVersionedPe(a, b, c, d));
    }

    std::string special(int id)
    {
        std::string path;
        specialFolderPath(config(), id, path);
        return path;
    }

    // Copies a host folder's files into a Windows folder of the machine, in name order.
    void install(const fs::path& hostFolder, const std::string& windowsFolder)
    {
        std::error_code ec;
        if (!fs::is_directory(hostFolder, ec))
            return;
        std::vector<fs::path> entries;
        for (const auto& e : fs::recursive_directory_iterator(hostFolder, ec))
            entries.push_back(e.path());
        std::sort(entries.begin(), entries.end());
        for (const auto& p : entries) {
            const auto rel = fs::relative(p, hostFolder, ec);
            const std::string relText = rel.generic_string();
            // Build-system files that may lie in a build's data folder are not shipped data.
            if (relText == "CMakeLists.txt" || relText == "CMakeFiles" ||
                relText.rfind("CMakeFiles/", 0) == 0 || rel.extension() == ".cmake" ||
                relText == "CTestTestfile.cmake")
                continue;
            const std::string ext = common::lowerAscii(rel.extension().string());
            if (relText.rfind("WKXFiles/", 0) == 0 && ext == ".xml")
                continue;
            std::string target = windowsFolder;
            for (const auto& part : rel)
                target += "\\" + part.string();
            if (fs::is_directory(p, ec)) {
                folder(target);
                continue;
            }
            std::ifstream in(p, std::ios::binary);
            std::ostringstream bytes;
            bytes << in.rdbuf();
            file(target, bytes.str());
        }
    }

    void fail(const std::string& what)
    {
        if (m_ok)
            m_error = m_machine.config().computerName + ": " + what;
        m_ok = false;
    }

private:
    Machine& m_machine;
    FileSystem m_files;
    Registry m_registry;
    std::string& m_error;
    bool m_ok = true;
};

// The applications of OLDPC (Windows 98) and of OLDXP (Windows XP): program folders, uninstall
// entries, App Paths, the programs' own keys, program groups and desktop shortcuts.
void installSourceApps98(Builder& b);
void installSourceAppsXp(Builder& b);
// Office ("9.0" or "11.0"): product keys, program files, App Paths, Word's global template and the
// shortcuts Office 2003 puts into the shared Start menu.
void installOffice(Builder& b, const std::string& version, bool premium);
// Outlook Express: the identity with its store root, the message store and the address book.
void outlookExpress(Builder& b, const char* identity, bool nt);
// The screen savers Windows XP installs in its system folder.
void xpScreenSavers(Builder& b);

} // namespace demo::detail
