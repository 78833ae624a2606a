// ZipText.h: the archive control's text helpers: name parts of entry paths, the wildcard
// comparison of entry names, byte counts as short text, entry dates as text, entry-name code
// pages and the progress percentage of the operations.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace wizard {

// The part of `path` after its last "/" or "\" ("" when the path ends in one); `path` itself
// when it holds neither.
std::string parseFilename(std::string_view path);

// Lower-cased `path` followed by "\" (the control's ParsePath; the caller's text gains the "\"
// too, see AZIP::ParsePath).
std::string parsePath(std::string_view path);

// The platform's wildcard comparison ("Like"): "?" one character, "*" any run of characters,
// "#" one digit, "[abc]" / "[a-z]" one character of the list, "[!...]" one character not in it.
// The whole of `text` must be covered. Characters are compared as given (the caller folds case);
// a "[" without its "]" matches nothing. Runs in time proportional to the product of the lengths.
bool likeMatch(std::string_view text, std::string_view pattern);

// A byte count as short text: under 0.2 KB "204 bytes", under 512 KB "1.5KB", else "0.5MB";
// digits grouped by "," and one decimal after ".", halves rounded away from zero. A negative
// count is always given in bytes.
std::string bytesToShortText(std::int32_t bytes);

// The entry's DOS date and time (as the local file header holds them, no time-zone conversion)
// as general date text: "1/5/2004 9:03:07 AM", the time left out at midnight ("1/5/2004").
// "" when the fields are no valid date (month 0, 30 February, hour 24, ...).
std::string dosDateTimeText(std::uint16_t dosDate, std::uint16_t dosTime);

// A stored entry name as UTF-8: UTF-8 when general-purpose flag bit 11 says so (malformed
// sequences become U+FFFD); otherwise plain ASCII and valid UTF-8 are kept as they are (many
// writers leave the flag out), and anything else is read in code page 437, the format's own.
std::string decodeEntryName(std::string_view stored, std::uint16_t flags);

// Position of item i (1-based) among n items in percent, rounded to the nearest integer with a
// half going to the even neighbour (n = 8: 12, 25, 38, 50, 62, 75, 88, 100).
std::int16_t progressPercentage(std::int32_t i, std::int32_t n);

} // namespace wizard
