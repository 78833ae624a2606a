// Windows1252.h: the Windows-1252 code page as one table: bytes 0x80 to 0x9F differ from Latin-1;
// the five bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the
// control characters of the same number, as Windows converts them.
#pragma once

namespace common {

// The code point of a Windows-1252 byte.
char32_t cp1252ToCodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int codePointToCp1252(char32_t codePoint);

} // namespace common
