// UpdateControllerTest.cpp: the update check and the setup download against a loopback server.
#include "foldersize/services/UpdateController.h"

#include "foldersize/services/Windows1252.h"
#include "tests/foldersize/services/LoopbackHttpServer.h"
#include "tests/foldersize/services/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace foldersize;

namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 13) & 0xFF);
    return bytes;
}

class UpdateControllerTest : public ::testing::Test {
protected:
    UpdateControllerTest()
    {
        controller.setEndpoints({server.base(), server.base() + "/version/Version_Tallymoor.txt",
            server.base() + "/version/History_Tallymoor.txt", server.base() + "/asp/fdl.asp?P=30",
            server.base() + "/version/Setup_Tallymoor.sha256"});
        controller.setDownloadFile(dir.filePath(QStringLiteral("Update.exe")));
    }

    CheckReport check()
    {
        QSignalSpy spy(&controller, &UpdateController::checkFinished);
        controller.startCheck();
        EXPECT_TRUE(spy.wait(20000));
        return spy.isEmpty() ? CheckReport{} : spy.takeFirst().at(0).value<CheckReport>();
    }

    QString download()
    {
        QSignalSpy spy(&controller, &UpdateController::downloadFinished);
        controller.startDownload();
        EXPECT_TRUE(spy.wait(20000));
        return spy.isEmpty() ? QStringLiteral("<none>") : spy.takeFirst().at(0).toString();
    }

    // Serves the setup and, beside the version text, its SHA-256 as sha256sum writes it.
    void serveSetup(const HttpRoute& route)
    {
        server.setRoute("/asp/fdl.asp?P=30", route);
        server.setRoute("/version/Setup_Tallymoor.sha256",
            {200,
                QCryptographicHash::hash(route.body, QCryptographicHash::Sha256).toHex() + "  Update.exe\n"});
    }

    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files); }

    LoopbackHttpServer server;
    QTemporaryDir dir{testHome() + QStringLiteral("/update-XXXXXX")};
    UpdateController controller{QStringLiteral("Tallymoor"), ProgramVersion{1, 9, 0}};
};

TEST_F(UpdateControllerTest, ANewerVersionShowsTheHistoryAndAllowsTheDownload)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.10.0\r\n"});
    server.setRoute(
        "/version/History_Tallymoor.txt", {200, toWindows1252(QStringLiteral("1.10.0\nGröße neu\r\nEnde"))});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::Newer);
    EXPECT_EQ(r.versionText, QStringLiteral("1.10.0"));
    EXPECT_EQ(r.info, QStringLiteral("1.10.0\r\nGröße neu\r\nEnde"));
    EXPECT_TRUE(r.downloadEnabled);
}

TEST_F(UpdateControllerTest, AnEqualVersionSaysThereIsNothingNew)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.9.0\r\n"});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::NotNewer);
    EXPECT_EQ(r.versionText, QStringLiteral("1.9.0"));
    EXPECT_EQ(r.info, QStringLiteral("Es ist keine neue Version von Tallymoor vorhanden."));
    EXPECT_FALSE(r.downloadEnabled);
    EXPECT_EQ(server.requestLines().size(), 1u) << "no history is fetched";
}

TEST_F(UpdateControllerTest, AnOlderVersionIsNotOffered)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.8.7"});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::NotNewer);
    EXPECT_EQ(r.versionText, QStringLiteral("1.8.7"));
    EXPECT_FALSE(r.downloadEnabled);
}

TEST_F(UpdateControllerTest, ABrokenVersionTextIsReportedClearly)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.10"});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::Failed);
    EXPECT_EQ(r.info,
        QStringLiteral("Bei der Überprüfung ist ein Fehler aufgetreten: "
                       "Die Versionsangabe des Servers ist ungültig: \"1.10\""));
    EXPECT_FALSE(r.downloadEnabled);
}

TEST_F(UpdateControllerTest, AnUnreachableServerIsReported)
{
    controller.setEndpoints({QString(),
        QStringLiteral("127.0.0.1:%1/v").arg(LoopbackHttpServer::closedPort()), QString(), QString()});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::Failed);
    EXPECT_TRUE(r.info.startsWith(
        QStringLiteral("Bei der Überprüfung ist ein Fehler aufgetreten: InternetConnect: #7")))
        << r.info.toStdString();
}

TEST_F(UpdateControllerTest, AFailedHistoryStillAllowsTheDownload)
{
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V2.0.0"});
    const CheckReport r = check();
    EXPECT_EQ(r.outcome, CheckOutcome::Newer);
    EXPECT_EQ(r.info, QStringLiteral("HttpQueryStatusCode: 404"));
    EXPECT_TRUE(r.downloadEnabled);
}

TEST_F(UpdateControllerTest, DownloadsASetupOfThirtyThousandBytesWithProgress)
{
    const QByteArray setup = pattern(30000);
    HttpRoute route{200, setup};
    route.chunkSize = 10000;
    route.chunkDelayMs = 30;
    serveSetup(route);
    QSignalSpy progress(&controller, &UpdateController::downloadProgress);
    EXPECT_EQ(download(), QString());
    QFile file(controller.downloadFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 30000);
    EXPECT_EQ(file.readAll(), setup);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toLongLong(), 30000);
    EXPECT_EQ(progress.last().at(1).toLongLong(), 30000);
    EXPECT_EQ(files(), QStringList{QStringLiteral("Update.exe")});
}

TEST_F(UpdateControllerTest, DownloadsWithoutContentLength)
{
    HttpRoute route{200, pattern(15000)};
    route.sendContentLength = false;
    serveSetup(route);
    QSignalSpy progress(&controller, &UpdateController::downloadProgress);
    EXPECT_EQ(download(), QString());
    EXPECT_EQ(QFileInfo(controller.downloadFile()).size(), 15000);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(1).toLongLong(), -1);
}

TEST_F(UpdateControllerTest, CancelMidDownloadLeavesNoFile)
{
    HttpRoute route{200, pattern(300000)};
    route.chunkSize = 3000;
    route.chunkDelayMs = 20;
    server.setRoute("/asp/fdl.asp?P=30", route);
    QObject::connect(
        &controller, &UpdateController::downloadProgress, &controller, [this](qint64 received, qint64) {
            if (received > 0)
                controller.cancelDownload();
        });
    EXPECT_EQ(download(), kDownloadCancelled);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_FALSE(controller.downloading());
}

TEST_F(UpdateControllerTest, AServerClosingMidDownloadLeavesNoCompleteLookingFile)
{
    HttpRoute route{200, pattern(30000)};
    route.closeAfter = 20000;
    server.setRoute("/asp/fdl.asp?P=30", route);
    const QString result = download();
    EXPECT_TRUE(result.endsWith(QStringLiteral(" (P205)"))) << result.toStdString();
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(UpdateControllerTest, AnErrorPageIsNotSavedAsTheSetup)
{
    server.setRoute("/asp/fdl.asp?P=30", {404, "<html>weg</html>"});
    EXPECT_EQ(download(), QStringLiteral("HttpQueryStatusCode: 404 (P203)"));
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(UpdateControllerTest, AnUnwritableTargetIsReportedWithItsCode)
{
    server.setRoute("/asp/fdl.asp?P=30", {200, pattern(10)});
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    controller.setDownloadFile(blocker + QStringLiteral("/Update.exe"));
    EXPECT_TRUE(download().endsWith(QStringLiteral(" (P204)")));
}

TEST_F(UpdateControllerTest, AnUnreachableDownloadServerIsReportedWithItsCode)
{
    controller.setEndpoints({QString(), QString(), QString(),
        QStringLiteral("127.0.0.1:%1/asp/fdl.asp?P=30").arg(LoopbackHttpServer::closedPort())});
    const QString result = download();
    EXPECT_TRUE(result.startsWith(QStringLiteral("#7 - "))) << result.toStdString();
    EXPECT_TRUE(result.endsWith(QStringLiteral(" (P201)")));
}

TEST_F(UpdateControllerTest, TwoDownloadsAskForTheSameAddress)
{
    serveSetup({200, pattern(500)});
    EXPECT_EQ(download(), QString());
    EXPECT_EQ(download(), QString());
    const auto lines = server.requestLines();
    ASSERT_EQ(lines.size(), 4u) << "each setup, then its checksum";
    EXPECT_EQ(lines[0], "GET /asp/fdl.asp?P=30 HTTP/1.1");
    EXPECT_EQ(lines[1], "GET /version/Setup_Tallymoor.sha256 HTTP/1.1");
    EXPECT_EQ(lines[2], lines[0]);
    EXPECT_EQ(lines[3], lines[1]);
}

TEST_F(UpdateControllerTest, ASetupThatFailsItsChecksumIsDeleted)
{
    server.setRoute("/asp/fdl.asp?P=30", {200, pattern(3000)});
    server.setRoute("/version/Setup_Tallymoor.sha256",
        {200, QCryptographicHash::hash(pattern(2999), QCryptographicHash::Sha256).toHex()});
    const QString result = download();
    EXPECT_TRUE(result.contains(QStringLiteral("SHA-256"))) << result.toStdString();
    EXPECT_TRUE(result.endsWith(QStringLiteral(" (P208)")));
    EXPECT_TRUE(files().isEmpty()) << "nothing that failed the check stays to be started";
    EXPECT_FALSE(controller.downloading());
}

TEST_F(UpdateControllerTest, ASetupWithoutAReadableChecksumIsDeleted)
{
    server.setRoute("/asp/fdl.asp?P=30", {200, pattern(3000)});
    // No checksum on the server.
    QString result = download();
    EXPECT_TRUE(result.startsWith(QStringLiteral("Die Prüfsumme der Updatedatei ist nicht erhältlich")))
        << result.toStdString();
    EXPECT_TRUE(result.contains(QStringLiteral("404")));
    EXPECT_TRUE(result.endsWith(QStringLiteral(" (P208)")));
    EXPECT_TRUE(files().isEmpty());
    // A text that is no checksum.
    server.setRoute("/version/Setup_Tallymoor.sha256", {200, "<html>bitte später</html>"});
    result = download();
    EXPECT_TRUE(result.endsWith(QStringLiteral(" (P208)"))) << result.toStdString();
    EXPECT_TRUE(files().isEmpty());
}

} // namespace
