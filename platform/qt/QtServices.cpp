// QtServices.cpp: the process-wide Qt defaults of the UI services.
#include "QtServices.h"

#include "QtHelpViewer.h"
#include "QtMessageService.h"
#include "QtShellService.h"
#include "platform/EventPump.h"

#include <QCoreApplication>

namespace platform::qt {
namespace {

class QtEventPump : public EventPump {
public:
    void processEvents() override { QCoreApplication::processEvents(); }
};

} // namespace

void installQtServices() {
    static QtMessageService messages;
    static QtHelpViewer help;
    static QtShellService shell;
    static QtEventPump pump;
    setMessageService(&messages);
    setHelpService(&help);
    setShellService(&shell);
    setEventPump(&pump);
    installHelpKey();
}

} // namespace platform::qt
