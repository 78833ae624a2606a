// SystemInfo.cpp: /etc/os-release, /proc/meminfo, /proc/cpuinfo and text helpers.
#include "foldersize/services/SystemInfo.h"

#include <cerrno>

#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>

#include <sys/utsname.h>

namespace foldersize {
namespace {

QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
}

} // namespace

OSInfo GetOSInfo(const QString& osRelease)
{
    OSInfo info;
    for (const QString& line : readLines(osRelease)) {
        if (line.startsWith(QLatin1String("PRETTY_NAME="))) {
            info.Name = line.mid(12).trimmed();
            if (info.Name.size() >= 2 && info.Name.startsWith(QLatin1Char('"')) &&
                info.Name.endsWith(QLatin1Char('"')))
                info.Name = info.Name.mid(1, info.Name.size() - 2);
        }
    }
    struct utsname u {};
    if (::uname(&u) == 0) {
        info.PlatformID = QString::fromUtf8(u.sysname);
        const QStringList parts =
            QString::fromUtf8(u.release).split(QRegularExpression(QStringLiteral("[.-]")));
        if (parts.size() >= 2)
            info.Version = parts[0] + QLatin1Char('.') + parts[1];
        if (parts.size() >= 3)
            info.Build = parts[2];
    }
    return info;
}

MemoryStatus GetMemoryStatus(const QString& meminfo)
{
    MemoryStatus m;
    for (const QString& line : readLines(meminfo)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() < 2)
            continue;
        const std::uint64_t kb = f[1].toULongLong();
        if (f[0] == QLatin1String("MemTotal:"))
            m.totalPhys = kb * 1024;
        else if (f[0] == QLatin1String("MemAvailable:"))
            m.availPhys = kb * 1024;
    }
    return m;
}

DllVersion GetShlwapiVersion()
{
    DllVersion v;
    const QStringList parts = QString::fromLatin1(qVersion()).split(QLatin1Char('.'));
    if (parts.size() > 0)
        v.Major = parts[0].toInt();
    if (parts.size() > 1)
        v.Minor = parts[1].toInt();
    if (parts.size() > 2)
        v.Build = parts[2].toInt();
    return v;
}

QString GetCPUName(const QString& cpuinfo)
{
    int processors = 0;
    QString model;
    double mhz = 0;
    for (const QString& line : readLines(cpuinfo)) {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon < 0)
            continue;
        const QString key = line.left(colon).trimmed();
        const QString value = line.mid(colon + 1).trimmed();
        if (key == QLatin1String("processor"))
            ++processors;
        else if (key == QLatin1String("model name") && model.isEmpty())
            model = value;
        else if (key == QLatin1String("cpu MHz") && mhz == 0)
            mhz = value.toDouble();
    }
    if (model.isEmpty())
        model = QStringLiteral("unknown");
    return QStringLiteral("(%1) %2, %3 MHz").arg(processors).arg(model).arg(qRound(mhz));
}

QString BytesFormatieren(int einheit, double wert, bool mitEinheit, const QLocale& locale)
{
    QLocale loc = locale;
    loc.setNumberOptions(loc.numberOptions() & ~QLocale::OmitGroupSeparator);
    switch (einheit) {
    case 0: return loc.toString(wert, 'f', 0) + (mitEinheit ? QStringLiteral(" Bytes") : QString());
    case 1: return loc.toString(wert / 1024.0, 'f', 2) + (mitEinheit ? QStringLiteral(" KB") : QString());
    case 2: return loc.toString(wert / 1048576.0, 'f', 2) + (mitEinheit ? QStringLiteral(" MB") : QString());
    case 3:
        return loc.toString(wert / 1073741824.0, 'f', 2) + (mitEinheit ? QStringLiteral(" GB") : QString());
    default: return QString();
    }
}

std::string systemErrorText(int code)
{
    // The codes a file system answers with, and what a listing or a look-up meets besides.
    switch (code) {
    case EPERM: return "Vorgang nicht zulässig";
    case ENOENT: return "Datei oder Verzeichnis nicht gefunden";
    case EINTR: return "Unterbrochener Systemaufruf";
    case EIO: return "Ein-/Ausgabefehler";
    case ENXIO: return "Gerät oder Adresse nicht vorhanden";
    case EBADF: return "Ungültiger Dateideskriptor";
    case EAGAIN: return "Ressource vorübergehend nicht verfügbar";
    case ENOMEM: return "Nicht genügend Speicher";
    case EACCES: return "Keine Berechtigung";
    case EBUSY: return "Gerät oder Ressource belegt";
    case ENODEV: return "Gerät nicht vorhanden";
    case ENOTDIR: return "Ist kein Verzeichnis";
    case EISDIR: return "Ist ein Verzeichnis";
    case EINVAL: return "Ungültiges Argument";
    case ENFILE: return "Zu viele offene Dateien im System";
    case EMFILE: return "Zu viele offene Dateien";
    case ENOSPC: return "Kein Platz mehr auf dem Gerät";
    case EROFS: return "Dateisystem nur lesbar";
    case ENAMETOOLONG: return "Dateiname zu lang";
    case ENOSYS: return "Funktion nicht implementiert";
    case ELOOP: return "Zu viele Ebenen symbolischer Verknüpfungen";
    case EOVERFLOW: return "Wert zu groß für den Datentyp";
    case EOPNOTSUPP: return "Vorgang nicht unterstützt";
    case ENOTCONN: return "Transportendpunkt ist nicht verbunden";
    case ETIMEDOUT: return "Zeitüberschreitung";
    case ECONNREFUSED: return "Verbindung abgelehnt";
    case EHOSTDOWN: return "Rechner ist außer Betrieb";
    case EHOSTUNREACH: return "Rechner nicht erreichbar";
    case ESTALE: return "Veralteter Dateiverweis";
    case EUCLEAN: return "Dateisystem muss repariert werden";
    case EDQUOT: return "Speicherplatzkontingent überschritten";
    case ENOMEDIUM: return "Kein Medium gefunden";
    default: return "Systemfehler " + std::to_string(code);
    }
}

QString LastDllErrorText(bool mitNummer, int code)
{
    const QString t = QString::fromStdString(systemErrorText(code));
    if (!mitNummer)
        return t;
    return QStringLiteral("#%1 - %2").arg(code).arg(t);
}

QString StringFromPointer(const QString& text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

std::uint8_t HiByte(std::int32_t wert) { return static_cast<std::uint8_t>((wert >> 8) & 0xff); }
std::uint8_t LoByte(std::int32_t wert) { return static_cast<std::uint8_t>(wert & 0xff); }

QString generalDate(const QDateTime& when, const QLocale& locale)
{
    return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
        when.time().toString(QStringLiteral("HH:mm:ss"));
}

} // namespace foldersize
