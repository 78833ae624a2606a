// OptionsDialogTest.cpp: the options dialog's round trip through the INI file, its change
// tracking and the folder verb it applies.
#include "foldersize/ui/services/OptionsDialog.h"

#include "foldersize/services/IniFile.h"
#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/FindChild.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace foldersize;
using testsupport::child;

namespace {

class OptionsDialogTest : public ::testing::Test {
protected:
    DialogHooks hooks()
    {
        return {[this](const QString& proc, const QString& modul, int, const QString& text) {
                    errors << proc + "/" + modul + ": " + text;
                },
            [this](int aktiv) { verbCalls.push_back(aktiv); }};
    }
    QString read(const char* key) { return INILesen("Optionen", key, "<none>", ini); }
    QByteArray fileBytes()
    {
        QFile f(ini);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir{testHome() + QStringLiteral("/options-XXXXXX")};
    QString ini = dir.filePath(QStringLiteral("Tallymoor.ini"));
    QStringList errors;
    std::vector<int> verbCalls;
};

TEST_F(OptionsDialogTest, FirstStartShowsVerbAndOneCopyTicked)
{
    INISchreiben("Optionen", "Kontextmenu", "1", ini);
    const QByteArray before = fileBytes();
    OptionsDialog dialog(ini, hooks());
    EXPECT_TRUE(child<QCheckBox>(dialog, "chkKontextmenu")->isChecked());
    // The entry is a Linux file manager's, and the box says so.
    const QString verbText = child<QCheckBox>(dialog, "chkKontextmenu")->text();
    EXPECT_TRUE(verbText.contains(QStringLiteral("Dateimanager"))) << verbText.toStdString();
    EXPECT_FALSE(
        verbText.contains(QStringLiteral("Windows")) || verbText.contains(QStringLiteral("Explorer")))
        << verbText.toStdString();
    EXPECT_TRUE(child<QCheckBox>(dialog, "chkInstanz")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkDateianzahlRekursiv")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkNoIcons")->isChecked());
    EXPECT_EQ(verbCalls, std::vector<int>{1}) << "opening re-applies the stored verb";
    dialog.show();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(fileBytes(), before) << "OK without changes writes nothing";
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(OptionsDialogTest, ReadsStoredValues)
{
    INISchreiben("Optionen", "Kontextmenu", "0", ini);
    INISchreiben("Optionen", "Instanz", "0", ini);
    INISchreiben("Optionen", "DateianzahlRekursiv", "1", ini);
    INISchreiben("Optionen", "NoIcons", "1", ini);
    OptionsDialog dialog(ini, hooks());
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkKontextmenu")->isChecked());
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkInstanz")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "chkDateianzahlRekursiv")->isChecked());
    EXPECT_TRUE(child<QCheckBox>(dialog, "chkNoIcons")->isChecked());
    EXPECT_EQ(verbCalls, std::vector<int>{0});
    EXPECT_FALSE(child<QPushButton>(dialog, "cmdApply")->isEnabled()) << "loading is no user change";
}

TEST_F(OptionsDialogTest, ApplyStoresAndCancelKeepsIt)
{
    OptionsDialog dialog(ini, hooks());
    dialog.show();
    EXPECT_FALSE(child<QPushButton>(dialog, "cmdApply")->isEnabled());
    child<QCheckBox>(dialog, "chkNoIcons")->click();
    EXPECT_TRUE(child<QPushButton>(dialog, "cmdApply")->isEnabled());
    QTest::mouseClick(child<QPushButton>(dialog, "cmdApply"), Qt::LeftButton);
    EXPECT_FALSE(child<QPushButton>(dialog, "cmdApply")->isEnabled());
    EXPECT_EQ(read("NoIcons"), QStringLiteral("1"));
    EXPECT_EQ(read("Kontextmenu"), QStringLiteral("1"));
    EXPECT_EQ(read("Instanz"), QStringLiteral("1"));
    EXPECT_EQ(read("DateianzahlRekursiv"), QStringLiteral("0"));
    child<QCheckBox>(dialog, "chkInstanz")->click();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdCancel"), Qt::LeftButton);
    EXPECT_EQ(read("Instanz"), QStringLiteral("1")) << "Abbrechen writes nothing";
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(OptionsDialogTest, TickingAndUntickingStillWritesOnOk)
{
    OptionsDialog dialog(ini, hooks());
    dialog.show();
    child<QCheckBox>(dialog, "chkDateianzahlRekursiv")->click();
    child<QCheckBox>(dialog, "chkDateianzahlRekursiv")->click();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(read("Kontextmenu"), QStringLiteral("1"));
    EXPECT_EQ(read("Instanz"), QStringLiteral("1"));
    EXPECT_EQ(read("DateianzahlRekursiv"), QStringLiteral("0"));
    EXPECT_EQ(read("NoIcons"), QStringLiteral("0"));
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(OptionsDialogTest, ClearingTheVerbRemovesItAtOnce)
{
    OptionsDialog dialog(ini, hooks());
    dialog.show();
    child<QCheckBox>(dialog, "chkKontextmenu")->click();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdApply"), Qt::LeftButton);
    EXPECT_EQ(verbCalls, (std::vector<int>{1, 0}));
    EXPECT_EQ(read("Kontextmenu"), QStringLiteral("0"));
    child<QCheckBox>(dialog, "chkKontextmenu")->click();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(verbCalls, (std::vector<int>{1, 0, 1}));
}

TEST_F(OptionsDialogTest, AnInvalidStoredValueIsReportedAndStopsReading)
{
    INISchreiben("Optionen", "Kontextmenu", "1", ini);
    INISchreiben("Optionen", "Instanz", "0", ini);
    INISchreiben("Optionen", "DateianzahlRekursiv", "ja", ini);
    INISchreiben("Optionen", "NoIcons", "1", ini);
    OptionsDialog dialog(ini, hooks());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("OptionenLaden/frmOptionen: ")));
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkInstanz")->isChecked()) << "read before the bad key";
    EXPECT_FALSE(child<QCheckBox>(dialog, "chkNoIcons")->isChecked()) << "not read after the bad key";
}

TEST_F(OptionsDialogTest, AValueOutsideZeroToTwoIsRejected)
{
    INISchreiben("Optionen", "Kontextmenu", "3", ini);
    OptionsDialog dialog(ini, hooks());
    EXPECT_EQ(errors.size(), 1);
    EXPECT_TRUE(verbCalls.empty());
    EXPECT_TRUE(child<QCheckBox>(dialog, "chkInstanz")->isChecked()) << "design value";
}

TEST_F(OptionsDialogTest, AnUnwritableSettingsFileIsReported)
{
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    ini = blocker + QStringLiteral("/Tallymoor.ini");
    OptionsDialog dialog(ini, hooks());
    dialog.show();
    child<QCheckBox>(dialog, "chkNoIcons")->click();
    QTest::mouseClick(child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("OptionenSpeichern/frmOptionen: ")));
}

} // namespace
