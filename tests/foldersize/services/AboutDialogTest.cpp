// AboutDialogTest.cpp: version text rule and the two links of the about box.
#include "foldersize/ui/services/AboutDialog.h"

#include "tests/support/FindChild.h"
#include "tests/support/foldersize/RecordingOpenService.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QUrlQuery>

using namespace foldersize;
using testsupport::child;

namespace {

AboutDialog::Texts texts()
{
    return {QStringLiteral("www.tallymoor.example"), QStringLiteral("feedback@tallymoor.example"),
        QStringLiteral("Zeile drei"), QStringLiteral("Zeile fünf")};
}

TEST(AboutDialogTest, VersionTextShowsTheBuildOnlyAboveZero)
{
    EXPECT_EQ(aboutVersionText(1, 1, 0), QStringLiteral("Version 1.1"));
    EXPECT_EQ(aboutVersionText(1, 1, 3), QStringLiteral("Version 1.1 Build 3"));
    AboutDialog dialog(2, 10, 7, texts());
    EXPECT_EQ(dialog.Label1(1)->text(), QStringLiteral("Version 2.10 Build 7"));
    EXPECT_EQ(dialog.Label1(0)->text(), QStringLiteral("Tallymoor "));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Info"));
}

TEST(AboutDialogTest, TheWebLabelOpensTheSiteInTheBrowser)
{
    RecordingOpenService open;
    AboutDialog dialog(1, 1, 0, texts());
    dialog.show();
    QTest::mouseClick(dialog.Label1(2), Qt::LeftButton);
    ASSERT_EQ(open.opened.size(), 1);
    EXPECT_EQ(open.opened[0], QUrl(QStringLiteral("http://www.tallymoor.example")));
}

TEST(AboutDialogTest, TheFeedbackLabelStartsAMail)
{
    RecordingOpenService open;
    AboutDialog dialog(1, 1, 0, texts());
    dialog.Label1_Click(11);
    ASSERT_EQ(open.opened.size(), 1);
    EXPECT_EQ(open.opened[0].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(open.opened[0].path(), QStringLiteral("feedback@tallymoor.example"));
    EXPECT_EQ(QUrlQuery(open.opened[0]).queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded),
        QStringLiteral("Feedback Tallymoor"));
}

TEST(AboutDialogTest, CaptionsAndStaticLinesDoNothing)
{
    RecordingOpenService open;
    AboutDialog dialog(1, 1, 0, texts());
    dialog.show();
    for (int index : {0, 1, 3, 5, 8, 12})
        QTest::mouseClick(dialog.Label1(index), Qt::LeftButton);
    EXPECT_TRUE(open.opened.isEmpty());
    EXPECT_EQ(dialog.Label1(4), nullptr);
}

TEST(AboutDialogTest, OkAndEscapeClose)
{
    AboutDialog dialog(1, 1, 0, texts());
    dialog.show();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

} // namespace
