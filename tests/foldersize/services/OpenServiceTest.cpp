// OpenServiceTest.cpp: the desktop open service opens a file with the program of its type (without
// the gio tool), tells a file without one apart, never hands a folder to Tallymoor's own entry,
// and lists and starts the installed applications. One desktop of test entries for the whole test
// program: GIO reads the folders the XDG variables name once per process.
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

class OpenServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        QDir(s_dir->path()).mkpath("data/applications");
        QDir(s_dir->path()).mkpath("config");
        QDir(s_dir->path()).mkpath("empty");
        // Each start appends the file it was given to the record.
        const QString script = path("zeiger.sh");
        write(
            script, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"" + QFile::encodeName(path("geoeffnet")) + "\"\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray exec = "Exec=" + QFile::encodeName(script) + " %f\n";
        write(path("data/applications/tm-zeiger.desktop"),
            "[Desktop Entry]\nType=Application\nName=Pointer\nName[de]=Zeiger\nMimeType=text/plain;\n" +
                exec);
        write(path("data/applications/tm-versteckt.desktop"),
            "[Desktop Entry]\nType=Application\nName=Versteckt\nNoDisplay=true\nExec=/bin/true %f\n");
        // Tallymoor's own entry for folders, the only program for them here: no file manager.
        write(path("data/applications/tallymoor-folder.desktop"),
            "[Desktop Entry]\nType=Application\nName=Tallymoor\nNoDisplay=true\nMimeType=inode/directory;\n" +
                exec);
        write(path("data/applications/mimeinfo.cache"),
            "[MIME Cache]\ntext/plain=tm-zeiger.desktop;\ninode/directory=tallymoor-folder.desktop;\n");
        for (const char* var : {"XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(var, QFile::encodeName(path("data")));
        for (const char* var : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"})
            qputenv(var, QFile::encodeName(path("config")));
        qputenv("LANGUAGE", "de");
    }
    static void TearDownTestSuite() { delete s_dir; }

    static QString path(const QString& rel) { return s_dir->filePath(rel); }
    static bool write(const QString& file, const QByteArray& text)
    {
        QFile f(file);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    }
    // The files the test program was started on, once count of them arrived (or 20 s passed).
    static QByteArray opened(int count)
    {
        QDeadlineTimer deadline(20000);
        QFile f(path("geoeffnet"));
        while (!deadline.hasExpired()) {
            if (f.open(QIODevice::ReadOnly)) {
                const QByteArray all = f.readAll();
                f.close();
                if (all.count('\n') >= count)
                    return all;
            }
            QThread::msleep(20);
        }
        return QByteArray();
    }

    static QTemporaryDir* s_dir;
};

QTemporaryDir* OpenServiceTest::s_dir = nullptr;

TEST_F(OpenServiceTest, AFileOpensWithItsTypesProgramAndAFolderNeverWithTallymoorItself)
{
    ASSERT_TRUE(write(path("notiz.txt"), "hallo\n"));
    ASSERT_TRUE(write(path("daten.unbekannt"), QByteArray("\x00\x01\x02", 3)));
    // Without the gio tool on the path: the program is found all the same.
    const QByteArray search = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(path("empty")));
    DesktopOpenService desktop;
    const OpenService::FileOpen text = desktop.openFile(path("notiz.txt"));
    const OpenService::FileOpen unknown = desktop.openFile(path("daten.unbekannt"));
    const OpenService::FileOpen folder = desktop.openFile(path("empty"));
    qputenv("PATH", search);
    EXPECT_EQ(text, OpenService::FileOpen::Opened);
    EXPECT_EQ(unknown, OpenService::FileOpen::NoProgram);
    EXPECT_EQ(folder, OpenService::FileOpen::NoProgram) << "Tallymoor's own entry is no file manager";
    EXPECT_EQ(opened(1), QFile::encodeName(path("notiz.txt")) + "\n");
    QThread::msleep(100);
    EXPECT_EQ(opened(1), QFile::encodeName(path("notiz.txt")) + "\n") << "nothing else was started";
    QFile::remove(path("geoeffnet"));
}

TEST_F(OpenServiceTest, InstalledApplicationsAreListedByNameAndStartedOnTheFile)
{
    DesktopOpenService desktop;
    const QList<OpenService::Program> programs = desktop.installedPrograms(path("notiz.txt"));
    ASSERT_EQ(programs.size(), 1) << "menus show neither the hidden one nor Tallymoor's own";
    EXPECT_EQ(programs[0].id, "tm-zeiger.desktop");
    EXPECT_EQ(programs[0].name, "Zeiger");
    EXPECT_TRUE(desktop.installedPrograms(path("empty")).isEmpty()) << "no program for folders but ours";
    EXPECT_FALSE(desktop.openWith("tm-fehlt.desktop", "/tmp/x"));
    ASSERT_TRUE(desktop.openWith("tm-zeiger.desktop", "/tmp/ein bild.xyz"));
    EXPECT_EQ(opened(1), "/tmp/ein bild.xyz\n");
    QFile::remove(path("geoeffnet"));
}
