// FileDetails.h: one entry of a zip archive as the archive control lists it: the fields of the
// entry's local file header, in the control's declaration order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wizard {

// A plain record. Folder entries (a stored name ending in "/" or "\") keep every field at its
// initial value.
struct FileDetails {
    std::int16_t Version = 0;           // version needed to extract
    std::int16_t Flag = 0;              // general-purpose bit flags
    std::int16_t CompressionMethod = 0; // 0 stored, 8 deflated, ...
    std::string FileDateTime;           // last modification, general date text ("" when invalid)
    std::int32_t CRC32 = 0;             // as stored in the header
    std::int32_t CompressedSize = 0;
    std::int32_t UncompressedSize = 0;
    std::int16_t FileNameLength = 0; // bytes of the stored name
    std::int16_t ExtraFieldLength = 0;
    std::string Filename;           // the stored name with its folder part, as UTF-8
    std::vector<std::string> files; // never set or read; stays empty
};

} // namespace wizard
