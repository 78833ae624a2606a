// SystemInfo.h: host facts for the error report (system, memory, processor, library version)
// and the small text helpers around them.
#pragma once

#include <cstdint>
#include <string>

#include <QLocale>
#include <QString>

namespace foldersize {

struct OSInfo {
    QString Name;       // distribution name, e.g. "Debian GNU/Linux 12 (bookworm)"
    QString Version;    // kernel major "." minor
    QString Build;      // kernel patch level
    QString PlatformID; // kernel name, e.g. "Linux"
};

struct DllVersion {
    int Major = 0;
    int Minor = 0;
    int Build = 0;
};

struct MemoryStatus {
    std::uint64_t availPhys = 0;
    std::uint64_t totalPhys = 0;
};

// Reads /etc/os-release (or the given file) and uname.
OSInfo GetOSInfo(const QString& osRelease = QStringLiteral("/etc/os-release"));
MemoryStatus GetMemoryStatus(const QString& meminfo = QStringLiteral("/proc/meminfo"));
// Version of the GUI library the program runs with (stands where the shell library was asked).
DllVersion GetShlwapiVersion();
// "(<processors>) <model name>, <MHz> MHz" from /proc/cpuinfo; 0 MHz when unknown.
QString GetCPUName(const QString& cpuinfo = QStringLiteral("/proc/cpuinfo"));

// A byte count in unit 0 Bytes, 1 KB, 2 MB, 3 GB ("###,###,##0" / "###,##0.00"), with the unit
// word when mitEinheit. Other units give "".
QString BytesFormatieren(int einheit, double wert, bool mitEinheit, const QLocale& locale = QLocale());

// Text of a system error code: "#<code> - <text>" when mitNummer, else the text alone.
QString LastDllErrorText(bool mitNummer, int code);

// A system error code (errno) in German words, UTF-8; "Systemfehler <code>" for a code without
// words of its own. The C library's texts follow the user's locale and are English in most.
std::string systemErrorText(int code);

// The text up to its first NUL character.
QString StringFromPointer(const QString& text);

std::uint8_t HiByte(std::int32_t wert);
std::uint8_t LoByte(std::int32_t wert);

// "General Date": the locale's short date and the time with seconds.
QString generalDate(const QDateTime& when, const QLocale& locale = QLocale());

} // namespace foldersize
