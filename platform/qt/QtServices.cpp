// QtServices.cpp: the process-wide Qt defaults of the UI services.
#include "platform/qt/QtServices.h"

#include "platform/EventPump.h"
#include "platform/qt/QtHelpViewer.h"
#include "platform/qt/QtMessageService.h"
#include "platform/qt/QtShellService.h"

#include <QCoreApplication>

namespace platform::qt {
namespace {

class QtEventPump : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

} // namespace

void installQtServices()
{
    static QtMessageService messages;
    static QtHelpViewer help;
    static QtShellService shell;
    static QtEventPump pump;
    common::Service<MessageService>::replace(&messages);
    common::Service<HelpService>::replace(&help);
    common::Service<ShellService>::replace(&shell);
    common::Service<EventPump>::replace(&pump);
    installHelpKey();
}

} // namespace platform::qt
