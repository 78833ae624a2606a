// TextUtil.h: small text helpers of the wizard core (ASCII case, trimming, splitting).
#pragma once

#include "common/Text.h"

#include <string>
#include <string_view>
#include <vector>

namespace wizard {

// How text is compared: byte for byte, or without regard to case (ASCII and Windows-1252 letters).
enum class CaseMode { Exact, IgnoreCase };

} // namespace wizard

namespace wizard::coretext {

// ASCII case, as everywhere in these programs.
using common::lowerAscii;
using common::upperAscii;
// Spaces (no tabs) trimmed at both ends, as the scripts' readings do; common::trimmed as a string.
inline std::string trimBlanks(std::string_view text) { return std::string(common::trimmed(text, " ")); }
// Splits at every `sep`; "a||b" gives "a", "", "b"; "" gives one empty piece.
std::vector<std::string> splitAll(std::string_view text, char sep);
// Upper-cases ASCII and the Windows-1252 letters, byte by byte (text in the machine's code page).
std::string upperAnsi(std::string_view text);

// Whether a match that ends at `end` (text.size() at the text's end) may be replaced.
using MatchEnd = bool (*)(std::string_view text, std::size_t end);

// Replaces every occurrence of `what` by `with`, left to right, without overlapping; an empty
// `what` leaves the text as it is. IgnoreCase compares as upperAnsi does. With `accept`, a match it
// refuses is left, and the search goes on from the match's second byte.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with,
    CaseMode mode = CaseMode::Exact, MatchEnd accept = nullptr);
// Every "\" doubled, as registry files write a path: C:\WINDOWS -> C:\\WINDOWS.
inline std::string doubleBackslashes(std::string_view text) { return replaceAll(text, "\\", "\\\\"); }
// Every occurrence of `what` removed, compared as replaceAll compares.
inline std::string removeAll(std::string_view text, std::string_view what, CaseMode mode = CaseMode::Exact)
{
    return replaceAll(text, what, "", mode);
}

} // namespace wizard::coretext

namespace wizard::coretext {

// UTF-8 text to the machine's ANSI code page (Windows-1252) and back, at file boundaries.
std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

} // namespace wizard::coretext
