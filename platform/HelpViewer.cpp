// HelpViewer.cpp: topic page lookup, the program's help file and the help service's headless default.
#include "platform/HelpViewer.h"

#include <system_error>
#include <utility>

namespace platform {
namespace {

std::filesystem::path firstExisting(const std::filesystem::path& folder, const std::string& stem)
{
    std::error_code ec;
    for (const char* ext : {".html", ".htm"}) {
        auto candidate = folder / (stem + ext);
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

class FallbackHelpService : public HelpService {
public:
    bool showTopic(const std::string&, int) override { return false; }
};

std::string& helpFileStorage()
{
    static std::string helpFile;
    return helpFile;
}

} // namespace

std::filesystem::path HelpTopics::defaultPage() const
{
    if (auto page = firstExisting(m_folder, "index"); !page.empty())
        return page;
    return firstExisting(m_folder, "0");
}

std::filesystem::path HelpTopics::pageFor(int topicId) const
{
    if (topicId > 0) {
        if (auto page = firstExisting(m_folder, std::to_string(topicId)); !page.empty())
            return page;
    }
    return defaultPage();
}

std::string applicationHelpFile() { return helpFileStorage(); }
void setApplicationHelpFile(const std::string& helpFile) { helpFileStorage() = helpFile; }

} // namespace platform

template <> platform::HelpService& common::Service<platform::HelpService>::fallback()
{
    static platform::FallbackHelpService fallback;
    return fallback;
}
