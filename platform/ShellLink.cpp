// ShellLink.cpp: the binary shell-link format: a 76-byte header, an optional item list, the link
// information, counted strings and extra data blocks.
#include "platform/ShellLink.h"

#include "platform/CodePage.h"
#include "platform/HostFile.h"

#include <algorithm>
#include <array>
#include <optional>

namespace platform {
namespace {

constexpr std::uint32_t kHeaderSize = 0x4C;
constexpr std::array<std::uint8_t, 16> kLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
enum : std::uint32_t {
    HasTargetIdList = 0x1,
    HasLinkInfo = 0x2,
    HasName = 0x4,
    HasRelativePath = 0x8,
    HasWorkingDir = 0x10,
    HasArguments = 0x20,
    HasIconLocation = 0x40,
    IsUnicode = 0x80,
};
enum : std::uint32_t { VolumeIdAndLocalBasePath = 0x1, CommonNetworkRelativeLink = 0x2 };

class Reader {
public:
    explicit Reader(std::string_view b)
        : m_b(b)
    {}
    bool u16(std::size_t off, std::uint32_t& v) const
    {
        if (off > m_b.size() || m_b.size() - off < 2)
            return false;
        v = byte(off) | (byte(off + 1) << 8);
        return true;
    }
    bool u32(std::size_t off, std::uint32_t& v) const
    {
        std::uint32_t lo = 0, hi = 0;
        if (!u16(off, lo) || !u16(off + 2, hi))
            return false;
        v = lo | (hi << 16);
        return true;
    }
    // A zero-terminated single-byte string starting at off, not beyond `end`.
    bool cstr(std::size_t off, std::size_t end, std::string& out) const
    {
        end = std::min(end, m_b.size());
        for (std::size_t i = off; i < end; ++i) {
            if (m_b[i] == '\0') {
                out = cp1252ToUtf8(m_b.substr(off, i - off));
                return true;
            }
        }
        return false;
    }
    // A zero-terminated UTF-16LE string starting at off, not beyond `end`.
    bool wstr(std::size_t off, std::size_t end, std::string& out) const
    {
        end = std::min(end, m_b.size());
        std::u16string s;
        for (std::size_t i = off; i + 1 < end; i += 2) {
            const auto c = static_cast<char16_t>(byte(i) | (byte(i + 1) << 8));
            if (c == 0) {
                out = utf16ToUtf8(s);
                return true;
            }
            s.push_back(c);
        }
        return false;
    }
    std::size_t size() const { return m_b.size(); }
    std::string_view bytes(std::size_t off, std::size_t n) const { return m_b.substr(off, n); }

private:
    std::uint32_t byte(std::size_t i) const { return static_cast<std::uint8_t>(m_b[i]); }
    std::string_view m_b;
};

void put16(std::string& s, std::uint32_t v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& s, std::uint32_t v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

void set32(std::string& s, std::size_t off, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[off + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putCountedUnicode(std::string& s, std::string_view utf8)
{
    const std::u16string w = utf8ToUtf16(utf8);
    put16(s, static_cast<std::uint32_t>(std::min<std::size_t>(w.size(), 0xFFFF)));
    for (std::size_t i = 0; i < w.size() && i < 0xFFFF; ++i)
        put16(s, w[i]);
}

// Splits "\\PC\share\rest" into "\\PC\share" and "rest"; false for other paths.
bool splitUnc(std::string_view path, std::string& share, std::string& rest)
{
    if (path.size() < 3 || path[0] != '\\' || path[1] != '\\')
        return false;
    const auto serverEnd = path.find('\\', 2);
    if (serverEnd == std::string_view::npos || serverEnd == 2)
        return false; // no server name: not a share, kept whole as a local path
    const auto shareEnd = path.find('\\', serverEnd + 1);
    if (shareEnd == serverEnd + 1)
        return false; // no share name
    share = std::string(path.substr(0, shareEnd));
    rest = shareEnd == std::string_view::npos ? std::string() : std::string(path.substr(shareEnd + 1));
    return true;
}

std::string linkInfo(const std::string& target)
{
    std::string share, suffix;
    const bool network = splitUnc(target, share, suffix);
    std::string info(0x1C, '\0');
    std::string body;
    const std::size_t header = 0x1C;
    if (network) {
        set32(info, 8, CommonNetworkRelativeLink);
        // CommonNetworkRelativeLink: size, flags, net name offset, device name offset, provider.
        std::string link(0x14, '\0');
        set32(link, 4, 0x2); // ValidNetType
        set32(link, 8, 0x14);
        set32(link, 16, 0x00020000); // WNNC_NET_LANMAN
        link += utf8ToCp1252(share);
        link.push_back('\0');
        set32(link, 0, static_cast<std::uint32_t>(link.size()));
        set32(info, 20, static_cast<std::uint32_t>(header));
        body += link;
        set32(info, 24, static_cast<std::uint32_t>(header + body.size()));
        body += utf8ToCp1252(suffix);
        body.push_back('\0');
    } else {
        set32(info, 8, VolumeIdAndLocalBasePath);
        // VolumeID: size, drive type (3: fixed), serial number, label offset, empty label.
        std::string volume(0x10, '\0');
        set32(volume, 4, 3);
        set32(volume, 12, 0x10);
        volume.push_back('\0');
        set32(volume, 0, static_cast<std::uint32_t>(volume.size()));
        set32(info, 12, static_cast<std::uint32_t>(header));
        body += volume;
        set32(info, 16, static_cast<std::uint32_t>(header + body.size()));
        body += utf8ToCp1252(target);
        body.push_back('\0');
        set32(info, 24, static_cast<std::uint32_t>(header + body.size()));
        body.push_back('\0'); // empty common path suffix
    }
    set32(info, 4, static_cast<std::uint32_t>(header));
    info += body;
    set32(info, 0, static_cast<std::uint32_t>(info.size()));
    return info;
}

// The target from the item list: the drive item's "C:\" and each file item's 8.3 name.
std::string targetFromIdList(const Reader& r, std::size_t start, std::size_t end)
{
    std::string path;
    std::size_t at = start;
    while (at + 2 <= end) {
        std::uint32_t size = 0;
        if (!r.u16(at, size) || size == 0 || at + size > end)
            break;
        std::uint32_t type = 0;
        if (size >= 3 && r.u16(at + 2, type)) {
            type &= 0xFF;
            std::string text;
            if ((type & 0x70) == 0x20 && r.cstr(at + 3, at + size, text)) {
                path = text; // drive, "C:\"
            } else if ((type & 0x70) == 0x30 && size > 14 && r.cstr(at + 14, at + size, text) &&
                !path.empty()) {
                if (path.back() != '\\')
                    path += '\\';
                path += text;
            }
        }
        at += size;
    }
    return path;
}

// Reads the LinkInfo structure at `at`; false when it is cut short. Otherwise `end` is the offset
// after it and `target` the path it names (the local base path, or the network share, followed by
// the common path suffix), empty when it names none.
bool readLinkInfo(const Reader& r, std::size_t at, std::size_t& end, std::optional<std::string>& target)
{
    std::uint32_t infoSize = 0, infoHeader = 0, infoFlags = 0;
    if (!r.u32(at, infoSize) || infoSize < 0x1C || at + infoSize > r.size() || !r.u32(at + 4, infoHeader) ||
        !r.u32(at + 8, infoFlags))
        return false;
    end = at + infoSize;
    std::uint32_t localOff = 0, netOff = 0, suffixOff = 0, localUniOff = 0, suffixUniOff = 0;
    r.u32(at + 16, localOff);
    r.u32(at + 20, netOff);
    r.u32(at + 24, suffixOff);
    if (infoHeader >= 0x24) {
        r.u32(at + 28, localUniOff);
        r.u32(at + 32, suffixUniOff);
    }
    std::string suffix;
    if (suffixUniOff)
        r.wstr(at + suffixUniOff, end, suffix);
    else if (suffixOff)
        r.cstr(at + suffixOff, end, suffix);
    std::string base;
    bool haveBase = false;
    if (infoFlags & VolumeIdAndLocalBasePath) {
        haveBase = localUniOff ? r.wstr(at + localUniOff, end, base) : r.cstr(at + localOff, end, base);
    } else if ((infoFlags & CommonNetworkRelativeLink) && netOff) {
        std::uint32_t netNameOff = 0;
        if (r.u32(at + netOff + 8, netNameOff))
            haveBase = r.cstr(at + netOff + netNameOff, end, base) && !base.empty();
        // An empty network name names no share: the link then has no target of its own.
        if (haveBase && !suffix.empty() && base.back() != '\\')
            base += '\\';
    }
    if (haveBase)
        target = base + suffix;
    return true;
}

// Reads a counted string at `at` (UTF-16LE when `unicode`, else Windows-1252) and moves `at`
// past it; false when it is cut short.
bool readCountedString(const Reader& r, std::size_t& at, bool unicode, std::string& field)
{
    std::uint32_t count = 0;
    if (!r.u16(at, count))
        return false;
    at += 2;
    const std::size_t n = unicode ? 2 * static_cast<std::size_t>(count) : count;
    if (at + n > r.size())
        return false;
    const std::string_view raw = r.bytes(at, n);
    if (unicode) {
        std::u16string w;
        for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
            w.push_back(static_cast<char16_t>(
                static_cast<std::uint8_t>(raw[i]) | (static_cast<std::uint8_t>(raw[i + 1]) << 8)));
        field = utf16ToUtf8(w);
    } else {
        field = cp1252ToUtf8(raw);
    }
    at += n;
    return true;
}

} // namespace

std::string encodeShellLink(const ShellLinkData& link)
{
    std::uint32_t flags = IsUnicode;
    if (!link.targetPath.empty())
        flags |= HasLinkInfo;
    if (!link.description.empty())
        flags |= HasName;
    if (!link.relativePath.empty())
        flags |= HasRelativePath;
    if (!link.workingDirectory.empty())
        flags |= HasWorkingDir;
    if (!link.arguments.empty())
        flags |= HasArguments;
    if (!link.iconLocation.empty())
        flags |= HasIconLocation;

    std::string s;
    put32(s, kHeaderSize);
    for (auto b : kLinkClsid)
        s.push_back(static_cast<char>(b));
    put32(s, flags);
    put32(s, 0x20);     // FILE_ATTRIBUTE_ARCHIVE
    s.append(24, '\0'); // creation, access and write times
    put32(s, 0);        // file size
    put32(s, static_cast<std::uint32_t>(link.iconIndex));
    put32(s, link.showCommand);
    put16(s, 0); // hot key
    s.append(10, '\0');
    if (flags & HasLinkInfo)
        s += linkInfo(link.targetPath);
    if (flags & HasName)
        putCountedUnicode(s, link.description);
    if (flags & HasRelativePath)
        putCountedUnicode(s, link.relativePath);
    if (flags & HasWorkingDir)
        putCountedUnicode(s, link.workingDirectory);
    if (flags & HasArguments)
        putCountedUnicode(s, link.arguments);
    if (flags & HasIconLocation)
        putCountedUnicode(s, link.iconLocation);
    put32(s, 0); // no extra data blocks
    return s;
}

bool decodeShellLink(std::string_view bytes, ShellLinkData& out)
{
    const Reader r(bytes);
    std::uint32_t headerSize = 0, flags = 0, iconIndex = 0, show = 0;
    if (!r.u32(0, headerSize) || headerSize != kHeaderSize || r.size() < kHeaderSize)
        return false;
    for (std::size_t i = 0; i < kLinkClsid.size(); ++i)
        if (static_cast<std::uint8_t>(bytes[4 + i]) != kLinkClsid[i])
            return false;
    r.u32(20, flags);
    r.u32(56, iconIndex);
    r.u32(60, show);

    ShellLinkData link;
    link.iconIndex = static_cast<int>(iconIndex);
    link.showCommand = show;
    std::size_t at = kHeaderSize;
    if (flags & HasTargetIdList) {
        std::uint32_t listSize = 0;
        if (!r.u16(at, listSize) || at + 2 + listSize > r.size())
            return false;
        link.targetPath = targetFromIdList(r, at + 2, at + 2 + listSize);
        at += 2 + listSize;
    }
    if (flags & HasLinkInfo) {
        std::optional<std::string> target;
        std::size_t end = 0;
        if (!readLinkInfo(r, at, end, target))
            return false;
        if (!target && !(flags & HasTargetIdList))
            return false;
        if (target)
            link.targetPath = *target;
        at = end;
    }
    const bool unicode = flags & IsUnicode;
    auto readString = [&](std::string& field) { return readCountedString(r, at, unicode, field); };
    if ((flags & HasName) && !readString(link.description))
        return false;
    if ((flags & HasRelativePath) && !readString(link.relativePath))
        return false;
    if ((flags & HasWorkingDir) && !readString(link.workingDirectory))
        return false;
    if ((flags & HasArguments) && !readString(link.arguments))
        return false;
    if ((flags & HasIconLocation) && !readString(link.iconLocation))
        return false;
    out = std::move(link);
    return true;
}

FsError ShellLink::load(const FileSystem& fileSystem, std::string_view path)
{
    m_path = std::string(path);
    m_data = ShellLinkData();
    if (!fileSystem.fileExists(path)) {
        // A new shortcut; the path must still be a usable Windows path.
        const ResolvedPath r = fileSystem.resolver().resolve(path);
        return r.ok() ? FsError::None : FileSystem::fromWinError(r.error);
    }
    std::string bytes;
    if (const FsError err = fileSystem.readFile(path, bytes, kMaxMetadataBytes); err != FsError::None)
        return err;
    if (!decodeShellLink(bytes, m_data))
        return FsError::BadFileName;
    return FsError::None;
}

FsError ShellLink::save(FileSystem& fileSystem, std::string_view path) const
{
    return fileSystem.writeFile(path.empty() ? std::string_view(m_path) : path, encodeShellLink(m_data));
}

} // namespace platform
