// IniFile.cpp: INI parsing and writing for the emulated machines' files.
#include "platform/IniFile.h"

#include "platform/CodePage.h"
#include "platform/HostFile.h"

#include "common/IniLine.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace platform {

WinError IniFile::readText(const std::filesystem::path& file, std::string& utf8, std::string* message)
{
    std::string bytes;
    if (const WinError e = readHostMetadata(file, bytes, kMaxMetadataBytes, message); e != WinError::Success)
        return e;
    utf8 = cp1252ToUtf8(bytes);
    return WinError::Success;
}

WinError IniFile::load(const std::filesystem::path& file, std::string* message)
{
    std::string text;
    const WinError e = readText(file, text, message);
    if (e == WinError::Success)
        parse(text);
    return e;
}

void IniFile::parse(std::string_view utf8)
{
    m_sections.clear();
    Section* current = nullptr;
    std::size_t pos = 0;
    while (pos <= utf8.size()) {
        auto end = utf8.find('\n', pos);
        if (end == std::string_view::npos)
            end = utf8.size();
        const common::IniLine line = common::readIniLine(utf8.substr(pos, end - pos));
        pos = end + 1;
        if (line.kind == common::IniLine::Kind::Blank || line.kind == common::IniLine::Kind::Comment)
            continue;
        if (line.kind == common::IniLine::Kind::Section) {
            current = findSection(line.name);
            if (!current) {
                m_sections.push_back(Section{std::string(line.name), {}});
                current = &m_sections.back();
            }
            continue;
        }
        if (!current) {
            m_sections.push_back(Section{});
            current = &m_sections.back();
        }
        current->entries.push_back(Entry{std::string(line.name), std::string(line.value)});
    }
}

WinError IniFile::save(const std::filesystem::path& file, std::string* message) const
{
    std::string text;
    for (const Section& s : m_sections) {
        if (!s.name.empty() || !text.empty())
            text += "[" + s.name + "]\r\n";
        for (const Entry& e : s.entries)
            text += e.key + "=" + e.value + "\r\n";
    }
    return replaceHostFile(file, utf8ToCp1252(text), message);
}

const IniFile::Section* IniFile::section(std::string_view name) const
{
    for (const Section& s : m_sections)
        if (equalsNoCase(s.name, name))
            return &s;
    return nullptr;
}

IniFile::Section* IniFile::findSection(std::string_view name)
{
    for (Section& s : m_sections)
        if (equalsNoCase(s.name, name))
            return &s;
    return nullptr;
}

std::optional<std::string> IniFile::value(std::string_view sectionName, std::string_view key) const
{
    const Section* s = section(sectionName);
    if (!s)
        return std::nullopt;
    for (const Entry& e : s->entries)
        if (equalsNoCase(e.key, key))
            return e.value;
    return std::nullopt;
}

void IniFile::setValue(std::string_view sectionName, std::string_view key, std::string_view val)
{
    Section* s = findSection(sectionName);
    if (!s) {
        m_sections.push_back(Section{std::string(sectionName), {}});
        s = &m_sections.back();
    }
    for (Entry& e : s->entries) {
        if (equalsNoCase(e.key, key)) {
            e.value = std::string(val);
            return;
        }
    }
    s->entries.push_back(Entry{std::string(key), std::string(val)});
}

} // namespace platform
