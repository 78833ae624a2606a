// HelpViewer.h: the help service that shows the program's HTML help topics by numeric topic id,
// and the rule that picks a topic's page.
#pragma once

#include "common/Service.h"

#include <filesystem>
#include <string>

namespace platform {

// Help topics are HTML pages in one folder: topic N is "N.html" (or "N.htm"); the default page
// is "index.html" (or "index.htm", or else topic 0's page). Topic id 0 and any topic without a
// page show the default page.
class HelpTopics {
public:
    explicit HelpTopics(std::filesystem::path folder)
        : m_folder(std::move(folder))
    {}

    const std::filesystem::path& folder() const { return m_folder; }
    // The page of a topic, falling back to the default page; empty when the folder holds neither.
    std::filesystem::path pageFor(int topicId) const;
    std::filesystem::path defaultPage() const;

private:
    std::filesystem::path m_folder;
};

// Opens the help at a topic. `helpFile` is the program's help file as a Windows path
// ("C:\Program Files\Kestro\PRODUCT_HELP.chm"); its topics are the pages of the "help" folder
// beside it. Returns false when no page can be shown (no help folder, no default page).
class HelpService {
public:
    virtual ~HelpService() = default;
    virtual bool showTopic(const std::string& helpFile, int topicId) = 0;
};

// The program's help file (a Windows path), which F1 and the help buttons open; empty until set.
std::string applicationHelpFile();
void setApplicationHelpFile(const std::string& helpFile);

} // namespace platform

// Without an installed service, a headless default shows nothing and answers false.
template <> platform::HelpService& common::Service<platform::HelpService>::fallback();

namespace platform {

// The installed help service (common::Service<HelpService> replaces it).
inline HelpService& helpService() { return common::Service<HelpService>::instance(); }

} // namespace platform
