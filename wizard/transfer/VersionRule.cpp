// VersionRule.cpp: dotted-number version comparison behind the copy and move rules.
#include "wizard/transfer/VersionRule.h"

#include <algorithm>
#include <vector>

#include "common/Text.h"

namespace wizard {
namespace {

std::vector<std::string_view> splitDots(std::string_view text)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t dot = text.find('.', start);
        parts.push_back(
            text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start));
        if (dot == std::string_view::npos)
            break;
        start = dot + 1;
    }
    return parts;
}

bool allDigits(std::string_view s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Compares two digit strings by value without overflowing: leading zeros are dropped, then the
// longer number is the greater one.
int compareDigits(std::string_view a, std::string_view b)
{
    while (!a.empty() && a.front() == '0')
        a.remove_prefix(1);
    while (!b.empty() && b.front() == '0')
        b.remove_prefix(1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int compareComponent(std::string_view a, std::string_view b)
{
    a = common::trimmed(a, common::kWhiteSpace);
    b = common::trimmed(b, common::kWhiteSpace);
    if (allDigits(a) && allDigits(b))
        return compareDigits(a, b); // an empty component counts as 0
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

int compareVersions(std::string_view left, std::string_view right)
{
    const auto a = splitDots(common::trimmed(left, common::kWhiteSpace));
    const auto b = splitDots(common::trimmed(right, common::kWhiteSpace));
    const size_t n = std::max(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const std::string_view x = i < a.size() ? a[i] : std::string_view{};
        const std::string_view y = i < b.size() ? b[i] : std::string_view{};
        if (const int c = compareComponent(x, y); c != 0)
            return c;
    }
    return 0;
}

bool copyReplacesTarget(std::string_view sourceVersion, std::string_view targetVersion)
{
    if (sourceVersion.empty() || targetVersion.empty())
        return true;
    return compareVersions(sourceVersion, targetVersion) > 0;
}

bool moveReplacesTarget(std::string_view sourceVersion, std::string_view targetVersion)
{
    if (sourceVersion.empty())
        return false;
    if (targetVersion.empty())
        return true;
    return compareVersions(sourceVersion, targetVersion) > 0;
}

} // namespace wizard
