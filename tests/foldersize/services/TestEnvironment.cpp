// TestEnvironment.cpp: a gtest environment that sets HOME and XDG_* to a temporary folder before
// any test runs and creates the application object that event loops and widgets need.
#include "tests/foldersize/services/TestEnvironment.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#ifdef TEST_NEEDS_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

#include <cstdlib>

namespace {

QTemporaryDir& homeDir()
{
    static QTemporaryDir dir;
    return dir;
}

class TempHomeEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QByteArray home = homeDir().path().toLocal8Bit();
        ::setenv("HOME", home.constData(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/config").constData(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/data").constData(), 1);
        ::setenv("XDG_CACHE_HOME", (home + "/cache").constData(), 1);
        ::setenv("XDG_RUNTIME_DIR", (home + "/runtime").constData(), 1);
        for (const char* sub : {"/config", "/data", "/cache", "/runtime"})
            QDir().mkpath(QString::fromLocal8Bit(home + sub));
        QFile::setPermissions(QString::fromLocal8Bit(home + "/runtime"),
            QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (!QCoreApplication::instance()) {
            static int argc = 1;
            static char name[] = "tallymoor-test";
            static char* argv[] = {name, nullptr};
            m_app = new TestApplication(argc, argv);
        }
        ::unsetenv("http_proxy");
        ::unsetenv("HTTP_PROXY");
        ::unsetenv("all_proxy");
        ::unsetenv("ALL_PROXY");
    }

    // The application goes before main() returns: destroyed among the static objects at exit it
    // would outlive parts of Qt it still uses.
    void TearDown() override
    {
        delete m_app;
        m_app = nullptr;
    }

private:
    TestApplication* m_app = nullptr;
};

const auto* const kRegistered = ::testing::AddGlobalTestEnvironment(new TempHomeEnvironment);

} // namespace

QString testHome() { return homeDir().path(); }
