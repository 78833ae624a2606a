// TestMachine.h: a temporary network with one running machine (drive C:; the running machine, and
// named by WINENV_MACHINE for the tools, while the object lives) and helpers to add peers and files; removed afterwards.
#pragma once

#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/MachineConfig.h"
#include "platform/PathResolver.h"
#include "platform/RunningMachine.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <system_error>

namespace testutil {

class TestMachine {
public:
    // A network folder in the temporary folder holding the machine "<computerName lower-cased>".
    explicit TestMachine(const std::string& computerName = "DESTPC", const std::string& os = "winxp")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "winenv-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_network = pattern;
        platform::MachineConfig c;
        platform::applyOsDefaults(os, c);
        c.computerName = computerName;
        c.address = "192.168.0.2";
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares.push_back({"C$", "C:\\"});
        m_folder = addMachine(c);
        m_config = c;
        if (const char* old = std::getenv("WINENV_MACHINE"))
            m_oldEnv = old;
        ::setenv("WINENV_MACHINE", m_folder.c_str(), 1);
        platform::RunningMachine::use(m_folder);
    }
    ~TestMachine()
    {
        platform::RunningMachine::close();
        if (m_oldEnv)
            ::setenv("WINENV_MACHINE", m_oldEnv->c_str(), 1);
        else
            ::unsetenv("WINENV_MACHINE");
        std::error_code ec;
        if (!m_network.empty())
            std::filesystem::remove_all(m_network, ec);
    }
    TestMachine(const TestMachine&) = delete;
    TestMachine& operator=(const TestMachine&) = delete;

    const std::filesystem::path& network() const { return m_network; }
    const std::filesystem::path& folder() const { return m_folder; }
    platform::MachineConfig& config() { return m_config; }

    // Writes the running machine's machine.ini again after config() was changed.
    void saveConfig()
    {
        std::string error;
        platform::saveMachineConfig(m_folder, m_config, error);
        platform::RunningMachine::use(m_folder);
    }

    // Adds a machine to the network (folder named after the computer name, lower-cased).
    std::filesystem::path addMachine(const platform::MachineConfig& config)
    {
        const std::string name = common::lowerAscii(config.computerName);
        const auto folder = m_network / name;
        std::string error;
        platform::saveMachineConfig(folder, config, error);
        return folder;
    }

    // Adds a Windows 98 PC of that name sharing its drive C: as C$ (a source to connect to).
    std::filesystem::path addWin98Source(const std::string& computerName, const std::string& address)
    {
        platform::MachineConfig c;
        platform::applyOsDefaults("win98", c);
        c.computerName = computerName;
        c.address = address;
        c.drives.push_back({'C', platform::DriveType::Fixed, std::nullopt, std::nullopt});
        c.shares.push_back({"C$", "C:\\"});
        return addMachine(c);
    }

    // Mapped letters of the running machine (what the registry's HKCU\Network holds).
    void map(char letter, const std::string& remotePath) { m_mappings[letter] = remotePath; }

    platform::PathResolver resolver() const
    {
        auto mappings = m_mappings;
        return platform::PathResolver(
            m_folder, m_config, [mappings](char letter) -> std::optional<std::string> {
                const auto it = mappings.find(letter);
                if (it == mappings.end())
                    return std::nullopt;
                return it->second;
            });
    }
    platform::FileSystem fileSystem() const { return platform::FileSystem(resolver()); }

    // The host path of a drive-relative path ("Windows/a.txt" on drive C), for checks from outside.
    std::filesystem::path host(const std::string& relative, char drive = 'C') const
    {
        return platform::driveFolder(m_folder, drive) / relative;
    }
    // Creates a host file (and its folders) below a drive of the running machine.
    void put(const std::string& relative, const std::string& content = "x", char drive = 'C') const
    {
        const auto p = host(relative, drive);
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }
    std::string read(const std::string& relative, char drive = 'C') const
    {
        std::ifstream in(host(relative, drive), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_network;
    std::filesystem::path m_folder;
    platform::MachineConfig m_config;
    std::map<char, std::string> m_mappings;
    std::optional<std::string> m_oldEnv;
};

} // namespace testutil
