// Text.h: the one text toolkit for byte strings in an ASCII-compatible encoding (UTF-8 or a code
// page): trimming, and ASCII case as Windows compares names. Nothing here looks at the C or Qt
// locale, so a Turkish "i" or any other locale rule cannot bend a name compare; letters outside
// ASCII are left as they are (platform::foldCase adds the Windows-1252 letters for names).
#pragma once

#include <string>
#include <string_view>

namespace common {

// Blanks in the sense of these programs' files: spaces and tabs.
inline constexpr std::string_view kBlanks = " \t";
// The white space of the C locale: blanks, line ends, vertical tab and form feed.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// `text` without the characters of `chars` at either end (at the start, at the end).
std::string_view trimmed(std::string_view text, std::string_view chars = kBlanks);
std::string_view trimmedLeft(std::string_view text, std::string_view chars = kBlanks);
std::string_view trimmedRight(std::string_view text, std::string_view chars = kBlanks);

// ASCII letters and digits; every other byte is none, whatever the locale says.
constexpr bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isAsciiAlnum(char c) { return isAsciiLetter(c) || isAsciiDigit(c); }

// One character or a whole text with its ASCII letters in upper or lower case.
constexpr char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

// Equal but for the case of ASCII letters; `text` begins or ends so.
bool equalsNoCaseAscii(std::string_view a, std::string_view b);
bool startsWithNoCaseAscii(std::string_view text, std::string_view prefix);
bool endsWithNoCaseAscii(std::string_view text, std::string_view suffix);

} // namespace common
