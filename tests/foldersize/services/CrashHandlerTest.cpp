// CrashHandlerTest.cpp: a fatal signal leaves a record in error.log before the process ends.
#include "foldersize/services/CrashHandler.h"

#include <cstdio>
#include <stdexcept>
#include <thread>

#include <csignal>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "foldersize/services/ErrorReport.h"

using namespace foldersize;

// The dying child is a fresh run of this program that repeats the test up to the death: it must
// write to the parent's log, so the first run publishes the path in the environment.
constexpr char kLogVariable[] = "TALLYMOOR_TEST_CRASH_LOG";

class CrashHandlerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path;
    void SetUp() override
    {
        path = qEnvironmentVariableIsSet(kLogVariable) ? qEnvironmentVariable(kLogVariable)
                                                       : dir.filePath("error.log");
        qputenv(kLogVariable, path.toUtf8());
    }
    void TearDown() override { qunsetenv(kLogVariable); }
    QByteArray log()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

// The undefined-behaviour checker would stop the write itself; the test needs the real fault.
// The pointer is read from a volatile so the optimiser cannot drop the write.
static int* volatile g_nullTarget = nullptr;
__attribute__((no_sanitize("undefined"), noinline)) static void writeThroughNullPointer()
{
    int* p = g_nullTarget;
    *p = 42;
}

TEST_F(CrashHandlerTest, SegmentationFaultIsRecordedAndStillKillsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            installFatalSignalHandlers(path);
            writeThroughNullPointer();
        },
        ::testing::KilledBySignal(SIGSEGV), "");
    const QByteArray l = log();
    EXPECT_TRUE(l.contains("Fatal signal 11")) << l.constData();
    EXPECT_TRUE(l.contains("-2147220991 - An unhandled error (EXCEPTION_ACCESS_VIOLATION)"));
    EXPECT_TRUE(l.contains("occurred at: 0x0."));
}

TEST_F(CrashHandlerTest, AbortIsRecordedToo)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            installFatalSignalHandlers(path);
            std::abort();
        },
        ::testing::KilledBySignal(SIGABRT), "");
    EXPECT_TRUE(log().contains("Fatal signal 6"));
}

TEST_F(CrashHandlerTest, AFreshProfileWithoutTheLogFolderStillGetsTheRecord)
{
    // The error-log folder of a fresh profile does not exist before the first error.
    if (!qEnvironmentVariableIsSet("TALLYMOOR_TEST_CRASH_FRESH")) {
        path = dir.filePath(QStringLiteral("fresh/share/Tallymoor/error.log"));
        qputenv(kLogVariable, path.toUtf8());
        qputenv("TALLYMOOR_TEST_CRASH_FRESH", "1");
    }
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            installFatalSignalHandlers(path);
            std::abort();
        },
        ::testing::KilledBySignal(SIGABRT), "");
    qunsetenv("TALLYMOOR_TEST_CRASH_FRESH");
    EXPECT_TRUE(log().contains("Fatal signal 6")) << "no record in " << path.toStdString();
}

TEST_F(CrashHandlerTest, SignalNames)
{
    EXPECT_STREQ(signalExceptionName(SIGFPE, FPE_INTDIV), "EXCEPTION_INT_DIVIDE_BY_ZERO");
    EXPECT_STREQ(signalExceptionName(SIGFPE, FPE_FLTINV), "EXCEPTION_FLT_INVALID_OPERATION");
    EXPECT_STREQ(signalExceptionName(SIGILL, ILL_ILLOPC), "EXCEPTION_ILLEGAL_INSTRUCTION");
    EXPECT_STREQ(signalExceptionName(SIGABRT, 0), "Unknown exception type");
}

TEST_F(CrashHandlerTest, UnhandledExceptionReachesTheErrorReport)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setReportPresenter([](const QString& t) { std::fprintf(stderr, "%s", t.toUtf8().constData()); });
            installTerminateHandler();
            // Thrown where nothing catches it: std::terminate runs.
            std::thread([] { throw std::runtime_error("kaputt"); }).join();
        },
        ::testing::KilledBySignal(SIGABRT),
        "Error: -2147220991 - An unhandled error \\(C\\+\\+ exception: kaputt\\)");
}
