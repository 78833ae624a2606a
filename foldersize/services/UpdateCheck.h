// UpdateCheck.h: the pure parts of the update check: reading the server's version text, comparing
// it with the running version, classifying the check result, the progress texts of a download and
// the scrambling of the stored proxy password.
#pragma once

#include <QLocale>
#include <QString>

namespace foldersize {

struct ProgramVersion {
    int major = 0;
    int minor = 0;
    int revision = 0;
};

struct ServerVersion {
    bool valid = false;
    QString text; // the version as shown: the text without its leading character and line ends
    int major = 0;
    int minor = 0;
    int revision = 0;
    QString error; // when not valid: a message for the user
};

// The server's version text: one leading character (dropped), then "Major.Minor.Revision",
// optionally followed by a line end. Fewer than three parts, or a part that is not a whole number,
// gives an invalid result with a message that quotes the text.
ServerVersion parseServerVersion(const QString& raw);

// Numbers, not texts, are compared: 1.10.0 is newer than 1.9.0.
bool isNewer(const ServerVersion& server, const ProgramVersion& running);

// The result of CheckForUpdate: " " and the version when the server has nothing newer, the version
// alone when it has, and a message followed by "ERR" when the check failed (fetchFailed: the fetch
// itself failed and fetched holds its message).
QString checkForUpdateResult(bool fetchFailed, const QString& fetched, const ProgramVersion& running);

enum class CheckOutcome { NotNewer, Newer, Failed };
CheckOutcome classifyCheckResult(const QString& result);
// The version (NotNewer, Newer) or the message (Failed) inside a check result.
QString checkResultPayload(const QString& result);

// Line ends of the history text: every CR LF becomes LF, then every LF becomes CR LF.
QString normaliseHistoryLineEnds(const QString& text);

// The SHA-256 published beside the version text: 64 hex digits at the start of the text (a file
// name may follow, as sha256sum writes it). Returns the 32 bytes, or empty for any other text.
QByteArray parseSha256Text(const QByteArray& text);

// SHA-256 of a file's content; empty when the file cannot be read.
QByteArray fileSha256(const QString& path);

// Progress of a download: the byte count ("1.234 Bytes", or "1.234 / 30.000 Bytes" when the length
// is known), the percentage ("41 %", empty when the length is unknown) and the filled fraction.
struct DownloadProgressText {
    QString value;
    QString percent;
    double ratio = 0.0;
};
DownloadProgressText downloadProgressText(
    qint64 received, qint64 expectedLength, const QLocale& locale = QLocale());

// Repeating-key XOR over the Windows-1252 codes of text and key. Scrambling gives two upper-case
// hexadecimal digits per character; unscrambling reads them back (a trailing odd digit is
// ignored). A scrambled text that is not hexadecimal gives "" and *ok false.
QString CryptIt(const QString& Text, bool Scramble, const QString& Key, bool* ok = nullptr);

// The key of the stored proxy password.
inline const QString kCryptKey = QStringLiteral("pul36m");

} // namespace foldersize
