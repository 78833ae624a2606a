// TallymoorAppTest.cpp: the program speaks German: locale and Qt's own dialog texts.
#include "foldersize/program/TallymoorApp.h"

#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"

using namespace foldersize;

TEST(TallymoorAppTest, QtsOwnDialogTextsAndTheLocaleAreGerman)
{
    QCoreApplication* app = testsupport::ensureApp();
    const QLocale before;
    ASSERT_TRUE(installGermanTranslations(*app)) << "Qt's German translations are installed";
    EXPECT_EQ(QLocale().language(), QLocale::German);
    // Button texts of Qt's message boxes and file dialogs.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Abbrechen");
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Suchen in:");
    QLocale::setDefault(before);
}
