// ToolbarDialogsTest.cpp: the toolbar's dialogs are shown modally with the configured addresses
// and the download goes to the cache folder.
#include "foldersize/ui/services/ToolbarDialogs.h"

#include "foldersize/services/UpdateHandOff.h"
#include "foldersize/ui/services/OptionsDialog.h"
#include "foldersize/ui/services/UpdateDialog.h"
#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/FindChild.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QTimer>

using namespace foldersize;
using testsupport::child;

namespace {

// Runs check on the modal dialog as soon as it is shown.
template <typename Dialog, typename Check> void whenShown(Check check)
{
    QTimer::singleShot(0, [check] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        check(*dialog);
    });
}

TEST(ToolbarDialogsTest, TheSetupIsKeptInTheCacheFolder)
{
    EXPECT_TRUE(updateSetupPath().startsWith(testHome() + QStringLiteral("/cache/")));
    EXPECT_TRUE(updateSetupPath().endsWith(QStringLiteral("/Update.exe")));
}

TEST(ToolbarDialogsTest, TheUpdateDialogGetsTheConfiguredAddresses)
{
    QTemporaryDir dir(testHome() + QStringLiteral("/toolbar-XXXXXX"));
    g_UpdateStarten = true;
    QString seenVersion;
    QString seenDownload;
    whenShown<UpdateDialog>([&](UpdateDialog& dialog) {
        seenVersion = dialog.m_URL_Version;
        seenDownload = dialog.m_URL_Download;
        dialog.reject();
    });
    const bool install = InternetUpdateZeigen(nullptr, QStringLiteral("Tallymoor"), {1, 2, 0},
        QStringLiteral("1.2"), dir.filePath(QStringLiteral("t.ini")), {});
    EXPECT_FALSE(install) << "opening the dialog clears an old request";
    // HTTPS by default (the build's scheme option).
    EXPECT_TRUE(seenVersion.startsWith(QStringLiteral("https://"))) << seenVersion.toStdString();
    EXPECT_TRUE(seenDownload.startsWith(QStringLiteral("https://")));
    EXPECT_TRUE(seenVersion.endsWith(QStringLiteral("/version/Version_Tallymoor.txt")));
    EXPECT_TRUE(seenDownload.endsWith(QStringLiteral("/asp/fdl.asp?P=30")));
}

TEST(ToolbarDialogsTest, TheOptionsDialogWorksOnTheGivenFile)
{
    QTemporaryDir dir(testHome() + QStringLiteral("/toolbar-XXXXXX"));
    const QString ini = dir.filePath(QStringLiteral("t.ini"));
    std::vector<int> verb;
    whenShown<OptionsDialog>([](OptionsDialog& dialog) {
        child<QCheckBox>(dialog, "chkNoIcons")->click();
        dialog.OptionenSpeichern();
        dialog.accept();
    });
    OptionenZeigen(nullptr, ini, DialogHooks{{}, [&verb](int aktiv) { verb.push_back(aktiv); }});
    EXPECT_EQ(verb, (std::vector<int>{1, 1}));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("NoIcons=1"));
}

} // namespace
