// PathConfinement.h: where a copy may go when a source PC's own values (its registry, its INI
// files) name the path. Judged on the path as the machine resolves it, never on its text alone.
#pragma once

#include "platform/PathResolver.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// What a single file a step writes is: a step of a kind writes only files of that kind, wherever
// they land, and may replace a file of the Windows folder with one (a Windows 98 PC keeps its
// personal folders and savers there).
enum class SteeredFile {
    Any,             // any file, but never over a file of the Windows folder
    ScreenSaver,     // a ".scr"
    Wallpaper,       // a picture or a page
    PersonalFolders, // a ".pst"
};

// Each answers "" when the path may be used, else why not ("a drive root", ...).

// The text as written: a "." or ".." part, or a part no Windows name can be (a trailing dot or
// blank, a device name, a character names cannot hold), is refused. Doubled separators and "/"
// are no fault: the resolver folds them.
std::string pathTextRefusal(std::string_view path);

// `appFolder` is the wizard's own folder (a Windows path, the same on every machine); "" when the
// caller has none.

// A folder to be copied whole, as source or as destination: refused as text (pathTextRefusal),
// and when it resolves to a drive root, a Windows folder or a folder holding one, a system folder
// or anything in one, Program Files itself, the profiles folder itself, a profile's own folder
// (All Users and Default User too), or the wizard's folder, anything in it or a folder holding it,
// on whichever machine of the network it lies.
std::string folderCopyRefusal(
    const PathResolver& resolver, std::string_view folder, std::string_view appFolder = {});

// What a folder a source value steers a copy into is for: both kinds are refused where
// folderCopyRefusal refuses them and at or below a Startup folder of any profile (All Users and
// Default User too, a Windows 98 PC's in its Windows folder) or the Windows folder's Tasks folder,
// the places the machine starts programs from by itself.
enum class SteeredFolder {
    Application, // an application's folder (App Paths, an uninstall entry): nothing in the Windows folder
    Profile,     // a folder of a profile (a mail store, a program group), which a Windows 98 PC keeps
                 // in its Windows folder
};

// The destination of a folder copy a source value steers, judged as resolved (short names too).
std::string steeredFolderRefusal(const PathResolver& resolver, std::string_view folder, SteeredFolder kind,
    std::string_view appFolder = {});

// Whether `folder` may be taken as a system's Windows folder: an existing folder directly below a
// drive root of the machine it lies on, holding that system's system folder (`systemFolder`:
// "SYSTEM" or "System32"), and the Windows folder that machine is configured with. "" when it
// may, and `stored` gets its name as stored (a short name resolved); else why not.
std::string windowsFolderRefusal(const PathResolver& resolver, std::string_view folder,
    std::string_view systemFolder, std::string* stored = nullptr);

// A folder tree copied from `source` into `destination`: refused when a name of the source's own
// is used at the destination as the short name of another entry there ("DOCUME~1", a plain folder
// on the source, for "Documents and Settings"), compared part by part from the ends as resolved.
std::string shortNameRefusal(
    const PathResolver& resolver, std::string_view source, std::string_view destination);

// A single file to be written at `target`: refused as text, as a place the machine keeps for itself
// (keptPlaceRefusal), when it is not of the step's `kind`, and when it would replace an existing
// file in the Windows folder (or below it) of the machine it lies on, unless it is of `kind`.
std::string fileWriteRefusal(
    const PathResolver& resolver, std::string_view target, SteeredFile kind, std::string_view appFolder = {});

// Whether a file of this name may be one a machine keeps for itself wherever a copy puts it: a
// profile's registry hive or its log, or a drive root's start-up or swap file. keptPlaceRefusal
// tells for sure; a copy walk asks it only about files of such names and about its folders.
bool isKeptFileName(std::string_view name);

// A file or folder that no copy from another PC may write, whoever chose the path: the wizard's
// folder and everything below it, a drive root's start-up and swap files ("boot.ini", "ntldr",
// "pagefile.sys" ...), and the registry hives of any profile ("NTUSER.DAT", "USRCLASS.DAT" and
// their logs). "" for any other place.
std::string keptPlaceRefusal(
    const PathResolver& resolver, std::string_view target, std::string_view appFolder);

// The kept-place rule for the entries a copy walk writes below one destination, resolved once:
// an entry's host path is the destination's followed by the names the walk writes, so no entry is
// resolved again. Read-only once made, so the walk's work beside the window may ask it.
class KeptPlaces {
public:
    KeptPlaces(const PathResolver& resolver, std::string_view destination, std::string_view appFolder);
    // keptPlaceRefusal for `destPath`: the destination's Windows path as given, then "" and the
    // names below it. A path not of that form is resolved as keptPlaceRefusal resolves it.
    std::string refusal(std::string_view destPath) const;

private:
    const PathResolver* m_resolver;
    std::string m_appFolder;
    std::string m_destination; // as given, without closing separators
    std::string m_destKey;     // its host path key; "" when it did not resolve
    std::string m_drives;      // the host key of its machine's drives folder
    std::string m_appKey;      // the wizard's folder's host key ("" for none)
};

// The part of `path` below `folder` ("SYSTEM\x.bmp"; "" for the folder itself), both as resolved,
// in the stored case of existing components; nothing when `path` does not lie in `folder` (or is
// it) on the same machine.
std::optional<std::string> partBelow(
    const PathResolver& resolver, std::string_view path, std::string_view folder);

} // namespace platform
