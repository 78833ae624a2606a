// MessageBox.h: the modal message box service (buttons, icon, title).
// Program code calls showMessage(); the program's main installs the Qt default from platform_qt.
#pragma once

#include "common/Service.h"

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

// Shows a message box through the installed service (common::Service<MessageService>); an empty title becomes applicationTitle().
MsgResult showMessage(const std::string& text, MsgButtons buttons = MsgButtons::Ok,
    MsgIcon icon = MsgIcon::None, const std::string& title = {});

// The buttons a box offers, in the order they appear; the first is the default button.
std::vector<MsgResult> buttonsOf(MsgButtons buttons);

} // namespace platform

// Without an installed service, a headless default writes the text to stderr and answers with the
// box's first button (what pressing Enter gives).
template <> platform::MessageService& common::Service<platform::MessageService>::fallback();
