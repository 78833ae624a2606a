// RecordingHelpService.h: a help service for tests that records each topic asked for and answers
// with `result`.
#pragma once

#include "platform/HelpViewer.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordingHelpService : public platform::HelpService {
public:
    struct Request {
        std::string helpFile;
        int topicId = 0;
    };
    bool showTopic(const std::string& helpFile, int topicId) override
    {
        m_requests.push_back({helpFile, topicId});
        return result;
    }
    const std::vector<Request>& requests() const { return m_requests; }
    bool result = true;

private:
    std::vector<Request> m_requests;
};

} // namespace testsupport
