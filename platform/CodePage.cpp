// CodePage.cpp: Windows-1252, UTF-8 and UTF-16 conversions and the case-folding rule for names.
#include "platform/CodePage.h"

#include "common/Windows1252.h"

#include <cstdint>

namespace platform {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

using common::codePointToCp1252;
using common::cp1252ToCodePoint;

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives kInvalid and skips one byte.
char32_t decodeUtf8(std::string_view s, std::size_t& i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int len = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        ++i;
        return kInvalid;
    }
    if (i + len > s.size()) {
        ++i;
        return kInvalid;
    }
    for (int k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return kInvalid;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Reject overlong forms, surrogates and values past Unicode.
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kInvalid;
    }
    i += len;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t foldCodePoint(char32_t cp)
{
    if (cp >= 'a' && cp <= 'z')
        return cp - 32;
    if (cp < 0x80)
        return cp;
    if (cp >= 0xE0 && cp <= 0xFE && cp != 0xF7)
        return cp - 32;
    switch (cp) {
    case 0xFF: return 0x178;
    case 0x161: return 0x160;
    case 0x153: return 0x152;
    case 0x17E: return 0x17D;
    default: return cp;
    }
}

// Next folded code point of s at i; a malformed byte folds to 0x110000 + its value so that it stays
// distinct from every real character.
char32_t nextFolded(std::string_view s, std::size_t& i)
{
    const std::size_t start = i;
    const char32_t cp = decodeUtf8(s, i);
    if (cp == kInvalid)
        return 0x110000 + static_cast<unsigned char>(s[start]);
    return foldCodePoint(cp);
}

} // namespace

std::string cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x80)
            out += c;
        else
            appendUtf8(out, cp1252ToCodePoint(b));
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8, bool* lossless)
{
    std::string out;
    out.reserve(utf8.size());
    bool ok = true;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += utf8[i++];
            continue;
        }
        const char32_t cp = decodeUtf8(utf8, i);
        const int mapped = cp == kInvalid ? -1 : codePointToCp1252(cp);
        if (mapped < 0) {
            out += '?';
            ok = false;
        } else {
            out += static_cast<char>(mapped);
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8, bool* lossless)
{
    std::u16string out;
    out.reserve(utf8.size());
    bool ok = true;
    std::size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp = decodeUtf8(utf8, i);
        if (cp == kInvalid) {
            cp = 0xFFFD;
            ok = false;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    if (lossless)
        *lossless = ok;
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16, bool* lossless)
{
    std::string out;
    out.reserve(utf16.size());
    bool ok = true;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = '?';
            ok = false;
        }
        appendUtf8(out, cp);
    }
    if (lossless)
        *lossless = ok;
    return out;
}

std::string cp1252ToUtf16le(std::string_view bytes)
{
    std::string out;
    out.resize(bytes.size() * 2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char32_t cp = cp1252ToCodePoint(static_cast<unsigned char>(bytes[i]));
        out[2 * i] = static_cast<char>(cp & 0xFF);
        out[2 * i + 1] = static_cast<char>((cp >> 8) & 0xFF);
    }
    return out;
}

std::string utf16leToCp1252(std::string_view utf16le, bool* lossless)
{
    std::string out;
    out.reserve(utf16le.size() / 2);
    bool ok = utf16le.size() % 2 == 0;
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        const char32_t unit = static_cast<unsigned char>(utf16le[i]) |
            (static_cast<char32_t>(static_cast<unsigned char>(utf16le[i + 1])) << 8);
        int mapped = codePointToCp1252(unit);
        if (mapped < 0) {
            // A surrogate pair is one character outside the code page: one '?' for both halves.
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < utf16le.size()) {
                const auto next = static_cast<unsigned char>(utf16le[i + 3]);
                if (next >= 0xDC && next <= 0xDF)
                    i += 2;
            }
            mapped = '?';
            ok = false;
        }
        out += static_cast<char>(mapped);
    }
    if (lossless)
        *lossless = ok;
    return out;
}

std::string foldCase(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b >= 'a' && b <= 'z' ? b - 32 : b);
            ++i;
            continue;
        }
        const std::size_t start = i;
        const char32_t cp = decodeUtf8(utf8, i);
        if (cp == kInvalid)
            out += utf8[start];
        else
            appendUtf8(out, foldCodePoint(cp));
    }
    return out;
}

int compareNoCase(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = nextFolded(a, i);
        const char32_t cb = nextFolded(b, j);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool equalsNoCase(std::string_view a, std::string_view b) { return compareNoCase(a, b) == 0; }

std::u32string foldedKey(std::string_view utf8)
{
    std::u32string key;
    key.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();)
        key += nextFolded(utf8, i);
    return key;
}

} // namespace platform
