// RecordingShellService.h: a shell service for tests that records each target it is asked to
// open and answers with `result`.
#pragma once

#include "platform/ShellOpen.h"

#include <string>
#include <vector>

namespace testsupport {

class RecordingShellService : public platform::ShellService {
public:
    struct Request {
        std::string target;
        std::string parameters;
    };
    int open(const std::string& target, const std::string& parameters) override
    {
        m_requests.push_back({target, parameters});
        return result;
    }
    const std::vector<Request>& requests() const { return m_requests; }
    int result = platform::kShellOpened;

private:
    std::vector<Request> m_requests;
};

} // namespace testsupport
