// FileVersion.cpp: walks the PE headers and the resource directory to the version resource.
#include "platform/FileVersion.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t kRtVersion = 16;

bool read16(std::string_view b, std::size_t off, std::uint32_t& out)
{
    if (off > b.size() || b.size() - off < 2)
        return false;
    out = static_cast<std::uint8_t>(b[off]) |
        (static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[off + 1])) << 8);
    return true;
}

bool read32(std::string_view b, std::size_t off, std::uint32_t& out)
{
    std::uint32_t lo = 0, hi = 0;
    if (!read16(b, off, lo) || !read16(b, off + 2, hi))
        return false;
    out = lo | (hi << 16);
    return true;
}

struct Section {
    std::uint32_t virtualAddress, virtualSize, rawSize, rawOffset;
};

bool rvaToOffset(const std::vector<Section>& sections, std::uint32_t rva, std::size_t& out)
{
    for (const auto& s : sections) {
        const std::uint32_t size = std::max(s.virtualSize, s.rawSize);
        if (rva >= s.virtualAddress && rva - s.virtualAddress < size) {
            out = static_cast<std::size_t>(s.rawOffset) + (rva - s.virtualAddress);
            return true;
        }
    }
    return false;
}

// Follows one level of the resource directory at `dirOff` (relative to `base`): the entry with
// `wantedId`, or the first entry when `wantedId` is 0. Out: the entry's OffsetToData field.
bool resourceEntry(
    std::string_view b, std::size_t base, std::uint32_t dirOff, std::uint32_t wantedId, std::uint32_t& data)
{
    std::uint32_t named = 0, ids = 0;
    const std::size_t dir = base + dirOff;
    if (!read16(b, dir + 12, named) || !read16(b, dir + 14, ids))
        return false;
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        std::uint32_t name = 0, offset = 0;
        if (!read32(b, dir + 16 + 8 * i, name) || !read32(b, dir + 16 + 8 * i + 4, offset))
            return false;
        if (wantedId == 0 || (!(name & 0x80000000u) && name == wantedId)) {
            data = offset;
            return true;
        }
    }
    return false;
}

void put16(std::string& s, std::size_t off, std::uint32_t v)
{
    s[off] = static_cast<char>(v & 0xFF);
    s[off + 1] = static_cast<char>((v >> 8) & 0xFF);
}

void put32(std::string& s, std::size_t off, std::uint32_t v)
{
    put16(s, off, v & 0xFFFF);
    put16(s, off + 2, v >> 16);
}

} // namespace

std::string peFileVersion(std::string_view b)
{
    std::uint32_t mz = 0, peOff = 0, sig = 0;
    if (!read16(b, 0, mz) || mz != 0x5A4D || !read32(b, 0x3C, peOff) || !read32(b, peOff, sig) ||
        sig != 0x4550)
        return {};
    std::uint32_t sectionCount = 0, optSize = 0, magic = 0;
    const std::size_t coff = static_cast<std::size_t>(peOff) + 4;
    if (!read16(b, coff + 2, sectionCount) || !read16(b, coff + 16, optSize))
        return {};
    const std::size_t opt = coff + 20;
    if (!read16(b, opt, magic))
        return {};
    std::size_t dirCountOff = 0;
    if (magic == 0x10B)
        dirCountOff = opt + 92;
    else if (magic == 0x20B)
        dirCountOff = opt + 108;
    else
        return {};
    std::uint32_t dirCount = 0, rsrcRva = 0;
    if (!read32(b, dirCountOff, dirCount) || dirCount < 3 || !read32(b, dirCountOff + 4 + 2 * 8, rsrcRva) ||
        rsrcRva == 0)
        return {};

    std::vector<Section> sections;
    const std::size_t table = opt + optSize;
    for (std::uint32_t i = 0; i < sectionCount && i < 96; ++i) {
        Section s{};
        const std::size_t at = table + 40 * i;
        if (!read32(b, at + 8, s.virtualSize) || !read32(b, at + 12, s.virtualAddress) ||
            !read32(b, at + 16, s.rawSize) || !read32(b, at + 20, s.rawOffset))
            return {};
        sections.push_back(s);
    }
    std::size_t base = 0;
    if (!rvaToOffset(sections, rsrcRva, base))
        return {};

    // Type RT_VERSION, then the first name, then the first language.
    std::uint32_t entry = 0;
    if (!resourceEntry(b, base, 0, kRtVersion, entry) || !(entry & 0x80000000u))
        return {};
    if (!resourceEntry(b, base, entry & 0x7FFFFFFFu, 0, entry) || !(entry & 0x80000000u))
        return {};
    if (!resourceEntry(b, base, entry & 0x7FFFFFFFu, 0, entry) || (entry & 0x80000000u))
        return {};
    std::uint32_t dataRva = 0, dataSize = 0;
    if (!read32(b, base + entry, dataRva) || !read32(b, base + entry + 4, dataSize))
        return {};
    std::size_t block = 0;
    if (!rvaToOffset(sections, dataRva, block) || block > b.size())
        return {};
    const std::string_view info = b.substr(block, dataSize);

    // VS_VERSIONINFO: lengths, type, the key "VS_VERSION_INFO", padding, then VS_FIXEDFILEINFO.
    std::uint32_t valueLength = 0;
    if (!read16(info, 2, valueLength) || valueLength < 52)
        return {};
    for (std::size_t at = 6; at + 52 <= info.size() && at < 128; at += 2) {
        std::uint32_t s = 0;
        if (read32(info, at, s) && s == kFixedInfoSignature) {
            std::uint32_t ms = 0, ls = 0;
            if (!read32(info, at + 8, ms) || !read32(info, at + 12, ls))
                return {};
            return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." +
                std::to_string(ls >> 16) + "." + std::to_string(ls & 0xFFFF);
        }
    }
    return {};
}

std::string buildVersionedPe(
    std::uint16_t major, std::uint16_t minor, std::uint16_t build, std::uint16_t revision)
{
    constexpr std::size_t kHeaders = 0x200;
    constexpr std::uint32_t kRsrcRva = 0x1000;
    constexpr std::size_t kVersionAt = 0x58; // inside the resource section
    constexpr std::size_t kVersionLength = 92;
    const std::size_t rsrcSize = kVersionAt + kVersionLength;
    std::string image(kHeaders + 0x200, '\0');

    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3C, 0x40);
    const std::size_t pe = 0x40;
    image.replace(pe, 4, std::string("PE\0\0", 4));
    const std::size_t coff = pe + 4;
    put16(image, coff, 0x14C);       // i386
    put16(image, coff + 2, 1);       // one section
    put16(image, coff + 16, 0xE0);   // optional header size
    put16(image, coff + 18, 0x0102); // executable, 32-bit
    const std::size_t opt = coff + 20;
    put16(image, opt, 0x10B);         // PE32
    put32(image, opt + 28, 0x400000); // image base
    put32(image, opt + 32, 0x1000);   // section alignment
    put32(image, opt + 36, 0x200);    // file alignment
    put16(image, opt + 40, 4);        // OS version
    put16(image, opt + 48, 4);        // subsystem version
    put32(image, opt + 56, 0x2000);   // image size
    put32(image, opt + 60, kHeaders); // headers size
    put16(image, opt + 68, 2);        // GUI subsystem
    put32(image, opt + 92, 16);       // data directories
    put32(image, opt + 96 + 2 * 8, kRsrcRva);
    put32(image, opt + 96 + 2 * 8 + 4, static_cast<std::uint32_t>(rsrcSize));
    const std::size_t section = opt + 0xE0;
    image.replace(section, 5, ".rsrc");
    put32(image, section + 8, static_cast<std::uint32_t>(rsrcSize));
    put32(image, section + 12, kRsrcRva);
    put32(image, section + 16, 0x200);
    put32(image, section + 20, kHeaders);
    put32(image, section + 36, 0x40000040); // initialised data, readable

    const std::size_t r = kHeaders;
    // Three directory levels, one entry each: type 16, name 1, language 0x409.
    put16(image, r + 14, 1);
    put32(image, r + 16, kRtVersion);
    put32(image, r + 20, 0x80000000u | 0x18);
    put16(image, r + 0x18 + 14, 1);
    put32(image, r + 0x18 + 16, 1);
    put32(image, r + 0x18 + 20, 0x80000000u | 0x30);
    put16(image, r + 0x30 + 14, 1);
    put32(image, r + 0x30 + 16, 0x409);
    put32(image, r + 0x30 + 20, 0x48);
    put32(image, r + 0x48, kRsrcRva + kVersionAt);
    put32(image, r + 0x48 + 4, kVersionLength);

    const std::size_t v = r + kVersionAt;
    put16(image, v, kVersionLength);
    put16(image, v + 2, 52);
    put16(image, v + 4, 0);
    const std::string_view key = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < key.size(); ++i)
        put16(image, v + 6 + 2 * i, static_cast<unsigned char>(key[i]));
    const std::size_t fixed = v + 40; // 6 + 32 bytes of key, padded to a multiple of four
    const std::uint32_t ms = (static_cast<std::uint32_t>(major) << 16) | minor;
    const std::uint32_t ls = (static_cast<std::uint32_t>(build) << 16) | revision;
    put32(image, fixed, kFixedInfoSignature);
    put32(image, fixed + 4, 0x00010000);
    put32(image, fixed + 8, ms);
    put32(image, fixed + 12, ls);
    put32(image, fixed + 16, ms);
    put32(image, fixed + 20, ls);
    put32(image, fixed + 24, 0x3F);
    put32(image, fixed + 32, 0x40004); // NT, 32-bit Windows
    put32(image, fixed + 36, 1);       // application
    return image;
}

} // namespace platform
