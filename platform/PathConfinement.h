// PathConfinement.h: where a copy may go when a source PC's own values (its registry, its INI
// files) name the path. Judged on the path as the machine resolves it, never on its text alone.
#pragma once

#include "platform/PathResolver.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What a single file a step writes is: the kind decides whether it may replace an existing file of
// the Windows folder (a step whose target is that folder, writing a file of its own kind).
enum class SteeredFile {
    Any,             // never replaces a file of the Windows folder
    ScreenSaver,     // a ".scr" may
    Wallpaper,       // a picture or a page may
    PersonalFolders, // a ".pst" may (a Windows 98 PC keeps its personal folders there)
};

// Each answers "" when the path may be used, else why not ("a drive root", ...).

// The text as written: a "." or ".." part, or a part no Windows name can be (a trailing dot or
// blank, a device name, a character names cannot hold), is refused. Doubled separators and "/"
// are no fault: the resolver folds them.
std::string pathTextRefusal(std::string_view path);

// A folder to be copied whole, as source or as destination: refused as text (pathTextRefusal),
// and when it resolves to a drive root, a Windows folder or a folder holding one, a system folder
// or anything in one, or Program Files itself, on whichever machine of the network it lies.
std::string folderCopyRefusal(const PathResolver& resolver, std::string_view folder);

// A single file to be written at `target`: refused as text, and when it would replace an existing
// file in the Windows folder (or below it) of the machine it lies on, unless `kind` allows it.
std::string fileWriteRefusal(const PathResolver& resolver, std::string_view target, SteeredFile kind);

// The part of `path` below `folder` ("SYSTEM\x.bmp"; "" for the folder itself), both as resolved,
// in the stored case of existing components; nothing when `path` does not lie in `folder` (or is
// it) on the same machine.
std::optional<std::string> partBelow(
    const PathResolver& resolver, std::string_view path, std::string_view folder);

} // namespace platform
