// CrashHandler.h: last words of a dying process. Fatal signals write one record to error.log
// (async-signal-safe: only open, write and close) and then end the process as the signal would;
// an exception that escapes everything reaches the error report before the process ends.
#pragma once

#include <QString>

namespace foldersize {

// Installs handlers for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT that append a record to
// logFile. The path is copied now; later changes of the error-log folder are not seen. The
// file's folder is created now (a fresh profile has none), since the handler can only open files.
void installFatalSignalHandlers(const QString& logFile);

// std::terminate handler: an unhandled C++ exception is shown through FehlerAnzeigen as the
// run-time error of an unhandled exception, then the process aborts.
void installTerminateHandler();

// The exception name a fatal signal is reported under ("EXCEPTION_ACCESS_VIOLATION" for SIGSEGV).
const char* signalExceptionName(int sig, int code);

} // namespace foldersize
