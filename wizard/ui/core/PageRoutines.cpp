// PageRoutines.cpp: Open_A_Form and Close_A_Form over Qt's window ownership and modality.
#include "wizard/ui/core/PageRoutines.h"

#include "platform/qt/ActivationReturn.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardLog.h"
#include "wizard/ui/core/KestroMain.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QPointer>

namespace wizard {

namespace {

QPointer<KestroMain> g_main;

class QtProgramEnd : public ProgramEndHandler {
public:
    void endProgram(int exitCode) override { QCoreApplication::exit(exitCode); }
};

} // namespace

ProgramEndHandler& qtProgramEnd()
{
    static QtProgramEnd handler;
    return handler;
}

KestroMain* mainWindow() { return g_main.data(); }
KestroMain* setMainWindow(KestroMain* main)
{
    KestroMain* previous = g_main.data();
    g_main = main;
    return previous;
}

bool Open_A_Form(QWidget* form, bool modal)
{
    writeLog("Open_A_Form", "Start");
    if (form) {
        // Owned by the main window: it stays above it.
        if (g_main && form->parentWidget() != g_main.data() && form != g_main.data())
            form->setParent(g_main.data(), form->windowFlags() | Qt::Dialog);
        if (modal) {
            QApplication::beep();
            const platform::qt::ActivationReturn activation;
            QPointer<QWidget> guard(form);
            if (auto* dialog = qobject_cast<QDialog*>(form)) {
                if (!programEndRequested())
                    dialog->exec();
            } else {
                form->setWindowModality(Qt::ApplicationModal);
                form->setAttribute(Qt::WA_DeleteOnClose, false);
                form->show();
                QEventLoop loop;
                // The loop ends when the form is hidden or destroyed, or when the program ends
                // (the end quits every running loop).
                QObject::connect(form, &QObject::destroyed, &loop, &QEventLoop::quit);
                while (guard && guard->isVisible() && !programEndRequested())
                    loop.processEvents(QEventLoop::WaitForMoreEvents);
            }
        } else {
            form->show();
            form->raise();
        }
    }
    writeLog("Open_A_Form", "End");
    return true;
}

bool Close_A_Form(QWidget* form)
{
    writeLog("Close_A_Form", "Start");
    if (form) {
        form->close();
        form->deleteLater();
    }
    writeLog("Close_A_Form", "End");
    return true;
}

} // namespace wizard
