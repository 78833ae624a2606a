// EntryNames.h: which stored entry names the archive control may write on a Windows file system,
// and where: the checks that keep extraction inside its target folder.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wizard {

// The folders and file name under which an entry stored as `name` (UTF-8) is written: its
// components when `usePathInfo`, else its name part alone. Nothing when the name is not safe to
// write: empty, a folder entry (ending in "/" or "\"), absolute ("/x", "\\server\x"), with a
// drive letter or any ":", an empty, "." or ".." component, control characters or <>"|?*, a
// component ending in a space or a dot (Windows drops them, so "a." would name "a"), a device
// name (CON, NUL, COM1, LPT1, ...) or a component of more than 255 bytes.
std::optional<std::vector<std::string>> safeEntryPath(std::string_view name, bool usePathInfo);

} // namespace wizard
