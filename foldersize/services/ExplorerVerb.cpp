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
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tallymoor\n"
                                        "Comment=Ordnergrößen anzeigen\n"
                                        "Exec=%1\n"
                                        "MimeType=inode/directory;\n"
                                        "NoDisplay=true\n"
                                        "Terminal=false\n")
                             .arg(desktopExecLine(executable));
    f.write(text.toUtf8());
    return f.commit();
}

bool KontextmenuAuffrischen(const QString& executable)
{
    QFile f(explorerVerbFile());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    if (text.contains(QStringLiteral("\nExec=") + desktopExecLine(executable) + QLatin1Char('\n')))
        return false;
    return KontextmenuRegistrieren(1, executable);
}

} // namespace foldersize
