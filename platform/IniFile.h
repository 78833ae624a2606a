// IniFile.h: reads and writes the INI files of the emulated machines (Windows-1252 on disk, UTF-8 in
// memory): [Section] lines, Key=Value lines, ';' comments; sections and keys match without case.
#pragma once

#include "platform/WinError.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class IniFile {
public:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries; // in file order
    };

    // Reads a file. Success; FileNotFound when it does not exist; AccessDenied or ReadFault when it
    // cannot be read (message then names the file). Lines outside any section are kept under a
    // section with an empty name; blank and comment lines are dropped; keys and values are trimmed.
    WinError load(const std::filesystem::path& file, std::string* message = nullptr);

    // Parses INI text already converted to UTF-8.
    void parse(std::string_view utf8);

    // The text of an INI file in UTF-8, with load()'s errors and messages.
    static WinError readText(
        const std::filesystem::path& file, std::string& utf8, std::string* message = nullptr);

    // Writes every section in order, CR LF line ends, Windows-1252, replacing the file whole
    // (replaceHostFile). Success, AccessDenied or WriteFault.
    WinError save(const std::filesystem::path& file, std::string* message = nullptr) const;

    // The value of Key in Section (both without case), or nothing when either is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets (or adds at the end of the section, creating the section at the end) a value.
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    const std::vector<Section>& sections() const { return m_sections; }
    const Section* section(std::string_view name) const;

private:
    Section* findSection(std::string_view name);

    std::vector<Section> m_sections;
};

} // namespace platform
