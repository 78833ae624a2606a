// TreeImages.cpp: the run-time part of the selection trees' image list.
#include "wizard/selection/TreeImages.h"

#include "platform/CodePage.h"
#include "wizard/core/TextUtil.h"

namespace wizard {

bool TreeImages::addKeyed(const std::string& key, const std::string& source)
{
    for (const Image& image : m_images) {
        if (!image.key.empty() && image.key == key)
            return false;
    }
    m_images.push_back({key, source});
    return true;
}

int TreeImages::iconFor(const std::string& path, bool folder)
{
    std::string kind = "folder";
    if (!folder) {
        const std::size_t slash = path.find_last_of('\\');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::size_t dot = name.find_last_of('.');
        kind = dot == std::string::npos ? std::string(".") : coretext::lowerAscii(name.substr(dot));
    }
    const auto it = m_byKind.find(kind);
    if (it != m_byKind.end())
        return it->second;
    m_images.push_back({std::string(), kind});
    m_byKind.emplace(kind, count());
    return count();
}

const TreeImages::Image* TreeImages::at(int index) const
{
    if (index < kFirstAdded || index > count())
        return nullptr;
    return &m_images[static_cast<std::size_t>(index - kFirstAdded)];
}

int TreeImages::matchKeyed(const std::string& name, std::string& key) const
{
    const std::string upperName = platform::foldCase(name);
    for (int i = kFirstAdded; i <= count(); ++i) {
        const Image& image = m_images[static_cast<std::size_t>(i - kFirstAdded)];
        if (image.key.empty())
            continue;
        if (upperName.find(platform::foldCase(image.key)) != std::string::npos) {
            key = image.key;
            return i;
        }
    }
    return 0;
}

void TreeImages::clear()
{
    m_images.clear();
    m_byKind.clear();
}

} // namespace wizard
