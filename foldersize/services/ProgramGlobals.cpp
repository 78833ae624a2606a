// ProgramGlobals.cpp: the program-wide values and the start-up initialisation.
#include "foldersize/services/ProgramGlobals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "foldersize/services/ProgramPaths.h"

namespace foldersize {

ProgramGlobals& globals()
{
    static ProgramGlobals g;
    return g;
}

QString versionText(int major, int minor, int revision)
{
    QString t = QStringLiteral("%1.%2").arg(major).arg(minor);
    if (revision > 0)
        t += QStringLiteral(".%1").arg(revision);
    return t;
}

void InitMain(int major, int minor, int revision)
{
    ProgramGlobals& g = globals();
    g.appPfad = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    g.versionMajor = major;
    g.versionMinor = minor;
    g.versionRevision = revision;
    g.progVersion = versionText(major, minor, revision);
    // Every copy holds a shared lock on this marker for its whole life, so that an installer can
    // tell whether a copy still runs. The handle is deliberately never closed.
    QString runtime = runtimeFolder();
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    const QByteArray marker =
        QFile::encodeName(runtime + QLatin1Char('/') + g.progName + QStringLiteral(".running"));
    const int fd = ::open(marker.constData(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0)
        ::flock(fd, LOCK_SH | LOCK_NB);
}

} // namespace foldersize
