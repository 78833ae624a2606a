// ZipDirectory.h: reads the local file headers of a zip archive, one after the other from the
// start of the file, as the archive control lists its entries. Never inflates data.
#pragma once

#include "wizard/zip/ZipError.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace wizard {

// Up to `size` bytes at `offset` of the archive into `bytes` (fewer, or none, at its end).
using ZipReadAt =
    std::function<platform::FsError(std::uint64_t offset, std::size_t size, std::string& bytes)>;

struct LocalHeader {
    std::uint64_t offset = 0; // of the signature
    std::uint16_t version = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc = 0;
    // The header's sizes; where it marks them 0xFFFFFFFF, the values of its zip64 extra field.
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint16_t nameLength = 0;
    std::uint16_t extraLength = 0;
    std::string name; // the stored bytes
};

struct ZipListing {
    std::vector<LocalHeader> headers; // in file order
    ZipError error;                   // set when reading failed; headers then holds none
};

// Walks the archive: at each position a 4-byte signature; a local file header (0x04034B50) is
// read and the position moves past its name, extra field and data (the header's compressed size
// is trusted); 0, a central directory header (0x02014B50), an end record (0x06054B50) or the end
// of the file end the walk; any other value moves on by 4 bytes. For an entry written with a data
// descriptor (flag bit 3, compressed size 0) the walk moves past the descriptor whose size fits
// the data, else to the next header signature in the data, else on from the data's start. A
// header cut short by the end of the file is not listed. The position never moves backwards.
//
// Fails with the source's file error, or Unsupported when an entry's sizes do not fit 31 bits or
// its name or extra field is 32 KB or longer (the entry list holds them as signed numbers).
ZipListing readLocalHeaders(const ZipReadAt& readAt, const std::string& archiveName);

// The same over bytes in memory.
ZipListing readLocalHeaders(std::string_view bytes, const std::string& archiveName = "archive");

} // namespace wizard
