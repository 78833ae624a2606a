// ZipText.cpp: name parts, the wildcard comparison, short byte counts, DOS dates and entry-name
// code pages of the archive control.
#include "wizard/zip/ZipText.h"

#include "platform/CodePage.h"

#include <array>
#include <cmath>
#include <optional>
#include <vector>

namespace wizard {

namespace {

// Code page 437, bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kCp437High = {0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5,
    0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6, 0x00C6, 0x00F4,
    0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, 0x00E1,
    0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1,
    0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551,
    0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558,
    0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF,
    0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5,
    0x2229, 0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A,
    0x207F, 0x00B2, 0x25A0, 0x00A0};

// The characters of UTF-8 text (malformed sequences as U+FFFD), surrogate pairs joined.
std::u32string codePoints(std::string_view utf8)
{
    const std::u16string units = platform::utf8ToUtf16(utf8);
    std::u32string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            out += 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else {
            out += u;
        }
    }
    return out;
}

struct PatternToken {
    enum class Kind { Literal, AnyOne, AnyRun, Digit, Set } kind = Kind::Literal;
    char32_t literal = 0;
    bool negated = false;
    std::vector<std::pair<char32_t, char32_t>> ranges;

    bool matches(char32_t c) const
    {
        switch (kind) {
        case Kind::Literal: return c == literal;
        case Kind::AnyOne: return true;
        case Kind::Digit: return c >= U'0' && c <= U'9';
        case Kind::Set: {
            bool in = false;
            for (const auto& [low, high] : ranges)
                in = in || (c >= low && c <= high);
            return in != negated;
        }
        case Kind::AnyRun: break;
        }
        return false;
    }
};

// The pattern as tokens; nothing when a "[" has no "]".
std::optional<std::vector<PatternToken>> tokenize(const std::u32string& pattern)
{
    std::vector<PatternToken> tokens;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        PatternToken t;
        const char32_t c = pattern[i];
        if (c == U'?') {
            t.kind = PatternToken::Kind::AnyOne;
        } else if (c == U'*') {
            t.kind = PatternToken::Kind::AnyRun;
        } else if (c == U'#') {
            t.kind = PatternToken::Kind::Digit;
        } else if (c == U'[') {
            const std::size_t close = pattern.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            t.kind = PatternToken::Kind::Set;
            std::size_t k = i + 1;
            if (k < close && pattern[k] == U'!') {
                t.negated = true;
                ++k;
            }
            for (; k < close; ++k) {
                if (k + 2 < close && pattern[k + 1] == U'-') {
                    t.ranges.emplace_back(pattern[k], pattern[k + 2]);
                    k += 2;
                } else {
                    t.ranges.emplace_back(pattern[k], pattern[k]);
                }
            }
            i = close;
        } else {
            t.literal = c;
        }
        tokens.push_back(std::move(t));
    }
    return tokens;
}

// Digits of a non-negative whole number with "," between groups of three.
std::string grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    std::string out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

// A value with one decimal, halves away from zero.
std::string oneDecimal(double value)
{
    const double tenths = std::round(std::fabs(value) * 10.0);
    const auto whole = static_cast<std::uint64_t>(tenths / 10.0);
    const auto decimal = static_cast<unsigned>(tenths - static_cast<double>(whole) * 10.0);
    return (value < 0 && tenths > 0 ? "-" : "") + grouped(whole) + "." + std::to_string(decimal);
}

int daysInMonth(int month, int year)
{
    static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

} // namespace

std::string parseFilename(std::string_view path)
{
    const std::size_t sep = path.find_last_of("/\\");
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string parsePath(std::string_view path)
{
    std::string out(path);
    out += '\\';
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool likeMatch(std::string_view text, std::string_view pattern)
{
    const std::u32string s = codePoints(text);
    const auto tokens = tokenize(codePoints(pattern));
    if (!tokens)
        return false;
    const auto& p = *tokens;
    // Greedy walk that backtracks only to the last "*": every later "*" can absorb what an
    // earlier one would have, so one backtracking point is enough.
    std::size_t si = 0, pi = 0;
    std::optional<std::size_t> star;
    std::size_t starText = 0;
    while (si < s.size()) {
        if (pi < p.size() && p[pi].kind == PatternToken::Kind::AnyRun) {
            star = pi++;
            starText = si;
        } else if (pi < p.size() && p[pi].matches(s[si])) {
            ++pi, ++si;
        } else if (star) {
            pi = *star + 1;
            si = ++starText;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi].kind == PatternToken::Kind::AnyRun)
        ++pi;
    return pi == p.size();
}

std::string bytesToShortText(std::int32_t bytes)
{
    const double k = static_cast<double>(bytes) / 1024.0;
    if (k < 0.2) {
        const auto magnitude = static_cast<std::uint64_t>(std::llabs(static_cast<long long>(bytes)));
        return (bytes < 0 ? "-" : "") + grouped(magnitude) + " bytes";
    }
    if (k < 512)
        return oneDecimal(k) + "KB";
    return oneDecimal(static_cast<double>(bytes) / 1048576.0) + "MB";
}

std::string dosDateTimeText(std::uint16_t dosDate, std::uint16_t dosTime)
{
    const int year = 1980 + (dosDate >> 9);
    const int month = (dosDate >> 5) & 0x0F;
    const int day = dosDate & 0x1F;
    const int hour = dosTime >> 11;
    const int minute = (dosTime >> 5) & 0x3F;
    const int second = (dosTime & 0x1F) * 2;
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(month, year) || hour > 23 || minute > 59 ||
        second > 59)
        return {};
    std::string text = std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
    if (hour == 0 && minute == 0 && second == 0)
        return text;
    const auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    return text + " " + std::to_string(hour12) + ":" + two(minute) + ":" + two(second) +
        (hour < 12 ? " AM" : " PM");
}

std::string decodeEntryName(std::string_view stored, std::uint16_t flags)
{
    constexpr std::uint16_t kUtf8Flag = 1u << 11;
    bool valid = true;
    const std::u16string asUtf8 = platform::utf8ToUtf16(stored, &valid);
    if ((flags & kUtf8Flag) != 0 || valid)
        return platform::utf16ToUtf8(asUtf8);
    std::u16string units;
    units.reserve(stored.size());
    for (const char c : stored) {
        const auto b = static_cast<unsigned char>(c);
        units += b < 0x80 ? char16_t{b} : kCp437High[b - 0x80];
    }
    return platform::utf16ToUtf8(units);
}

std::int16_t progressPercentage(std::int32_t i, std::int32_t n)
{
    if (n <= 0)
        return 0;
    // nearbyint rounds a half to the even neighbour in the default rounding mode.
    return static_cast<std::int16_t>(std::nearbyint(static_cast<double>(i) / n * 100.0));
}

} // namespace wizard
