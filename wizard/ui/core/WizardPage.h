// WizardPage.h: base of the wizard's pages, the child windows that KestroMain shows one at a time.
#pragma once

#include <QWidget>

namespace wizard {

class KestroMain;

// A page is created once, on first use, as a child of the main window's page area, and is then
// only hidden and shown again. When it comes on screen the main window calls activated(), where
// the page sets the button bar through wizardWindows(). Its help topic comes from the main
// window's topic table (by objectName) or, for F1 on one of its controls, from the controls'
// helpContextId property.
class WizardPage : public QWidget {
    Q_OBJECT
public:
    WizardPage(KestroMain* main, const QString& formName, QWidget* parent = nullptr);

    KestroMain* mainWindow() const { return m_main; }

    // The page has just been shown.
    virtual void activated() {}

private:
    KestroMain* m_main;
};

} // namespace wizard
