// CrashHandler.cpp: fatal-signal records and the terminate handler.
#include "foldersize/services/CrashHandler.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <exception>
#include <typeinfo>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

#include "foldersize/services/ErrorReport.h"

namespace foldersize {
namespace {

char g_logPath[4096];

void putText(int fd, const char* s)
{
    const std::size_t n = std::strlen(s);
    if (n > 0 && ::write(fd, s, n) < 0) {
        // Nothing more can be done inside a dying process.
    }
}

void putNumber(int fd, unsigned long long v, unsigned base)
{
    char buf[32];
    int i = 31;
    buf[i] = '\0';
    do {
        const unsigned d = static_cast<unsigned>(v % base);
        buf[--i] = static_cast<char>(d < 10 ? '0' + d : 'a' + d - 10);
        v /= base;
    } while (v != 0 && i > 0);
    putText(fd, buf + i);
}

void onFatalSignal(int sig, siginfo_t* info, void*)
{
    const int fd = ::open(g_logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) {
        putText(fd, "===== Fatal signal ");
        putNumber(fd, static_cast<unsigned>(sig), 10);
        putText(fd, " (Error) =====\nError: -2147220991 - An unhandled error (");
        putText(fd, signalExceptionName(sig, info ? info->si_code : 0));
        putText(fd, ") \noccurred at: 0x");
        putNumber(fd, info ? reinterpret_cast<unsigned long long>(info->si_addr) : 0, 16);
        putText(fd, ". NOT ok to continue.\nPID: ");
        putNumber(fd, static_cast<unsigned>(::getpid()), 10);
        putText(fd, "\n\n");
        ::close(fd);
    }
    // SA_RESETHAND restored the default action: end the process the way the signal asks.
    ::raise(sig);
}

} // namespace

const char* signalExceptionName(int sig, int code)
{
    switch (sig) {
    case SIGSEGV:
    case SIGBUS: return "EXCEPTION_ACCESS_VIOLATION";
    case SIGILL: return code == ILL_PRVOPC ? "EXCEPTION_PRIV_INSTRUCTION" : "EXCEPTION_ILLEGAL_INSTRUCTION";
    case SIGTRAP: return "EXCEPTION_BREAKPOINT";
    case SIGFPE:
        switch (code) {
        case FPE_INTDIV: return "EXCEPTION_INT_DIVIDE_BY_ZERO";
        case FPE_INTOVF: return "EXCEPTION_INT_OVERFLOW";
        case FPE_FLTDIV: return "EXCEPTION_FLT_DIVIDE_BY_ZERO";
        case FPE_FLTOVF: return "EXCEPTION_FLT_OVERFLOW";
        case FPE_FLTINV: return "EXCEPTION_FLT_INVALID_OPERATION";
        default: return "Unknown exception type";
        }
    default: return "Unknown exception type";
    }
}

void installFatalSignalHandlers(const QString& logFile)
{
    const QByteArray p = QFile::encodeName(logFile);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(p.size()), sizeof g_logPath - 1);
    std::memcpy(g_logPath, p.constData(), n);
    g_logPath[n] = '\0';
    // The handler itself may only open the file: its folder must exist before the first error.
    QDir().mkpath(QFileInfo(logFile).absolutePath());
    struct sigaction sa {};
    sa.sa_sigaction = &onFatalSignal;
    sa.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_NODEFER;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        ::sigaction(sig, &sa, nullptr);
}

void installTerminateHandler()
{
    std::set_terminate([] {
        QString what = QStringLiteral("unknown exception");
        if (const std::exception_ptr e = std::current_exception()) {
            try {
                std::rethrow_exception(e);
            } catch (const std::exception& ex) {
                what = QString::fromLocal8Bit(ex.what());
            } catch (...) {}
        }
        ErrorInfo err;
        err.number = kUnhandledExceptionError;
        err.source = kExceptionSource;
        err.description = unhandledExceptionDescription(QStringLiteral("C++ exception: ") + what, 0, 1);
        FehlerAnzeigen(QStringLiteral("terminate"), QStringLiteral("modMain"), 0, err);
        std::abort();
    });
}

} // namespace foldersize
