// WinPath.cpp: parsing and folding of Windows paths.
#include "platform/WinPath.h"

#include "platform/CodePage.h"

namespace platform {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool badNameChar(unsigned char c)
{
    return c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '|';
}

std::vector<std::string_view> splitParts(std::string_view text)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || isSeparator(text[i])) {
            if (i > start)
                parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

} // namespace

bool isReservedDeviceName(std::string_view name)
{
    // The name before its first dot (and blanks before that dot) counts: "con.txt" and "LPT1 .log"
    // are the devices too.
    std::string_view base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.remove_suffix(1);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (equalsNoCase(base, device))
            return true;
    if (base.size() < 4)
        return false;
    // COM and LPT take a digit 1-9 or a superscript one, two or three (UTF-8 "\xC2\xB9",
    // "\xC2\xB2", "\xC2\xB3"), which Windows reserves as well.
    const std::string_view number = base.substr(3);
    const bool digit = number.size() == 1 && number[0] >= '1' && number[0] <= '9';
    const bool superscript = number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
    if (digit || superscript)
        for (const char* device : {"COM", "LPT"})
            if (equalsNoCase(base.substr(0, 3), device))
                return true;
    return false;
}

PathSyntax WinPath::parse(std::string_view text, WinPath& out)
{
    WinPath path;
    std::string_view rest;
    if (text.size() >= 2 && isLetter(text[0]) && text[1] == ':') {
        path.m_kind = Kind::Drive;
        path.m_drive = static_cast<char>(text[0] >= 'a' ? text[0] - 'a' + 'A' : text[0]);
        rest = text.substr(2);
        if (!rest.empty() && !isSeparator(rest[0]))
            return PathSyntax::Relative;
    } else if (text.size() >= 2 && isSeparator(text[0]) && isSeparator(text[1])) {
        const auto parts = splitParts(text.substr(2));
        if (parts.size() < 2 || isSeparator(text.size() > 2 ? text[2] : 'x'))
            return PathSyntax::BadName;
        if (parts[0] == "?" || parts[0] == ".")
            return PathSyntax::BadName; // device and long-path namespaces are not files
        for (auto part : {parts[0], parts[1]})
            for (char c : part)
                if (badNameChar(static_cast<unsigned char>(c)) || c == '*' || c == '?')
                    return PathSyntax::BadName;
        path.m_kind = Kind::Unc;
        path.m_server = std::string(parts[0]);
        path.m_share = std::string(parts[1]);
        // The rest starts after "\\server\share".
        std::size_t pos = 2;
        while (pos < text.size() && !isSeparator(text[pos]))
            ++pos;
        while (pos < text.size() && isSeparator(text[pos]))
            ++pos;
        while (pos < text.size() && !isSeparator(text[pos]))
            ++pos;
        rest = text.substr(pos);
    } else {
        return PathSyntax::Relative;
    }

    for (auto raw : splitParts(rest)) {
        if (raw == ".")
            continue;
        if (raw == "..") {
            if (path.m_parts.empty())
                return PathSyntax::Escapes;
            path.m_parts.pop_back();
            continue;
        }
        std::string part(raw);
        while (!part.empty() && (part.back() == '.' || part.back() == ' '))
            part.pop_back();
        if (part.empty())
            return PathSyntax::BadName;
        for (char c : part)
            if (badNameChar(static_cast<unsigned char>(c)))
                return PathSyntax::BadName;
        if (isReservedDeviceName(part))
            return PathSyntax::BadName;
        path.m_parts.push_back(std::move(part));
    }
    path.m_trailing = !rest.empty() && isSeparator(rest.back());
    for (std::size_t i = 0; i + 1 < path.m_parts.size(); ++i)
        if (path.m_parts[i].find_first_of("*?") != std::string::npos)
            return PathSyntax::BadName;
    out = std::move(path);
    return PathSyntax::Ok;
}

bool WinPath::hasWildcards() const
{
    return !m_parts.empty() && m_parts.back().find_first_of("*?") != std::string::npos;
}

std::string WinPath::leaf() const { return m_parts.empty() ? std::string() : m_parts.back(); }

WinPath WinPath::parent() const
{
    WinPath p = *this;
    if (!p.m_parts.empty())
        p.m_parts.pop_back();
    p.m_trailing = false;
    return p;
}

WinPath WinPath::child(std::string_view name) const
{
    WinPath p = *this;
    p.m_parts.emplace_back(name);
    p.m_trailing = false;
    return p;
}

WinPath WinPath::withParts(std::vector<std::string> parts) const
{
    WinPath p = *this;
    p.m_parts = std::move(parts);
    return p;
}

std::string WinPath::text() const
{
    std::string out;
    if (m_kind == Kind::Drive) {
        out += m_drive;
        out += ":\\";
        for (std::size_t i = 0; i < m_parts.size(); ++i) {
            if (i > 0)
                out += '\\';
            out += m_parts[i];
        }
    } else {
        out = "\\\\" + m_server + "\\" + m_share;
        for (const auto& part : m_parts)
            out += "\\" + part;
    }
    return out;
}

bool wildcardMatch(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    const std::string p = foldCase(pattern);
    const std::string n = foldCase(name);
    // A pattern ending ".*" also matches names without an extension ("a.*" matches "a").
    if (p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos &&
        wildcardMatch(p.substr(0, p.size() - 2), n))
        return true;
    std::size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

bool nameLess(std::string_view a, std::string_view b)
{
    const int c = compareNoCase(a, b);
    return c != 0 ? c < 0 : a < b;
}

} // namespace platform
