// ScanAndQuitTest.cpp: `tallymoor --scan-and-quit` run as a process, as scripts and the bench run it.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/TempTree.h"

using testsupport::TempTree;

namespace {

void needApplication()
{
    static int argc = 1;
    static char name[] = "tallymoor-program-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// The program's environment: a display that does not exist, and a private home in t.
QProcessEnvironment programEnvironment(TempTree& t)
{
    t.dir("home");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A display that does not exist: a program that tried to open it would abort.
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":4711"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    const QString home = QString::fromStdString(t.path("home"));
    QFile::setPermissions(home, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"})
        env.insert(QString::fromLatin1(var), home);
    return env;
}

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// `tallymoor --scan-and-quit folders...` in t's root folder.
ProgramRun scanAndQuit(TempTree& t, const QStringList& folders, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(t.root()));
    p.start(QStringLiteral(TALLYMOOR_PROGRAM), QStringList{"--scan-and-quit"} + folders);
    ProgramRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(ScanAndQuitTest, RunsWithoutADisplayAndReportsMissingArgumentsAsDuDoes)
{
    needApplication();
    TempTree t;
    t.file("tree/a.bin", 1000);
    t.file("tree/sub/b.bin", 2000);
    t.file("top.txt", 24);
    QProcessEnvironment env = programEnvironment(t);
    // The dynamic loader names every library it loads: the window libraries must not be among them.
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    const ProgramRun r = scanAndQuit(t, {"tree", "missing", "top.txt"}, env);
    const QString& out = r.out;
    const QString& err = r.err;
    EXPECT_EQ(r.exitCode, 1) << "a missing argument fails the run, as in du";
    EXPECT_TRUE(err.contains("tallymoor: cannot access 'missing': No such file or directory"))
        << err.toStdString();
    const QString tree = QString::fromStdString(t.path("tree"));
    EXPECT_TRUE(out.contains("folder: " + tree + "\nbytes: 3000\nfiles: 2\nfolders: 2\n"))
        << out.toStdString();
    const QString file = QString::fromStdString(t.path("top.txt"));
    EXPECT_TRUE(out.contains("folder: " + file + "\nbytes: 24\nfiles: 1\nfolders: 0\n")) << out.toStdString();
    EXPECT_FALSE(out.contains("missing")) << "nothing is measured for it";
    EXPECT_TRUE(out.contains("milliseconds: "));
    EXPECT_TRUE(err.contains("libQt6Core")) << "the loader's names are seen";
    for (const char* windowLibrary : {"libQt6Gui", "libQt6Widgets", "tallymoor-window"})
        EXPECT_FALSE(err.contains(QLatin1String(windowLibrary))) << windowLibrary;
}

TEST(ScanAndQuitTest, WithoutTheOptionTheProgramLoadsItsWindowProgram)
{
    needApplication();
    TempTree t;
    QProcess p;
    p.setProcessEnvironment(programEnvironment(t));
    p.start(QStringLiteral(TALLYMOOR_PROGRAM), {QString::fromStdString(t.root())});
    ASSERT_TRUE(p.waitForFinished(60000));
    // The window program is found beside the program and gets as far as asking for the display.
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_FALSE(err.contains("cannot load the window program")) << err.toStdString();
    EXPECT_TRUE(err.contains(":4711")) << err.toStdString();
}

TEST(ScanAndQuitTest, AnEmptyArgumentIsAnErrorAsInDuAndTheOthersAreMeasured)
{
    needApplication();
    TempTree t;
    t.file("tree/a.bin", 700);
    const ProgramRun r = scanAndQuit(t, {"", "tree"}, programEnvironment(t));
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("tallymoor: invalid zero-length file name")) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("folder: " + QString::fromStdString(t.path("tree")) + "\nbytes: 700\n"))
        << r.out.toStdString();
    EXPECT_EQ(r.out.count("folder: "), 1) << "the empty argument is not the working folder";
}

TEST(ScanAndQuitTest, ControlCharactersInNamesAreEscapedSoEveryLineIsOneRecord)
{
    needApplication();
    TempTree t;
    t.file("x\nbytes: 999/a.bin", 5);
    t.file("x\\nbytes: 999/b.bin", 6);
    const ProgramRun r =
        scanAndQuit(t, {"x\nbytes: 999", "x\\nbytes: 999", "gone\tname"}, programEnvironment(t));
    const QString root = QString::fromStdString(t.root()); // ends in "/"
    EXPECT_TRUE(r.out.contains("folder: " + root + "x\\nbytes: 999\nbytes: 5\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("folder: " + root + "x\\\\nbytes: 999\nbytes: 6\n")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("\nbytes: 999")) << "no false record";
    EXPECT_TRUE(r.err.contains("cannot access 'gone\\tname'")) << r.err.toStdString();
}
