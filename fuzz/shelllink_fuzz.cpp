// shelllink_fuzz.cpp: arbitrary bytes as a shortcut file. A shortcut that reads must write again,
// and what it writes must read back to the same fields.
#include "platform/ShellLink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool same(const platform::ShellLinkData& a, const platform::ShellLinkData& b)
{
    return a.targetPath == b.targetPath && a.arguments == b.arguments &&
        a.workingDirectory == b.workingDirectory && a.iconLocation == b.iconLocation &&
        a.iconIndex == b.iconIndex && a.description == b.description && a.relativePath == b.relativePath &&
        a.showCommand == b.showCommand;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    platform::ShellLinkData link;
    if (!platform::decodeShellLink(std::string_view(reinterpret_cast<const char*>(data), size), link))
        return 0;
    const std::string bytes = platform::encodeShellLink(link);
    platform::ShellLinkData again;
    if (!platform::decodeShellLink(bytes, again))
        std::abort();
    // Writing normalises once (strings in Unicode); after that the fields stay as they are.
    platform::ShellLinkData third;
    if (!platform::decodeShellLink(platform::encodeShellLink(again), third) || !same(again, third))
        std::abort();
    return 0;
}
