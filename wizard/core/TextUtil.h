// TextUtil.h: small text helpers of the wizard core (ASCII case, trimming, splitting).
#pragma once

#include "common/Text.h"

#include <string>
#include <string_view>
#include <vector>

namespace wizard::coretext {

// ASCII case, as everywhere in these programs.
using common::lowerAscii;
using common::upperAscii;
// Trims blanks (spaces) at both ends, as the scripts' readings do.
std::string trimBlanks(std::string_view text);
// Splits at every `sep`; "a||b" gives "a", "", "b"; "" gives one empty piece.
std::vector<std::string> splitAll(std::string_view text, char sep);
// Replaces every occurrence of `what` (not empty) by `with`, scanning left to right.
std::string replaceAll(std::string_view text, std::string_view what, std::string_view with);
bool equalsNoCase(std::string_view a, std::string_view b);

} // namespace wizard::coretext

namespace wizard::coretext {

// UTF-8 text to the machine's ANSI code page (Windows-1252) and back, at file boundaries.
std::string toAnsi(std::string_view utf8);
std::string fromAnsi(std::string_view ansi);

} // namespace wizard::coretext
