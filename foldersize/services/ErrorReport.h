// ErrorReport.h: the central error routine and everything it builds on: message templates, the
// twelve-line error report, the error log (error.log) and the names of processor exceptions.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QSize>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace foldersize {

// Run-time error number of an exception that nothing handled, and its source.
inline constexpr std::int32_t kUnhandledExceptionError = -2147220991; // 0x80040201
inline const QString kExceptionSource = QStringLiteral("Exception Handler");

// The error a failed procedure reports.
struct ErrorInfo {
    std::int32_t number = 0;
    QString description;
    QString source;
};

// Replaces every "%!" by a line break, then "%1", "%2", ... by the parameters in that order.
// meldungsNr is accepted and not used.
QString MeldungFormatieren(int meldungsNr, QString text, const QVariantList& parameter = {});

// Host facts that the report shows; filled by systemFactsNow() or by tests.
struct SystemFacts {
    QString time;       // "General Date" of now
    QString exePath;    // the running executable
    QString os;         // "<name> Version: <v> Build: <b> ID: <id>"
    QString guiVersion; // "6.4.2"
    QString memory;     // "<avail> free, <total> used"
    QString cpu;
    int screenWidth = 0; // pixels; 0 when there is no screen
    int screenHeight = 0;
};
SystemFacts systemFactsNow();

// Where systemFactsNow() takes the screen's size from: the window program installs a source that
// asks its screen; without one (the windowless scan, tests) the size is 0x0. Keeping the screen
// out of here keeps the windowless program free of the window libraries.
using ScreenSizeSource = QSize (*)();
void setScreenSizeSource(ScreenSizeSource source);

// The twelve report lines, each ended by "\n".
QString FehlerberichtErstellen(const QString& procName, const QString& modulName, int zeile,
    const ErrorInfo& err, const SystemFacts& facts = systemFactsNow());

// Shows a report: the Qt dialog in the program, a recording double in tests. The default (no
// window system) appends the report to the error log and prints it on stderr.
using ReportPresenter = std::function<void(const QString& reportText)>;
void setReportPresenter(ReportPresenter presenter);

// The central error routine: report, an empty line, "Debug<i>: <value>" per debug value, then
// shown through the presenter. Returns when the user has continued.
void FehlerAnzeigen(const QString& procName, const QString& modulName, int zeile, const ErrorInfo& err,
    const QVariantList& debugWerte = {});

// Builds the text that FehlerAnzeigen shows (without showing it).
QString fehlerText(const QString& procName, const QString& modulName, int zeile, const ErrorInfo& err,
    const QVariantList& debugWerte, const SystemFacts& facts);

// Path of error.log (ProgramGlobals::errorLogPfad + "error.log").
QString errorLogFile();

// Appends "<General Date> - <text>", then an empty line. Failures are silent.
void ErrorLogSchreiben(const QString& text);

// Appends one report entry (framed by a header line). Returns false when the log is unwritable.
bool appendReportToErrorLog(const QString& reportText);

// Name of a processor exception code ("EXCEPTION_ACCESS_VIOLATION", ..., "Unknown exception type").
QString exceptionName(std::uint32_t code);
// Continuation text of exception flags: 0 "Ok to continue.", 1 "NOT ok to continue.", else
// "Probably safe to continue, but better not.".
QString continuationText(std::uint32_t flags);
// "An unhandled error (<name>) \n occurred at: <address>. <continuation>"
QString unhandledExceptionDescription(const QString& name, std::int64_t address, std::uint32_t flags);

// The mail hand-off address: "mailto:<to>?subject=Bugreport_<prog>_<version>&body=<report with
// every line end as %0A>" (nothing else is encoded).
QString reportMailUrl(const QString& to, const QString& prog, const QString& version, const QString& report);

} // namespace foldersize
