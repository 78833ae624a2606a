// FileOpening.cpp: a file's program, else the desktop's choice, else ours among the installed
// applications.
#include "foldersize/ui/services/FileOpening.h"

#include <QStringList>

#include "foldersize/services/OpenService.h"
#include "foldersize/ui/services/MessageService.h"

namespace foldersize {

void openWithItsProgram(QWidget* parent, const QString& path)
{
    OpenService& open = openService();
    const QString title = QStringLiteral("Tallymoor");
    const OpenService::FileOpen opened = open.openFile(path);
    if (opened == OpenService::FileOpen::Failed) {
        messageService().warning(parent, title,
            QStringLiteral("\"%1\" konnte nicht geöffnet werden: das zugeordnete Programm lässt sich nicht "
                           "starten.")
                .arg(path));
        return;
    }
    if (opened == OpenService::FileOpen::Opened || open.chooseProgram(path))
        return;
    const QList<OpenService::Program> programs = open.installedPrograms(path);
    if (programs.isEmpty()) {
        messageService().information(parent, title,
            QStringLiteral("Für \"%1\" ist kein Programm zugeordnet, und der Desktop bietet keine "
                           "Programmauswahl an.")
                .arg(path));
        return;
    }
    QStringList names;
    for (const OpenService::Program& p : programs)
        names << p.name;
    // Two entries of one name are told apart by their entries' ids.
    const QStringList plain = names;
    for (qsizetype i = 0; i < names.size(); ++i)
        if (plain.count(plain[i]) > 1)
            names[i] = QStringLiteral("%1 (%2)").arg(plain[i], programs[i].id);
    const std::optional<int> chosen = messageService().choose(parent, QStringLiteral("Öffnen mit"),
        QStringLiteral("Für \"%1\" ist kein Programm zugeordnet. Mit welchem Programm soll sie "
                       "geöffnet werden?")
            .arg(path),
        names);
    if (!chosen || *chosen < 0 || *chosen >= programs.size())
        return;
    const OpenService::Program& program = programs[*chosen];
    if (!open.openWith(program.id, path))
        messageService().warning(parent, title,
            QStringLiteral("\"%1\" konnte nicht mit %2 geöffnet werden.").arg(path, program.name));
}

} // namespace foldersize
