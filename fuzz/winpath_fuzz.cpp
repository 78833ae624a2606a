// winpath_fuzz.cpp: arbitrary text as a Windows path and as names to shorten. A path that parses
// never climbs out of its root, and its canonical text parses to itself; the short names made for
// a folder are valid 8.3 names and distinct; a name the listing rule admits parses unchanged.
#include "platform/ShortName.h"
#include "platform/WinPath.h"
#include "platform/WindowsName.h"

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

std::string upper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void checkPath(std::string_view text)
{
    platform::WinPath path;
    if (platform::WinPath::parse(text, path) != platform::PathSyntax::Ok)
        return;
    for (const std::string& part : path.parts())
        if (part.empty() || part == "." || part == ".." || part.find_first_of("\\/") != std::string::npos)
            std::abort();
    const std::string canonical = path.text();
    platform::WinPath again;
    if (platform::WinPath::parse(canonical, again) != platform::PathSyntax::Ok || again.text() != canonical)
        std::abort();
    if (!path.isRoot() && path.parent().parts().size() + 1 != path.parts().size())
        std::abort();
}

void checkShortNames(std::string_view text)
{
    // The input split at line ends is one folder's listing.
    std::vector<std::string> names;
    std::set<std::string> seen;
    std::size_t start = 0;
    while (start <= text.size() && names.size() < 64) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string name(text.substr(start, end - start));
        if (!name.empty() && seen.insert(upper(name)).second)
            names.push_back(name);
        start = end + 1;
    }
    const std::vector<std::string> shorts = platform::shortNamesFor(names);
    if (shorts.size() != names.size())
        std::abort();
    std::set<std::string> distinct;
    for (const std::string& s : shorts) {
        if (!platform::isShortName(s) || !distinct.insert(upper(s)).second)
            std::abort();
    }
}

// A name the listing rule admits is one component that every path parse keeps as it is; its
// readable form is itself, and any readable form holds no control character.
void checkName(std::string_view text)
{
    const std::string shown = platform::printableName(text);
    for (const char c : shown)
        if (static_cast<unsigned char>(c) < 0x20)
            std::abort();
    if (!platform::isWindowsName(text))
        return;
    platform::WinPath path;
    const std::string full = "C:\\" + std::string(text);
    if (platform::WinPath::parse(full, path) != platform::PathSyntax::Ok || path.parts().size() != 1 ||
        path.parts()[0] != text || shown != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkPath(text);
    checkShortNames(text);
    checkName(text);
    return 0;
}
