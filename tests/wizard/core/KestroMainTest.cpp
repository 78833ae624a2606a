// KestroMainTest.cpp: the main window's agreement state, button bar, handlers, pages, help, busy
// window and frozen geometry, on the offscreen platform with doubles for the engine and exit.
#include "wizard/ui/core/KestroMain.h"

#include "platform/HelpViewer.h"
#include "platform/qt/QtHelpViewer.h"
#include "tests/support/FindChild.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "tests/wizard/core/FirstPageBar.h"
#include "tests/wizard/core/PageOnScreen.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/ui/core/FrmProgressBar.h"
#include "wizard/ui/core/PageRoutines.h"
#include "wizard/ui/core/WizardPage.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wizard::BarButton;
using wizard::KestroMain;

// A page that records its activations and offers option buttons by name.
class FakePage : public wizard::WizardPage {
public:
    FakePage(KestroMain& main, QWidget* parent, const QString& name, const QStringList& options)
        : WizardPage(&main, name, parent)
    {
        auto* v = new QVBoxLayout(this);
        for (const QString& o : options) {
            auto* b = new QRadioButton(o, this);
            b->setObjectName(o);
            v->addWidget(b);
        }
    }
    void activated() override
    {
        ++activations;
        // As the first page after the agreement does.
        testsupport::showFirstPageBar(*mainWindow());
    }
    void setOption(const QString& name) { findChild<QRadioButton*>(name)->setChecked(true); }
    int activations = 0;
};

void registerFakePage(const std::string& name, QStringList options = {})
{
    KestroMain::registerPage(name, [name, options](KestroMain& main, QWidget* area) -> wizard::WizardPage* {
        return new FakePage(main, area, QString::fromStdString(name), options);
    });
}

class KestroMainTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::qtApp();
        wizard::resetProgramEnd();
        wizard::MainWindowActions actions;
        actions.stepScript = [this](const std::string& d) {
            steps.push_back(d);
            // What the bar looks like while the engine runs.
            if (window)
                duringStep.push_back(
                    {window->buttonEnabled(BarButton::Back), window->buttonEnabled(BarButton::Migrate)});
            if (onStep)
                onStep(d);
        };
        actions.exitApplication = [this] {
            ++exitCalls;
            return exitAnswer;
        };
        actions.deleteLogFile = [this] { ++logDeletes; };
        window = new KestroMain(actions);
        wizard::setMainWindow(window);
        window->show();
        previousHelp = common::Service<platform::HelpService>::replace(&help);
    }
    void TearDown() override
    {
        common::Service<platform::HelpService>::replace(previousHelp);
        wizard::setMainWindow(nullptr);
        delete window;
        window = nullptr;
        wizard::resetProgramEnd();
    }
    QPushButton* button(const char* name) const { return window->findChild<QPushButton*>(name); }
    bool shown(const char* name) const { return window->findChild<QWidget*>(name)->isVisibleTo(window); }
    QAction* action(const char* name) const { return window->findChild<QAction*>(name); }
    // The topic the Help button carries (its help-context id; 0 until a page chose one).
    int helpButtonTopic() const
    {
        return button("Btn_Help")->property(platform::qt::kHelpTopicProperty).toInt();
    }
    // The busy window while it exists (it goes with a deferred delete once closed).
    wizard::FrmProgressBar* busyWindow() const
    {
        return window->findChild<wizard::FrmProgressBar*>("frm_progress_bar");
    }
    static QString busyText(wizard::FrmProgressBar* busy, const char* label)
    {
        return testsupport::child<QLabel>(busy, label)->text();
    }

    testsupport::TestMachine machine;
    KestroMain* window = nullptr;
    std::vector<std::string> steps;
    std::vector<std::pair<bool, bool>> duringStep;
    std::function<void(const std::string&)> onStep;
    int exitCalls = 0;
    bool exitAnswer = false;
    int logDeletes = 0;
    testsupport::RecordingHelpService help;
    platform::HelpService* previousHelp = nullptr;
};

TEST_F(KestroMainTest, LoadLeavesTheAgreementStateWithOnlyDeclineAndAccept)
{
    EXPECT_EQ(window->windowTitle(), "Kestro");
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(shown("Btn_Accept"));
    EXPECT_TRUE(shown("Btn_Decline"));
    for (const char* hidden : {"Btn_Next", "Btn_Back", "Btn_Help", "Cancel", "Btn_Migrate", "Btn_Finish"})
        EXPECT_FALSE(shown(hidden)) << hidden;
    EXPECT_TRUE(shown("Picture1"));
    // The two agreement buttons stand side by side left of their design places.
    EXPECT_EQ(button("Btn_Decline")->x(), 4100 / 15);
    EXPECT_EQ(button("Btn_Accept")->x(), 5540 / 15);
    EXPECT_LT(button("Btn_Decline")->geometry().right(), button("Btn_Accept")->x());
    EXPECT_FALSE(action("SelectAll")->isEnabled());
    EXPECT_FALSE(action("ClearAll")->isEnabled());
    EXPECT_EQ(window->findChild<QLabel*>("StatusBar1_Panel1")->text(), "");
}

TEST_F(KestroMainTest, EveryControlCarriesItsCaptionAndAccessKey)
{
    const std::pair<const char*, const char*> captions[] = {{"Btn_Back", "&Previous"}, {"Btn_Next", "&Next"},
        {"Btn_Accept", "&Accept"}, {"Btn_Decline", "&Decline"}, {"Btn_Migrate", "&Migrate"},
        {"Btn_Finish", "&Finish"}, {"Cancel", "&Cancel"}, {"Btn_Help", "&Help"}};
    for (const auto& [name, caption] : captions) {
        ASSERT_NE(button(name), nullptr) << name;
        EXPECT_EQ(button(name)->text(), caption);
        EXPECT_EQ(button(name)->font().family(), "Verdana");
        EXPECT_EQ(button(name)->parentWidget()->objectName(), "Toolbar1");
    }
    // Help and Finish share one place, as do Previous and Accept's design place.
    EXPECT_EQ(button("Btn_Help")->geometry(), button("Btn_Finish")->geometry());
    EXPECT_EQ(button("Cancel")->x(), 9960 / 15);
    EXPECT_EQ(button("Btn_Migrate")->x(), 4800 / 15);
    window->setButtonLeft(BarButton::Migrate, 4500); // as the drive and space pages place it
    EXPECT_EQ(button("Btn_Migrate")->x(), 4500 / 15);
    const std::pair<const char*, const char*> items[] = {{"Exit", "&Exit"}, {"SelectAll", "&Select All"},
        {"ClearAll", "&Clear All"}, {"mnuContents", "&Contents"}, {"mnuAbout", "About"}};
    for (const auto& [name, text] : items) {
        ASSERT_NE(action(name), nullptr) << name;
        EXPECT_EQ(action(name)->text(), text);
    }
    QStringList menus;
    for (QAction* a : window->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, (QStringList{"&File", "&Edit", "He&lp"}));
    ASSERT_NE(window->findChild<QStatusBar*>("StatusBar1"), nullptr);
    ASSERT_NE(window->findChild<QLabel*>("StatusBar1_Panel2"), nullptr);
    // Tab order follows the design tab indexes: Next, Previous, Cancel, Help, Decline, Accept,
    // Migrate, Finish.
    QStringList order;
    QWidget* w = button("Btn_Next");
    do {
        if (qobject_cast<QPushButton*>(w) && w->parentWidget()->objectName() == "Toolbar1")
            order << w->objectName();
        w = w->nextInFocusChain();
    } while (w != button("Btn_Next"));
    EXPECT_EQ(order,
        (QStringList{"Btn_Next", "Btn_Back", "Cancel", "Btn_Help", "Btn_Decline", "Btn_Accept", "Btn_Migrate",
            "Btn_Finish"}));
}

TEST_F(KestroMainTest, TheHeadlessStateReachesTheWidgets)
{
    window->setStatusText("Validating Source PC...");
    window->setDetailText("C:\\a.txt");
    window->setButtonVisible(BarButton::Next, true);
    window->setButtonEnabled(BarButton::Next, false);
    window->setButtonCaption(BarButton::Cancel, "&Close");
    window->setEditMenuEnabled(wizard::EditMenuItem::SelectAll, true);
    window->setWelcomePanelVisible(false);
    window->setMousePointer(wizard::MousePointer::Hourglass);
    EXPECT_EQ(window->findChild<QLabel*>("StatusBar1_Panel1")->text(), "Validating Source PC...");
    EXPECT_EQ(window->findChild<QLabel*>("StatusBar1_Panel2")->text(), "C:\\a.txt");
    EXPECT_TRUE(shown("Btn_Next"));
    EXPECT_FALSE(button("Btn_Next")->isEnabled());
    EXPECT_EQ(button("Cancel")->text(), "&Close");
    EXPECT_TRUE(action("SelectAll")->isEnabled());
    EXPECT_FALSE(action("ClearAll")->isEnabled());
    EXPECT_FALSE(shown("Picture1"));
    EXPECT_EQ(window->cursor().shape(), Qt::WaitCursor);
    window->setMousePointer(wizard::MousePointer::Default);
    EXPECT_EQ(window->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(KestroMainTest, ALongStatusOrDetailTextDoesNotWidenTheWindow)
{
    window->show();
    QCoreApplication::processEvents();
    const int width = window->width();
    const std::string deep = "C:\\" + std::string(400, 'x') + "\\file.txt";
    window->setStatusText("Migrating..." + deep);
    window->setDetailText(deep);
    QCoreApplication::processEvents();
    // What the layout asks of the window is what a window manager gives it.
    EXPECT_LE(window->minimumSizeHint().width(), width);
    EXPECT_EQ(window->width(), width);
    EXPECT_EQ(window->findChild<QLabel*>("StatusBar1_Panel2")->text().toStdString(), deep);
}

TEST_F(KestroMainTest, WithoutADetailTheStatusTextHasTheWholeBar)
{
    window->show();
    window->setStatusText(
        "Click the Migration Button to Migrate, or Else click the previous button to change");
    window->setDetailText("");
    QCoreApplication::processEvents();
    auto* status = window->findChild<QLabel*>("StatusBar1_Panel1");
    EXPECT_GE(status->width(), status->fontMetrics().horizontalAdvance(status->text()));
    window->setDetailText("C:\\a.txt");
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->findChild<QLabel*>("StatusBar1_Panel2")->isVisible());
}

TEST_F(KestroMainTest, NextAcceptAndMigrateStepForwardPreviousStepsBack)
{
    window->setButtonVisible(BarButton::Next, true);
    button("Btn_Accept")->click();
    button("Btn_Next")->click();
    window->setButtonCaption(BarButton::Cancel, "&Close");
    window->Btn_Back_Click();
    EXPECT_EQ(steps, (std::vector<std::string>{"next", "next", "back"}));
    EXPECT_EQ(window->buttonCaption(BarButton::Cancel), "&Cancel");
}

TEST_F(KestroMainTest, MigrateDisablesPreviousAndMigrateForTheLengthOfItsStep)
{
    window->setButtonVisible(BarButton::Migrate, false);
    window->Btn_Migrate_Click();
    ASSERT_EQ(duringStep.size(), 1u);
    EXPECT_FALSE(duringStep[0].first);
    EXPECT_FALSE(duringStep[0].second);
    EXPECT_TRUE(window->buttonVisible(BarButton::Migrate));
    EXPECT_TRUE(window->buttonEnabled(BarButton::Migrate));
    EXPECT_FALSE(window->buttonEnabled(BarButton::Back));
    EXPECT_EQ(steps, (std::vector<std::string>{"next"}));
}

TEST_F(KestroMainTest, DeclineDeletesTheLogAndEndsWithoutTheExitRoutine)
{
    button("Btn_Decline")->click();
    EXPECT_EQ(logDeletes, 1);
    EXPECT_EQ(exitCalls, 0);
    EXPECT_TRUE(wizard::programEndRequested());
    // Once ending, the buttons no longer reach the engine.
    button("Btn_Accept")->click();
    EXPECT_TRUE(steps.empty());
}

TEST_F(KestroMainTest, CancelFinishAndExitEndOnlyWhenTheExitRoutineSaysSo)
{
    exitAnswer = false;
    window->Cancel_Click();
    button("Btn_Finish")->click();
    action("Exit")->trigger();
    EXPECT_EQ(exitCalls, 3);
    EXPECT_FALSE(wizard::programEndRequested());
    exitAnswer = true;
    window->Cancel_Click();
    EXPECT_EQ(exitCalls, 4);
    EXPECT_TRUE(wizard::programEndRequested());
    EXPECT_EQ(logDeletes, 0);
}

TEST_F(KestroMainTest, ClosingTheWindowBehavesLikeCancel)
{
    exitAnswer = false;
    QCloseEvent refused;
    QCoreApplication::sendEvent(window, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(exitCalls, 1);
    exitAnswer = true;
    QCloseEvent agreed;
    QCoreApplication::sendEvent(window, &agreed);
    EXPECT_TRUE(agreed.isAccepted());
    EXPECT_EQ(exitCalls, 2);
    // A close that follows the end does not ask again.
    QCloseEvent after;
    QCoreApplication::sendEvent(window, &after);
    EXPECT_TRUE(after.isAccepted());
    EXPECT_EQ(exitCalls, 2);
}

TEST_F(KestroMainTest, PagesAreCreatedOnceAndShownOneAtATime)
{
    registerFakePage("Frm_TestPageA");
    registerFakePage("Frm_TestPageB");
    EXPECT_FALSE(window->showPanel("Frm_TestPageA"));
    auto* a = window->findChild<wizard::WizardPage*>("Frm_TestPageA");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->parentWidget()->window(), window);
    EXPECT_FALSE(window->showPanel("Frm_TestPageB"));
    auto* b = window->findChild<wizard::WizardPage*>("Frm_TestPageB");
    EXPECT_FALSE(a->isVisibleTo(window));
    EXPECT_TRUE(b->isVisibleTo(window));
    EXPECT_TRUE(window->showPanel("Frm_TestPageA"));
    EXPECT_EQ(window->findChild<wizard::WizardPage*>("Frm_TestPageA"), a);
    EXPECT_EQ(static_cast<FakePage*>(a)->activations, 2);
    EXPECT_EQ(testsupport::pageOnScreen(*window), a);
    // The agreement page is the window itself: never counted as loaded, every page hidden.
    EXPECT_FALSE(window->showPanel("KestroMain"));
    EXPECT_FALSE(a->isVisibleTo(window));
    EXPECT_EQ(testsupport::pageOnScreen(*window), nullptr);
    // A page this build does not have is not shown.
    EXPECT_FALSE(window->showPanel("Frm_NotBuilt"));
    EXPECT_EQ(window->findChild<wizard::WizardPage*>("Frm_NotBuilt"), nullptr);
}

TEST_F(KestroMainTest, TheFirstPageTurnsTheBarIntoTheWizardState)
{
    registerFakePage("Frm_TestFirst");
    window->showPanel("Frm_TestFirst");
    for (const char* name : {"Btn_Help", "Btn_Back", "Btn_Next", "Cancel"})
        EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(button("Btn_Back")->isEnabled());
    EXPECT_FALSE(shown("Btn_Accept"));
    EXPECT_FALSE(shown("Btn_Decline"));
    EXPECT_FALSE(shown("Picture1"));
}

TEST_F(KestroMainTest, ReadingAPageControlLoadsThePageWithoutShowingIt)
{
    registerFakePage("Frm_TestOptions", {"Opt98", "OptXP"});
    EXPECT_FALSE(window->isChecked("Frm_TestOptions", "OptXP"));
    auto* page = static_cast<FakePage*>(window->findChild<wizard::WizardPage*>("Frm_TestOptions"));
    ASSERT_NE(page, nullptr);
    EXPECT_FALSE(page->isVisibleTo(window));
    EXPECT_EQ(page->activations, 0);
    page->setOption("OptXP");
    EXPECT_TRUE(window->isChecked("Frm_TestOptions", "OptXP"));
    EXPECT_EQ(window->text("Frm_TestOptions", "OptXP"), "OptXP");
    EXPECT_EQ(window->text("Frm_TestOptions", "Missing"), "");
    EXPECT_FALSE(window->isChecked("Frm_NotBuilt", "Opt98"));
}

TEST_F(KestroMainTest, HelpOpensTheTopicOfThePageOnScreen)
{
    registerFakePage("Frm_MigrationType", {"optMass", "optSelective"});
    registerFakePage("Frm_ConnectionType", {"optNWCbl", "optNWLan", "optParlPorts", "opt_USB"});
    registerFakePage("frm_Drive_Info");
    window->setButtonVisible(BarButton::Help, true);
    // Before any page chose a topic the Help button carries none.
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 0);

    window->showPanel("Frm_MigrationType");
    button("Btn_Help")->setFocus();
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 18);
    static_cast<FakePage*>(testsupport::pageOnScreen(*window))->setOption("optMass");
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 17);

    // The connection page without a choice, and a page outside the table, keep the last topic.
    window->showPanel("Frm_ConnectionType");
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 17);
    static_cast<FakePage*>(testsupport::pageOnScreen(*window))->setOption("opt_USB");
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 5);
    window->showPanel("frm_Drive_Info");
    window->Btn_Help_Click();
    EXPECT_EQ(helpButtonTopic(), 5);

    ASSERT_FALSE(help.requests().empty());
    EXPECT_NE(help.requests().back().helpFile.find("PRODUCT_HELP.chm"), std::string::npos);
}

TEST_F(KestroMainTest, TheBusyWindowOpensTopMostAndResetsItsTextsEachTime)
{
    EXPECT_EQ(busyWindow(), nullptr);
    EXPECT_TRUE(window->openBusyWindow());
    wizard::FrmProgressBar* busy = busyWindow();
    ASSERT_NE(busy, nullptr);
    EXPECT_TRUE(busy->isVisible());
    EXPECT_TRUE(busy->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(busy->windowTitle(), "Kestro Processing...");
    EXPECT_EQ(busyText(busy, "lbl_caption"), "Collecting migration information..");
    window->setBusyCaption("Microsoft Word");
    window->setBusyDetails("Please wait.. Copying C:\\a.doc");
    EXPECT_EQ(busyText(busy, "lbl_caption"), "Microsoft Word");
    EXPECT_EQ(busyText(busy, "lbl_copy_details"), "Please wait.. Copying C:\\a.doc");
    QPointer<wizard::FrmProgressBar> closed(busy);
    window->closeBusyWindow();
    EXPECT_FALSE(busy->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closed.isNull());
    EXPECT_EQ(busyWindow(), nullptr);
    window->openBusyWindow();
    EXPECT_EQ(busyText(busyWindow(), "lbl_caption"), "Collecting migration information..");
    EXPECT_EQ(busyText(busyWindow(), "lbl_copy_details"), "Please wait...Analyzing copy information.... ");
    window->closeBusyWindow();
}

TEST_F(KestroMainTest, FormsOpenOwnedByTheMainWindowAndCloseForGood)
{
    QPointer<QDialog> modeless = new QDialog;
    EXPECT_TRUE(wizard::Open_A_Form(modeless, false));
    EXPECT_TRUE(modeless->isVisible());
    EXPECT_EQ(modeless->parentWidget(), window);
    EXPECT_TRUE(wizard::Close_A_Form(modeless));
    EXPECT_FALSE(modeless->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(modeless.isNull());

    // Modal: the call returns when the form has been closed.
    QPointer<QDialog> modal = new QDialog;
    bool wasModal = false;
    QTimer::singleShot(0, window, [&] {
        wasModal = modal->isModal() || modal->windowModality() != Qt::NonModal;
        modal->accept();
    });
    EXPECT_TRUE(wizard::Open_A_Form(modal, true));
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(modal->isVisible());
    EXPECT_EQ(modal->parentWidget(), window);
    delete modal;
}

// Where no window manager hands the activation back (a bare X server), the main window would take
// no keys after the about box until it is clicked.
TEST_F(KestroMainTest, TheAboutBoxMakesTheMainWindowActiveAgainWhenItCloses)
{
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    QTimer::singleShot(0, window, [] {
        if (auto* about = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            about->accept();
    });
    action("mnuAbout")->trigger();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window, 1000));
}

TEST_F(KestroMainTest, ClearAllAlwaysLeavesNextDisabled)
{
    window->setButtonVisible(BarButton::Next, true);
    window->setButtonEnabled(BarButton::Next, true);
    window->setEditMenuEnabled(wizard::EditMenuItem::ClearAll, true);
    // Without the selection page loaded there are no trees; the menu still blocks Next.
    action("SelectAll")->trigger();
    action("ClearAll")->trigger();
    EXPECT_FALSE(window->buttonEnabled(BarButton::Next));
    EXPECT_FALSE(button("Btn_Next")->isEnabled());
}

TEST_F(KestroMainTest, AResizeSnapsBackToTheFirstLayout)
{
    const QSize first = window->size();
    window->resize(first.width() + 120, first.height() + 80);
    EXPECT_EQ(window->size(), first);
}

TEST_F(KestroMainTest, EndingFromInsideAModalDialogUnwindsWithoutTouchingDestroyedWindows)
{
    wizard::setProgramEndHandler(&wizard::qtProgramEnd());
    exitAnswer = true;
    bool dialogReturned = false;
    int stepsAfterEnd = 0;
    // The engine step opens a troubleshooting dialog modally; while it is up, the user closes the
    // wizard through File > Exit, which ends the program.
    onStep = [&](const std::string&) {
        QPointer<QDialog> dialog = new QDialog;
        QTimer::singleShot(0, window, [this] { action("Exit")->trigger(); });
        wizard::Open_A_Form(dialog, true);
        dialogReturned = true;
        if (wizard::programEndRequested())
            return;
        ++stepsAfterEnd;
        delete dialog;
    };
    // Run the click inside an event loop, as the program does.
    QTimer::singleShot(0, window, [this] { button("Btn_Accept")->click(); });
    const int code = QCoreApplication::exec();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(dialogReturned);
    EXPECT_EQ(stepsAfterEnd, 0);
    EXPECT_EQ(exitCalls, 1);
    EXPECT_TRUE(wizard::programEndRequested());
    // A later click does nothing and the window is still whole.
    button("Btn_Accept")->click();
    EXPECT_EQ(steps.size(), 1u);
    EXPECT_EQ(window->windowTitle(), "Kestro");
    wizard::setProgramEndHandler(nullptr);
}

} // namespace
