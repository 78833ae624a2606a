// ShortName.cpp: generation of 8.3 short names for the entries of a folder.
#include "platform/ShortName.h"

#include "platform/CodePage.h"
#include "platform/WinPath.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

namespace platform {
namespace {

bool isShortChar(unsigned char c)
{
    if (c < 0x21 || c >= 0x7F)
        return false;
    return std::string_view("\"*+,/:;<=>?[\\]|.").find(static_cast<char>(c)) == std::string_view::npos;
}

// Basis and extension of a long name, before the "~n" is added.
void splitBasis(std::string_view name, std::string& basis, std::string& ext)
{
    std::string_view base = name;
    std::string_view extension;
    const auto dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        base = name.substr(0, dot);
        extension = name.substr(dot + 1);
    }
    auto clean = [](std::string_view part, std::size_t limit) {
        std::string out;
        for (std::size_t i = 0; i < part.size() && out.size() < limit; ++i) {
            const auto c = static_cast<unsigned char>(part[i]);
            if (c == ' ' || c == '.')
                continue;
            if (c >= 0x80) {
                // One "_" per UTF-8 character, not per byte.
                while (i + 1 < part.size() && (static_cast<unsigned char>(part[i + 1]) & 0xC0) == 0x80)
                    ++i;
                out.push_back('_');
            } else if (!isShortChar(c)) {
                // Control characters, DEL and the signs no short name may hold become "_".
                out.push_back('_');
            } else {
                out.push_back(static_cast<char>(c));
            }
        }
        return foldCase(out);
    };
    basis = clean(base, 8);
    ext = clean(extension, 3);
    if (basis.empty())
        basis = "_";
}

} // namespace

bool isShortName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    const auto dot = name.find('.');
    std::string_view base = name.substr(0, dot);
    std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (base.empty() || base.size() > 8 || ext.size() > 3)
        return false;
    if (dot != std::string_view::npos && ext.empty())
        return false;
    for (char c : base)
        if (!isShortChar(static_cast<unsigned char>(c)))
            return false;
    for (char c : ext)
        if (!isShortChar(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::vector<std::string> shortNamesFor(const std::vector<std::string>& names)
{
    std::vector<std::string> result(names.size());
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(),
        [&](std::size_t a, std::size_t b) { return nameLess(names[a], names[b]); });

    // Names that already are 8.3 names are taken: a generated name never repeats one.
    std::set<std::string> taken;
    for (const auto& name : names)
        if (isShortName(name))
            taken.insert(foldCase(name));

    std::map<std::string, int> counters; // basis6 + "." + ext -> last number given
    for (std::size_t idx : order) {
        if (isShortName(names[idx])) {
            result[idx] = foldCase(names[idx]);
            continue;
        }
        std::string basis;
        std::string ext;
        splitBasis(names[idx], basis, ext);
        const std::string key = basis.substr(0, 6) + "." + ext;
        std::string shortName;
        do {
            const int n = ++counters[key];
            const std::string number = "~" + std::to_string(n);
            const std::size_t keep = std::min(basis.size(), 8 - number.size());
            shortName = basis.substr(0, std::min<std::size_t>(keep, 6)) + number;
            if (!ext.empty())
                shortName += "." + ext;
        } while (taken.count(shortName) != 0);
        taken.insert(shortName);
        result[idx] = shortName;
    }
    return result;
}

std::optional<std::size_t> findByShortName(const std::vector<std::string>& names, std::string_view part)
{
    if (part.find('~') == std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string> shorts = shortNamesFor(names);
    for (std::size_t i = 0; i < shorts.size(); ++i)
        if (equalsNoCase(shorts[i], part))
            return i;
    return std::nullopt;
}

} // namespace platform
