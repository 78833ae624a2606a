// LogFile.h: the wizard's ring log of fixed 200-byte records in the application folder.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace wizard {

class CoreFiles;

// Where callers keep the result of their last FN_Write_Log; nothing reads it.
extern bool LastLogResult;

// The log file AppPath & "\" & AppExeName & "_Log_File.txt" on the machine the wizard runs on.
// Record 1 is a 128-byte header (MaxRecords, NextRecord, filler); records 2..MaxRecords are
// 200-byte data records written as a ring. Text fields are Windows-1252, space-padded and cut
// at their widths. The file is opened and closed for every record.
class LogFile {
public:
    static constexpr int kRecordLength = 200;
    static constexpr int kHeaderLength = 128;
    static constexpr long kDefaultMaxRecords = 25000;
    // The width of a record's status field; its detail field follows it directly.
    static constexpr std::size_t kStatusWidth = 62;
    static constexpr std::size_t kDetailWidth = 68;

    // The local date and time of a record; by default the platform clock's time in local time.
    using Clock = std::function<std::tm()>;

    explicit LogFile(CoreFiles& files);

    // Writes one record when `enabled` (nothing when not, answering true). A missing file, or one
    // whose header is cut short or unreadable as numbers, is given a fresh header first (records
    // already in the file stay). False when the record could not be written; the failure's
    // message boxes are shown for the first failure of the run only.
    bool FN_Write_Log(std::string_view procName, std::string_view status, bool enabled,
        std::optional<std::string_view> detail = std::nullopt);

    // Writes `text` (a status that names a path or a reason) whole, never cut: the status field
    // and the detail field after it hold one piece, and what does not fit goes on in as many
    // records after it as it needs, named "<procName> (continued)". A text that fits the status
    // field is one record as FN_Write_Log writes it. False when a record could not be written (the
    // rest is not tried).
    bool writeText(std::string_view procName, std::string_view text);

    // AppPath & "\" & AppExeName & "_Log_File.txt".
    static std::string logFilePath();

    void setClock(Clock clock) { m_clock = std::move(clock); }

    // Builds the 200-byte record numbered `record` (exposed for tests and tools).
    static std::string formatRecord(int record, std::string_view procName, std::string_view status,
        std::optional<std::string_view> detail, const std::tm& when);
    // Builds the 128-byte header.
    static std::string formatHeader(long maxRecords, long nextRecord);

private:
    // Shows a log failure message unless the run has shown one already.
    void failureMessage(const std::string& text);
    bool createLog(const std::string& path, long maxRecords);
    bool readHeader(const std::string& path, long& maxRecords, long& nextRecord, bool& unreadable);

    CoreFiles& m_files;
    Clock m_clock;
    std::string MV_ST_App_Name;
    bool m_failureShown = false; // a failure has shown its messages in this run
    bool m_silent = false;       // the call under way shows no messages
};

} // namespace wizard
