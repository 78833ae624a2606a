// MessageBox.h: the modal message box service (buttons, icon, title) with a scripted test double.
// Program code calls showMessage(); the program's main installs the Qt default from platform_qt.
#pragma once

#include <deque>
#include <string>
#include <vector>

namespace platform {

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Information, Exclamation, Critical, Question };

// The button the user chose; the values are the platform's button ids (IDOK = 1 ...).
enum class MsgResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageRequest {
    std::string text;
    std::string title; // never empty when it reaches a service: showMessage() fills the default
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

// Shows one modal message box and answers with the button chosen. A service must answer with
// one of the request's buttons; closing the box counts as Cancel where there is one, else as the
// only or the "No" button.
class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MsgResult show(const MessageRequest& request) = 0;
};

// The program's title, the default caption of message boxes. Unless set, it is the running
// executable's file name without extension.
std::string applicationTitle();
void setApplicationTitle(const std::string& title);

// The installed service; without one, a headless fallback writes the text to stderr and answers
// with the box's first button (what pressing Enter gives).
MessageService& messageService();
// Installs a service (not owned; nullptr restores the fallback). Returns the previous one.
MessageService* setMessageService(MessageService* service);

// Shows a message box through the installed service; an empty title becomes applicationTitle().
MsgResult showMessage(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
    MsgIcon icon = MsgIcon::None, const std::string& title = {});

// The buttons a box offers, in the order they appear; the first is the default button.
std::vector<MsgResult> buttonsOf(MsgButtons buttons);

// Test double: answers from a queue of scripted answers and records every request.
// An answer that the box does not offer, or a box shown with no answer left, is recorded as
// unexpected and answered with the box's first button.
class ScriptedMessageService : public MessageService {
public:
    void answer(MsgResult result) { m_answers.push_back(result); }
    MsgResult show(const MessageRequest& request) override;

    const std::vector<MessageRequest>& shown() const { return m_shown; }
    const std::vector<std::string>& unexpected() const { return m_unexpected; }
    std::size_t pendingAnswers() const { return m_answers.size(); }

private:
    std::deque<MsgResult> m_answers;
    std::vector<MessageRequest> m_shown;
    std::vector<std::string> m_unexpected;
};

// Installs a service for the lifetime of a scope and restores the previous one afterwards.
class ScopedMessageService {
public:
    explicit ScopedMessageService(MessageService& service)
        : m_previous(setMessageService(&service))
    {}
    ~ScopedMessageService() { setMessageService(m_previous); }
    ScopedMessageService(const ScopedMessageService&) = delete;
    ScopedMessageService& operator=(const ScopedMessageService&) = delete;

private:
    MessageService* m_previous;
};

} // namespace platform
