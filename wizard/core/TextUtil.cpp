// TextUtil.cpp: small text helpers of the wizard core.
#include "wizard/core/TextUtil.h"

#include <algorithm>
#include <array>

namespace wizard::coretext {

std::vector<std::string> splitAll(std::string_view text, char sep)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find(sep, start);
        if (pos == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            return parts;
        }
        parts.emplace_back(text.substr(start, pos - start));
        start = pos + 1;
    }
}

namespace {

unsigned char upperByteOf(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A; // s caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z caron
    case 0xFF: return 0x9F; // y diaeresis
    default: return c;
    }
}

// The upper case of every byte, looked up: the case-blind search reads each byte of a file once.
const std::array<unsigned char, 256>& upperTable()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int c = 0; c < 256; ++c)
            t[static_cast<std::size_t>(c)] = upperByteOf(static_cast<unsigned char>(c));
        return t;
    }();
    return table;
}

// A search that compares as upperAnsi does.
class NoCaseSearch {
public:
    explicit NoCaseSearch(std::string_view what)
        : m_what(what)
        , m_upper(upperTable())
        , m_first(up(what.front()))
        // A first byte that only matches itself ("[" of a key line) is found by the library's search.
        , m_onlyItself(m_first == static_cast<unsigned char>(what.front()) &&
              std::count(m_upper.begin(), m_upper.end(), m_first) == 1)
    {}

    std::size_t find(std::string_view text, std::size_t from) const
    {
        for (std::size_t at = from; at + m_what.size() <= text.size(); ++at) {
            if (m_onlyItself) {
                at = text.find(m_what.front(), at);
                if (at == std::string_view::npos || at + m_what.size() > text.size())
                    return std::string_view::npos;
            } else if (up(text[at]) != m_first) {
                continue;
            }
            std::size_t i = 1;
            while (i < m_what.size() && up(text[at + i]) == up(m_what[i]))
                ++i;
            if (i == m_what.size())
                return at;
        }
        return std::string_view::npos;
    }

private:
    unsigned char up(char c) const { return m_upper[static_cast<unsigned char>(c)]; }

    std::string_view m_what;
    const std::array<unsigned char, 256>& m_upper;
    unsigned char m_first;
    bool m_onlyItself;
};

} // namespace

std::string upperAnsi(std::string_view text)
{
    const auto& upper = upperTable();
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(upper[static_cast<unsigned char>(c)]);
    return out;
}

std::string replaceAll(
    std::string_view text, std::string_view what, std::string_view with, CaseMode mode, MatchEnd accept)
{
    if (what.empty())
        return std::string(text);
    const NoCaseSearch noCase(what);
    const auto find = [&](std::size_t from) {
        return mode == CaseMode::Exact ? text.find(what, from) : noCase.find(text, from);
    };
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = find(0); at != std::string_view::npos; at = find(at)) {
        const std::size_t end = at + what.size();
        if (accept && !accept(text, end)) {
            ++at;
            continue;
        }
        out.append(text.substr(from, at - from));
        out.append(with);
        from = at = end;
    }
    out.append(text.substr(from));
    return out;
}

} // namespace wizard::coretext

#include "platform/CodePage.h"

namespace wizard::coretext {

std::string toAnsi(std::string_view utf8) { return platform::utf8ToCp1252(utf8); }

std::string fromAnsi(std::string_view ansi) { return platform::cp1252ToUtf8(ansi); }

} // namespace wizard::coretext
