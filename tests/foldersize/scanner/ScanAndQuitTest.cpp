// ScanAndQuitTest.cpp: `tallymoor --scan-and-quit` run as a process, as scripts and the bench run it.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QString>
#include <QThread>

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

// Runs command (program first) in t's root folder. Permissions do not bind root: as root it runs
// without the capabilities that pass over them, so that a closed folder is closed to it too.
ProgramRun run(TempTree& t, QStringList command, const QProcessEnvironment& env, bool permissionsBind = false)
{
    if (permissionsBind && ::geteuid() == 0)
        command = QStringList{"setpriv", "--bounding-set=-dac_override,-dac_read_search"} + command;
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(t.root()));
    p.start(command.takeFirst(), command);
    ProgramRun r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// `tallymoor --scan-and-quit folders...` in t's root folder.
ProgramRun scanAndQuit(
    TempTree& t, const QStringList& folders, const QProcessEnvironment& env, bool permissionsBind = false)
{
    return run(t, QStringList{TALLYMOOR_PROGRAM, "--scan-and-quit"} + folders, env, permissionsBind);
}

// The number after "key: " in the program's output, -1 when there is none.
long long valueOf(const QString& out, const QString& key)
{
    for (const QString& line : out.split(QLatin1Char('\n')))
        if (line.startsWith(key + ": "))
            return line.mid(key.size() + 2).toLongLong();
    return -1;
}

// One of the scan's messages as du (LC_ALL=C) says it: the same case, place and reason.
QString inDusWords(QString m)
{
    m.replace(QRegularExpression("^tallymoor: Ordner (.*) kann nicht gelesen werden: "),
        QStringLiteral("du: cannot read directory \\1: "));
    m.replace(
        QRegularExpression("^tallymoor: kein Zugriff auf (.*): "), QStringLiteral("du: cannot access \\1: "));
    return m.replace(QRegularExpression(": Keine Berechtigung$"), QStringLiteral(": Permission denied"));
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
    // In German, as the help and the option errors (LC_ALL=C, where the C library speaks English).
    EXPECT_TRUE(
        err.contains("tallymoor: kein Zugriff auf 'missing': Datei oder Verzeichnis nicht gefunden\n"))
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
    EXPECT_FALSE(err.contains("das Fensterprogramm")) << err.toStdString();
    EXPECT_TRUE(err.contains(":4711")) << err.toStdString();
}

TEST(ScanAndQuitTest, AnEmptyArgumentIsAnErrorAsInDuAndTheOthersAreMeasured)
{
    needApplication();
    TempTree t;
    t.file("tree/a.bin", 700);
    const ProgramRun r = scanAndQuit(t, {"", "tree"}, programEnvironment(t));
    EXPECT_EQ(r.exitCode, 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("tallymoor: ein leerer Name ist kein gültiger Dateiname"))
        << r.err.toStdString();
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
    EXPECT_TRUE(r.err.contains("kein Zugriff auf 'gone\\tname'")) << r.err.toStdString();
}

TEST(ScanAndQuitTest, ExitCodesMessagesAndFolderEntriesAsDuGivesThemOnTheSameTree)
{
    needApplication();
    TempTree t;
    t.file("open/sub/c", 2);
    t.file("listed/a", 3);
    t.dir("listed/sub");
    t.file("closed/b", 4);
    t.file("inner/ok/d", 5);
    t.file("inner/locked/e", 6);
    ASSERT_EQ(::chmod(t.path("listed").c_str(), 0444), 0); // listed, not entered
    ASSERT_EQ(::chmod(t.path("closed").c_str(), 0), 0);
    ASSERT_EQ(::chmod(t.path("inner/locked").c_str(), 0), 0);
    const QProcessEnvironment env = programEnvironment(t);
    for (const char* tree : {"open", "listed", "closed", "inner"}) {
        SCOPED_TRACE(tree);
        const ProgramRun du = run(t, {"du", "-b", tree}, env, true);
        const ProgramRun ours = scanAndQuit(t, {tree}, env, true);
        EXPECT_EQ(ours.exitCode, du.exitCode) << ours.err.toStdString();
        EXPECT_EQ(du.exitCode, QLatin1String(tree) == QLatin1String("open") ? 0 : 1) << "permissions bite";
        // du's apparent total holds the folders' own entries, which Tallymoor prints apart.
        const QStringList duLines = du.out.trimmed().split(QLatin1Char('\n'));
        EXPECT_EQ(valueOf(ours.out, "bytes") + valueOf(ours.out, "folder-entry-bytes"),
            duLines.last().section(QLatin1Char('\t'), 0, 0).toLongLong())
            << ours.out.toStdString() << du.out.toStdString();
        // Every message is one of du's in German, and a failed run says why.
        const QStringList messages = ours.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        EXPECT_EQ(messages.isEmpty(), du.exitCode == 0) << ours.err.toStdString();
        for (const QString& m : messages)
            EXPECT_TRUE(du.err.contains(inDusWords(m))) << m.toStdString() << "\n" << du.err.toStdString();
    }
}

TEST(ScanAndQuitTest, StandardErrorStaysQuietWithoutARuntimeFolder)
{
    needApplication();
    TempTree t;
    t.file("tree/a.bin", 10);
    QProcessEnvironment env = programEnvironment(t);
    env.remove(QStringLiteral("XDG_RUNTIME_DIR")); // as under su, runuser, cron and ssh
    const ProgramRun r = scanAndQuit(t, {"tree"}, env);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(valueOf(r.out, "bytes"), 10);
}

TEST(ScanAndQuitTest, WithoutAFolderTheWorkingFolderIsMeasuredAndOptionsAnswerAsAProgramDoes)
{
    needApplication();
    TempTree t;
    t.file("a.bin", 7);
    t.file("sub/b.bin", 8);
    const QProcessEnvironment env = programEnvironment(t);
    const ProgramRun here = scanAndQuit(t, {}, env);
    EXPECT_EQ(here.exitCode, 0) << here.err.toStdString();
    QString root = QString::fromStdString(t.root());
    root.chop(1);
    EXPECT_TRUE(here.out.startsWith("folder: " + root + "\nbytes: 15\n")) << here.out.toStdString();
    // With and without a window: the usage and the version on standard output, exit code 0.
    for (const QStringList& scan : {QStringList{"--scan-and-quit"}, QStringList{}}) {
        const ProgramRun help = run(t, QStringList{TALLYMOOR_PROGRAM} + scan + QStringList{"--help"}, env);
        EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith("Aufruf: tallymoor")) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("--scan-and-quit")) << help.out.toStdString();
        EXPECT_EQ(help.err, QString());
        const ProgramRun version = run(t, QStringList{TALLYMOOR_PROGRAM, "--version"} + scan, env);
        EXPECT_EQ(version.exitCode, 0) << version.err.toStdString();
        EXPECT_EQ(version.out, "Tallymoor 1.0\n");
        // An option the program does not know is no folder either.
        const ProgramRun wrong = run(t, QStringList{TALLYMOOR_PROGRAM} + scan + QStringList{"--hilfe"}, env);
        EXPECT_EQ(wrong.exitCode, 1);
        EXPECT_TRUE(wrong.err.contains("tallymoor --help")) << wrong.err.toStdString();
        EXPECT_EQ(wrong.out, QString());
    }
    // After "--" every argument is a folder.
    t.file("--help/c.bin", 9);
    const ProgramRun named = scanAndQuit(t, {"--", "--help"}, env);
    EXPECT_EQ(named.exitCode, 0) << named.err.toStdString();
    EXPECT_EQ(valueOf(named.out, "bytes"), 9);
}

TEST(ScanAndQuitTest, AFolderReachedTwiceThroughABindMountIsCountedOnceAndTheSummarySaysSo)
{
    needApplication();
    TempTree t;
    t.file("tree/real/x/f", 6);
    t.dir("tree/a"); // sorts before the real folder: the real one is the place left out
    // A bind mount needs a mount namespace of its own; one who is not root is root in a user
    // namespace of their own for it.
    QStringList command{"unshare"};
    if (::geteuid() != 0)
        command << "--map-root-user";
    command << "--mount"
            << "sh"
            << "-c"
            << "mount --bind tree/real tree/a && exec \"$0\" --scan-and-quit tree" << TALLYMOOR_PROGRAM;
    const ProgramRun r = run(t, command, programEnvironment(t));
    if (r.exitCode != 0 && !r.out.contains("folder: "))
        GTEST_SKIP() << "no mount namespace to be had: " << r.err.toStdString();
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(valueOf(r.out, "bytes"), 6) << r.out.toStdString();
    EXPECT_EQ(valueOf(r.out, "repeated-folders"), 1) << r.out.toStdString();
}

namespace {

// Starts the window program (offscreen) and ends it once it holds the single-copy lock, which it
// takes after the start's work with the folder entry. Returns what it wrote on standard error.
QString startWindowUntilLocked(TempTree& t, const QProcessEnvironment& env, const QString& lockFile)
{
    QFile::remove(lockFile);
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(t.root()));
    p.start(QStringLiteral(TALLYMOOR_PROGRAM), {});
    QDeadlineTimer deadline(30000);
    while (!QFile::exists(lockFile) && !deadline.hasExpired() && !p.waitForFinished(20)) {}
    const bool locked = QFile::exists(lockFile);
    // The window gets a moment to come up before it is ended.
    if (locked)
        p.waitForFinished(1500);
    p.kill();
    p.waitForFinished(10000);
    // The offscreen platform's own notice; a screen's platform has none.
    const QString err = QString::fromUtf8(p.readAllStandardError())
                            .remove(QStringLiteral("This plugin does not support propagateSizeHints()\n"));
    return (locked ? QString() : QStringLiteral("never took the lock: ")) + err;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(TallymoorStartTest, OnlyTheFirstStartWritesTheFolderEntryAndTheWindowKeepsStandardErrorQuiet)
{
    needApplication();
    TempTree t;
    QProcessEnvironment env = programEnvironment(t);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Without a runtime folder (su, ssh) the running copy's lock goes to TMPDIR/runtime-<user>.
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    t.dir("tmp");
    env.insert(QStringLiteral("TMPDIR"), QString::fromStdString(t.path("tmp")));
    const passwd* pw = ::getpwuid(::geteuid());
    ASSERT_NE(pw, nullptr);
    const QString lock = QString::fromStdString(t.path("tmp/runtime-")) + pw->pw_name + "/Tallymoor.lock";
    const QString home = QString::fromStdString(t.path("home"));
    const QString entry = home + "/applications/tallymoor-folder.desktop";

    // The first start stores the option and writes the entry.
    EXPECT_EQ(startWindowUntilLocked(t, env, lock), QString());
    EXPECT_TRUE(readAll(home + "/Tallymoor/Tallymoor.ini").contains("Kontextmenu=1"));
    ASSERT_TRUE(readAll(entry).contains("\nExec=\"" TALLYMOOR_PROGRAM "\" %f\n"));
    // An entry changed since (another copy's, or edited by hand) stays as it is at a later start
    // with the option on.
    const QByteArray changed =
        "[Desktop Entry]\nType=Application\nName=Tallymoor\nExec=/elsewhere/tallymoor %f\n"
        "MimeType=inode/directory;\n";
    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(changed) == changed.size());
    f.close();
    EXPECT_EQ(startWindowUntilLocked(t, env, lock), QString());
    EXPECT_EQ(readAll(entry), changed);
}
