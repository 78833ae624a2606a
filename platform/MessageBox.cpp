// MessageBox.cpp: the headless default of the message box service, the default title, the button sets.
#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

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

MsgResult showMessage(const std::string& text, MsgButtons buttons, MsgIcon icon, const std::string& title)
{
    MessageRequest request{text, title.empty() ? applicationTitle() : title, buttons, icon};
    const MsgResult result = common::Service<MessageService>::instance().show(request);
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

} // namespace platform

template <> platform::MessageService& common::Service<platform::MessageService>::fallback()
{
    static platform::FallbackMessageService service;
    return service;
}
