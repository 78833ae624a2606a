// WindowsName.h: the names a folder listing of an emulated machine hands out. A host folder may
// hold names no Windows file system could (a "\" or "?", a device name, a trailing dot, bytes that
// are no text) and names equal but for case; such entries are no part of the emulated drive, and
// whoever copies a listing reports them as left out. Also the one path-length limit of copies.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace platform {

// Why a name is left out of a listing.
enum class NameFault {
    None,
    BadCharacter,       // \ / : * ? " < > | or a control character
    DeviceName,         // CON, PRN, AUX, NUL, COM1-9, LPT1-9, also with an extension
    TrailingDotOrBlank, // Windows drops them, so the name would become another one
    DotName,            // "." or ".." (or empty)
    InvalidText,        // not valid UTF-8
    TooLong,            // a component of more than 255 bytes
    CaseTwin,           // equal but for case to a name earlier in the listing
    PathTooLong,        // a Windows name, but its path at the destination would pass kMaxWindowsPath
};

// The fault of one name (one component, no separators), None for a name Windows can hold.
// CaseTwin is never returned here: it depends on the listing.
NameFault windowsNameFault(std::string_view name);
inline bool isWindowsName(std::string_view name) { return windowsNameFault(name) == NameFault::None; }

// The reason as the log and the migration report say it ("not a Windows name: ...").
std::string_view nameFaultText(NameFault fault);

// The longest full path a file or folder may have on an emulated machine (MAX_PATH less the
// closing zero); every copy keeps below it on both sides.
inline constexpr std::size_t kMaxWindowsPath = 259;
inline bool fitsWindowsPath(std::string_view fullPath) { return fullPath.size() <= kMaxWindowsPath; }

// A host entry a listing left out.
struct LeftOutName {
    std::string name; // the host name, byte for byte (may be no valid text)
    bool isFolder = false;
    NameFault fault = NameFault::None;
};

// A name a listing keeps, with its case-folded form (the key of the case rule).
struct ListedName {
    std::string name;
    std::string folded;
    bool isFolder = false;
};

// Filters one folder's names: a name is kept when Windows could hold it and no name equal but for
// case comes before it in listing order (case-insensitive, ties by bytes), so of such twins the
// smallest by bytes. The names of the layer's own files (starting with ":") are passed over
// without a record; every other name not kept is recorded in leftOut().
class ListingNameFilter {
public:
    // For names fed in listing order: true when the name is kept.
    bool admit(std::string_view name, bool isFolder);
    // For names fed in any order (a folder too large to sort first): which twin is kept is known
    // once all are taken; takeKept() then hands the kept names over in the order they came.
    void take(std::string_view name, bool isFolder);
    std::vector<ListedName> takeKept();

    const std::vector<LeftOutName>& leftOut() const { return m_leftOut; }
    std::vector<LeftOutName>& leftOut() { return m_leftOut; }

private:
    // False, with a record for a name Windows cannot hold, when the name is no candidate at all.
    bool candidate(std::string_view name, bool isFolder);

    std::unordered_set<std::string> m_seen;                // folded names admitted so far
    std::unordered_map<std::string, std::size_t> m_keptAt; // take(): folded name -> m_kept index
    std::vector<ListedName> m_kept;
    std::vector<LeftOutName> m_leftOut;
};

// A readable form of a host name for logs and reports: bytes that are no valid UTF-8 and control
// characters become "\xNN".
std::string printableName(std::string_view name);

} // namespace platform
