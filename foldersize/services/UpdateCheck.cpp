// UpdateCheck.cpp: version parsing and comparison, result classification, the setup's checksum,
// password scrambling.
#include "foldersize/services/UpdateCheck.h"

#include "foldersize/services/Windows1252.h"

#include <cctype>

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

namespace foldersize {

namespace {
const QString kErr = QStringLiteral("ERR");

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
        (c >= QLatin1Char('a') && c <= QLatin1Char('f')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// One or more ASCII digits and nothing else: the conversion alone would take "4" from "4<NUL>..."
// or from " 4".
bool isDigits(const QString& part)
{
    if (part.isEmpty())
        return false;
    for (const QChar c : part)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

ServerVersion parseServerVersion(const QString& raw)
{
    ServerVersion v;
    QString text = raw.mid(1);
    text.remove(QStringLiteral("\r\n"));
    text = text.trimmed();
    v.text = text;
    const QString invalid = QStringLiteral("Die Versionsangabe des Servers ist ungültig: \"%1\"");
    const QStringList parts = text.split(QLatin1Char('.'));
    // One rule: three numbers, or four with a build number; anything else is no version.
    if (text.isEmpty() || parts.size() < 3 || parts.size() > 4) {
        v.error = invalid.arg(text);
        return v;
    }
    int numbers[4] = {};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts[i];
        const bool digits = isDigits(part);
        bool ok = false;
        numbers[i] = digits ? part.toInt(&ok) : 0;
        if (!digits || !ok) {
            v.error = invalid.arg(text);
            return v;
        }
    }
    v.major = numbers[0];
    v.minor = numbers[1];
    v.revision = numbers[2];
    v.valid = true;
    return v;
}

bool isNewer(const ServerVersion& server, const ProgramVersion& running)
{
    if (server.major != running.major)
        return server.major > running.major;
    if (server.minor != running.minor)
        return server.minor > running.minor;
    return server.revision > running.revision;
}

QString checkForUpdateResult(bool fetchFailed, const QString& fetched, const ProgramVersion& running)
{
    if (fetchFailed)
        return fetched + kErr;
    const ServerVersion server = parseServerVersion(fetched);
    if (!server.valid)
        return server.error + kErr;
    return isNewer(server, running) ? server.text : QLatin1Char(' ') + server.text;
}

CheckOutcome classifyCheckResult(const QString& result)
{
    if (result.startsWith(QLatin1Char(' ')))
        return CheckOutcome::NotNewer;
    if (result.endsWith(kErr) || result.isEmpty())
        return CheckOutcome::Failed;
    return CheckOutcome::Newer;
}

QString checkResultPayload(const QString& result)
{
    switch (classifyCheckResult(result)) {
    case CheckOutcome::NotNewer: return result.mid(1);
    case CheckOutcome::Failed: return result.left(result.size() - kErr.size());
    case CheckOutcome::Newer: break;
    }
    return result;
}

QString normaliseHistoryLineEnds(const QString& text)
{
    QString out = text;
    out.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    out.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return out;
}

DownloadProgressText downloadProgressText(qint64 received, qint64 expectedLength, const QLocale& locale)
{
    DownloadProgressText p;
    if (expectedLength < 1) {
        p.value = locale.toString(received) + QStringLiteral(" Bytes");
        return p;
    }
    p.value = locale.toString(received) + QStringLiteral(" / ") + locale.toString(expectedLength) +
        QStringLiteral(" Bytes");
    p.ratio = static_cast<double>(received) / static_cast<double>(expectedLength);
    p.percent = QString::number(static_cast<qint64>(p.ratio * 100.0)) + QStringLiteral(" %");
    return p;
}

QString CryptIt(const QString& Text, bool Scramble, const QString& Key, bool* ok)
{
    if (ok)
        *ok = true;
    if (Text.isEmpty() || Key.isEmpty())
        return QString();
    const QByteArray key = toWindows1252(Key);
    if (Scramble) {
        const QByteArray plain = toWindows1252(Text);
        // A character the code page cannot hold would come back as "?": say so rather than
        // store a text that no longer is the one given.
        if (ok && fromWindows1252(plain) != Text)
            *ok = false;
        QString out;
        out.reserve(plain.size() * 2);
        for (qsizetype i = 0; i < plain.size(); ++i) {
            const auto value = static_cast<unsigned char>(plain[i] ^ key[i % key.size()]);
            out += QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
        }
        return out;
    }
    QByteArray plain;
    const qsizetype pairs = Text.size() / 2;
    for (qsizetype i = 0; i < pairs; ++i) {
        const QString pair = Text.mid(i * 2, 2);
        bool hexOk = isHexDigit(pair[0]) && isHexDigit(pair[1]);
        const uint value = pair.toUInt(nullptr, 16);
        if (!hexOk) {
            if (ok)
                *ok = false;
            return QString();
        }
        plain.append(static_cast<char>(value ^ static_cast<unsigned char>(key[i % key.size()])));
    }
    return fromWindows1252(plain);
}

QByteArray parseSha256Text(const QByteArray& text)
{
    const QByteArray t = text.trimmed();
    qsizetype end = 0;
    while (end < t.size() && !QChar::isSpace(static_cast<uchar>(t[end])))
        ++end;
    const QByteArray hex = t.left(end);
    if (hex.size() != 64)
        return {};
    for (const char c : hex)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return {};
    return QByteArray::fromHex(hex);
}

QByteArray fileSha256(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

} // namespace foldersize
