// ExplorerVerb.cpp: writing and deleting the per-user desktop entry.
#include "foldersize/services/ExplorerVerb.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

namespace foldersize {

QString explorerVerbFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/applications/tallymoor-folder.desktop");
}

QString desktopExecLine(const QString& executable)
{
    // Inside double quotes, ", `, $ and \ take a backslash; the entry's string rules then
    // double every backslash once more.
    QString quoted;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + quoted + QStringLiteral("\" %f");
}

bool KontextmenuRegistrieren(int aktiv, const QString& executable)
{
    const QString file = explorerVerbFile();
    if (aktiv != 1)
        return !QFile::exists(file) || QFile::remove(file);
    if (!QDir().mkpath(QFileInfo(file).absolutePath()))
        return false;
    QSaveFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    // TryExec: once the program is gone (the package removed, the build deleted) desktops pass
    // the entry over instead of offering a program that cannot start. The type list goes without
    // its optional last ";": xdg-open without a desktop takes for the folders' opener the first
    // entry whose text holds "inode/directory;", heeding no TryExec, and this entry is only a
    // choice besides the file manager.
    QString tryExec = executable;
    tryExec.replace(QLatin1String("\\"), QLatin1String("\\\\"));
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tallymoor\n"
                                        "Comment=Ordnergrößen anzeigen\n"
                                        "TryExec=%1\n"
                                        "Exec=%2\n"
                                        "MimeType=inode/directory\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n")
                             .arg(tryExec, desktopExecLine(executable));
    f.write(text.toUtf8());
    return f.commit();
}

} // namespace foldersize
