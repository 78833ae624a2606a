// Text.cpp: trimming and ASCII case.
#include "common/Text.h"

#include <algorithm>

namespace common {

std::string_view trimmed(std::string_view text, std::string_view chars)
{
    return trimmedRight(trimmedLeft(text, chars), chars);
}

std::string_view trimmedLeft(std::string_view text, std::string_view chars)
{
    const auto first = text.find_first_not_of(chars);
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view trimmedRight(std::string_view text, std::string_view chars)
{
    const auto last = text.find_last_not_of(chars);
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string upperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool equalsNoCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return upperAscii(x) == upperAscii(y);
    });
}

bool startsWithNoCaseAscii(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && equalsNoCaseAscii(text.substr(0, prefix.size()), prefix);
}

bool endsWithNoCaseAscii(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
        equalsNoCaseAscii(text.substr(text.size() - suffix.size()), suffix);
}

} // namespace common
