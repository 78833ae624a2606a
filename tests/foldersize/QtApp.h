// QtApp.h: one application object for tests that need an event loop, and a helper that points
// the per-user folders (XDG) at a temporary folder so that no test touches the real home.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtGlobal>

namespace testsupport {

// Creates the QApplication on first use (offscreen when no platform is set).
inline QCoreApplication* ensureApp()
{
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "tallymoor-tests";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
    }
    return QCoreApplication::instance();
}

// Sets HOME and the XDG folders to subfolders of a temporary folder for its lifetime.
class TempHome {
public:
    TempHome()
    {
        const QByteArray base = m_dir.path().toUtf8();
        qputenv("HOME", base);
        qputenv("XDG_CONFIG_HOME", base + "/config");
        qputenv("XDG_DATA_HOME", base + "/data");
        qputenv("XDG_CACHE_HOME", base + "/cache");
        qputenv("XDG_RUNTIME_DIR", base + "/run");
        QDir().mkpath(m_dir.path() + QStringLiteral("/run"));
        QFile::setPermissions(
            m_dir.path() + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
};

} // namespace testsupport
