// UpdateCheckTest.cpp: server version texts, the numeric comparison, the check result forms, the
// history line ends, the progress texts and the password scrambling.
#include "foldersize/services/UpdateCheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace foldersize;

namespace {

const ProgramVersion kRunning{1, 9, 0};

TEST(UpdateCheckTest, ParsesTheVersionAfterItsLeadingCharacter)
{
    const ServerVersion v = parseServerVersion(QStringLiteral("V1.10.2\r\n"));
    ASSERT_TRUE(v.valid) << v.error.toStdString();
    EXPECT_EQ(v.text, QStringLiteral("1.10.2"));
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 10);
    EXPECT_EQ(v.revision, 2);
}

TEST(UpdateCheckTest, ComparesNumbersNotTexts)
{
    EXPECT_TRUE(isNewer(parseServerVersion(QStringLiteral("V1.10.0")), kRunning));
    EXPECT_FALSE(isNewer(parseServerVersion(QStringLiteral("V1.9.0")), kRunning));
    EXPECT_FALSE(isNewer(parseServerVersion(QStringLiteral("V1.8.99")), kRunning));
    EXPECT_FALSE(isNewer(parseServerVersion(QStringLiteral("V0.99.99")), kRunning));
    EXPECT_TRUE(isNewer(parseServerVersion(QStringLiteral("V1.9.1")), kRunning));
    EXPECT_TRUE(isNewer(parseServerVersion(QStringLiteral("V2.0.0")), kRunning));
}

TEST(UpdateCheckTest, ResultFormsForNewerEqualAndOlder)
{
    EXPECT_EQ(checkForUpdateResult(false, QStringLiteral("V1.10.0\r\n"), kRunning), QStringLiteral("1.10.0"));
    EXPECT_EQ(checkForUpdateResult(false, QStringLiteral("V1.9.0\r\n"), kRunning), QStringLiteral(" 1.9.0"));
    EXPECT_EQ(checkForUpdateResult(false, QStringLiteral("V1.2.0"), kRunning), QStringLiteral(" 1.2.0"));
    EXPECT_EQ(classifyCheckResult(QStringLiteral("1.10.0")), CheckOutcome::Newer);
    EXPECT_EQ(classifyCheckResult(QStringLiteral(" 1.9.0")), CheckOutcome::NotNewer);
    EXPECT_EQ(checkResultPayload(QStringLiteral(" 1.9.0")), QStringLiteral("1.9.0"));
}

TEST(UpdateCheckTest, AFailedFetchKeepsItsMessage)
{
    const QString r = checkForUpdateResult(true, QStringLiteral("HttpQueryStatusCode: 404"), kRunning);
    EXPECT_EQ(classifyCheckResult(r), CheckOutcome::Failed);
    EXPECT_EQ(checkResultPayload(r), QStringLiteral("HttpQueryStatusCode: 404"));
}

TEST(UpdateCheckTest, BrokenVersionTextsGiveAClearMessage)
{
    for (const QString& raw : {QStringLiteral("V1.2"), QStringLiteral("V1.x.3"), QStringLiteral(""),
             QStringLiteral("V"), QStringLiteral("<html>Fehler</html>"), QStringLiteral("V1.-2.3"),
             QStringLiteral("x1.2.4.ERR"), QStringLiteral("V1.2.3.4.5"), QStringLiteral("V1.2.3 beta"),
             QString::fromUtf8("x1.2.4\0\0\0\x01"
                               "ERR",
                 13),
             QStringLiteral("V1. 2.3"), QStringLiteral("V1.2.99999999999")}) {
        const ServerVersion v = parseServerVersion(raw);
        EXPECT_FALSE(v.valid) << raw.toStdString();
        EXPECT_TRUE(v.error.startsWith(QStringLiteral("Die Versionsangabe des Servers ist ungültig")));
        const QString r = checkForUpdateResult(false, raw, kRunning);
        EXPECT_EQ(classifyCheckResult(r), CheckOutcome::Failed) << raw.toStdString();
        EXPECT_FALSE(checkResultPayload(r).isEmpty());
    }
    EXPECT_TRUE(parseServerVersion(QStringLiteral("V1.x.3")).error.contains(QStringLiteral("\"1.x.3\"")));
}

TEST(UpdateCheckTest, AFourthNumberIsABuildNumber)
{
    const ServerVersion v = parseServerVersion(QStringLiteral("V9.1.2.345"));
    EXPECT_TRUE(v.valid);
    EXPECT_EQ(v.major, 9);
    EXPECT_EQ(classifyCheckResult(checkForUpdateResult(false, QStringLiteral("V9.1.2.345"), kRunning)),
        CheckOutcome::Newer);
}

TEST(UpdateCheckTest, AnEmptyResultCountsAsFailed)
{
    EXPECT_EQ(classifyCheckResult(QString()), CheckOutcome::Failed);
}

TEST(UpdateCheckTest, HistoryLineEndsBecomeCrLf)
{
    EXPECT_EQ(normaliseHistoryLineEnds(QStringLiteral("a\nb\r\nc\n")), QStringLiteral("a\r\nb\r\nc\r\n"));
}

TEST(UpdateCheckTest, ProgressWithAndWithoutLength)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    const DownloadProgressText known = downloadProgressText(12345, 30000, german);
    EXPECT_EQ(known.value, QStringLiteral("12.345 / 30.000 Bytes"));
    EXPECT_EQ(known.percent, QStringLiteral("41 %"));
    EXPECT_DOUBLE_EQ(known.ratio, 12345.0 / 30000.0);
    const DownloadProgressText unknown = downloadProgressText(1234567, -1, german);
    EXPECT_EQ(unknown.value, QStringLiteral("1.234.567 Bytes"));
    EXPECT_TRUE(unknown.percent.isEmpty());
    EXPECT_EQ(unknown.ratio, 0.0);
}

TEST(CryptItTest, ScramblesEachCharacterIntoTwoHexDigits)
{
    // 'a' ^ 'p' = 0x11, 'b' ^ 'u' = 0x17, 'c' ^ 'l' = 0x0F
    EXPECT_EQ(CryptIt(QStringLiteral("abc"), true, kCryptKey), QStringLiteral("11170F"));
    EXPECT_EQ(CryptIt(QString(), true, kCryptKey), QString());
}

TEST(CryptItTest, TheKeyRepeatsAfterItsLastCharacter)
{
    const QString scrambled = CryptIt(QStringLiteral("aaaaaaaa"), true, kCryptKey);
    ASSERT_EQ(scrambled.size(), 16);
    EXPECT_EQ(scrambled.mid(12, 2), scrambled.mid(0, 2)); // 7th character uses 'p' again
    EXPECT_EQ(scrambled.mid(14, 2), scrambled.mid(2, 2));
    EXPECT_NE(scrambled.mid(2, 2), scrambled.mid(0, 2));
}

TEST(CryptItTest, RoundTripsIncludingUmlautsAndEuro)
{
    const QString password = QStringLiteral("Pässwört€ 123!");
    const QString scrambled = CryptIt(password, true, kCryptKey);
    EXPECT_EQ(scrambled.size(), password.size() * 2);
    bool ok = false;
    EXPECT_EQ(CryptIt(scrambled, false, kCryptKey, &ok), password);
    EXPECT_TRUE(ok);
}

TEST(CryptItTest, TextTheCodePageCannotHoldIsReportedNotSilentlyChanged)
{
    bool ok = true;
    const QString scrambled = CryptIt(QString::fromUtf8("pass\u4e2d"), true, kCryptKey, &ok);
    EXPECT_FALSE(ok);
    ok = false;
    CryptIt(QStringLiteral("plain"), true, kCryptKey, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(scrambled.size(), 10);
}

TEST(CryptItTest, IgnoresATrailingOddDigit)
{
    EXPECT_EQ(CryptIt(QStringLiteral("11170F4"), false, kCryptKey), QStringLiteral("abc"));
}

TEST(CryptItTest, RejectsTextThatIsNotHexadecimal)
{
    bool ok = true;
    EXPECT_EQ(CryptIt(QStringLiteral("11ZZ0F"), false, kCryptKey, &ok), QString());
    EXPECT_FALSE(ok);
    ok = true;
    EXPECT_EQ(CryptIt(QStringLiteral("+1"), false, kCryptKey, &ok), QString());
    EXPECT_FALSE(ok);
}

} // namespace

TEST(UpdateCheckTest, TheSetupChecksumIsSixtyFourHexDigits)
{
    const QByteArray hex = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
    const QByteArray expected = QByteArray::fromHex(hex);
    EXPECT_EQ(parseSha256Text(hex), expected);
    EXPECT_EQ(parseSha256Text(hex.toLower() + "  Update.exe\r\n"), expected) << "sha256sum's form";
    EXPECT_EQ(parseSha256Text("\n " + hex + "\n"), expected);
    EXPECT_TRUE(parseSha256Text(hex.left(63)).isEmpty());
    EXPECT_TRUE(parseSha256Text(hex + "0").isEmpty());
    EXPECT_TRUE(parseSha256Text(hex.left(63) + "g").isEmpty());
    EXPECT_TRUE(parseSha256Text("<html>404</html>").isEmpty());
    EXPECT_TRUE(parseSha256Text("").isEmpty());
}

TEST(UpdateCheckTest, TheSha256OfAFile)
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("setup")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("abc");
    f.close();
    EXPECT_EQ(
        fileSha256(f.fileName()).toHex(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(fileSha256(dir.filePath(QStringLiteral("missing"))).isEmpty());
}
