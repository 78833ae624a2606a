// TurkishLocale.h: runs a test under the C locale tr_TR.UTF-8, in which the C library's upper case
// of "i" is "i" and its lower case of "I" is "I". A machine that lacks the locale gets it built in
// a folder of the test's own (localedef, found through LOCPATH); the destructor puts back the
// locale and LOCPATH.
#pragma once

#include <clocale>
#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <optional>
#include <string>

#include <unistd.h>

namespace testsupport {

class TurkishLocale {
public:
    TurkishLocale()
    {
        if (const char* current = std::setlocale(LC_ALL, nullptr))
            m_previous = current;
        if (const char* path = std::getenv("LOCPATH"))
            m_previousPath = path;
        if (!std::setlocale(LC_ALL, kName))
            buildAndUse();
    }
    ~TurkishLocale()
    {
        std::setlocale(LC_ALL, m_previous.c_str());
        if (m_previousPath)
            ::setenv("LOCPATH", m_previousPath->c_str(), 1);
        else
            ::unsetenv("LOCPATH");
        std::error_code ec;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ec);
    }
    TurkishLocale(const TurkishLocale&) = delete;
    TurkishLocale& operator=(const TurkishLocale&) = delete;

    // True when the locale is in force and the C library's case table is a Turkish one: the upper
    // case of "i" is the dotted capital I (U+0130). (std::locale is not asked: glibc's newlocale
    // keeps a copy of LOCPATH it never frees.)
    bool active() const
    {
        const char* current = std::setlocale(LC_ALL, nullptr);
        return current && std::string(current) == kName &&
            std::towctrans(L'i', std::wctrans("toupper")) == 0x130;
    }

private:
    static constexpr const char* kName = "tr_TR.UTF-8";

    void buildAndUse()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "locale-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return;
        m_folder = pattern;
        const std::string command =
            "localedef -i tr_TR -f UTF-8 '" + (m_folder / kName).string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0)
            return;
        ::setenv("LOCPATH", m_folder.c_str(), 1);
        std::setlocale(LC_ALL, kName);
    }

    std::string m_previous = "C";
    std::optional<std::string> m_previousPath;
    std::filesystem::path m_folder;
};

} // namespace testsupport
