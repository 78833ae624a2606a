// AZIP.cpp: the zip archive control: entry list, matching, and the three archive operations.
#include "wizard/zip/AZIP.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/RandomFile.h"
#include "wizard/zip/ZipDirectory.h"
#include "wizard/zip/ZipText.h"

namespace wizard {

namespace {

constexpr const char* kFilenameProperty = "Filename";
// The last argument the control always passes to the library's AddFile.
constexpr std::int16_t kAddLevel = 5;

ZipError noMachine()
{
    return {ZipFailure::FileError, platform::FsError::PathNotFound, "The machine's files cannot be reached."};
}

} // namespace

AZIP::AZIP(std::shared_ptr<ZipLibrary> library)
    : m_library(library ? std::move(library) : std::shared_ptr<ZipLibrary>(makeLibZipLibrary()))
{}

std::string AZIP::ConvertBytesToString(const std::int32_t& Bytes) const { return bytesToShortText(Bytes); }

ZipError AZIP::setFilename(const std::string& New_Filename)
{
    m_filename = New_Filename;
    m_propertyChanged = true;
    ZipResult read = Read();
    if (read.error)
        return read.error;
    raise(m_events.OnArchiveUpdate);
    return {};
}

const FileDetails* AZIP::GetEntry(std::int32_t Index) const
{
    if (Index < 1 || Index > GetEntryNum())
        return nullptr;
    return &m_entries[static_cast<std::size_t>(Index - 1)];
}

std::string AZIP::ParsePath(std::string& path) const
{
    std::string result = parsePath(path);
    path += '\\';
    return result;
}

void AZIP::About() const
{
    platform::showMessage("AZIP zip archive control\nLists, adds, deletes and extracts the entries of a zip "
                          "archive.",
        platform::MsgButtons::Ok, platform::MsgIcon::Information, "About AZIP");
}

ZipResult AZIP::Read()
{
    ZipResult out;
    m_entries.clear();
    if (m_filename.empty())
        return out;
    auto files = zipMachineFiles();
    if (!files) {
        out.error = noMachine();
        return out;
    }
    if (!files->fileExists(m_filename)) {
        // Opening the archive for binary access makes an empty file, as the holder expects.
        const platform::FsError err = files->folderExists(m_filename) ? platform::FsError::PathFileAccess
                                                                      : files->writeFile(m_filename, "");
        if (err != platform::FsError::None) {
            out.error = ZipError::file(err, m_filename);
            return out;
        }
    }
    const std::string archive = m_filename;
    const ZipReadAt readAt = [&](std::uint64_t offset, std::size_t size, std::string& bytes) {
        return platform::readFileAt(*files, archive, offset, size, bytes);
    };
    ZipListing listing = readLocalHeaders(readAt, archive);
    if (listing.error) {
        out.error = std::move(listing.error);
        return out;
    }
    m_entries.reserve(listing.headers.size());
    for (const auto& h : listing.headers)
        m_entries.push_back(AddEntry(h));
    raise(m_events.OnArchiveUpdate);
    out.count = GetEntryNum();
    return out;
}

FileDetails AZIP::AddEntry(const LocalHeader& h)
{
    FileDetails d;
    const std::string name = decodeEntryName(h.name, h.flags);
    if (parseFilename(name).empty())
        return d; // a folder entry keeps its initial values
    d.Version = static_cast<std::int16_t>(h.version);
    d.Flag = static_cast<std::int16_t>(h.flags);
    d.CompressionMethod = static_cast<std::int16_t>(h.method);
    d.CRC32 = static_cast<std::int32_t>(h.crc);
    d.FileDateTime = dosDateTimeText(h.date, h.time);
    // The reader refuses headers whose sizes and lengths do not fit these fields.
    d.CompressedSize = static_cast<std::int32_t>(h.compressedSize);
    d.UncompressedSize = static_cast<std::int32_t>(h.uncompressedSize);
    d.FileNameLength = static_cast<std::int16_t>(h.nameLength);
    d.Filename = name;
    d.ExtraFieldLength = static_cast<std::int16_t>(h.extraLength);
    return d;
}

std::vector<std::string> AZIP::MatchEntries(const std::vector<std::string>& patterns) const
{
    std::vector<std::string> matches;
    for (const auto& pattern : patterns) {
        yield();
        const std::string folded = platform::foldCase(pattern);
        for (const auto& entry : m_entries)
            if (likeMatch(platform::foldCase(parseFilename(entry.Filename)), folded))
                matches.push_back(entry.Filename);
    }
    return matches;
}

void AZIP::progress(const std::function<void(std::int16_t, const std::string&)>& event, std::int32_t i,
    std::int32_t n, const std::string& item) const
{
    if (event)
        event(progressPercentage(i, n), parseFilename(item));
    yield();
}

void AZIP::yield() const
{
    if (m_yield)
        m_yield();
}

bool AZIP::tally(ZipCall call, ZipResult& out)
{
    if (call.failure) {
        out.error = std::move(call.failure);
        return false;
    }
    if (call.result != 0)
        ++out.count;
    if (!call.refusal.empty())
        out.refused.push_back(std::move(call.refusal));
    return true;
}

void AZIP::rereadAfterChange(ZipResult& out)
{
    ZipResult read = Read();
    if (read.error)
        out.error = std::move(read.error);
    else
        raise(m_events.OnArchiveUpdate);
}

void AZIP::raise(const std::function<void()>& event)
{
    if (event)
        event();
}

ZipResult AZIP::Add(const std::vector<std::string>& files, std::int32_t Action, bool StorePathInfo, bool,
    bool UseDOS83, std::int32_t)
{
    ZipResult out;
    const std::string archive = m_filename;
    if (m_entries.empty()) {
        auto machineFiles = zipMachineFiles();
        if (machineFiles && machineFiles->fileExists(archive)) {
            if (const auto err = machineFiles->deleteFile(archive); err != platform::FsError::None) {
                out.error = ZipError::file(err, archive);
                return out;
            }
        }
    }
    const auto n = static_cast<std::int32_t>(files.size());
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string& file = files[static_cast<std::size_t>(i - 1)];
        progress(m_events.OnZipProgress, i, n, file);
        if (!tally(m_library->AddFile(
                       archive, file, StorePathInfo, UseDOS83, static_cast<std::int16_t>(Action), kAddLevel),
                out))
            return out;
    }
    if (m_events.OnZipComplete)
        m_events.OnZipComplete(out.count);
    if (out.count > 0)
        rereadAfterChange(out);
    return out;
}

ZipResult AZIP::Delete(const std::vector<std::string>& files)
{
    ZipResult out;
    const std::string archive = m_filename;
    const std::vector<std::string> matches = MatchEntries(files);
    const auto n = static_cast<std::int32_t>(matches.size());
    const std::int32_t entries = GetEntryNum();
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string& entry = matches[static_cast<std::size_t>(i - 1)];
        progress(m_events.OnDeleteProgress, i, n, entry);
        if (entries - out.count <= 1) {
            // An archive without entries is not kept: the last one goes with the file.
            auto machineFiles = zipMachineFiles();
            const auto err =
                machineFiles ? machineFiles->deleteFile(archive) : platform::FsError::PathNotFound;
            if (err != platform::FsError::None) {
                out.error = ZipError::file(err, archive);
                return out;
            }
            ++out.count;
            continue;
        }
        if (!tally(m_library->DeleteFile(archive, entry), out))
            return out;
    }
    if (m_events.OnDeleteComplete)
        m_events.OnDeleteComplete(out.count);
    if (out.count > 0)
        rereadAfterChange(out);
    return out;
}

ZipResult AZIP::Extract(const std::vector<std::string>& files, std::int32_t Action, bool UsePathInfo,
    bool Overwrite, const std::string& path)
{
    ZipResult out;
    const std::string archive = m_filename;
    const std::vector<std::string> matches = MatchEntries(files);
    const auto n = static_cast<std::int32_t>(matches.size());
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::string& entry = matches[static_cast<std::size_t>(i - 1)];
        progress(m_events.OnUnzipProgress, i, n, entry);
        if (!tally(m_library->ExtractFile(
                       archive, entry, path, UsePathInfo, Overwrite, static_cast<std::int16_t>(Action)),
                out))
            return out;
    }
    if (m_events.OnUnzipComplete)
        m_events.OnUnzipComplete(out.count);
    return out;
}

void AZIP::ReadProperties(const PropertyBag& bag)
{
    const auto it = bag.find(kFilenameProperty);
    m_filename = it == bag.end() ? std::string() : it->second;
    m_propertyChanged = false;
}

void AZIP::WriteProperties(PropertyBag& bag) const
{
    if (m_filename.empty())
        bag.erase(kFilenameProperty);
    else
        bag[kFilenameProperty] = m_filename;
    m_propertyChanged = false;
}

} // namespace wizard
