// IniLine.cpp: the shared line rule of the INI readers.
#include "common/IniLine.h"

#include "common/Text.h"

namespace common {

IniLine readIniLine(std::string_view line, std::string_view commentChars)
{
    IniLine out;
    const std::string_view text = trimmed(line, " \t\r");
    if (text.empty())
        return out;
    if (text.front() == ';' || commentChars.find(text.front()) != std::string_view::npos) {
        out.kind = IniLine::Kind::Comment;
        return out;
    }
    if (text.front() == '[') {
        out.kind = IniLine::Kind::Section;
        const auto close = text.find(']');
        out.name = trimmed(text.substr(1, close == std::string_view::npos ? text.size() - 1 : close - 1));
        out.closedSection = text.back() == ']';
        return out;
    }
    out.kind = IniLine::Kind::Entry;
    const auto eq = text.find('=');
    out.hasEquals = eq != std::string_view::npos;
    out.name = trimmed(text.substr(0, eq));
    if (out.hasEquals)
        out.value = trimmed(text.substr(eq + 1));
    return out;
}

} // namespace common
