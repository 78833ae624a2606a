// UpdateDialogTest.cpp: the update dialog's proxy settings, check, download, cancel and setup
// hand-off against a loopback server.
#include "foldersize/ui/services/UpdateDialog.h"

#include "foldersize/services/IniFile.h"
#include "foldersize/services/UpdateHandOff.h"
#include "tests/foldersize/services/LoopbackHttpServer.h"
#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/FindChild.h"
#include "tests/support/foldersize/RecordingOpenService.h"
#include "tests/support/foldersize/ScriptedMessageService.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCryptographicHash>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace foldersize;
using testsupport::child;

namespace {

class UpdateDialogTest : public ::testing::Test {
protected:
    UpdateDialogTest()
    {
        g_UpdateStarten = false;
        g_UpdateSetupDatei.clear();
    }

    std::unique_ptr<UpdateDialog> makeDialog()
    {
        auto dialog = std::make_unique<UpdateDialog>(ProgramVersion{1, 9, 0}, QStringLiteral("1.9"), ini,
            setup,
            DialogHooks{
                [this](const QString& proc, const QString&, int, const QString&) { errors << proc; }, {}});
        dialog->m_ProgName = QStringLiteral("Tallymoor");
        dialog->m_URL_Homepage = server.base();
        dialog->m_URL_Version = server.base() + "/version/Version_Tallymoor.txt";
        dialog->m_URL_History = server.base() + "/version/History_Tallymoor.txt";
        dialog->m_URL_Download = server.base() + "/asp/fdl.asp?P=30";
        dialog->m_URL_Checksum = server.base() + "/version/Setup_Tallymoor.sha256";
        return dialog;
    }

    // Serves the setup and, beside the version text, its SHA-256 as sha256sum writes it.
    void serveSetup(const HttpRoute& route)
    {
        server.setRoute("/asp/fdl.asp?P=30", route);
        server.setRoute("/version/Setup_Tallymoor.sha256",
            {200,
                QCryptographicHash::hash(route.body, QCryptographicHash::Sha256).toHex() + "  Update.exe\n"});
    }

    void check(UpdateDialog& dialog)
    {
        QSignalSpy spy(&dialog.controller(), &UpdateController::checkFinished);
        dialog.cmdUPDATE_Click();
        ASSERT_TRUE(spy.wait(20000));
    }

    void download(UpdateDialog& dialog)
    {
        QSignalSpy spy(&dialog.controller(), &UpdateController::downloadFinished);
        dialog.cmdDownload_Click();
        ASSERT_TRUE(spy.wait(20000));
    }

    QString read(const char* key) { return INILesen("InternetUpdate", key, "<none>", ini); }

    LoopbackHttpServer server;
    QTemporaryDir dir{testHome() + QStringLiteral("/updatedialog-XXXXXX")};
    QString ini = dir.filePath(QStringLiteral("Tallymoor.ini"));
    QString setup = dir.filePath(QStringLiteral("cache/Update.exe"));
    ScriptedMessageService messages;
    QStringList errors;
};

TEST_F(UpdateDialogTest, LoadsTheProxySettings)
{
    INISchreiben("InternetUpdate", "UseProxy", "1", ini);
    INISchreiben("InternetUpdate", "ProxyName", "proxy.local", ini);
    INISchreiben("InternetUpdate", "ProxyBenutzer", "anna", ini);
    INISchreiben("InternetUpdate", "ProxyPWspeichern", "1", ini);
    INISchreiben("InternetUpdate", "ProxyPasswort", CryptIt("geheim", true, kCryptKey), ini);
    auto dialog = makeDialog();
    EXPECT_TRUE(child<QCheckBox>(*dialog, "chkUseProxy")->isChecked());
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtProxyName")->text(), QStringLiteral("proxy.local"));
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtProxyPort")->text(), QString())
        << "a missing port empties the box";
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtProxyBenutzername")->text(), QStringLiteral("anna"));
    EXPECT_TRUE(child<QCheckBox>(*dialog, "chkPasswortSpeichern")->isChecked());
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtProxyPasswort")->text(), QStringLiteral("geheim"));
    EXPECT_EQ(child<QLineEdit>(*dialog, "txtProxyPasswort")->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdDownload")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdAbbrechen")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdSetupStarten")->isEnabled());
}

TEST_F(UpdateDialogTest, AnUnreadableStoredPasswordIsReportedAndLeftEmpty)
{
    INISchreiben("InternetUpdate", "ProxyPasswort", "XYZ!", ini);
    auto dialog = makeDialog();
    EXPECT_EQ(errors, QStringList{QStringLiteral("CryptIt")});
    EXPECT_TRUE(child<QLineEdit>(*dialog, "txtProxyPasswort")->text().isEmpty());
}

TEST_F(UpdateDialogTest, ClosingWritesTheSixKeysScramblingThePassword)
{
    auto dialog = makeDialog();
    child<QCheckBox>(*dialog, "chkUseProxy")->setChecked(true);
    child<QLineEdit>(*dialog, "txtProxyName")->setText(QStringLiteral("p"));
    child<QLineEdit>(*dialog, "txtProxyPort")->setText(QStringLiteral("3128"));
    child<QLineEdit>(*dialog, "txtProxyBenutzername")->setText(QStringLiteral("u"));
    child<QLineEdit>(*dialog, "txtProxyPasswort")->setText(QStringLiteral("abc"));
    child<QCheckBox>(*dialog, "chkPasswortSpeichern")->setChecked(true);
    dialog->reject();
    EXPECT_EQ(read("UseProxy"), QStringLiteral("1"));
    EXPECT_EQ(read("ProxyName"), QStringLiteral("p"));
    EXPECT_EQ(read("ProxyPort"), QStringLiteral("3128"));
    EXPECT_EQ(read("ProxyBenutzer"), QStringLiteral("u"));
    EXPECT_EQ(read("ProxyPWspeichern"), QStringLiteral("1"));
    EXPECT_EQ(read("ProxyPasswort"), QStringLiteral("11170F"));
}

TEST_F(UpdateDialogTest, WithoutSavingThePasswordItIsStoredEmpty)
{
    auto dialog = makeDialog();
    child<QLineEdit>(*dialog, "txtProxyPasswort")->setText(QStringLiteral("abc"));
    dialog->reject();
    EXPECT_EQ(read("ProxyPWspeichern"), QStringLiteral("0"));
    EXPECT_EQ(read("ProxyPasswort"), QString());
    EXPECT_TRUE(child<QLineEdit>(*makeDialog(), "txtProxyPasswort")->text().isEmpty());
}

TEST_F(UpdateDialogTest, FirstActivationFillsTheTexts)
{
    g_UpdateStarten = true;
    auto dialog = makeDialog();
    dialog->show();
    EXPECT_FALSE(g_UpdateStarten);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Internet Update - Tallymoor"));
    EXPECT_EQ(child<QLabel>(*dialog, "lblProduktName")->text(), QStringLiteral("Tallymoor"));
    EXPECT_EQ(child<QLabel>(*dialog, "lblVersionInstall")->text(), QStringLiteral("1.9"));
    EXPECT_TRUE(child<QLabel>(*dialog, "Label0")
                    ->text()
                    .contains(QStringLiteral("der Software Tallymoor zum Download")));
    EXPECT_EQ(child<QPushButton>(*dialog, "cmdHomepage")->toolTip(), server.base());
}

TEST_F(UpdateDialogTest, ANewerVersionShowsTheHistoryInBlueAndAllowsTheDownload)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.10.0\r\n"});
    server.setRoute("/version/History_Tallymoor.txt", {200, "Neu:\nmehr"});
    auto dialog = makeDialog();
    dialog->show();
    check(*dialog);
    EXPECT_EQ(child<QLabel>(*dialog, "lblVersionInternet")->text(), QStringLiteral("1.10.0"));
    EXPECT_EQ(child<QLabel>(*dialog, "lblVersionInternet")->palette().color(QPalette::WindowText),
        QColor(Qt::blue));
    EXPECT_EQ(child<QPlainTextEdit>(*dialog, "txtInfo")->toPlainText(), QStringLiteral("Neu:\nmehr"));
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdDownload")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdUPDATE")->isEnabled());
}

TEST_F(UpdateDialogTest, AnEqualVersionKeepsTheDownloadDisabled)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.9.0"});
    auto dialog = makeDialog();
    dialog->show();
    check(*dialog);
    EXPECT_EQ(child<QLabel>(*dialog, "lblVersionInternet")->text(), QStringLiteral("1.9.0"));
    EXPECT_EQ(child<QLabel>(*dialog, "lblVersionInternet")->palette().color(QPalette::WindowText),
        QColor(Qt::black));
    EXPECT_EQ(child<QPlainTextEdit>(*dialog, "txtInfo")->toPlainText(),
        QStringLiteral("Es ist keine neue Version von Tallymoor vorhanden."));
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdDownload")->isEnabled());
}

TEST_F(UpdateDialogTest, DownloadThenInstallHandsTheSetupToTheMainWindow)
{
    HttpRoute route{200, QByteArray(30000, 'S')};
    route.chunkSize = 10000;
    serveSetup(route);
    auto dialog = makeDialog();
    dialog->show();
    download(*dialog);
    EXPECT_EQ(child<QLabel>(*dialog, "lblZiel")->text(), QStringLiteral("Ziel: ") + setup);
    EXPECT_EQ(QFileInfo(setup).size(), 30000);
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdSetupStarten")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdDownload")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdAbbrechen")->isEnabled());
    EXPECT_EQ(child<QProgressBar>(*dialog, "picProgress")->value(), 1000);
    EXPECT_TRUE(messages.shown.isEmpty());

    dialog->cmdSetupStarten_Click();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0],
        QStringLiteral("question: Das Programm muss jetzt für die Installation des Updates beendet werden."));
    EXPECT_TRUE(g_UpdateStarten);
    EXPECT_EQ(g_UpdateSetupDatei, setup);
    EXPECT_FALSE(dialog->isVisible());

    RecordingOpenService open;
    EXPECT_TRUE(startPendingSetup());
    ASSERT_EQ(open.opened.size(), 1);
    EXPECT_EQ(open.opened[0], QUrl::fromLocalFile(setup));
}

TEST_F(UpdateDialogTest, CancellingTheInstallQuestionKeepsEverything)
{
    serveSetup({200, "x"});
    auto dialog = makeDialog();
    dialog->show();
    download(*dialog);
    messages.answerOk = false;
    dialog->cmdSetupStarten_Click();
    EXPECT_FALSE(g_UpdateStarten);
    EXPECT_TRUE(dialog->isVisible());
    RecordingOpenService open;
    EXPECT_FALSE(startPendingSetup());
    EXPECT_TRUE(open.opened.isEmpty());
}

TEST_F(UpdateDialogTest, AFailedDownloadShowsTheWarningWithItsCode)
{
    auto dialog = makeDialog();
    dialog->show();
    download(*dialog);
    EXPECT_EQ(messages.shown,
        QStringList{
            QStringLiteral("warning: Während des Downloads der Updatedatei ist ein Fehler aufgetreten: "
                           "HttpQueryStatusCode: 404 (P203)")});
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdSetupStarten")->isEnabled());
    EXPECT_FALSE(QFile::exists(setup));
}

TEST_F(UpdateDialogTest, ASetupFailingItsChecksumIsNeverOfferedForStart)
{
    server.setRoute("/asp/fdl.asp?P=30", {200, "altered setup"});
    server.setRoute("/version/Setup_Tallymoor.sha256",
        {200, QCryptographicHash::hash("genuine setup", QCryptographicHash::Sha256).toHex()});
    auto dialog = makeDialog();
    dialog->show();
    download(*dialog);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains(QStringLiteral("SHA-256")));
    EXPECT_TRUE(messages.shown[0].endsWith(QStringLiteral("(P208)"))) << messages.shown[0].toStdString();
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdSetupStarten")->isEnabled());
    EXPECT_FALSE(QFile::exists(setup)) << "a setup that failed its check is deleted";
    EXPECT_FALSE(g_UpdateStarten);
}

TEST_F(UpdateDialogTest, CancelResetsTheProgressWithoutAMessage)
{
    HttpRoute route{200, QByteArray(300000, 'S')};
    route.chunkSize = 3000;
    route.chunkDelayMs = 20;
    server.setRoute("/asp/fdl.asp?P=30", route);
    auto dialog = makeDialog();
    dialog->show();
    QObject::connect(&dialog->controller(), &UpdateController::downloadProgress, dialog.get(),
        [&](qint64 received, qint64) {
            if (received > 0 && child<QPushButton>(*dialog, "cmdAbbrechen")->isEnabled())
                child<QPushButton>(*dialog, "cmdAbbrechen")->click();
        });
    download(*dialog);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(child<QLabel>(*dialog, "lblFortschrittWert")->text(), QStringLiteral("-"));
    EXPECT_EQ(child<QLabel>(*dialog, "lblProzent")->text(), QStringLiteral("0 %"));
    EXPECT_EQ(child<QProgressBar>(*dialog, "picProgress")->value(), 0);
    EXPECT_TRUE(child<QPushButton>(*dialog, "cmdDownload")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(*dialog, "cmdSetupStarten")->isEnabled());
    EXPECT_FALSE(QFile::exists(setup));
}

TEST_F(UpdateDialogTest, HomepageOpensTheSite)
{
    RecordingOpenService open;
    auto dialog = makeDialog();
    dialog->cmdHomepage_Click();
    ASSERT_EQ(open.opened.size(), 1);
    EXPECT_EQ(open.opened[0], QUrl(QStringLiteral("http://") + server.base()));
}

} // namespace
