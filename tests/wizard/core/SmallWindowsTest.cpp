// SmallWindowsTest.cpp: the splash window, the busy window and the about box, driven through their
// timer handlers instead of real waiting.
#include "wizard/ui/core/FrmKestro.h"
#include "wizard/ui/core/FrmProgressBar.h"
#include "wizard/ui/core/FrmSplash.h"
#include "wizard/ui/core/KestroMain.h"

#include "platform/HelpViewer.h"
#include "tests/support/FindChild.h"
#include "tests/wizard/core/QtTestApp.h"
#include "tests/wizard/core/WizardTestMachine.h"
#include "wizard/core/AppPath.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class SplashTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::qtApp(); }
};

TEST_F(SplashTest, ClosesOnTheHundredthTickAndNotBefore)
{
    wizard::FrmSplash splash(nullptr, false);
    splash.show();
    EXPECT_EQ(splash.tickCount(), 1);
    for (int i = 1; i < 100; ++i)
        splash.Timer1_Timer();
    EXPECT_EQ(splash.tickCount(), 100);
    EXPECT_TRUE(splash.isVisible());
    splash.Timer1_Timer();
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(splash.result(), QDialog::Accepted);
}

TEST_F(SplashTest, AKeyPressDuringTheFirstTickClosesItAndStopsTheTimer)
{
    wizard::FrmSplash splash;
    splash.show();
    EXPECT_TRUE(testsupport::child<QTimer>(splash, "Timer1")->isActive());
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QCoreApplication::sendEvent(&splash, &key);
    EXPECT_FALSE(splash.isVisible());
    EXPECT_FALSE(testsupport::child<QTimer>(splash, "Timer1")->isActive());
    EXPECT_LT(splash.tickCount(), 100);
}

TEST_F(SplashTest, ShowsTheVersionWithoutACaption)
{
    wizard::FrmSplash splash(nullptr, false);
    EXPECT_EQ(splash.windowTitle(), "");
    EXPECT_EQ(splash.findChild<QLabel*>("lblVersion")->text(), "Version 3.0");
}

TEST_F(SplashTest, ModalShowReturnsWhenItsOwnTimerHasRunOut)
{
    wizard::FrmSplash splash;
    bool timedOut = false;
    // A guard in case the timer never closes it.
    QTimer::singleShot(20000, &splash, [&] {
        timedOut = true;
        splash.reject();
    });
    EXPECT_EQ(splash.exec(), QDialog::Accepted);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(splash.tickCount(), 100);
}

class BusyWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::qtApp();
        wizard::AppPath = "C:\\Program Files\\Kestro";
        main = std::make_unique<wizard::KestroMain>(wizard::MainWindowActions{});
    }
    testsupport::TestMachine machine;
    std::unique_ptr<wizard::KestroMain> main;
};

TEST_F(BusyWindowTest, TheBarRunsTwoToOneHundredAndStartsAgain)
{
    wizard::FrmProgressBar busy(*main, false);
    const QProgressBar* bar = testsupport::child<QProgressBar>(busy, "ProgressBar1");
    EXPECT_EQ(bar->value(), 1);
    busy.Timer1_Timer();
    EXPECT_EQ(bar->value(), 2);
    for (int i = 0; i < 98; ++i)
        busy.Timer1_Timer();
    EXPECT_EQ(bar->value(), 100);
    busy.Timer1_Timer();
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(wizard::nextBusyBarValue(250), 2);
}

TEST_F(BusyWindowTest, LoadSetsItsTextsAndStaysOnTop)
{
    wizard::FrmProgressBar busy(*main, false);
    EXPECT_EQ(testsupport::child<QLabel>(busy, "lbl_caption")->text(), "Collecting migration information..");
    EXPECT_EQ(testsupport::child<QLabel>(busy, "lbl_copy_details")->text(),
        "Please wait...Analyzing copy information.... ");
    EXPECT_TRUE(busy.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(busy.SetTopMostWindow(false), 0);
    EXPECT_FALSE(busy.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(busy.SetTopMostWindow(true), 1);
    EXPECT_TRUE(busy.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(BusyWindowTest, AResizeSnapsBackToItsFixedSize)
{
    wizard::FrmProgressBar busy(*main, false);
    busy.show();
    busy.resize(300, 400);
    EXPECT_EQ(busy.size(), QSize(wizard::FrmProgressBar::kWidth, wizard::FrmProgressBar::kHeight));
    EXPECT_EQ(wizard::FrmProgressBar::kWidth, 9840 / 15);
    EXPECT_EQ(wizard::FrmProgressBar::kHeight, 1755 / 15);
}

TEST_F(BusyWindowTest, PlaysTheAnimationWhenItIsThereAndOpensWithoutIt)
{
    {
        wizard::FrmProgressBar without(*main, false);
        EXPECT_EQ(testsupport::child<QLabel>(without, "TMaxAni1")->movie(), nullptr);
    }
    std::filesystem::copy_file(
        std::filesystem::path(KESTRO_DATA_DIR) / "grs.gif", machine.appFolder() / "grs.gif");
    wizard::FrmProgressBar with(*main, false);
    const QMovie* movie = testsupport::child<QLabel>(with, "TMaxAni1")->movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->state(), QMovie::Running);
}

TEST_F(BusyWindowTest, CancelIsOfferedOnlyWhileTheWorkLooksForIt)
{
    wizard::FrmProgressBar busy(*main, false);
    auto* cancel = testsupport::child<QPushButton>(busy, "cmdCancel");
    busy.showTexts("Migrating Data...", "Please wait.. Copying a.txt");
    EXPECT_TRUE(cancel->isHidden());

    main->offerBusyCancel(true);
    busy.showTexts("Migrating Data...", "Please wait.. Copying b.txt");
    ASSERT_FALSE(cancel->isHidden());
    cancel->click();
    EXPECT_TRUE(main->busyCancelRequested());
    EXPECT_FALSE(cancel->isEnabled()) << "one request is enough";

    main->offerBusyCancel(false);
    busy.showTexts("Collecting migration information..", "");
    EXPECT_TRUE(cancel->isHidden());
    EXPECT_FALSE(main->busyCancelRequested());
}

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override { testsupport::qtApp(); }
};

TEST_F(AboutBoxTest, ShowsTheProgramDescriptionAndClosesWithOk)
{
    wizard::FrmKestro about;
    EXPECT_EQ(about.windowTitle(), "About Kestro");
    EXPECT_EQ(about.versionText(), "3.0.3 Build No. 6");
    EXPECT_EQ(about.findChild<QLabel*>("lblVersion")->text(), "Version :");
    EXPECT_TRUE(about.findChild<QTextEdit*>("txt_About")->isReadOnly());
    QPushButton* ok = about.findChild<QPushButton*>("cmdOk");
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), "&Ok");
    QTimer::singleShot(0, ok, &QPushButton::click);
    EXPECT_EQ(about.exec(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

} // namespace

namespace {

// The shipped help pages: one per topic id the wizard names, and the default page for the rest.
TEST(HelpTopicsShippedTest, EveryNamedTopicHasAPageAndOthersFallBackToTheDefault)
{
    platform::HelpTopics topics(std::filesystem::path(KESTRO_DATA_DIR) / "help");
    for (int id : {2, 3, 4, 5, 17, 18, 24, 25, 50, 60, 68, 69})
        EXPECT_EQ(topics.pageFor(id).filename(), std::to_string(id) + ".html") << id;
    EXPECT_EQ(topics.pageFor(0).filename(), "index.html");
    EXPECT_EQ(topics.pageFor(4711).filename(), "index.html");
}

} // namespace
