// EntryNames.cpp: the safety checks of entry names before extraction.
#include "wizard/zip/EntryNames.h"

#include <array>
#include <cctype>

namespace wizard {

namespace {

bool isDeviceName(std::string_view component)
{
    const std::string_view base = component.substr(0, component.find('.'));
    std::string upper;
    for (const char c : base)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!upper.empty() && upper.back() == ' ')
        upper.pop_back();
    static constexpr std::array<std::string_view, 4> kNames = {"CON", "PRN", "AUX", "NUL"};
    for (const auto n : kNames)
        if (upper == n)
            return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
        upper[3] <= '9';
}

bool isSafeComponent(std::string_view c)
{
    if (c.empty() || c == "." || c == ".." || c.size() > 255)
        return false;
    for (const char ch : c) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || std::string_view("<>:\"|?*").find(ch) != std::string_view::npos)
            return false;
    }
    if (c.back() == ' ' || c.back() == '.')
        return false;
    return !isDeviceName(c);
}

} // namespace

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
    for (const auto& part : parts)
        if (!isSafeComponent(part))
            return std::nullopt;
    return parts;
}

} // namespace wizard
