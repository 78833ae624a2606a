// Text.h: small text helpers for byte strings in an ASCII-compatible encoding (UTF-8 or a code
// page): trimming and ASCII case. Letters outside ASCII are left as they are.
#pragma once

#include <string>
#include <string_view>

namespace common {

// Blanks in the sense of these programs' files: spaces and tabs.
inline constexpr std::string_view kBlanks = " \t";

// `text` without the characters of `chars` at either end.
std::string_view trimmed(std::string_view text, std::string_view chars = kBlanks);

std::string upperAscii(std::string_view text);
std::string lowerAscii(std::string_view text);

// Equal but for the case of ASCII letters.
bool equalsNoCaseAscii(std::string_view a, std::string_view b);

} // namespace common
