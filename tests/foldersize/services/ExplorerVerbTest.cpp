// ExplorerVerbTest.cpp: the per-user desktop entry for folders.
#include "foldersize/services/ExplorerVerb.h"

#include <QFile>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"

using namespace foldersize;

class ExplorerVerbTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
    QString read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(ExplorerVerbTest, RegisteringWritesAFolderEntryUnderTheUsersDataFolder)
{
    EXPECT_EQ(explorerVerbFile(), home.path() + "/data/applications/tallymoor-folder.desktop");
    ASSERT_TRUE(KontextmenuRegistrieren(1, "/opt/Tally Moor/tallymoor"));
    const QString text = read(explorerVerbFile());
    EXPECT_TRUE(text.startsWith("[Desktop Entry]\n"));
    // Without the last ";" (xdg-open without a desktop would take it for the folders' opener).
    EXPECT_TRUE(text.contains("\nMimeType=inode/directory\n"));
    EXPECT_TRUE(text.contains("\nExec=\"/opt/Tally Moor/tallymoor\" %f\n"));
    // Passed over once the program is gone.
    EXPECT_TRUE(text.contains("\nTryExec=/opt/Tally Moor/tallymoor\n"));
    EXPECT_TRUE(text.contains("\nNoDisplay=true\n"));
    // Never the default handler: no association list is written.
    EXPECT_FALSE(QFile::exists(home.path() + "/config/mimeapps.list"));
    EXPECT_FALSE(QFile::exists(home.path() + "/data/applications/mimeapps.list"));
}

TEST_F(ExplorerVerbTest, RemovingDeletesTheEntryAndAMissingEntryIsFine)
{
    ASSERT_TRUE(KontextmenuRegistrieren(1, "/usr/bin/tallymoor"));
    ASSERT_TRUE(QFile::exists(explorerVerbFile()));
    EXPECT_TRUE(KontextmenuRegistrieren(0, "/usr/bin/tallymoor"));
    EXPECT_FALSE(QFile::exists(explorerVerbFile()));
    EXPECT_TRUE(KontextmenuRegistrieren(0, "/usr/bin/tallymoor"));
}

TEST_F(ExplorerVerbTest, ExecLineQuotesSpecialCharacters)
{
    EXPECT_EQ(desktopExecLine("/a b/t"), "\"/a b/t\" %f");
    EXPECT_EQ(desktopExecLine("/x$y\"z"), "\"/x\\\\$y\\\\\"z\" %f");
    EXPECT_EQ(desktopExecLine("/100%/t"), "\"/100%%/t\" %f");
}
