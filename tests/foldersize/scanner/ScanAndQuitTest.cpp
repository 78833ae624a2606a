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

TEST(ScanAndQuitTest, RunsWithoutADisplayAndReportsMissingArgumentsAsDuDoes)
{
    static int argc = 1;
    static char name[] = "tallymoor-program-test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    TempTree t;
    t.file("tree/a.bin", 1000);
    t.file("tree/sub/b.bin", 2000);
    t.file("top.txt", 24);
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
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(t.root()));
    p.start(QStringLiteral(TALLYMOOR_PROGRAM), {"--scan-and-quit", "tree", "missing", "top.txt"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << err.toStdString();
    EXPECT_EQ(p.exitCode(), 1) << "a missing argument fails the run, as in du";
    EXPECT_TRUE(err.contains("tallymoor: cannot access 'missing': No such file or directory"))
        << err.toStdString();
    const QString tree = QString::fromStdString(t.path("tree"));
    EXPECT_TRUE(out.contains("folder: " + tree + "\nbytes: 3000\nfiles: 2\nfolders: 2\n"))
        << out.toStdString();
    const QString file = QString::fromStdString(t.path("top.txt"));
    EXPECT_TRUE(out.contains("folder: " + file + "\nbytes: 24\nfiles: 1\nfolders: 0\n")) << out.toStdString();
    EXPECT_FALSE(out.contains("missing")) << "nothing is measured for it";
    EXPECT_TRUE(out.contains("milliseconds: "));
}
