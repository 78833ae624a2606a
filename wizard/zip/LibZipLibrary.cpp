// LibZipLibrary.cpp: the archive control's zip library on libzip: archives are read from and
// written back to the running machine's files; libzip works on them in memory.
#include "wizard/zip/ZipLibrary.h"

#include "platform/CodePage.h"
#include "platform/RunningMachine.h"
#include "platform/ShortName.h"
#include "wizard/zip/EntryNames.h"
#include "wizard/zip/ZipText.h"

#include <zip.h>

#include <chrono>
#include <sys/stat.h>
#include <vector>

namespace wizard {

namespace {

using platform::FileSystem;
using platform::FsError;

// One archive opened by libzip from bytes held here. libzip reads the bytes in place; when the
// archive is changed, zip_close writes the new archive into the same source, which `written`
// reads back.
class OpenArchive {
public:
    OpenArchive() = default;
    OpenArchive(const OpenArchive&) = delete;
    OpenArchive& operator=(const OpenArchive&) = delete;
    ~OpenArchive()
    {
        if (m_zip)
            zip_discard(m_zip);
        if (m_source)
            zip_source_free(m_source);
    }

    // Opens `bytes` (an empty string is a new, empty archive). "" on success, else libzip's reason.
    std::string open(std::string bytes, bool writable)
    {
        m_bytes = std::move(bytes);
        zip_error_t error;
        zip_error_init(&error);
        m_source = zip_source_buffer_create(m_bytes.data(), m_bytes.size(), 0, &error);
        if (!m_source)
            return reason(error);
        // Our own reference keeps the source (and the written archive) after zip_close.
        zip_source_keep(m_source);
        const int flags = writable ? ZIP_CHECKCONS : (ZIP_RDONLY | ZIP_CHECKCONS);
        m_zip = zip_open_from_source(m_source, flags, &error);
        if (!m_zip) {
            zip_source_free(m_source); // the reference libzip did not take
            return reason(error);
        }
        indexNames();
        return {};
    }

    zip_t* zip() const { return m_zip; }

    // The index of the first entry whose name, read as the directory reader reads it, is `name`.
    std::optional<zip_uint64_t> find(const std::string& name) const
    {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_names[i] == name)
                return i;
        return std::nullopt;
    }

    // Writes the changes and answers the new archive's bytes; "" in `error` on success.
    std::string close(std::string& error)
    {
        std::string out;
        if (zip_close(m_zip) != 0) {
            error = zip_strerror(m_zip);
            return out;
        }
        m_zip = nullptr;
        zip_stat_t st;
        if (zip_source_stat(m_source, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && st.size > 0 &&
            zip_source_open(m_source) == 0) {
            out.resize(static_cast<std::size_t>(st.size));
            const zip_int64_t got = zip_source_read(m_source, out.data(), st.size);
            out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
            zip_source_close(m_source);
        }
        return out;
    }

private:
    static std::string reason(zip_error_t& error)
    {
        // Two entries of one name could be read differently by different tools; libzip refuses
        // such archives when it checks them.
        std::string text = zip_error_code_zip(&error) == ZIP_ER_EXISTS
            ? "it holds two entries of the same name"
            : zip_error_strerror(&error);
        zip_error_fini(&error);
        return text;
    }

    void indexNames()
    {
        const zip_int64_t count = zip_get_num_entries(m_zip, 0);
        m_names.reserve(static_cast<std::size_t>(count));
        for (zip_int64_t i = 0; i < count; ++i) {
            const auto index = static_cast<zip_uint64_t>(i);
            const char* raw = zip_get_name(m_zip, index, ZIP_FL_ENC_RAW);
            const char* strict = zip_get_name(m_zip, index, ZIP_FL_ENC_STRICT);
            const std::string stored = raw ? raw : "";
            // The strict reading keeps a name as stored only when flag bit 11 marks it UTF-8 (or
            // it is plain ASCII, which reads the same either way).
            const bool utf8Flag = strict && stored == strict;
            m_names.push_back(decodeEntryName(stored, utf8Flag ? (1u << 11) : 0u));
        }
    }

    std::string m_bytes;
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
    std::vector<std::string> m_names;
};

std::string folderOf(const std::string& path)
{
    const std::size_t sep = path.find_last_of('\\');
    return sep == std::string::npos ? std::string() : path.substr(0, sep);
}

// Writes `bytes` to `target` through a temporary file beside it, so that a failure never leaves
// a half-written file under the target's name. A target that exists is replaced.
FsError replaceFile(FileSystem& files, const std::string& target, const std::string& bytes)
{
    std::string temp;
    for (int n = 0; temp.empty() || files.fileExists(temp); ++n)
        temp = folderOf(target) + "\\~kz" + std::to_string(n) + ".tmp";
    FsError err = files.writeFile(temp, bytes);
    if (err == FsError::None && files.fileExists(target))
        err = files.deleteFile(target);
    if (err == FsError::None)
        err = files.moveFile(temp, target);
    if (err != FsError::None && files.fileExists(temp))
        files.deleteFile(temp, true);
    return err;
}

// Reads an archive of the machine; "" stays for a file that is missing or empty.
ZipError readArchive(const FileSystem& files, const std::string& archive, std::string& bytes)
{
    bytes.clear();
    if (!files.fileExists(archive))
        return {};
    std::uint64_t length = 0;
    if (const FsError err = files.fileLength(archive, length); err != FsError::None)
        return ZipError::file(err, archive);
    if (length > kMaxArchiveBytes)
        return {ZipFailure::Unsupported, FsError::None,
            "The archive \"" + archive + "\" is larger than 512 MB and is not opened."};
    if (const FsError err = files.readFile(archive, bytes); err != FsError::None)
        return ZipError::file(err, archive);
    return {};
}

// Opens an archive of the machine, for reading or for changing.
ZipError openArchive(const FileSystem& files, const std::string& archive, bool writable, OpenArchive& out)
{
    std::string bytes;
    if (ZipError err = readArchive(files, archive, bytes))
        return err;
    const std::string why = out.open(std::move(bytes), writable);
    return why.empty() ? ZipError{} : ZipError::damaged(archive, why);
}

ZipCall machineMissing()
{
    ZipCall call;
    call.failure = {ZipFailure::FileError, FsError::PathNotFound, "The machine's files cannot be reached."};
    return call;
}

ZipCall refused(const std::string& why)
{
    ZipCall call;
    call.refusal = why;
    return call;
}

ZipCall failed(ZipError error)
{
    ZipCall call;
    call.failure = std::move(error);
    return call;
}

// Why an entry must not be extracted; "" when it may.
std::string entryRefusal(zip_t* zip, zip_uint64_t index, const std::string& name)
{
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(zip, index, 0, &st) != 0)
        return "\"" + name + "\" cannot be read: " + zip_strerror(zip);
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_file_get_external_attributes(zip, index, 0, &system, &attributes) == 0 &&
        system == ZIP_OPSYS_UNIX && ((attributes >> 16) & S_IFMT) == S_IFLNK)
        return "\"" + name + "\" is a link, which is never extracted.";
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        return "\"" + name + "\" is encrypted.";
    if ((st.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(st.comp_method, 0))
        return "\"" + name + "\" uses compression method " + std::to_string(st.comp_method) +
            ", which cannot be read.";
    if (st.size > kMaxEntryBytes)
        return "\"" + name + "\" declares " + std::to_string(st.size) + " bytes, more than the " +
            std::to_string(kMaxEntryBytes) + " an entry may have.";
    if (st.size > kRatioFloor && st.size / kMaxRatio > st.comp_size)
        return "\"" + name + "\" would grow from " + std::to_string(st.comp_size) + " to " +
            std::to_string(st.size) + " bytes, more than " + std::to_string(kMaxRatio) +
            " times its compressed size.";
    return {};
}

// The entry's data, read whole; its length and CRC are checked by the reading.
ZipError entryData(
    zip_t* zip, zip_uint64_t index, const std::string& archive, const std::string& name, std::string& data)
{
    zip_stat_t st;
    zip_stat_init(&st);
    zip_stat_index(zip, index, 0, &st);
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (!file)
        return ZipError::damaged(archive, "\"" + name + "\" cannot be opened (" + zip_strerror(zip) + ")");
    data.assign(static_cast<std::size_t>(st.size) + 1, '\0');
    std::size_t total = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file, data.data() + total, data.size() - total);
        if (got < 0) {
            const std::string why = zip_file_strerror(file);
            zip_fclose(file);
            return ZipError::damaged(archive, "\"" + name + "\" cannot be read (" + why + ")");
        }
        if (got == 0 || total + static_cast<std::size_t>(got) >= data.size()) {
            total += static_cast<std::size_t>(got);
            break;
        }
        total += static_cast<std::size_t>(got);
    }
    zip_fclose(file);
    if (total != st.size)
        return ZipError::damaged(archive,
            "\"" + name + "\" does not hold the " + std::to_string(st.size) + " bytes its header declares");
    data.resize(total);
    return {};
}

// The name under which a file is stored: its name, or its folders without the drive or share.
std::string storedNameOf(const FileSystem& files, const std::string& file, bool storePathInfo, bool useDos83)
{
    std::string name = parseFilename(file);
    if (useDos83) {
        std::vector<platform::FileEntry> folders, entries;
        if (files.listFolder(folderOf(file), folders, entries) == FsError::None) {
            std::vector<std::string> names;
            for (const auto* list : {&folders, &entries})
                for (const auto& e : *list)
                    names.push_back(e.name);
            const auto shorts = platform::shortNamesFor(names);
            for (std::size_t i = 0; i < names.size(); ++i)
                if (platform::equalsNoCase(names[i], name))
                    name = shorts[i];
        }
    }
    if (!storePathInfo)
        return name;
    std::string folder = folderOf(file);
    if (folder.starts_with("\\\\")) {
        const std::size_t share = folder.find('\\', 2);
        const std::size_t rest =
            share == std::string::npos ? std::string::npos : folder.find('\\', share + 1);
        folder = rest == std::string::npos ? std::string() : folder.substr(rest + 1);
    } else if (folder.size() >= 2 && folder[1] == ':') {
        folder = folder.substr(2);
    }
    while (!folder.empty() && folder.front() == '\\')
        folder.erase(0, 1);
    std::string stored = folder.empty() ? name : folder + "\\" + name;
    for (char& c : stored)
        if (c == '\\')
            c = '/';
    return stored;
}

// Opens the archive on the machine and finds the entry; the answer to give when that fails.
std::optional<ZipCall> openEntry(const std::optional<FileSystem>& files, const std::string& archive,
    bool writable, const std::string& entry, OpenArchive& a, zip_uint64_t& index)
{
    if (!files)
        return machineMissing();
    if (ZipError err = openArchive(*files, archive, writable, a))
        return failed(std::move(err));
    const auto found = a.find(entry);
    if (!found)
        return refused("\"" + entry + "\" is not in the archive.");
    index = *found;
    return std::nullopt;
}

class LibZipLibrary : public ZipLibrary {
public:
    ZipCall AddFile(const std::string& archive, const std::string& file, bool storePathInfo, bool useDos83,
        std::int16_t, std::int16_t level) override
    {
        auto files = zipMachineFiles();
        if (!files)
            return machineMissing();
        std::string content;
        if (const FsError err = files->readFile(file, content); err != FsError::None)
            return refused(std::string(platform::fsErrorText(err)) + ": " + file);
        OpenArchive a;
        if (ZipError err = openArchive(*files, archive, true, a))
            return failed(std::move(err));
        const std::string stored = storedNameOf(*files, file, storePathInfo, useDos83);
        zip_source_t* src = zip_source_buffer(a.zip(), content.data(), content.size(), 0);
        const zip_int64_t index = src ? zip_file_add(a.zip(), stored.c_str(), src, ZIP_FL_OVERWRITE) : -1;
        if (index < 0) {
            if (src)
                zip_source_free(src);
            return refused("\"" + stored + "\" cannot be added: " + zip_strerror(a.zip()));
        }
        const auto idx = static_cast<zip_uint64_t>(index);
        zip_set_file_compression(a.zip(), idx, level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
            static_cast<zip_uint32_t>(level < 0 || level > 9 ? 5 : level));
        std::chrono::system_clock::time_point modified;
        if (files->fileTime(file, modified) == FsError::None)
            zip_file_set_mtime(a.zip(), idx, std::chrono::system_clock::to_time_t(modified), 0);
        return writeBack(*files, archive, a);
    }

    ZipCall DeleteFile(const std::string& archive, const std::string& entry) override
    {
        auto files = zipMachineFiles();
        OpenArchive a;
        zip_uint64_t index = 0;
        if (auto answer = openEntry(files, archive, true, entry, a, index))
            return *answer;
        if (zip_delete(a.zip(), index) != 0)
            return refused("\"" + entry + "\" cannot be deleted: " + zip_strerror(a.zip()));
        return writeBack(*files, archive, a);
    }

    ZipCall ExtractFile(const std::string& archive, const std::string& entry, const std::string& folder,
        bool usePathInfo, bool overwrite, std::int16_t) override
    {
        auto files = zipMachineFiles();
        OpenArchive a;
        zip_uint64_t index = 0;
        if (auto answer = openEntry(files, archive, false, entry, a, index))
            return *answer;
        const auto parts = safeEntryPath(entry, usePathInfo);
        if (!parts)
            return refused("\"" + entry + "\" names a place outside the target folder or no file.");
        if (std::string why = entryRefusal(a.zip(), index, entry); !why.empty())
            return refused(why);
        std::string target = folder;
        while (!target.empty() && (target.back() == '\\' || target.back() == '/'))
            target.pop_back();
        for (const auto& part : *parts)
            target += "\\" + part;
        if (!overwrite && files->fileExists(target))
            return refused("\"" + target + "\" exists and is not replaced.");
        std::string data;
        if (ZipError err = entryData(a.zip(), index, archive, entry, data))
            return failed(std::move(err));
        if (const platform::WinError err = files->makeSurePathExists(target);
            err != platform::WinError::Success)
            return refused("The folder of \"" + target + "\" cannot be made.");
        if (const FsError err = replaceFile(*files, target, data); err != FsError::None)
            return refused(std::string(platform::fsErrorText(err)) + ": " + target);
        ZipCall call;
        call.result = 1;
        return call;
    }

private:
    static ZipCall writeBack(FileSystem& files, const std::string& archive, OpenArchive& a)
    {
        std::string why;
        const std::string bytes = a.close(why);
        if (!why.empty())
            return failed(ZipError::damaged(archive, why));
        const FsError err = bytes.empty() ? files.deleteFile(archive) : replaceFile(files, archive, bytes);
        if (err != FsError::None)
            return failed(ZipError::file(err, archive));
        ZipCall call;
        call.result = 1;
        return call;
    }
};

} // namespace

std::optional<platform::FileSystem> zipMachineFiles()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return std::nullopt;
    return machine->files();
}

std::unique_ptr<ZipLibrary> makeLibZipLibrary() { return std::make_unique<LibZipLibrary>(); }

} // namespace wizard
