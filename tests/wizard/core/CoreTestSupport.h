// CoreTestSupport.h: a throw-away machine folder for the wizard core's tests, with the
// application folder on drive C: and helpers to write scrambled scripts into it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "tests/platform/TestMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ScriptDecryptor.h"

namespace wizard::test {

// A test machine (drive C:, WINENV_MACHINE set to it) with the application folder
// "C:\Program Files\Kestro\WKXFiles" and AppPath pointing at it; removed afterwards.
class TempMachine {
public:
    TempMachine()
    {
        m_appFolder = m_machine.host("Program Files/Kestro");
        std::filesystem::create_directories(m_appFolder / "WKXFiles");
        AppPath = kDefaultAppPath;
        AppExeName = "Kestro";
    }
    TempMachine(const TempMachine&) = delete;
    TempMachine& operator=(const TempMachine&) = delete;

    // The platform's test machine underneath (its network, to add peers).
    testutil::TestMachine& machine() { return m_machine; }

    // Host path of a file in the application folder ("WKXFiles/Dec_Kestro.xml").
    std::filesystem::path appFile(const std::string& relative) const { return m_appFolder / relative; }

    std::string readHost(const std::filesystem::path& path) const
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeHost(const std::filesystem::path& path, const std::string& bytes) const
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << bytes;
    }

    // Writes `xml` scrambled line by line as WKXFiles/<name> with the extension "wkx".
    void writeScript(const std::string& name, const std::string& xml) const
    {
        std::string scrambled;
        std::size_t start = 0;
        while (start <= xml.size()) {
            std::size_t end = xml.find('\n', start);
            if (end == std::string::npos)
                end = xml.size();
            std::string line = xml.substr(start, end - start);
            std::optional<std::string> s = scrambleLine(line);
            while (!s) { // a length whose shift cannot hold the line: pad it
                line += ' ';
                s = scrambleLine(line);
            }
            scrambled += *s + "\r\n";
            start = end + 1;
        }
        std::string file = name.substr(0, name.size() - 3) + "wkx";
        for (char& c : file)
            if (c == '\\')
                c = '/';
        writeHost(m_appFolder / "WKXFiles" / file, scrambled);
    }

private:
    testutil::TestMachine m_machine;
    std::filesystem::path m_appFolder;
};

} // namespace wizard::test
