// LogFile.cpp: the wizard's ring log: header, records, wrap, and its failure messages.
#include "wizard/core/LogFile.h"

#include <chrono>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/WindowsName.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

bool LastLogResult = true;

namespace {

constexpr long kMaxRecordNumber = 32767; // record numbers are 16-bit signed

// Left-aligned, space-padded, cut at `width` bytes (Windows-1252). Control characters and bytes
// that are no text (a source PC's names and values may hold them) are written as "\xNN", so that
// no record breaks the file's lines.
std::string field(std::string_view utf8, std::size_t width)
{
    std::string ansi = coretext::toAnsi(platform::printableName(utf8));
    ansi.resize(width, ' ');
    return ansi;
}

std::tm localNow()
{
    std::time_t t = std::chrono::system_clock::to_time_t(platform::currentTime());
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

// A whole number written as decimal digits, blanks around it allowed.
bool parseNumber(std::string_view text, long& value)
{
    std::string t = coretext::trimBlanks(text);
    if (t.empty() || t.size() > 9)
        return false;
    value = 0;
    for (char c : t) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// The first `count` characters of `text` (UTF-8), taken off its front; never a part of one.
// Fields count characters, one byte each in the log's code page.
std::string_view takeCharacters(std::string_view& text, std::size_t count)
{
    std::size_t at = 0;
    for (std::size_t n = 0; n < count && at < text.size(); ++n) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
            ++at;
    }
    const std::string_view piece = text.substr(0, at);
    text.remove_prefix(at);
    return piece;
}

} // namespace

LogFile::LogFile(CoreFiles& files)
    : m_files(files)
    , m_clock(localNow)
{}

std::string LogFile::logFilePath() { return AppPath + "\\" + AppExeName + "_Log_File.txt"; }

std::string LogFile::formatHeader(long maxRecords, long nextRecord)
{
    std::string header = field(std::to_string(maxRecords), 10) + field(std::to_string(nextRecord), 10);
    header.append(106, ' ');
    header += "\r\n";
    return header;
}

std::string LogFile::formatRecord(int record, std::string_view procName, std::string_view status,
    std::optional<std::string_view> detail, const std::tm& when)
{
    char date[32];
    char time[32];
    std::snprintf(date, sizeof date, "%02d-%02d-%04d", when.tm_mon + 1, when.tm_mday, when.tm_year + 1900);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", when.tm_hour, when.tm_min, when.tm_sec);
    std::string out;
    out.reserve(kRecordLength);
    out += field("#" + std::to_string(record) + "#", 8);
    out += field(procName, 40);
    out += field(status, kStatusWidth);
    out += field(detail && !detail->empty() ? *detail : std::string_view(), kDetailWidth);
    out += field(date, 12);
    out += field(time, 8);
    out += "\r\n";
    return out;
}

void LogFile::failureMessage(const std::string& text)
{
    // One failure may show two or three boxes; after it the log stays silent for the whole run.
    if (m_silent)
        return;
    m_failureShown = true;
    platform::showMessage(text, platform::MsgButtons::OkCancel, platform::MsgIcon::Critical,
        MV_ST_App_Name.empty() ? AppExeName : MV_ST_App_Name);
}

bool LogFile::createLog(const std::string& path, long maxRecords)
{
    if (!m_files.writeAt(path, 0, formatHeader(maxRecords, 2))) {
        failureMessage("Error while opening the new log file.");
        failureMessage("There was an error writing the information to new log File.");
        return false;
    }
    return true;
}

bool LogFile::readHeader(const std::string& path, long& maxRecords, long& nextRecord, bool& unreadable)
{
    std::string header;
    unreadable = false;
    if (!m_files.readAt(path, 0, kHeaderLength, header)) {
        unreadable = true;
        return false;
    }
    if (header.size() < 20)
        return false;
    if (!parseNumber(std::string_view(header).substr(0, 10), maxRecords) ||
        !parseNumber(std::string_view(header).substr(10, 10), nextRecord))
        return false;
    return maxRecords >= 2 && maxRecords <= kMaxRecordNumber && nextRecord >= 2;
}

bool LogFile::FN_Write_Log(
    std::string_view procName, std::string_view status, bool enabled, std::optional<std::string_view> detail)
{
    if (!enabled)
        return true;
    m_silent = m_failureShown;
    MV_ST_App_Name = AppExeName;
    const std::string path = logFilePath();

    if (!m_files.fileExists(path) && !createLog(path, kDefaultMaxRecords)) {
        failureMessage("Error In Creating Log File: " + path);
        return false;
    }

    long maxRecords = 0;
    long nextRecord = 0;
    bool unreadable = false;
    if (!readHeader(path, maxRecords, nextRecord, unreadable)) {
        if (unreadable) {
            failureMessage("Error in opening the log file: " + path);
            failureMessage("There was an error writing the information to Log File.");
            return false;
        }
        // A header cut short or spoilt: start the ring afresh rather than write at a wild offset.
        if (!createLog(path, kDefaultMaxRecords)) {
            failureMessage("Error In Creating Log File: " + path);
            return false;
        }
        maxRecords = kDefaultMaxRecords;
        nextRecord = 2;
    }

    const long record = nextRecord <= maxRecords ? nextRecord : 2;
    const std::tm when = m_clock();
    const std::string data = formatRecord(static_cast<int>(record), procName, status, detail, when);
    const bool written =
        m_files.writeAt(path, static_cast<std::uint64_t>(record - 1) * kRecordLength, data) &&
        m_files.writeAt(path, 0, formatHeader(maxRecords, record + 1));
    if (!written) {
        failureMessage("There was an error writing the information to Log File.");
        return false;
    }
    return true;
}

bool LogFile::writeText(std::string_view procName, std::string_view text)
{
    std::string_view rest = text;
    const std::string continued = std::string(procName) + " (continued)";
    bool first = true;
    do {
        const std::string_view status = takeCharacters(rest, kStatusWidth);
        const std::string_view detail = takeCharacters(rest, kDetailWidth);
        if (!FN_Write_Log(first ? procName : std::string_view(continued), status, true, detail))
            return false;
        first = false;
    } while (!rest.empty());
    return true;
}

} // namespace wizard
