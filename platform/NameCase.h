// NameCase.h: compares Windows names the way the Windows file systems and registry do:
// without regard to case (ASCII and Latin-1 letters), keeping the stored spelling.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The name upper-cased: ASCII letters and the Latin-1 letters U+00E0..U+00FE (except U+00F7)
// are mapped to their capitals; every other byte sequence is kept as it is. Input is UTF-8.
std::string upperName(std::string_view name);

// True when the two names are equal without regard to case.
bool namesEqual(std::string_view a, std::string_view b);

// Case-insensitive order (upper-cased byte order); names equal but for case order by their bytes,
// so the order is total and stable.
bool nameLess(std::string_view a, std::string_view b);

} // namespace platform
