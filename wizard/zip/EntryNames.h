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
// drive letter, or with a component that is no Windows name (platform::windowsNameFault: an empty,
// "." or ".." component, a character Windows names cannot hold, a trailing space or dot, a device
// name such as CON, CONIN$ or COM1 (also with a superscript digit), text that is not UTF-8, or
// more than 255 UTF-16 units).
std::optional<std::vector<std::string>> safeEntryPath(std::string_view name, bool usePathInfo);

} // namespace wizard
