// OpenServiceTest.cpp: the desktop open service tells a file without a program from one it opened
// (with a stand-in "gio" on the PATH).
#include "foldersize/services/OpenService.h"

#include <QFile>
#include <QTemporaryDir>

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
