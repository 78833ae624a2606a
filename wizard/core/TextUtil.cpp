// TextUtil.cpp: small text helpers of the wizard core.
#include "wizard/core/TextUtil.h"

namespace wizard::coretext {

std::string trimBlanks(std::string_view text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    return std::string(text.substr(b, e - b));
}

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

std::string replaceAll(std::string_view text, std::string_view what, std::string_view with)
{
    if (what.empty())
        return std::string(text);
    std::string out;
    std::size_t start = 0;
    for (;;) {
        std::size_t pos = text.find(what, start);
        if (pos == std::string_view::npos) {
            out.append(text.substr(start));
            return out;
        }
        out.append(text.substr(start, pos - start));
        out.append(with);
        start = pos + what.size();
    }
}

bool equalsNoCase(std::string_view a, std::string_view b) { return lowerAscii(a) == lowerAscii(b); }

} // namespace wizard::coretext

#include "platform/CodePage.h"

namespace wizard::coretext {

std::string toAnsi(std::string_view utf8) { return platform::utf8ToCp1252(utf8); }

std::string fromAnsi(std::string_view ansi) { return platform::cp1252ToUtf8(ansi); }

} // namespace wizard::coretext
