// NameCase.cpp: case-insensitive comparison of Windows names stored as UTF-8.
#include "platform/NameCase.h"

namespace platform {

std::string upperName(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'a' && c <= 'z') {
            out.push_back(static_cast<char>(c - 'a' + 'A'));
        } else if (c == 0xC3 && i + 1 < name.size()) {
            // U+00C0..U+00FF are encoded C3 80..C3 BF; the small letters are C3 A0..C3 BE.
            auto d = static_cast<unsigned char>(name[i + 1]);
            if (d >= 0xA0 && d <= 0xBE && d != 0xB7)
                d = static_cast<unsigned char>(d - 0x20);
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>(d));
            ++i;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

bool namesEqual(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    return upperName(a) == upperName(b);
}

bool nameLess(std::string_view a, std::string_view b)
{
    const std::string ua = upperName(a);
    const std::string ub = upperName(b);
    if (ua != ub)
        return ua < ub;
    return a < b;
}

} // namespace platform
