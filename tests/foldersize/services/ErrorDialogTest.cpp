// ErrorDialogTest.cpp: the error report dialog's texts and buttons.
#include "foldersize/ui/services/ErrorDialog.h"

#include <QClipboard>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ProgramGlobals.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"
#include "tests/support/FindChild.h"
#include "tests/support/foldersize/RecordingOpenService.h"
#include "tests/support/foldersize/ScriptedMessageService.h"

using namespace foldersize;
using testsupport::child;

class ErrorDialogTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
    RecordingOpenService opened;
    const QString report = QStringLiteral("Time: x\nModul: frmMain\nError: 13 - Typen & #\n");
    void SetUp() override
    {
        testsupport::ensureApp();
        globals().errorLogPfad = home.path() + "/data/Tallymoor/";
        globals().bugReportAddress = "bugs@example.invalid";
        globals().progVersion = "1.0";
    }
    void TearDown() override
    {
        ErrorDialog::setEndProgram(nullptr);
        ErrorDialog::setPrinterChooser(nullptr);
    }
    QString log()
    {
        QFile f(errorLogFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(ErrorDialogTest, ShowsTheReportWithItsTexts)
{
    ErrorDialog d(report);
    EXPECT_EQ(d.windowTitle(), "Fehler...");
    EXPECT_EQ(child<QPlainTextEdit>(d, "txtInfo")->toPlainText(), report);
    EXPECT_TRUE(
        child<QLabel>(d, "lblEinleitung")->text().contains("an die Emailadresse bugs@example.invalid."));
    EXPECT_EQ(child<QPushButton>(d, "cmdEmail")->text(), "&Email");
    EXPECT_EQ(child<QPushButton>(d, "cmdDrucken")->text(), "&Drucken");
    EXPECT_EQ(child<QPushButton>(d, "cmdWeiter")->text(), "&Weiter");
    EXPECT_EQ(child<QPushButton>(d, "cmdBeenden")->text(), "&Beenden");
    EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(ErrorDialogTest, HintsFollowThePointer)
{
    ErrorDialog d(report);
    EXPECT_TRUE(child<QLabel>(d, "hint")->text().isEmpty());
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(child<QPushButton>(d, "cmdWeiter"), &enter);
    EXPECT_EQ(child<QLabel>(d, "hint")->text(),
        QStringLiteral(
            "Das Fortsetzen des Programms ist in den meisten Fällen nicht zu empfehlen, da hierdurch "
            "weitere Folgefehler auftreten können."));
    QCoreApplication::sendEvent(child<QPushButton>(d, "cmdDrucken"), &enter);
    EXPECT_EQ(child<QLabel>(d, "hint")->text(), "Hiermit können Sie die Fehlerinformationen ausdrucken.");
}

TEST_F(ErrorDialogTest, TheButtonsStayPutWhileTheHintChanges)
{
    ErrorDialog d(report);
    d.show();
    QCoreApplication::processEvents();
    auto* drucken = child<QPushButton>(d, "cmdDrucken");
    const QRect before = drucken->geometry();
    QEvent enter(QEvent::Enter);
    for (const char* name : {"cmdWeiter", "cmdDrucken", "cmdBeenden", "cmdEmail"}) {
        QCoreApplication::sendEvent(child<QPushButton>(d, name), &enter);
        QCoreApplication::processEvents();
        EXPECT_EQ(drucken->geometry(), before) << "after the hint of " << name;
    }
    // A narrower dialog needs more lines for the hints; the height is kept for the tallest again.
    d.resize(300, d.height());
    QCoreApplication::processEvents();
    const QRect narrow = drucken->geometry();
    QCoreApplication::sendEvent(child<QPushButton>(d, "cmdDrucken"), &enter);
    QCoreApplication::processEvents();
    EXPECT_EQ(drucken->geometry(), narrow);
}

TEST_F(ErrorDialogTest, DruckenOffersAPdfFileAndCancelPrintsNothing)
{
    ScriptedMessageService messages;
    const QString pdf = home.path() + "/bericht.pdf";
    int asked = 0;
    bool choose = false;
    ErrorDialog::setPrinterChooser([&](QWidget*, QPrinter& printer) {
        ++asked;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        return choose;
    });
    ErrorDialog d(report);
    child<QPushButton>(d, "cmdDrucken")->click();
    EXPECT_EQ(asked, 1);
    EXPECT_FALSE(QFile::exists(pdf)) << "Cancel";
    choose = true;
    child<QPushButton>(d, "cmdDrucken")->click();
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().startsWith("%PDF"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(ErrorDialogTest, WeiterLogsCopiesAndCloses)
{
    ErrorDialog d(report);
    d.show();
    child<QPushButton>(d, "cmdWeiter")->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_TRUE(log().contains("Error: 13 - Typen & #"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), report);
    // A second report is appended, not written over the first.
    ErrorDialog again(QStringLiteral("Error: 99 - zwei\n"));
    child<QPushButton>(again, "cmdWeiter")->click();
    EXPECT_TRUE(log().contains("Error: 13"));
    EXPECT_TRUE(log().contains("Error: 99 - zwei"));
}

TEST_F(ErrorDialogTest, EmailHandsTheReportToTheMailProgram)
{
    ErrorDialog d(report);
    child<QPushButton>(d, "cmdEmail")->click();
    ASSERT_EQ(opened.opened.size(), 1);
    const QString url = opened.opened[0].toString(QUrl::FullyDecoded);
    EXPECT_TRUE(url.startsWith("mailto:bugs@example.invalid?subject=Bugreport_Tallymoor_1.0&body=Time: x"))
        << url.toStdString();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), report);
    EXPECT_TRUE(log().isEmpty()) << "only Weiter and Beenden write the log";
}

TEST_F(ErrorDialogTest, BeendenLogsAndEnds)
{
    bool ended = false;
    ErrorDialog::setEndProgram([&] { ended = true; });
    ErrorDialog d(report);
    child<QPushButton>(d, "cmdBeenden")->click();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(log().contains("Modul: frmMain"));
}
