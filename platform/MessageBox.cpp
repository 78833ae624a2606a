// MessageBox.cpp: the message box service selection, the default title and the scripted double.
#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <utility>

namespace platform {
namespace {

std::string& titleStorage()
{
    static std::string title;
    return title;
}

class FallbackMessageService : public MessageService {
public:
    MsgResult show(const MessageRequest& request) override
    {
        std::fprintf(stderr, "[%s] %s\n", request.title.c_str(), request.text.c_str());
        return buttonsOf(request.buttons).front();
    }
};

FallbackMessageService& fallback()
{
    static FallbackMessageService service;
    return service;
}

MessageService*& installed()
{
    static MessageService* service = nullptr;
    return service;
}

} // namespace

std::string applicationTitle()
{
    if (!titleStorage().empty())
        return titleStorage();
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("Application") : exe.stem().string();
}

void setApplicationTitle(const std::string& title) { titleStorage() = title; }

MessageService& messageService()
{
    return installed() ? *installed() : static_cast<MessageService&>(fallback());
}

MessageService* setMessageService(MessageService* service) { return std::exchange(installed(), service); }

MsgResult showMessage(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    MessageRequest request{text, title.empty() ? applicationTitle() : title, buttons, icon};
    const MsgResult result = messageService().show(request);
    const auto offered = buttonsOf(buttons);
    // A service that answers with a button the box lacks would send callers down a branch
    // the user could never have chosen.
    if (std::find(offered.begin(), offered.end(), result) == offered.end())
        return offered.front();
    return result;
}

std::vector<MsgResult> buttonsOf(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok: return {MsgResult::Ok};
    case MsgButtons::OkCancel: return {MsgResult::Ok, MsgResult::Cancel};
    case MsgButtons::YesNo: return {MsgResult::Yes, MsgResult::No};
    case MsgButtons::YesNoCancel: return {MsgResult::Yes, MsgResult::No, MsgResult::Cancel};
    }
    return {MsgResult::Ok};
}

MsgResult ScriptedMessageService::show(const MessageRequest& request)
{
    m_shown.push_back(request);
    const auto offered = buttonsOf(request.buttons);
    if (m_answers.empty()) {
        m_unexpected.push_back("no scripted answer for: " + request.text);
        return offered.front();
    }
    const MsgResult result = m_answers.front();
    m_answers.pop_front();
    if (std::find(offered.begin(), offered.end(), result) == offered.end()) {
        m_unexpected.push_back("scripted answer not offered by: " + request.text);
        return offered.front();
    }
    return result;
}

} // namespace platform
