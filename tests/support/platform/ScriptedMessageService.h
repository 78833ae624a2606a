// ScriptedMessageService.h: a message box service for tests that answers from a queue of
// scripted answers and records every box shown.
#pragma once

#include "platform/MessageBox.h"

#include <algorithm>
#include <deque>
#include <string>
#include <vector>

namespace testsupport {

// An answer that the box does not offer, or a box shown with no answer left, is recorded as
// unexpected and answered with the box's first button.
class ScriptedMessageService : public platform::MessageService {
public:
    void answer(platform::MsgResult result) { m_answers.push_back(result); }
    platform::MsgResult show(const platform::MessageRequest& request) override
    {
        m_shown.push_back(request);
        const auto offered = platform::buttonsOf(request.buttons);
        if (m_answers.empty()) {
            m_unexpected.push_back("no scripted answer for: " + request.text);
            return offered.front();
        }
        const platform::MsgResult result = m_answers.front();
        m_answers.pop_front();
        if (std::find(offered.begin(), offered.end(), result) == offered.end()) {
            m_unexpected.push_back("scripted answer not offered by: " + request.text);
            return offered.front();
        }
        return result;
    }

    const std::vector<platform::MessageRequest>& shown() const { return m_shown; }
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

private:
    std::deque<platform::MsgResult> m_answers;
    std::vector<platform::MessageRequest> m_shown;
    std::vector<std::string> m_unexpected;
};

} // namespace testsupport
