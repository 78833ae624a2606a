// WindowsName.cpp: the Windows name rule of folder listings.
#include "platform/WindowsName.h"

#include <utility>

#include "platform/CodePage.h"
#include "platform/WinPath.h"

#include <cstdio>

namespace platform {
namespace {

// The length of the valid UTF-8 sequence at `i`, 0 when there is none (overlong forms, surrogates
// and code points above U+10FFFF are invalid).
std::size_t utf8Length(std::string_view s, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b = byte(i);
    if (b < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned min = 0;
    unsigned cp = 0;
    if ((b & 0xE0) == 0xC0) {
        n = 2, min = 0x80, cp = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, min = 0x800, cp = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, min = 0x10000, cp = b & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return n;
}

bool badCharacter(unsigned char c)
{
    return c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

NameFault windowsNameFault(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return NameFault::DotName;
    std::size_t units = 0; // UTF-16 code units, as Windows counts a name's length
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = utf8Length(name, i);
        if (n == 0)
            return NameFault::InvalidText;
        if (n == 1 && badCharacter(static_cast<unsigned char>(name[i])))
            return NameFault::BadCharacter;
        units += n == 4 ? 2 : 1;
        i += n;
    }
    if (name.back() == '.' || name.back() == ' ')
        return NameFault::TrailingDotOrBlank;
    if (units > 255)
        return NameFault::TooLong;
    if (isReservedDeviceName(name))
        return NameFault::DeviceName;
    return NameFault::None;
}

std::string_view nameFaultText(NameFault fault)
{
    switch (fault) {
    case NameFault::None: return "";
    case NameFault::BadCharacter: return "not a Windows name (a character Windows names cannot hold)";
    case NameFault::DeviceName: return "not a Windows name (a device name)";
    case NameFault::TrailingDotOrBlank: return "not a Windows name (ends in a dot or a blank)";
    case NameFault::DotName: return "not a Windows name";
    case NameFault::InvalidText: return "not a Windows name (not valid text)";
    case NameFault::TooLong: return "not a Windows name (longer than 255 characters)";
    case NameFault::CaseTwin: return "a name differing only in case was taken in its place";
    case NameFault::PathTooLong: return "the path is longer than Windows allows";
    }
    return "not a Windows name";
}

bool ListingNameFilter::candidate(std::string_view name, bool isFolder)
{
    if (!name.empty() && name.front() == ':')
        return false;
    const NameFault fault = windowsNameFault(name);
    if (fault == NameFault::None)
        return true;
    m_leftOut.push_back({std::string(name), isFolder, fault});
    return false;
}

bool ListingNameFilter::admit(std::string_view name, bool isFolder)
{
    if (!candidate(name, isFolder))
        return false;
    if (m_seen.insert(foldCase(name)).second)
        return true;
    m_leftOut.push_back({std::string(name), isFolder, NameFault::CaseTwin});
    return false;
}

void ListingNameFilter::take(std::string_view name, bool isFolder)
{
    if (!candidate(name, isFolder))
        return;
    std::string folded = foldCase(name);
    const auto [it, added] = m_keptAt.emplace(folded, m_kept.size());
    if (added) {
        m_kept.push_back({std::string(name), std::move(folded), isFolder});
        return;
    }
    ListedName other{std::string(name), std::move(folded), isFolder};
    if (other.name < m_kept[it->second].name)
        std::swap(other, m_kept[it->second]);
    m_leftOut.push_back({std::move(other.name), other.isFolder, NameFault::CaseTwin});
}

std::vector<ListedName> ListingNameFilter::takeKept()
{
    m_keptAt = {};
    return std::exchange(m_kept, {});
}

std::string printableName(std::string_view name)
{
    std::string out;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = utf8Length(name, i);
        if (n == 0 || (n == 1 && static_cast<unsigned char>(name[i]) < 0x20)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(name[i]));
            out += hex;
            ++i;
            continue;
        }
        out.append(name.substr(i, n));
        i += n;
    }
    return out;
}

} // namespace platform
