// IniLine.h: one line of an INI file taken apart: blank, comment, [section] or key=value.
// The programs' INI readers (the emulated machines' files, machine.ini, Tallymoor's settings)
// read their lines through it and add their own rules on top.
#pragma once

#include <string_view>

namespace common {

struct IniLine {
    enum class Kind { Blank, Comment, Section, Entry };
    Kind kind = Kind::Blank;
    // Section: the name between "[" and the first "]" (or the end of the line), trimmed.
    // Entry: the key before the first "=" (the whole line when there is none), trimmed.
    std::string_view name;
    // Entry: the text after the first "=", trimmed; empty without one.
    std::string_view value;
    bool hasEquals = false;     // Entry: the line holds "="
    bool closedSection = false; // Section: the line ends with "]"
};

// Reads one line (without its line end; a CR left at its end counts as a blank). Blank: nothing
// but spaces and tabs. Comment: the first other character is ";" or one of `commentChars`.
IniLine readIniLine(std::string_view line, std::string_view commentChars = ";");

} // namespace common
