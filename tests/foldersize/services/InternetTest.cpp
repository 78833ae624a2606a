// InternetTest.cpp: the GET into a file or text, address splitting and building, and the browser
// and mail hand-offs.
#include "foldersize/services/Internet.h"

#include "tests/foldersize/services/LoopbackHttpServer.h"
#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/foldersize/RecordingOpenService.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>

using namespace foldersize;

namespace {

class InternetTest : public ::testing::Test {
protected:
    LoopbackHttpServer server;
    QTemporaryDir dir{testHome() + QStringLiteral("/internet-XXXXXX")};
};

TEST_F(InternetTest, TextModeReturnsTheWholeBody)
{
    QByteArray body;
    for (int i = 0; i < 2000; ++i)
        body += "Zeile ";
    server.setRoute("/version/History_Tallymoor.txt", {200, body});
    const DownloadResult r =
        DownloadFileToDiskOrString(server.base() + QStringLiteral("/version/History_Tallymoor.txt"),
            kToDiskText, QString(), false, QString(), QString());
    EXPECT_FALSE(r.Failed) << r.Text.toStdString();
    EXPECT_EQ(r.Text, QString::fromLatin1(body));
}

TEST_F(InternetTest, AcceptsTheHttpPrefixAndReadsWindows1252Text)
{
    server.setRoute("/h",
        {200,
            QByteArray("Gr\xF6\xDF"
                       "e \x80 5\r\n")});
    const DownloadResult r =
        DownloadFileToDiskOrString(QStringLiteral("http://") + server.base() + QStringLiteral("/h"),
            kToDiskText, QString(), false, QString(), QString());
    ASSERT_FALSE(r.Failed) << r.Text.toStdString();
    EXPECT_EQ(r.Text, QStringLiteral("Größe € 5\r\n"));
}

TEST_F(InternetTest, AnEmptyBodyIsAnEmptySuccess)
{
    server.setRoute("/e", {200, QByteArray()});
    const DownloadResult r = DownloadFileToDiskOrString(
        server.base() + QStringLiteral("/e"), kToDiskText, QString(), false, QString(), QString());
    EXPECT_FALSE(r.Failed);
    EXPECT_TRUE(r.Text.isEmpty());
}

TEST_F(InternetTest, AnAddressWithoutPathAsksForTheRoot)
{
    server.setRoute("/", {200, "root page"});
    const DownloadResult r =
        DownloadFileToDiskOrString(server.base(), kToDiskText, QString(), false, QString(), QString());
    ASSERT_FALSE(r.Failed) << r.Text.toStdString();
    EXPECT_EQ(r.Text, QStringLiteral("root page"));
}

TEST_F(InternetTest, StatusNotFoundFailsWithoutCreatingTheFile)
{
    const QString file = dir.filePath(QStringLiteral("out.bin"));
    const DownloadResult r = DownloadFileToDiskOrString(
        server.base() + QStringLiteral("/missing"), kToDiskFile, file, false, QString(), QString());
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.Text, QStringLiteral("HttpQueryStatusCode: 404"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(InternetTest, FileModeWritesTheBodyAndReturnsNoText)
{
    const QByteArray body(20000, 'x');
    server.setRoute("/f", {200, body});
    const QString file = dir.filePath(QStringLiteral("out.bin"));
    const DownloadResult r = DownloadFileToDiskOrString(
        server.base() + QStringLiteral("/f"), kToDiskFile, file, false, QString(), QString());
    ASSERT_FALSE(r.Failed) << r.Text.toStdString();
    EXPECT_TRUE(r.Text.isEmpty());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), body);
}

TEST_F(InternetTest, OtherToDiskValuesMakeTheRequestWithoutKeepingTheBody)
{
    server.setRoute("/f", {200, QByteArray(5000, 'x')});
    const QString file = dir.filePath(QStringLiteral("out.bin"));
    const DownloadResult r = DownloadFileToDiskOrString(
        server.base() + QStringLiteral("/f"), 1, file, false, QString(), QString());
    EXPECT_FALSE(r.Failed) << r.Text.toStdString();
    EXPECT_TRUE(r.Text.isEmpty());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(server.requestLines().size(), 1u);
}

TEST_F(InternetTest, AnUnreachableServerNamesTheFailedStep)
{
    const DownloadResult r =
        DownloadFileToDiskOrString(QStringLiteral("127.0.0.1:%1/x").arg(LoopbackHttpServer::closedPort()),
            kToDiskText, QString(), false, QString(), QString());
    EXPECT_TRUE(r.Failed);
    EXPECT_TRUE(r.Text.startsWith(QStringLiteral("InternetConnect: #7 - "))) << r.Text.toStdString();
}

TEST_F(InternetTest, ARefusingProxyNamesTheFailedStep)
{
    const DownloadResult r = DownloadFileToDiskOrString(server.base() + QStringLiteral("/x"), kToDiskText,
        QString(), true, QStringLiteral("127.0.0.1"), QString::number(LoopbackHttpServer::closedPort()));
    EXPECT_TRUE(r.Failed);
    EXPECT_TRUE(r.Text.startsWith(QStringLiteral("InternetConnect: "))) << r.Text.toStdString();
}

TEST_F(InternetTest, AnAddressWithoutHostFailsAtOpenRequest)
{
    const DownloadResult r = DownloadFileToDiskOrString(
        QStringLiteral("/only/a/path"), kToDiskText, QString(), false, QString(), QString());
    EXPECT_TRUE(r.Failed);
    EXPECT_TRUE(r.Text.startsWith(QStringLiteral("HttpOpenRequest: "))) << r.Text.toStdString();
}

TEST(SplitURLTest, SplitsHostAndPath)
{
    QString address = QStringLiteral("http://www.example.org/version/Version_Tallymoor.txt");
    QString path;
    SplitURL(address, path);
    EXPECT_EQ(address, QStringLiteral("www.example.org"));
    EXPECT_EQ(path, QStringLiteral("/version/Version_Tallymoor.txt"));
}

TEST(SplitURLTest, KeepsAnAddressWithoutSlash)
{
    QString address = QStringLiteral("www.example.org");
    QString path;
    SplitURL(address, path);
    EXPECT_EQ(address, QStringLiteral("www.example.org"));
    EXPECT_TRUE(path.isEmpty());
}

TEST(SplitURLTest, RemovesOnlyTheLowerCasePrefix)
{
    QString address = QStringLiteral("HTTP://host/p");
    QString path;
    SplitURL(address, path);
    EXPECT_EQ(address, QStringLiteral("HTTP:"));
    EXPECT_EQ(path, QStringLiteral("//host/p"));
}

TEST(RequestUrlTest, EscapesWhatAUrlCannotHoldAndKeepsThePort)
{
    const QUrl url = requestUrl(QStringLiteral("host.example:8080/a folder/ä.txt?P=30"));
    ASSERT_TRUE(url.isValid());
    EXPECT_EQ(url.port(), 8080);
    EXPECT_EQ(url.toEncoded(), QByteArray("http://host.example:8080/a%20folder/%C3%A4.txt?P=30"));
}

TEST(StartURLTest, PutsTheSchemeInFrontWhenMissing)
{
    RecordingOpenService open;
    QString url = QStringLiteral("www.example.org");
    StartURL(url);
    EXPECT_EQ(url, QStringLiteral("http://www.example.org"));
    ASSERT_EQ(open.opened.size(), 1);
    EXPECT_EQ(open.opened[0], QUrl(QStringLiteral("http://www.example.org")));
}

TEST(StartURLTest, LeavesAnAddressWithSchemeInAnyCaseAlone)
{
    RecordingOpenService open;
    QString upper = QStringLiteral("HTTP://WWW.EXAMPLE.ORG");
    StartURL(upper);
    EXPECT_EQ(upper, QStringLiteral("HTTP://WWW.EXAMPLE.ORG"));
    QString secure = QStringLiteral("https://www.example.org/x");
    StartURL(secure);
    EXPECT_EQ(secure, QStringLiteral("https://www.example.org/x"));
    EXPECT_EQ(open.opened.size(), 2);
}

TEST(SendEmailTest, EscapesSubjectAndBody)
{
    RecordingOpenService open;
    SendEmail(QStringLiteral("feedback@example.org"), QStringLiteral("A & B?"),
        QStringLiteral("Zeile 1\r\nZeile 2 = ok"));
    ASSERT_EQ(open.opened.size(), 1);
    const QUrl url = open.opened[0];
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(url.path(), QStringLiteral("feedback@example.org"));
    const QByteArray encoded = url.toEncoded();
    EXPECT_TRUE(encoded.contains("Subject=A%20%26%20B%3F")) << encoded.toStdString();
    const QUrlQuery query(url);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("Subject"), QUrl::FullyDecoded), QStringLiteral("A & B?"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("Body"), QUrl::FullyDecoded),
        QStringLiteral("Zeile 1\r\nZeile 2 = ok"));
}

TEST(DecodeServerTextTest, PrefersUtf8AndFallsBackToWindows1252)
{
    EXPECT_EQ(decodeServerText(QByteArray("Gr\xC3\xB6\xC3\x9F"
                                          "e")),
        QStringLiteral("Größe"));
    EXPECT_EQ(decodeServerText(QByteArray("\x93"
                                          "Zitat"
                                          "\x94 \x96 \x85")),
        QStringLiteral("“Zitat” – …"));
}

} // namespace
