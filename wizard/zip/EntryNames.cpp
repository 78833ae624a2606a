// EntryNames.cpp: the safety checks of entry names before extraction.
#include "wizard/zip/EntryNames.h"

#include "platform/WindowsName.h"

namespace wizard {

std::optional<std::vector<std::string>> safeEntryPath(std::string_view name, bool usePathInfo)
{
    if (name.empty() || name.back() == '/' || name.back() == '\\')
        return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t sep = name.find_first_of("/\\", start);
        parts.emplace_back(
            name.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start));
        if (sep == std::string_view::npos)
            break;
        start = sep + 1;
    }
    if (!usePathInfo)
        parts.erase(parts.begin(), parts.end() - 1);
    // Each component under the one Windows name rule that folder listings follow.
    for (const auto& part : parts)
        if (!platform::isWindowsName(part))
            return std::nullopt;
    return parts;
}

} // namespace wizard
