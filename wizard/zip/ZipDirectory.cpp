// ZipDirectory.cpp: the walk over the local file headers of a zip archive.
#include "wizard/zip/ZipDirectory.h"

#include <algorithm>
#include <limits>
#include <optional>

namespace wizard {

namespace {

constexpr std::uint32_t kLocalHeader = 0x04034B50;
constexpr std::uint32_t kCentralHeader = 0x02014B50;
constexpr std::uint32_t kEndRecord = 0x06054B50;
constexpr std::uint32_t kDescriptor = 0x08074B50;
constexpr std::size_t kHeaderSize = 30;
constexpr std::size_t kChunk = 256 * 1024;
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr std::uint16_t kZip64Extra = 0x0001;
constexpr std::uint64_t kLimit31 = std::numeric_limits<std::int32_t>::max();
constexpr std::uint16_t kLimit15 = std::numeric_limits<std::int16_t>::max();

std::uint16_t le16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(
        static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8));
}

std::uint32_t le32(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(le16(b, at)) | (static_cast<std::uint32_t>(le16(b, at + 2)) << 16);
}

std::uint64_t le64(std::string_view b, std::size_t at)
{
    return static_cast<std::uint64_t>(le32(b, at)) | (static_cast<std::uint64_t>(le32(b, at + 4)) << 32);
}

std::uint64_t advance(std::uint64_t position, std::uint64_t by)
{
    return by > std::numeric_limits<std::uint64_t>::max() - position
        ? std::numeric_limits<std::uint64_t>::max()
        : position + by;
}

// Reads the archive through one window of bytes, so that walking many small headers costs few
// reads of the file.
class Window {
public:
    explicit Window(const ZipReadAt& readAt)
        : m_readAt(readAt)
    {}

    // The bytes [offset, offset + size), shorter at the end of the file; empty after a file error.
    std::string_view at(std::uint64_t offset, std::size_t size)
    {
        if (m_error != platform::FsError::None || size > std::numeric_limits<std::uint64_t>::max() - offset)
            return {};
        const std::uint64_t bufferEnd = m_base + m_bytes.size();
        const bool heldToEnd = m_endKnown && bufferEnd == m_end && offset >= m_base;
        if (offset < m_base || (offset + size > bufferEnd && !heldToEnd)) {
            if (m_endKnown && offset >= m_end)
                return {};
            m_base = offset;
            m_error = m_readAt(offset, std::max(size, kChunk), m_bytes);
            if (m_error != platform::FsError::None) {
                m_bytes.clear();
                return {};
            }
            if (m_bytes.size() < std::max(size, kChunk)) {
                m_endKnown = true;
                m_end = offset + m_bytes.size();
            }
        }
        if (offset - m_base >= m_bytes.size())
            return {};
        const std::size_t from = static_cast<std::size_t>(offset - m_base);
        return std::string_view(m_bytes).substr(from, size);
    }

    // The first position in [from, limit) where the 4 bytes `signature` start; nothing when the
    // file or the range ends first.
    std::optional<std::uint64_t> find(std::uint64_t from, std::uint32_t signature,
        std::uint64_t limit = std::numeric_limits<std::uint64_t>::max())
    {
        const char sig[4] = {static_cast<char>(signature & 0xFF), static_cast<char>((signature >> 8) & 0xFF),
            static_cast<char>((signature >> 16) & 0xFF), static_cast<char>(signature >> 24)};
        const std::string_view needle(sig, 4);
        for (std::uint64_t pos = from; pos < limit;) {
            const std::string_view view = at(pos, kChunk);
            if (view.size() < needle.size())
                return std::nullopt;
            const std::size_t hit = view.find(needle);
            if (hit != std::string_view::npos)
                return pos + hit < limit ? std::optional<std::uint64_t>(pos + hit) : std::nullopt;
            pos += view.size() - (needle.size() - 1);
        }
        return std::nullopt;
    }

    platform::FsError error() const { return m_error; }

private:
    const ZipReadAt& m_readAt;
    std::uint64_t m_base = 0;
    std::string m_bytes;
    bool m_endKnown = false;
    std::uint64_t m_end = 0;
    platform::FsError m_error = platform::FsError::None;
};

// The zip64 sizes of an extra field, for the header fields marked 0xFFFFFFFF.
void applyZip64(std::string_view extra, LocalHeader& h, bool compressedMarked, bool uncompressedMarked)
{
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::uint16_t id = le16(extra, at);
        const std::uint16_t size = le16(extra, at + 2);
        const std::string_view body = extra.substr(at + 4, size);
        if (id == kZip64Extra) {
            std::size_t k = 0;
            if (uncompressedMarked && k + 8 <= body.size()) {
                h.uncompressedSize = le64(body, k);
                k += 8;
            }
            if (compressedMarked && k + 8 <= body.size())
                h.compressedSize = le64(body, k);
            return;
        }
        at += 4 + static_cast<std::size_t>(size);
    }
}

// Where the walk goes on after the data of an entry written with a data descriptor.
std::uint64_t pastDescriptor(Window& w, std::uint64_t dataStart)
{
    const auto nextHeader = [&]() {
        const auto local = w.find(dataStart, kLocalHeader);
        const auto central =
            w.find(dataStart, kCentralHeader, local.value_or(std::numeric_limits<std::uint64_t>::max()));
        return central ? central : local;
    }();
    // A descriptor lies before the next header; searching beyond it would cost a scan of the rest
    // of the file for every such entry.
    const std::uint64_t limit = nextHeader.value_or(std::numeric_limits<std::uint64_t>::max());
    for (std::uint64_t from = dataStart;;) {
        const auto hit = w.find(from, kDescriptor, limit);
        if (!hit)
            break;
        const std::uint64_t length = *hit - dataStart;
        const std::string_view d = w.at(*hit, 24);
        if (d.size() >= 16 && le32(d, 8) == length)
            return *hit + 16;
        if (d.size() >= 24 && le64(d, 8) == length)
            return *hit + 24;
        from = *hit + 1;
    }
    return nextHeader ? *nextHeader : dataStart;
}

std::string tooLarge(const std::string& archive, const std::string& entry)
{
    return "The archive \"" + archive + "\" holds an entry (\"" + entry +
        "\") of 2 GB or more, or with a name or extra field of 32 KB or more; such archives cannot be "
        "read.";
}

} // namespace

ZipListing readLocalHeaders(const ZipReadAt& readAt, const std::string& archiveName)
{
    ZipListing out;
    Window w(readAt);
    std::uint64_t pos = 0;
    for (;;) {
        const std::string_view sig = w.at(pos, 4);
        if (sig.size() < 4)
            break;
        const std::uint32_t value = le32(sig, 0);
        if (value == 0 || value == kCentralHeader || value == kEndRecord)
            break;
        if (value != kLocalHeader) {
            pos += 4;
            continue;
        }
        const std::string_view head = w.at(pos, kHeaderSize);
        if (head.size() < kHeaderSize)
            break;
        LocalHeader h;
        h.offset = pos;
        h.version = le16(head, 4);
        h.flags = le16(head, 6);
        h.method = le16(head, 8);
        h.time = le16(head, 10);
        h.date = le16(head, 12);
        h.crc = le32(head, 14);
        h.compressedSize = le32(head, 18);
        h.uncompressedSize = le32(head, 22);
        h.nameLength = le16(head, 26);
        h.extraLength = le16(head, 28);
        const std::string_view name = w.at(pos + kHeaderSize, h.nameLength);
        if (name.size() < h.nameLength)
            break;
        h.name = std::string(name);
        const std::uint64_t extraStart = pos + kHeaderSize + h.nameLength;
        const bool cMarked = h.compressedSize == kZip64Marker;
        const bool uMarked = h.uncompressedSize == kZip64Marker;
        if (cMarked || uMarked)
            applyZip64(w.at(extraStart, h.extraLength), h, cMarked, uMarked);
        if (h.compressedSize > kLimit31 || h.uncompressedSize > kLimit31 || h.nameLength > kLimit15 ||
            h.extraLength > kLimit15) {
            out.headers.clear();
            out.error = {ZipFailure::Unsupported, platform::FsError::None, tooLarge(archiveName, h.name)};
            return out;
        }
        const std::uint64_t dataStart = extraStart + h.extraLength;
        const bool descriptor = (h.flags & 0x0008) != 0 && h.compressedSize == 0;
        pos = descriptor ? pastDescriptor(w, dataStart) : advance(dataStart, h.compressedSize);
        out.headers.push_back(std::move(h));
    }
    if (w.error() != platform::FsError::None) {
        out.headers.clear();
        out.error = ZipError::file(w.error(), archiveName);
    }
    return out;
}

ZipListing readLocalHeaders(std::string_view bytes, const std::string& archiveName)
{
    const ZipReadAt readAt = [bytes](std::uint64_t offset, std::size_t size, std::string& out) {
        out.clear();
        if (offset < bytes.size())
            out = std::string(bytes.substr(static_cast<std::size_t>(offset), size));
        return platform::FsError::None;
    };
    return readLocalHeaders(readAt, archiveName);
}

} // namespace wizard
