// zipdir_fuzz.cpp: feeds arbitrary bytes to the zip archive control's local-header reader and to
// the entry-record steps that follow it (name decoding, dates, name parts, pattern matching).
#include "wizard/zip/ZipDirectory.h"
#include "wizard/zip/ZipText.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const wizard::ZipListing listing = wizard::readLocalHeaders(bytes);
    std::uint64_t last = 0;
    for (const auto& h : listing.headers) {
        // The walk never moves backwards.
        if (h.offset < last)
            __builtin_trap();
        last = h.offset;
        const std::string name = wizard::decodeEntryName(h.name, h.flags);
        (void)wizard::dosDateTimeText(h.date, h.time);
        (void)wizard::likeMatch(wizard::parseFilename(name), "*[a-m]?#*.LNK");
    }
    return 0;
}
