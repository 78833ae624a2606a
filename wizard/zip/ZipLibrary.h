// ZipLibrary.h: the zip library the archive control hands its work to, one call per file or
// entry, and the program's library built on libzip over the running machine's files.
#pragma once

#include "wizard/zip/ZipError.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace wizard {

// The answer of one library call. `result` non-zero counts as a success; `failure` set means the
// call failed with an error that ends the operation (the archive is damaged or cannot be read);
// `refusal` says why an entry was left alone (an unsafe name, a size over the limits, a target
// that exists, ...), "" when it was not.
struct ZipCall {
    std::int16_t result = 0;
    ZipError failure;
    std::string refusal;
};

class ZipLibrary {
public:
    virtual ~ZipLibrary() = default;

    // Adds the file `file` to `archive` (made when missing), replacing an entry of the same name.
    // Stored as its name alone, or with its folders (no drive) when `storePathInfo`; its 8.3 name
    // when `useDos83`. `action` is accepted for every value and changes nothing; `level` is the
    // deflate level (0 stores).
    virtual ZipCall AddFile(const std::string& archive, const std::string& file, bool storePathInfo,
        bool useDos83, std::int16_t action, std::int16_t level) = 0;

    // Removes the entry stored under `entry` (the control's UTF-8 form of the name).
    virtual ZipCall DeleteFile(const std::string& archive, const std::string& entry) = 0;

    // Writes the entry stored under `entry` into `folder`: under its name alone, or under its
    // stored folders when `usePathInfo`. An existing file is replaced only when `overwrite`.
    // `action` is accepted for every value and changes nothing.
    virtual ZipCall ExtractFile(const std::string& archive, const std::string& entry,
        const std::string& folder, bool usePathInfo, bool overwrite, std::int16_t action) = 0;
};

// Entries larger than this are not extracted.
inline constexpr std::uint64_t kMaxEntryBytes = 64ull * 1024 * 1024;
// Entries of more than kRatioFloor bytes that are over kMaxRatio times their compressed size are
// not extracted (a compressed "bomb").
inline constexpr std::uint64_t kRatioFloor = 1024 * 1024;
inline constexpr std::uint64_t kMaxRatio = 100;
// Archives larger than this are not opened by the library.
inline constexpr std::uint64_t kMaxArchiveBytes = 512ull * 1024 * 1024;

// The file system of the machine the wizard runs on; nothing when that machine cannot be opened.
std::optional<platform::FileSystem> zipMachineFiles();

// The program's library: libzip working on the files of the machine the wizard runs on.
//
// Extraction never writes outside `folder`: names with "." or ".." components, absolute names,
// drive letters, characters no Windows name may hold, device names and link entries are refused,
// as are encrypted entries and entries over the size limits; refused entries are not written.
// An entry's data is read whole and its CRC checked before anything is written, and it is
// written under a temporary name first, so a damaged archive never leaves a half-written file
// under the entry's name.
std::unique_ptr<ZipLibrary> makeLibZipLibrary();

} // namespace wizard
