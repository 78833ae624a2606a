// ProgramPaths.cpp: the per-user folders of Tallymoor, from QStandardPaths.
#include "foldersize/services/ProgramPaths.h"

#include <QStandardPaths>

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

} // namespace foldersize
