// OpenServiceTest.cpp: the desktop open service tells a file without a program from one it opened
// (with a stand-in "gio" on the PATH), and lists and starts the installed applications.
#include "foldersize/services/OpenService.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"

using namespace foldersize;

TEST(OpenServiceTest, AFileWithoutAProgramIsToldApartFromOneThatWasOpened)
{
    QTemporaryDir dir;
    const QString gio = dir.filePath("gio");
    {
        QFile f(gio);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // As gio does: exit code 2 when no program is associated with the type.
        f.write("#!/bin/sh\necho \"$@\" >> \"$0.log\"\ncase \"$2\" in *.unbekannt) exit 2;; esac\nexit 0\n");
    }
    QFile::setPermissions(gio, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()) + ":" + path);
    DesktopOpenService desktop;
    const OpenService::FileOpen known = desktop.openFile("/tmp/ein bild.png");
    const OpenService::FileOpen unknown = desktop.openFile("/tmp/daten.unbekannt");
    qputenv("PATH", path);
    EXPECT_EQ(known, OpenService::FileOpen::Opened);
    EXPECT_EQ(unknown, OpenService::FileOpen::NoProgram);
    QFile log(gio + ".log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), "open file:///tmp/ein%20bild.png\nopen file:///tmp/daten.unbekannt\n");
}

TEST(OpenServiceTest, InstalledApplicationsAreListedByNameAndStartedOnTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("data/applications"));
    const QString script = dir.filePath("zeiger.sh");
    const QString record = dir.filePath("geoeffnet");
    auto write = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    ASSERT_TRUE(write(script, "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"" + QFile::encodeName(record) + "\"\n"));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(write(dir.filePath("data/applications/tm-zeiger.desktop"),
        "[Desktop Entry]\nType=Application\nName=Pointer\nName[de]=Zeiger\nExec=" +
            QFile::encodeName(script) + " %f\n"));
    ASSERT_TRUE(write(dir.filePath("data/applications/tm-versteckt.desktop"),
        "[Desktop Entry]\nType=Application\nName=Versteckt\nNoDisplay=true\nExec=/bin/true %f\n"));
    const QByteArray data = QFile::encodeName(dir.filePath("data"));
    qputenv("XDG_DATA_HOME", data);
    qputenv("XDG_DATA_DIRS", data);
    qputenv("LANGUAGE", "de");
    DesktopOpenService desktop;
    const QList<OpenService::Program> programs = desktop.installedPrograms();
    ASSERT_EQ(programs.size(), 1) << "menus do not show the hidden one";
    EXPECT_EQ(programs[0].id, "tm-zeiger.desktop");
    EXPECT_EQ(programs[0].name, "Zeiger");
    EXPECT_FALSE(desktop.openWith("tm-fehlt.desktop", "/tmp/x"));
    ASSERT_TRUE(desktop.openWith("tm-zeiger.desktop", "/tmp/ein bild.xyz"));
    QDeadlineTimer deadline(20000);
    while (!QFileInfo::exists(record) && !deadline.hasExpired())
        QThread::msleep(20);
    QThread::msleep(50);
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << "the program was started";
    EXPECT_EQ(f.readAll(), "/tmp/ein bild.xyz\n");
}
