// AZIP.h: the zip archive control: one archive on the running machine named by Filename, the
// list of its entries read from the local file headers, and adding, deleting and extracting
// entries through the zip library, with the control's seven events.
#pragma once

#include "wizard/zip/FileDetails.h"
#include "wizard/zip/ZipError.h"
#include "wizard/zip/ZipLibrary.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace wizard {

struct LocalHeader;

// The events, in the control's declaration order; raised synchronously, unset ones are skipped.
// Percentage is the current item's position in percent of the list; Filename its name part;
// Successful the number of items the library (or, in Delete, removing the archive) managed.
struct AZIPEvents {
    std::function<void()> OnArchiveUpdate;
    std::function<void(std::int16_t Percentage, const std::string& Filename)> OnZipProgress;
    std::function<void(std::int32_t Successful)> OnZipComplete;
    std::function<void(std::int16_t Percentage, const std::string& Filename)> OnUnzipProgress;
    std::function<void(std::int32_t Successful)> OnUnzipComplete;
    std::function<void(std::int16_t Percentage, const std::string& Filename)> OnDeleteProgress;
    std::function<void(std::int32_t Successful)> OnDeleteComplete;
};

// What an operation answers: its count, the error that ended it (then the completion event was
// not raised), and why the library left entries alone.
struct ZipResult {
    std::int32_t count = 0;
    ZipError error;
    std::vector<std::string> refused;
};

// The properties the holding window stores with itself.
using PropertyBag = std::map<std::string, std::string>;

class AZIP {
public:
    // The library defaults to the program's (libzip on the running machine's files).
    explicit AZIP(std::shared_ptr<ZipLibrary> library = nullptr);

    AZIPEvents& events() { return m_events; }
    // Called where the control yields to pending window messages: after each progress event and
    // once per pattern while matching.
    void setYield(std::function<void()> yield) { m_yield = std::move(yield); }

    // A byte count as short text ("204 bytes", "1.5KB", "0.5MB").
    std::string ConvertBytesToString(const std::int32_t& Bytes) const;

    // Adds each file (Windows paths of the machine) through the library. When the entry list is
    // empty, a file standing under Filename is deleted first so that a new archive is started.
    // RecurseSubFolders and CompressionLevel change nothing; the library is always asked for
    // level 5. Afterwards, when a file was added, the archive is read again.
    ZipResult Add(const std::vector<std::string>& files, std::int32_t Action, bool StorePathInfo,
        bool RecurseSubFolders, bool UseDOS83, std::int32_t CompressionLevel);
    // Deletes the entries matching the patterns; the last entry goes by deleting the archive file.
    ZipResult Delete(const std::vector<std::string>& files);
    // Extracts the entries matching the patterns into the folder `path`. The list is not re-read.
    ZipResult Extract(const std::vector<std::string>& files, std::int32_t Action, bool UsePathInfo,
        bool Overwrite, const std::string& path);

    const std::string& Filename() const { return m_filename; }
    // Stores the path, marks the property changed, reads the archive, then raises
    // OnArchiveUpdate. A read error is answered and the event is not raised; the path stays.
    ZipError setFilename(const std::string& New_Filename);

    // The entry at Index (1-based); nullptr outside 1..GetEntryNum().
    const FileDetails* GetEntry(std::int32_t Index) const;
    std::int32_t GetEntryNum() const { return static_cast<std::int32_t>(m_entries.size()); }

    // Appends "\" to `path` (the caller's text changes too) and answers it lower-cased.
    std::string ParsePath(std::string& path) const;

    // Shows the control's about box.
    void About() const;

    // Rebuilds the entry list from the archive's local file headers and answers the number of
    // entries. With no Filename the list is emptied and no event raised; otherwise a missing
    // file is created empty, and OnArchiveUpdate is raised once the list is read. On an error
    // (no folder, the file cannot be read, an archive the list cannot hold) the list stays empty.
    ZipResult Read();

    // Persistence with the holding window: restoring sets Filename from "Filename" (or "")
    // without reading; saving stores a non-empty Filename under "Filename".
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    // Filename was written since the properties were restored or saved.
    bool propertyChanged() const { return m_propertyChanged; }

private:
    // The whole stored names of the entries whose name part matches a pattern, pattern order
    // first, list order second; an entry matching several patterns is listed once for each.
    std::vector<std::string> MatchEntries(const std::vector<std::string>& patterns) const;
    static FileDetails AddEntry(const LocalHeader& header);
    // The progress event of an operation, then the yield.
    void progress(const std::function<void(std::int16_t, const std::string&)>& event, std::int32_t i,
        std::int32_t n, const std::string& item) const;
    void yield() const;
    // Counts one library call into `out`; false when it failed and the operation ends.
    static bool tally(ZipCall call, ZipResult& out);
    // Reads the changed archive again and raises OnArchiveUpdate once more.
    void rereadAfterChange(ZipResult& out);
    static void raise(const std::function<void()>& event);

    std::shared_ptr<ZipLibrary> m_library;
    AZIPEvents m_events;
    std::function<void()> m_yield;
    std::string m_filename;
    std::vector<FileDetails> m_entries;
    mutable bool m_propertyChanged = false;
};

} // namespace wizard
