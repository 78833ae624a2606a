// PageTestSupport.h: what the step-page tests share: the offscreen application, a fresh button-bar
// state, a recorder of the main window's handlers and of help requests.
#pragma once

#include "platform/HelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/ui/pages/PageFrame.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace wizard::test {

inline void ensureApplication()
{
    static int argc = 1;
    static char arg0[] = "wizard_pages_test";
    static char* argv[] = {arg0, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

// A fresh button bar (every button visible and enabled, as the main window starts) installed for
// the test, the main window's handlers recorded, help requests recorded.
class PageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureApplication(); }

    PageTest()
    {
        m_previousWindows = common::Service<WizardWindows>::replace(&bar);
        m_previousHelp = common::Service<platform::HelpService>::replace(&help);
        m_previousHandler = setBarClickHandler([this](BarButton b) { clicks.push_back(b); });
        host.resize(800, 560);
    }
    ~PageTest() override
    {
        setBarClickHandler(m_previousHandler);
        common::Service<platform::HelpService>::replace(m_previousHelp);
        common::Service<WizardWindows>::replace(m_previousWindows);
    }

    // Alt+<key> pressed on `target` (a control of a page), delivered as the platform would when no
    // shortcut of the window takes it.
    static void pressAlt(QWidget* target, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier);
        QApplication::sendEvent(target, &press);
    }
    static void pressKey(QWidget* target, Qt::Key key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    WizardWindows bar;
    testsupport::RecordingHelpService help;
    std::vector<BarButton> clicks;
    QWidget host;

private:
    WizardWindows* m_previousWindows = nullptr;
    platform::HelpService* m_previousHelp = nullptr;
    BarClickHandler m_previousHandler;
};

} // namespace wizard::test
