// Text.cpp: trimming and ASCII case.
#include "common/Text.h"

#include <algorithm>

namespace common {
namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

} // namespace

std::string_view trimmed(std::string_view text, std::string_view chars)
{
    const auto first = text.find_first_not_of(chars);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(chars);
    return text.substr(first, last - first + 1);
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upper);
    return out;
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

bool equalsNoCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
        std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return upper(x) == upper(y); });
}

} // namespace common
