// RegFileConfinement.cpp: the keys a confined registry-file merge may name.
#include "platform/RegFileConfinement.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace platform {
namespace {

Confinement::KeyPlace placeOf(RegRoot root, std::string_view sub)
{
    Confinement::KeyPlace place;
    place.hive = root;
    if (root == RegRoot::ClassesRoot) {
        place.hive = RegRoot::LocalMachine;
        place.parts = {foldCase("SOFTWARE"), foldCase("Classes")};
    }
    std::size_t pos = 0;
    while (pos <= sub.size()) {
        std::size_t end = sub.find('\\', pos);
        if (end == std::string_view::npos)
            end = sub.size();
        if (end > pos)
            place.parts.push_back(foldCase(sub.substr(pos, end - pos)));
        pos = end + 1;
    }
    return place;
}

} // namespace

Confinement::Confinement(const std::vector<std::string>& keys)
    : m_confined(!keys.empty())
{
    for (const std::string& key : keys) {
        RegRoot root{};
        std::string sub;
        if (splitRegPath(key, root, sub))
            m_allowed.push_back(placeOf(root, sub));
    }
}

bool Confinement::allows(RegRoot root, std::string_view sub) const
{
    if (!m_confined)
        return true;
    const KeyPlace place = placeOf(root, sub);
    for (const KeyPlace& allowed : m_allowed)
        if (allowed.hive == place.hive && allowed.parts.size() <= place.parts.size() &&
            std::equal(allowed.parts.begin(), allowed.parts.end(), place.parts.begin()))
            return true;
    return false;
}

} // namespace platform
