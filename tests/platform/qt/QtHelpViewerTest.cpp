// QtHelpViewerTest.cpp: the help window, topic ids carried by widgets and the F1 key.
#include "platform/qt/QtHelpViewer.h"
#include "platform/Machine.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtShellService.h"
#include "tests/support/platform/RecordingHelpService.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

int argc = 1;
char arg0[] = "QtHelpViewerTest";
char* argv[] = {arg0, nullptr};

class QtHelpViewerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!QApplication::instance())
            new QApplication(argc, argv);
    }
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("qthelp-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        std::ofstream(m_dir / "index.html") << "<html><body>Contents</body></html>";
        std::ofstream(m_dir / "21.html") << "<html><body>Connection type</body></html>";
    }
    void TearDown() override
    {
        fs::remove_all(m_dir);
        common::Service<HelpService>::replace(nullptr);
        setApplicationHelpFile({});
    }
    fs::path m_dir;
};

TEST_F(QtHelpViewerTest, ShowsTopicPageOrDefault)
{
    std::string askedFor;
    qt::QtHelpViewer viewer([&](const std::string& helpFile) {
        askedFor = helpFile;
        return m_dir;
    });
    ASSERT_TRUE(viewer.showTopic("C:\\Kestro\\PRODUCT_HELP.chm", 21));
    EXPECT_EQ(askedFor, "C:\\Kestro\\PRODUCT_HELP.chm");
    ASSERT_NE(viewer.browser(), nullptr);
    EXPECT_EQ(viewer.browser()->source().toLocalFile().toStdString(), (m_dir / "21.html").string());
    EXPECT_TRUE(viewer.browser()->toPlainText().contains("Connection type"));
    ASSERT_TRUE(viewer.showTopic("C:\\Kestro\\PRODUCT_HELP.chm", 999));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains("Contents"));
}

struct PressCounter : QObject {
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        presses += event->type() == QEvent::MouseButtonPress ? 1 : 0;
        return false;
    }
};

TEST_F(QtHelpViewerTest, HelpOpenedFromAModalDialogTakesClicks)
{
    qt::QtHelpViewer viewer([&](const std::string&) { return m_dir; });
    for (const bool openBefore : {false, true}) { // opened from the dialog, or open before it
        if (openBefore)
            viewer.showTopic("C:\\Kestro\\PRODUCT_HELP.chm", 0);
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        ASSERT_TRUE(viewer.showTopic("C:\\Kestro\\PRODUCT_HELP.chm", 21));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(viewer.browser()));
        PressCounter counter;
        viewer.browser()->viewport()->installEventFilter(&counter);
        // Through the window system, as a user's click arrives (a blocked window drops it).
        QTest::mouseClick(viewer.browser()->windowHandle(), Qt::LeftButton, {}, QPoint(40, 40));
        EXPECT_EQ(counter.presses, 1) << "open before: " << openBefore;
        viewer.browser()->viewport()->removeEventFilter(&counter);
    }
}

TEST_F(QtHelpViewerTest, NoTopicFolderShowsNothing)
{
    qt::QtHelpViewer viewer([](const std::string&) { return fs::path{}; });
    EXPECT_FALSE(viewer.showTopic("C:\\Kestro\\PRODUCT_HELP.chm", 0));
    EXPECT_EQ(viewer.browser(), nullptr);
}

TEST_F(QtHelpViewerTest, TopicComesFromNearestWidgetThatHasOne)
{
    QWidget page;
    auto* frame = new QWidget(&page);
    auto* box = new QLineEdit(frame);
    auto* own = new QLineEdit(frame);
    EXPECT_EQ(qt::helpTopicOf(box), 0);
    qt::setHelpTopic(&page, 21);
    EXPECT_EQ(qt::helpTopicOf(box), 21);
    qt::setHelpTopic(own, 15);
    EXPECT_EQ(qt::helpTopicOf(own), 15);
    qt::setHelpTopic(frame, 0); // zero means "none": the page's topic still applies
    EXPECT_EQ(qt::helpTopicOf(box), 21);
    EXPECT_EQ(qt::helpTopicOf(nullptr), 0);
}

TEST_F(QtHelpViewerTest, F1OpensTopicOfFocusedWidget)
{
    testsupport::RecordingHelpService recorder;
    common::Service<HelpService>::replace(&recorder);
    setApplicationHelpFile("C:\\Program Files\\Kestro\\PRODUCT_HELP.chm");
    qt::installHelpKey();

    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    auto* name = new QLineEdit;
    auto* user = new QLineEdit;
    layout->addWidget(name);
    layout->addWidget(user);
    qt::setHelpTopic(&page, 21);
    qt::setHelpTopic(user, 15);
    page.show();
    QApplication::setActiveWindow(&page);
    user->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), user);

    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(user, &f1);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(user, &other);

    ASSERT_EQ(recorder.requests().size(), 1u);
    EXPECT_EQ(recorder.requests()[0].topicId, 15);
    EXPECT_EQ(recorder.requests()[0].helpFile, "C:\\Program Files\\Kestro\\PRODUCT_HELP.chm");
    EXPECT_EQ(user->text(), "a"); // other keys still reach the widget

    name->setFocus();
    QApplication::processEvents();
    EXPECT_TRUE(qt::showContextHelp(QApplication::focusWidget()));
    ASSERT_EQ(recorder.requests().size(), 2u);
    EXPECT_EQ(recorder.requests()[1].topicId, 21);
}

int forwardedCount = 0;
int countingOpener(const std::string& target, const std::string&)
{
    ++forwardedCount;
    return target == "C:\\Setup.exe" ? kShellOpened : kShellFileNotFound;
}

TEST_F(QtHelpViewerTest, ShellHandsFilesToTheFileOpener)
{
    qt::QtShellService shell(countingOpener);
    EXPECT_EQ(shell.open("C:\\Setup.exe", ""), kShellOpened);
    EXPECT_EQ(shell.open("C:\\Missing.exe", ""), kShellFileNotFound);
    EXPECT_EQ(forwardedCount, 2);
}

// A machine with the wizard's help installed and a batch file, as the running machine.
class QtRunningMachineTest : public QtHelpViewerTest {
protected:
    void SetUp() override
    {
        QtHelpViewerTest::SetUp();
        std::string message;
        ASSERT_EQ(m_machine.create(m_dir / "PC", OsCode::WinXp, &message), WinError::Success) << message;
        FileSystem files = m_machine.fileSystem();
        ASSERT_EQ(files.makeSurePathExists("C:\\Program Files\\Kestro\\help\\"), WinError::Success);
        ASSERT_EQ(files.writeFile("C:\\Program Files\\Kestro\\help\\index.html", "<html>Welcome page</html>"),
            FsError::None);
        ASSERT_EQ(files.writeFile("C:\\Program Files\\Kestro\\help\\24.html", "<html>Space page</html>"),
            FsError::None);
        ASSERT_EQ(files.writeFile("C:\\Setup.bat", "@echo off\r\n"), FsError::None);
        ASSERT_EQ(files.writeFile("C:\\Other.exe", "MZ"), FsError::None);
        fs::create_directories(m_dir / "tools");
        const auto script = m_dir / "tools" / "winbatch";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s|' \"$@\" > \"" << (m_dir / "started").string()
                              << "\"\n";
        fs::permissions(script, fs::perms::owner_all);
        ::setenv("WINENV_MACHINE", m_machine.folder().c_str(), 1);
        platform::RunningMachine::use(m_machine.folder());
        ::setenv("WINENV_TOOLS", (m_dir / "tools").c_str(), 1);
        ::unsetenv("WINENV_HELP_DIR");
    }
    void TearDown() override
    {
        ::unsetenv("WINENV_MACHINE");
        platform::RunningMachine::close();
        ::unsetenv("WINENV_TOOLS");
        QtHelpViewerTest::TearDown();
    }
    Machine m_machine;
};

TEST_F(QtRunningMachineTest, DefaultHelpFolderIsBesideTheHelpFile)
{
    qt::QtHelpViewer viewer;
    ASSERT_TRUE(viewer.showTopic("C:\\Program Files\\Kestro\\PRODUCT_HELP.chm", 24));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains("Space page"));
    ASSERT_TRUE(viewer.showTopic("c:\\program files\\kestro\\Product_Help.chm", 0));
    EXPECT_TRUE(viewer.browser()->toPlainText().contains("Welcome page"));
    EXPECT_FALSE(viewer.showTopic("C:\\Elsewhere\\PRODUCT_HELP.chm", 24));
}

TEST_F(QtRunningMachineTest, ShellStartsProgramsOfTheMachine)
{
    qt::QtShellService shell;
    EXPECT_EQ(shell.open("C:\\Setup.bat", "/quiet"), kShellOpened);
    // The batch runner got the file; wait for the fake tool to write what it was given.
    const auto written = [this] {
        std::error_code ec;
        return fs::exists(m_dir / "started", ec) && fs::file_size(m_dir / "started", ec) > 0;
    };
    for (int i = 0; i < 200 && !written(); ++i)
        ::usleep(10000);
    std::ifstream in(m_dir / "started");
    std::string args;
    std::getline(in, args);
    EXPECT_EQ(args, "C:\\Setup.bat|/quiet|");
    EXPECT_EQ(shell.open("C:\\Missing.exe", ""), kShellFileNotFound);
    EXPECT_EQ(shell.open("C:\\Other.exe", ""), 11);
}

} // namespace
