// WinPath.h: a Windows path taken apart ("C:\WINDOWS\System32", "\\OLDPC\C$\My Documents"),
// with "\" and "/" as separators, "." and ".." folded and relative forms refused.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Why a text is not a usable Windows path.
enum class PathSyntax {
    Ok,
    Relative, // neither "X:\..." nor "\\server\share\...": never resolved against any working folder
    BadName,  // a character Windows names cannot hold, an empty server or share name, a device path
    Escapes,  // ".." climbs above the drive root or the share
};

// A name Windows keeps for a device (CON, PRN, AUX, NUL, COM1..COM9, LPT1..LPT9), also with an
// extension: such a name is never a file or folder.
bool isReservedDeviceName(std::string_view name);

class WinPath {
public:
    enum class Kind { Drive, Unc };

    // Parses `text`. On success `out` holds the folded path; on failure `out` is left unchanged.
    // "C:" alone is the root of C:; "C:foo" and "\foo" are relative. Doubled separators are
    // ignored, a trailing separator is remembered. Each component loses trailing dots and spaces,
    // as Windows strips them. "*" and "?" are accepted here (see hasWildcards()).
    static PathSyntax parse(std::string_view text, WinPath& out);

    Kind kind() const { return m_kind; }
    char drive() const { return m_drive; }                 // 'A'..'Z' for Drive paths
    const std::string& server() const { return m_server; } // for UNC paths
    const std::string& share() const { return m_share; }   // for UNC paths
    const std::vector<std::string>& parts() const { return m_parts; }
    bool trailingSeparator() const { return m_trailing; }
    bool isRoot() const { return m_parts.empty(); }

    // True when the last component holds "*" or "?"; any other component never may.
    bool hasWildcards() const;

    // The last component ("" for a root).
    std::string leaf() const;
    // The path one level up (a root stays itself).
    WinPath parent() const;
    // This path with one more component.
    WinPath child(std::string_view name) const;
    // This path with other components (drive or server/share kept).
    WinPath withParts(std::vector<std::string> parts) const;

    // Canonical text: "C:\", "C:\A\b", "\\PC\C$", "\\PC\C$\x" (no trailing separator but a root's).
    std::string text() const;

private:
    Kind m_kind = Kind::Drive;
    char m_drive = 'C';
    std::string m_server;
    std::string m_share;
    std::vector<std::string> m_parts;
    bool m_trailing = false;
};

// True when `pattern` (one name, may hold "*" and "?") matches `name` without regard to case,
// with the Windows reading of "*.*" as "every name".
bool wildcardMatch(std::string_view pattern, std::string_view name);

// The order of folder listings: case-insensitive, names equal but for case by their bytes (so the
// order is total).
bool nameLess(std::string_view a, std::string_view b);

} // namespace platform
