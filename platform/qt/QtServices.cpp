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

namespace {

struct QtDefaults {
    QtMessageService messages;
    QtHelpViewer help;
    QtShellService shell;
    QtEventPump pump;
};

QtDefaults& qtDefaults()
{
    static QtDefaults defaults;
    return defaults;
}

// Installs `service` unless the slot holds one; true when it did.
template <class T> bool fillEmpty(T& service)
{
    if (common::Service<T>::installed())
        return false;
    common::Service<T>::replace(&service);
    return true;
}

// Empties the slot when it still holds `service`.
template <class T> void emptyIfHeld(bool filled, T& service)
{
    if (filled && common::Service<T>::installed() == &service)
        common::Service<T>::replace(nullptr);
}

} // namespace

void installQtServices()
{
    QtDefaults& d = qtDefaults();
    common::Service<MessageService>::replace(&d.messages);
    common::Service<HelpService>::replace(&d.help);
    common::Service<ShellService>::replace(&d.shell);
    common::Service<EventPump>::replace(&d.pump);
    installHelpKey();
}

QtServicesScope::QtServicesScope()
{
    QtDefaults& d = qtDefaults();
    m_messages = fillEmpty<MessageService>(d.messages);
    m_help = fillEmpty<HelpService>(d.help);
    m_shell = fillEmpty<ShellService>(d.shell);
    m_pump = fillEmpty<EventPump>(d.pump);
    m_helpKey = installHelpKey();
}

void QtServicesScope::prepareHelpWindow()
{
    if (m_help)
        qtDefaults().help.prepare();
}

QtServicesScope::~QtServicesScope()
{
    QtDefaults& d = qtDefaults();
    if (m_help)
        d.help.closeWindow();
    if (m_helpKey)
        removeHelpKey();
    emptyIfHeld<EventPump>(m_pump, d.pump);
    emptyIfHeld<ShellService>(m_shell, d.shell);
    emptyIfHeld<HelpService>(m_help, d.help);
    emptyIfHeld<MessageService>(m_messages, d.messages);
}

} // namespace platform::qt
