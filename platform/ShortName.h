// ShortName.h: the 8.3 short names that the Windows file systems give to long names
// ("Program Files" -> "PROGRA~1"), generated the same way for a whole folder at once.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// True when the name already is a valid 8.3 name (1 to 8 characters, at most one dot and an
// extension of 1 to 3 characters, no spaces or characters that short names cannot hold).
// Such a name is its own short name (upper-cased).
bool isShortName(std::string_view name);

// The short names of all entries of one folder, in the order of `names`.
// A valid 8.3 name keeps its own (upper-cased) spelling. Any other name gets its basis
// (the first six significant characters of its base name, upper-cased, with spaces and extra
// dots dropped and "+,;=[]" and non-ASCII characters turned into "_"), "~" and a number, and
// the first three characters of its extension. Numbers count from 1 among names sharing the
// same basis and extension, in case-insensitive name order; from 10 on the basis shrinks to
// five characters, from 100 on to four.
std::vector<std::string> shortNamesFor(const std::vector<std::string>& names);

// The position of the entry of `names` (one folder's) whose generated short name is `part`
// (compared without regard to case); nothing when `part` holds no "~" or names no entry so.
std::optional<std::size_t> findByShortName(const std::vector<std::string>& names, std::string_view part);

} // namespace platform
