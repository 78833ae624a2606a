// QtMessageService.h: the message box service shown with QMessageBox.
#pragma once

#include "platform/MessageBox.h"

class QWidget;

namespace platform::qt {

// Shows each request as an application-modal QMessageBox centred on the window that owns it: the
// modal window in front, else the active window, else the program's main window.
class QtMessageService : public MessageService {
public:
    MsgResult show(const MessageRequest& request) override;
};

} // namespace platform::qt
