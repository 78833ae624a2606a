// ErrorReport.cpp: report text, error log and the central error routine.
#include "foldersize/services/ErrorReport.h"

#include <cstdio>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/SystemInfo.h"

namespace foldersize {
namespace {

ReportPresenter& presenter()
{
    static ReportPresenter p;
    return p;
}

ScreenSizeSource g_screenSize = nullptr;

bool appendToLog(const QByteArray& bytes)
{
    const QString path = errorLogFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return f.write(bytes) == bytes.size();
}

} // namespace

QString MeldungFormatieren(int /*meldungsNr*/, QString text, const QVariantList& parameter)
{
    text.replace(QLatin1String("%!"), QLatin1String("\n"));
    for (qsizetype i = 0; i < parameter.size(); ++i)
        text.replace(QLatin1Char('%') + QString::number(i + 1), parameter[i].toString());
    return text;
}

SystemFacts systemFactsNow()
{
    SystemFacts f;
    f.time = generalDate(QDateTime::currentDateTime());
    f.exePath = QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
    const OSInfo os = GetOSInfo();
    f.os =
        QStringLiteral("%1 Version: %2 Build: %3 ID: %4").arg(os.Name, os.Version, os.Build, os.PlatformID);
    const DllVersion v = GetShlwapiVersion();
    f.guiVersion = QStringLiteral("%1.%2.%3").arg(v.Major).arg(v.Minor).arg(v.Build);
    const MemoryStatus m = GetMemoryStatus();
    f.memory = BytesFormatieren(2, static_cast<double>(m.availPhys), true) + QStringLiteral(" free, ") +
        BytesFormatieren(2, static_cast<double>(m.totalPhys), true) + QStringLiteral(" used");
    f.cpu = GetCPUName();
    if (g_screenSize) {
        const QSize s = g_screenSize();
        f.screenWidth = s.width();
        f.screenHeight = s.height();
    }
    return f;
}

void setScreenSizeSource(ScreenSizeSource source) { g_screenSize = source; }

QString FehlerberichtErstellen(const QString& procName, const QString& modulName, int zeile,
    const ErrorInfo& err, const SystemFacts& facts)
{
    const ProgramGlobals& g = globals();
    QString t;
    t += QStringLiteral("Time: ") + facts.time + QLatin1Char('\n');
    t += QStringLiteral("Prog: %1 %2.%3.%4\n")
             .arg(g.progName)
             .arg(g.versionMajor)
             .arg(g.versionMinor)
             .arg(g.versionRevision);
    t += QStringLiteral("Modul: ") + modulName + QLatin1Char('\n');
    t += QStringLiteral("Function: ") + procName + QLatin1Char('\n');
    t += QStringLiteral("Line: %1\n").arg(zeile);
    t += QStringLiteral("Error: %1 - %2\n").arg(err.number).arg(err.description);
    t += QStringLiteral("Path: ") + facts.exePath + QLatin1Char('\n');
    t += QStringLiteral("OS: ") + facts.os + QLatin1Char('\n');
    t += QStringLiteral("IE: ") + facts.guiVersion + QLatin1Char('\n');
    t += QStringLiteral("Mem: ") + facts.memory + QLatin1Char('\n');
    t += QStringLiteral("CPU: ") + facts.cpu + QLatin1Char('\n');
    t += QStringLiteral("Screen: %1x%2\n").arg(facts.screenWidth).arg(facts.screenHeight);
    return t;
}

void setReportPresenter(ReportPresenter p) { presenter() = std::move(p); }

QString fehlerText(const QString& procName, const QString& modulName, int zeile, const ErrorInfo& err,
    const QVariantList& debugWerte, const SystemFacts& facts)
{
    QString text = FehlerberichtErstellen(procName, modulName, zeile, err, facts) + QLatin1Char('\n');
    for (qsizetype i = 0; i < debugWerte.size(); ++i)
        text += QStringLiteral("Debug%1: %2\n").arg(i).arg(debugWerte[i].toString());
    return text;
}

void FehlerAnzeigen(const QString& procName, const QString& modulName, int zeile, const ErrorInfo& err,
    const QVariantList& debugWerte)
{
    const QString text = fehlerText(procName, modulName, zeile, err, debugWerte, systemFactsNow());
    if (presenter()) {
        presenter()(text);
        return;
    }
    appendReportToErrorLog(text);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

QString errorLogFile() { return globals().errorLogPfad + QStringLiteral("error.log"); }

void ErrorLogSchreiben(const QString& text)
{
    appendToLog(
        (generalDate(QDateTime::currentDateTime()) + QStringLiteral(" - ") + text + QStringLiteral("\n\n"))
            .toUtf8());
}

bool appendReportToErrorLog(const QString& reportText)
{
    QString entry = QStringLiteral("===== %1 Fehlerbericht (Error) =====\n")
                        .arg(generalDate(QDateTime::currentDateTime()));
    entry += reportText;
    if (!entry.endsWith(QLatin1Char('\n')))
        entry += QLatin1Char('\n');
    entry += QLatin1Char('\n');
    return appendToLog(entry.toUtf8());
}

QString exceptionName(std::uint32_t code)
{
    switch (code) {
    case 0xC0000005u: return QStringLiteral("EXCEPTION_ACCESS_VIOLATION");
    case 0x80000003u: return QStringLiteral("EXCEPTION_BREAKPOINT");
    case 0xC000001Du: return QStringLiteral("EXCEPTION_ILLEGAL_INSTRUCTION");
    case 0xC000008Cu: return QStringLiteral("EXCEPTION_ARRAY_BOUNDS_EXCEEDED");
    case 0xC000008Eu: return QStringLiteral("EXCEPTION_FLT_DIVIDE_BY_ZERO");
    case 0xC0000090u: return QStringLiteral("EXCEPTION_FLT_INVALID_OPERATION");
    case 0xC0000091u: return QStringLiteral("EXCEPTION_FLT_OVERFLOW");
    case 0xC0000094u: return QStringLiteral("EXCEPTION_INT_DIVIDE_BY_ZERO");
    case 0xC0000095u: return QStringLiteral("EXCEPTION_INT_OVERFLOW");
    case 0xC0000096u: return QStringLiteral("EXCEPTION_PRIV_INSTRUCTION");
    default: return QStringLiteral("Unknown exception type");
    }
}

QString continuationText(std::uint32_t flags)
{
    switch (flags) {
    case 0: return QStringLiteral("Ok to continue.");
    case 1: return QStringLiteral("NOT ok to continue.");
    default: return QStringLiteral("Probably safe to continue, but better not.");
    }
}

QString unhandledExceptionDescription(const QString& name, std::int64_t address, std::uint32_t flags)
{
    return QStringLiteral("An unhandled error (%1) \noccurred at: %2. %3")
        .arg(name)
        .arg(address)
        .arg(continuationText(flags));
}

QString reportMailUrl(const QString& to, const QString& prog, const QString& version, const QString& report)
{
    QString body = report;
    body.replace(QLatin1String("\r\n"), QLatin1String("%0A"));
    body.replace(QLatin1Char('\n'), QLatin1String("%0A"));
    return QStringLiteral("mailto:%1?subject=Bugreport_%2_%3&body=%4").arg(to, prog, version, body);
}

} // namespace foldersize
