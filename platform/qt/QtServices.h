// QtServices.h: installs the Qt defaults of the UI services (message box, help, shell open,
// event pump) and the F1 help key; called once by a program's main after QApplication exists.
#pragma once

namespace platform::qt {

void installQtServices();

// The same defaults in each service slot that holds none, and the F1 key unless it is installed,
// for the lifetime of the scope: going, it empties the slots it filled (those that still hold its
// service) and takes off the F1 key it installed; the help window of the help service it installed
// goes with it.
class QtServicesScope {
public:
    QtServicesScope();
    ~QtServicesScope();
    QtServicesScope(const QtServicesScope&) = delete;
    QtServicesScope& operator=(const QtServicesScope&) = delete;

    // Makes the help window of the help service it installed beforehand, in the event loop's
    // next turns (QtHelpViewer::prepare).
    void prepareHelpWindow();

private:
    bool m_messages = false;
    bool m_help = false;
    bool m_shell = false;
    bool m_pump = false;
    bool m_helpKey = false;
};

} // namespace platform::qt
