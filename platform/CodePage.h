// CodePage.h: conversions between UTF-8 (text inside the programs), Windows-1252 (the emulated
// machines' ANSI code page: files, registry strings) and UTF-16LE, and case-insensitive name rules.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Windows-1252 bytes to UTF-8. Never fails: the five bytes that Windows-1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number, as Windows does,
// so that every byte string survives a round trip.
std::string cp1252ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 bytes. A character the code page cannot hold, or a malformed UTF-8
// sequence, becomes '?'; *lossless (when given) is then set to false, else to true.
std::string utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);

// UTF-8 to UTF-16 and back. Malformed input becomes U+FFFD (to UTF-16) or '?' (from unpaired
// surrogates); *lossless tells whether that happened.
std::u16string utf8ToUtf16(std::string_view utf8, bool* lossless = nullptr);
std::string utf16ToUtf8(std::u16string_view utf16, bool* lossless = nullptr);

// Windows-1252 bytes to UTF-16LE bytes (two per character, low byte first) and back. The way back
// turns characters outside the code page into '?'; an odd trailing byte is dropped and, like any
// loss, reported through *lossless.
std::string cp1252ToUtf16le(std::string_view bytes);
std::string utf16leToCp1252(std::string_view utf16le, bool* lossless = nullptr);

// The upper-case form of a UTF-8 name under the rule the Windows registry and file systems use for
// comparing names: letters of ASCII and of Windows-1252 (à..þ, š, œ, ž, ÿ) fold to upper case;
// everything else stays as it is. Two names are the same name when their folded forms are equal,
// and folded forms compared byte by byte give the case-insensitive listing order.
std::string foldCase(std::string_view utf8);

// foldCase(a) == foldCase(b), without building the folded strings.
bool equalsNoCase(std::string_view a, std::string_view b);

// <0, 0, >0 like strcmp, in the order of the folded forms.
int compareNoCase(std::string_view a, std::string_view b);

// The folded code points of a text (a malformed byte as one value above every character):
// comparing two keys orders the texts exactly as compareNoCase does. For sorting many names,
// where folding each name once beats folding it at every comparison.
std::u32string foldedKey(std::string_view utf8);

} // namespace platform
