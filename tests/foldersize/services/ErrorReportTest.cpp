// ErrorReportTest.cpp: templates, the report lines, the error log and the central error routine.
#include "foldersize/services/ErrorReport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "foldersize/services/ProgramGlobals.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"

using namespace foldersize;

class ErrorReportTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
    QStringList shown;
    SystemFacts facts;
    void SetUp() override
    {
        globals().errorLogPfad = home.path() + "/data/Tallymoor/";
        globals().versionMajor = 1;
        globals().versionMinor = 2;
        globals().versionRevision = 0;
        setReportPresenter([this](const QString& t) { shown << t; });
        facts.time = "08.12.2026 10:00:00";
        facts.exePath = "/opt/tallymoor/bin/tallymoor";
        facts.os = "Testix Version: 6.1 Build: 0 ID: Linux";
        facts.guiVersion = "6.4.2";
        facts.memory = "100,00 MB free, 200,00 MB used";
        facts.cpu = "(1) Test, 0 MHz";
        facts.screenWidth = 1024;
        facts.screenHeight = 768;
    }
    void TearDown() override { setReportPresenter(nullptr); }
    QString log()
    {
        QFile f(errorLogFile());
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
};

TEST_F(ErrorReportTest, TemplateFill)
{
    EXPECT_EQ(MeldungFormatieren(0, "erste%!zweite %1", {QVariant("Wert")}), "erste\nzweite Wert");
    EXPECT_EQ(MeldungFormatieren(0, "ohne Marken"), "ohne Marken");
    EXPECT_EQ(MeldungFormatieren(1119, "%2 vor %1, %1!", {QVariant(1), QVariant("b")}), "b vor 1, 1!");
}

TEST_F(ErrorReportTest, ReportHasTwelveLinesInOrder)
{
    const QString r =
        FehlerberichtErstellen("TreeviewFüllen", "frmMain", 50, {13, "Typen unverträglich", ""}, facts);
    const QStringList lines = r.split('\n');
    ASSERT_EQ(lines.size(), 13); // twelve lines, each ended by a line break
    EXPECT_EQ(lines[0], "Time: 08.12.2026 10:00:00");
    EXPECT_EQ(lines[1], "Prog: Tallymoor 1.2.0");
    EXPECT_EQ(lines[2], "Modul: frmMain");
    EXPECT_EQ(lines[3], "Function: TreeviewFüllen");
    EXPECT_EQ(lines[4], "Line: 50");
    EXPECT_EQ(lines[5], "Error: 13 - Typen unverträglich");
    EXPECT_EQ(lines[6], "Path: /opt/tallymoor/bin/tallymoor");
    EXPECT_EQ(lines[7], "OS: Testix Version: 6.1 Build: 0 ID: Linux");
    EXPECT_EQ(lines[8], "IE: 6.4.2");
    EXPECT_EQ(lines[9], "Mem: 100,00 MB free, 200,00 MB used");
    EXPECT_EQ(lines[10], "CPU: (1) Test, 0 MHz");
    EXPECT_EQ(lines[11], "Screen: 1024x768");
    EXPECT_EQ(lines[12], "");
}

TEST_F(ErrorReportTest, DebugValuesFollowAnEmptyLine)
{
    const QString t = fehlerText(
        "QuelleEinlesen", "frmMain", 20, {5, "x", ""}, {QVariant("/pfad/"), QVariant("K000")}, facts);
    EXPECT_TRUE(t.endsWith("Screen: 1024x768\n\nDebug0: /pfad/\nDebug1: K000\n")) << t.toStdString();
    FehlerAnzeigen("QuelleEinlesen", "frmMain", 20, {5, "x", ""}, {QVariant("/pfad/")});
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains("Function: QuelleEinlesen\n"));
    EXPECT_TRUE(shown[0].endsWith("\n\nDebug0: /pfad/\n"));
}

TEST_F(ErrorReportTest, ErrorLogLinesAndReportsAppend)
{
    ErrorLogSchreiben("Die Dateigröße für 'x' konnte nicht ermittelt werden!");
    ASSERT_TRUE(appendReportToErrorLog("Time: a\nError: 1 - b\n"));
    ASSERT_TRUE(appendReportToErrorLog("Time: c\nError: 2 - d\n"));
    const QString l = log();
    EXPECT_TRUE(l.contains(" - Die Dateigröße für 'x' konnte nicht ermittelt werden!\n\n"));
    EXPECT_EQ(l.count("Fehlerbericht (Error)"), 2) << "a second report is appended, not replaced";
    EXPECT_LT(l.indexOf("Error: 1 - b"), l.indexOf("Error: 2 - d"));
}

TEST_F(ErrorReportTest, UnwritableLogIsSilent)
{
    QFile blocker(home.path() + "/blocker");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    globals().errorLogPfad = home.path() + "/blocker/sub/";
    ErrorLogSchreiben("lost");
    EXPECT_FALSE(appendReportToErrorLog("lost too"));
}

TEST_F(ErrorReportTest, ExceptionNamesAndDescriptions)
{
    EXPECT_EQ(exceptionName(0xC0000005u), "EXCEPTION_ACCESS_VIOLATION");
    EXPECT_EQ(exceptionName(0xC0000094u), "EXCEPTION_INT_DIVIDE_BY_ZERO");
    EXPECT_EQ(exceptionName(0xC0000092u), "Unknown exception type");
    EXPECT_EQ(exceptionName(0x80000003u), "EXCEPTION_BREAKPOINT");
    EXPECT_EQ(continuationText(0), "Ok to continue.");
    EXPECT_EQ(continuationText(1), "NOT ok to continue.");
    EXPECT_EQ(continuationText(8), "Probably safe to continue, but better not.");
    EXPECT_EQ(unhandledExceptionDescription("EXCEPTION_ACCESS_VIOLATION", -5, 0),
        "An unhandled error (EXCEPTION_ACCESS_VIOLATION) \noccurred at: -5. Ok to continue.");
    EXPECT_EQ(kUnhandledExceptionError, static_cast<std::int32_t>(0x80040201u));
}

TEST_F(ErrorReportTest, MailBodyEncodesLineEndsOnly)
{
    const QString url = reportMailUrl("a@b.c", "Tallymoor", "1.2", "Line 1 & #2\nLine 2\r\n");
    EXPECT_EQ(url, "mailto:a@b.c?subject=Bugreport_Tallymoor_1.2&body=Line 1 & #2%0ALine 2%0A");
    EXPECT_FALSE(url.contains('\r'));
}
