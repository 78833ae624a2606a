// HttpTransferTest.cpp: the stepped libcurl request against a loopback server: bodies in memory
// and in files, status and connection failures, cancel, and files that only appear when complete.
#include "foldersize/services/HttpTransfer.h"

#include "tests/foldersize/services/LoopbackHttpServer.h"
#include "tests/foldersize/services/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

using namespace foldersize;

namespace {

QByteArray pattern(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

class HttpTransferTest : public ::testing::Test {
protected:
    // Steps the transfer to its end (at most 20 s); calls onStep after each step.
    template <typename F> void runToEnd(HttpTransfer& t, F onStep)
    {
        QElapsedTimer timer;
        timer.start();
        while (t.step(10)) {
            onStep();
            ASSERT_LT(timer.elapsed(), 20000) << "transfer did not end";
        }
    }
    void runToEnd(HttpTransfer& t)
    {
        runToEnd(t, [] {});
    }

    TransferRequest request(const std::string& path, BodyMode mode = BodyMode::Memory)
    {
        TransferRequest r;
        r.url = QStringLiteral("http://") + server.base() + QString::fromStdString(path);
        r.mode = mode;
        r.fileName = dir.filePath(QStringLiteral("Update.exe"));
        return r;
    }

    QString target() const { return dir.filePath(QStringLiteral("Update.exe")); }
    QStringList filesInDir() const { return QDir(dir.path()).entryList(QDir::Files); }

    LoopbackHttpServer server;
    QTemporaryDir dir{testHome() + QStringLiteral("/transfer-XXXXXX")};
};

TEST_F(HttpTransferTest, KeepsABodyOfTwentyThousandBytesInMemory)
{
    const QByteArray body = pattern(20000);
    server.setRoute("/data", {200, body});
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/data")));
    runToEnd(t);
    EXPECT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    EXPECT_EQ(t.outcome().status, 200);
    EXPECT_EQ(t.outcome().body, body);
    EXPECT_EQ(t.outcome().expectedLength, 20000);
}

TEST_F(HttpTransferTest, SavesASetupOfThirtyThousandBytesExactly)
{
    const QByteArray body = pattern(30000);
    HttpRoute route{200, body};
    route.chunkSize = 7000;
    server.setRoute("/setup", route);
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/setup", BodyMode::File)));
    runToEnd(t);
    ASSERT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.size(), 30000);
    EXPECT_EQ(file.readAll(), body);
    EXPECT_EQ(filesInDir(), QStringList{QStringLiteral("Update.exe")}) << "no temporary file may remain";
}

TEST_F(HttpTransferTest, SavesABodyWithoutContentLength)
{
    const QByteArray body = pattern(25000);
    HttpRoute route{200, body};
    route.sendContentLength = false;
    route.chunkSize = 5000;
    server.setRoute("/setup", route);
    HttpTransfer t;
    qint64 expectedSeen = 0;
    ASSERT_TRUE(t.start(request("/setup", BodyMode::File)));
    runToEnd(t, [&] { expectedSeen = t.expectedLength(); });
    ASSERT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    EXPECT_EQ(expectedSeen, -1);
    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
}

TEST_F(HttpTransferTest, AnEmptyBodyGivesAnEmptyFile)
{
    server.setRoute("/empty", {200, QByteArray()});
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/empty", BodyMode::File)));
    runToEnd(t);
    ASSERT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    EXPECT_TRUE(QFile::exists(target()));
    EXPECT_EQ(QFileInfo(target()).size(), 0);
}

TEST_F(HttpTransferTest, AnErrorPageIsNotSavedAsTheSetup)
{
    server.setRoute("/setup", {500, "<html>internal error</html>"});
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/setup", BodyMode::File)));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::QueryStatus);
    EXPECT_EQ(t.outcome().status, 500);
    EXPECT_EQ(t.outcome().errorText, QStringLiteral("HttpQueryStatusCode: 500"));
    EXPECT_TRUE(filesInDir().isEmpty());
}

TEST_F(HttpTransferTest, AMissingPageInMemoryModeKeepsNoBody)
{
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/nothing-here")));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::QueryStatus);
    EXPECT_EQ(t.outcome().status, 404);
    EXPECT_TRUE(t.outcome().body.isEmpty());
}

TEST_F(HttpTransferTest, AServerClosingMidDownloadLeavesNoCompleteLookingFile)
{
    HttpRoute route{200, pattern(30000)};
    route.closeAfter = 12000;
    server.setRoute("/setup", route);
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/setup", BodyMode::File)));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::Read);
    EXPECT_TRUE(t.outcome().errorText.startsWith(QLatin1Char('#')));
    EXPECT_FALSE(QFile::exists(target()));
    EXPECT_TRUE(filesInDir().isEmpty());
}

TEST_F(HttpTransferTest, AnOlderCompleteFileSurvivesAFailedDownload)
{
    {
        QFile old(target());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old setup");
    }
    HttpRoute route{200, pattern(30000)};
    route.closeAfter = 100;
    server.setRoute("/setup", route);
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/setup", BodyMode::File)));
    runToEnd(t);
    ASSERT_TRUE(t.outcome().failed());
    QFile old(target());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old setup"));
}

TEST_F(HttpTransferTest, CancelMidDownloadRemovesThePartialFile)
{
    HttpRoute route{200, pattern(200000)};
    route.chunkSize = 2000;
    route.chunkDelayMs = 20;
    server.setRoute("/slow", route);
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/slow", BodyMode::File)));
    runToEnd(t, [&] {
        if (t.received() > 0)
            t.cancel();
    });
    EXPECT_EQ(t.outcome().stage, TransferStage::Cancelled);
    EXPECT_GT(t.outcome().received, 0);
    EXPECT_LT(t.outcome().received, 200000);
    EXPECT_TRUE(filesInDir().isEmpty());
}

TEST_F(HttpTransferTest, FollowsARedirectToTheFile)
{
    HttpRoute redirect{302, QByteArray()};
    redirect.extraHeaders = "Location: /files/setup.bin\r\n";
    server.setRoute("/asp/fdl.asp?P=30", redirect);
    server.setRoute("/files/setup.bin", {200, pattern(1234)});
    HttpTransfer t;
    ASSERT_TRUE(t.start(request("/asp/fdl.asp?P=30", BodyMode::File)));
    runToEnd(t);
    ASSERT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    EXPECT_EQ(QFileInfo(target()).size(), 1234);
}

TEST_F(HttpTransferTest, AnUnreachableServerFailsAtConnect)
{
    HttpTransfer t;
    TransferRequest r = request("/x");
    r.url = QStringLiteral("http://127.0.0.1:%1/x").arg(LoopbackHttpServer::closedPort());
    ASSERT_TRUE(t.start(r));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::Connect);
    EXPECT_TRUE(t.outcome().errorText.startsWith(QStringLiteral("#7 - ")))
        << t.outcome().errorText.toStdString();
}

TEST_F(HttpTransferTest, ARefusingProxyFailsAtConnect)
{
    server.setRoute("/x", {200, "never reached"});
    HttpTransfer t;
    TransferRequest r = request("/x");
    r.useProxy = true;
    r.proxyName = QStringLiteral("127.0.0.1");
    r.proxyPort = QString::number(LoopbackHttpServer::closedPort());
    ASSERT_TRUE(t.start(r));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::Connect);
    EXPECT_EQ(server.connectionsSeen(), 0);
}

TEST_F(HttpTransferTest, GoesThroughTheNamedProxy)
{
    // The loopback server plays the proxy: it receives the absolute address in the request line.
    server.setRoute("/version/Version_Tallymoor.txt", {200, "V1.2.3"});
    HttpTransfer t;
    TransferRequest r;
    r.url = QStringLiteral("http://update.invalid/version/Version_Tallymoor.txt");
    r.useProxy = true;
    r.proxyName = QStringLiteral("127.0.0.1");
    r.proxyPort = QString::number(server.port());
    ASSERT_TRUE(t.start(r));
    runToEnd(t);
    ASSERT_FALSE(t.outcome().failed()) << t.outcome().errorText.toStdString();
    EXPECT_EQ(t.outcome().body, QByteArray("V1.2.3"));
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(server.requestLines()[0], "GET http://update.invalid/version/Version_Tallymoor.txt HTTP/1.1");
}

TEST_F(HttpTransferTest, AnUnwritableTargetFolderFailsAtCreateFile)
{
    // A regular file where the folder should be: no user, root included, can create the target.
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile f(blocker);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    server.setRoute("/setup", {200, pattern(100)});
    HttpTransfer t;
    TransferRequest r = request("/setup", BodyMode::File);
    r.fileName = blocker + QStringLiteral("/Update.exe");
    ASSERT_TRUE(t.start(r));
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::CreateFile);
    EXPECT_FALSE(t.outcome().errorText.isEmpty());
}

TEST_F(HttpTransferTest, AMalformedAddressFailsAtOpenRequest)
{
    HttpTransfer t;
    TransferRequest r;
    r.url = QStringLiteral("http://[broken/x");
    t.start(r);
    runToEnd(t);
    EXPECT_EQ(t.outcome().stage, TransferStage::OpenRequest);
}

} // namespace
