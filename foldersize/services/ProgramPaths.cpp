// ProgramPaths.cpp: the per-user folders of Tallymoor, from QStandardPaths.
#include "foldersize/services/ProgramPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace foldersize {
namespace {

QString under(QStandardPaths::StandardLocation where)
{
    return QStandardPaths::writableLocation(where) + QLatin1Char('/') + programName() + QLatin1Char('/');
}

} // namespace

QString programName() { return QStringLiteral("Tallymoor"); }

QString iniFilePath()
{
    return under(QStandardPaths::GenericConfigLocation) + programName() + QStringLiteral(".ini");
}

QString errorLogFolder() { return under(QStandardPaths::GenericDataLocation); }

QString downloadFolder() { return under(QStandardPaths::GenericCacheLocation); }

QString runtimeFolder()
{
    // QStandardPaths would find the same, but warns on standard error when the variable is unset.
    const QString given = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    if (QDir::isAbsolutePath(given) && QFileInfo(given).isDir())
        return given;
    const uid_t uid = ::geteuid();
    const passwd* pw = ::getpwuid(uid);
    const QString user = pw ? QFile::decodeName(pw->pw_name) : QString::number(uid);
    const QString folder = QDir::tempPath() + QStringLiteral("/runtime-") + user;
    const QByteArray path = QFile::encodeName(folder);
    ::mkdir(path.constData(), 0700);
    // Only a folder of this user's own, not one another user put in its place.
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid)
        return QString();
    if ((st.st_mode & 0777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return QString();
    return folder;
}

} // namespace foldersize
