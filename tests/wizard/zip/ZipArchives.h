// ZipArchives.h: zip archives built in memory for the archive control's tests: with libzip, and
// by hand where libzip would not write the form under test (data descriptors, zip64 fields,
// headers that lie).
#pragma once

#include <zip.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <ctime>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace ziptest {

struct Entry {
    std::string name;
    std::string data;
    bool deflate = false;
    bool symlink = false; // stored as a Unix link whose target is `data`
};

// An archive written by libzip (names as given, in order).
inline std::string libzipArchive(const std::vector<Entry>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(src);
    zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &error);
    for (const auto& e : entries) {
        zip_source_t* data = zip_source_buffer(za, e.data.data(), e.data.size(), 0);
        const auto index = static_cast<zip_uint64_t>(zip_file_add(za, e.name.c_str(), data, 0));
        zip_set_file_compression(za, index, e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
        zip_file_set_mtime(za, index, 1073293387, 0);
        if (e.symlink)
            zip_file_set_external_attributes(za, index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777u) << 16);
    }
    zip_close(za);
    std::string out;
    zip_stat_t st;
    if (zip_source_stat(src, &st) == 0 && zip_source_open(src) == 0) {
        out.resize(static_cast<std::size_t>(st.size));
        zip_source_read(src, out.data(), st.size);
        zip_source_close(src);
    }
    zip_source_free(src);
    return out;
}

inline void put16(std::string& b, std::uint16_t v)
{
    b += static_cast<char>(v & 0xFF);
    b += static_cast<char>(v >> 8);
}
inline void put32(std::string& b, std::uint32_t v)
{
    put16(b, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(b, static_cast<std::uint16_t>(v >> 16));
}
inline void put64(std::string& b, std::uint64_t v)
{
    put32(b, static_cast<std::uint32_t>(v & 0xFFFFFFFF));
    put32(b, static_cast<std::uint32_t>(v >> 32));
}
inline void set32(std::string& b, std::size_t at, std::uint32_t v)
{
    std::string four;
    put32(four, v);
    b.replace(at, 4, four);
}
inline std::uint32_t get32(const std::string& b, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// The offset of the n-th (0-based) occurrence of a 4-byte signature.
inline std::size_t findSignature(const std::string& b, std::uint32_t sig, int n = 0)
{
    std::string needle;
    put32(needle, sig);
    std::size_t at = b.find(needle);
    while (n-- > 0 && at != std::string::npos)
        at = b.find(needle, at + 1);
    return at;
}

// One stored entry of a hand-written archive.
struct RawEntry {
    std::string name; // stored bytes
    std::string data;
    std::uint16_t flags = 0;     // bit 3: a data descriptor follows the data; bit 11: UTF-8 name
    bool zip64 = false;          // sizes 0xFFFFFFFF in the headers, real sizes in zip64 extra fields
    std::uint64_t zip64Size = 0; // with zip64: the size the local extra field declares (0: the real one)
};

// A stored-only archive with local headers, central directory and end record, as the options
// of each entry say.
inline std::string rawArchive(const std::vector<RawEntry>& entries)
{
    std::string out, central;
    for (const auto& e : entries) {
        const auto crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        const auto size = static_cast<std::uint32_t>(e.data.size());
        const bool dd = (e.flags & 8) != 0;
        const std::uint64_t declared = e.zip64Size ? e.zip64Size : e.data.size();
        std::string extra;
        if (e.zip64) {
            put16(extra, 1);
            put16(extra, 16);
            put64(extra, declared);
            put64(extra, declared);
        }
        const auto offset = static_cast<std::uint32_t>(out.size());
        put32(out, 0x04034B50);
        put16(out, e.zip64 ? 45 : 20);
        put16(out, e.flags);
        put16(out, 0);
        put16(out, 0x4860); // 09:03:00
        put16(out, 0x3025); // 5 January 2004
        put32(out, dd ? 0 : crc);
        put32(out, dd ? 0 : (e.zip64 ? 0xFFFFFFFF : size));
        put32(out, dd ? 0 : (e.zip64 ? 0xFFFFFFFF : size));
        put16(out, static_cast<std::uint16_t>(e.name.size()));
        put16(out, static_cast<std::uint16_t>(extra.size()));
        out += e.name + extra + e.data;
        if (dd) {
            put32(out, 0x08074B50);
            put32(out, crc);
            put32(out, size);
            put32(out, size);
        }
        put32(central, 0x02014B50);
        put16(central, 20);
        put16(central, e.zip64 ? 45 : 20);
        put16(central, e.flags);
        put16(central, 0);
        put16(central, 0x4860);
        put16(central, 0x3025);
        put32(central, crc);
        put32(central, size);
        put32(central, size);
        put16(central, static_cast<std::uint16_t>(e.name.size()));
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put16(central, 0);
        put32(central, 0);
        put32(central, offset);
        central += e.name;
    }
    const auto cdOffset = static_cast<std::uint32_t>(out.size());
    out += central;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint16_t>(entries.size()));
    put16(out, static_cast<std::uint16_t>(entries.size()));
    put32(out, static_cast<std::uint32_t>(central.size()));
    put32(out, cdOffset);
    put16(out, 0);
    return out;
}

} // namespace ziptest
