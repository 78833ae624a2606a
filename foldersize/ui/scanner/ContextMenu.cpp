// ContextMenu.cpp: menu entries, host file actions and the dispatch of the own entries.
#include "foldersize/ui/scanner/ContextMenu.h"

#include "foldersize/ui/services/FileOpening.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>

namespace foldersize {

namespace {

MenuPresenter& presenter()
{
    static MenuPresenter current;
    return current;
}

int showQMenu(QWidget* owner, const std::vector<MenuEntry>& entries, const QPoint& globalPos)
{
    QMenu menu(owner);
    for (const MenuEntry& entry : entries)
        menu.addAction(entry.caption)->setData(entry.id);
    const QAction* chosen = menu.exec(globalPos);
    return chosen ? chosen->data().toInt() : 0;
}

// The folder that holds a path (for a folder path with a trailing "/": its parent).
QString containingFolder(const QString& path)
{
    QString clean = path;
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    return QFileInfo(clean).absolutePath();
}

} // namespace

std::vector<MenuEntry> contextMenuEntries(MenuControl control)
{
    std::vector<MenuEntry> entries{{kIdAktualisieren, QStringLiteral("Aktualisieren")}};
    if (control == MenuControl::Tree) {
        entries.push_back({kIdSpeichern, QStringLiteral("Speichern")});
        entries.push_back({kIdEntfernen, QStringLiteral("Entfernen")});
    }
    entries.push_back({kIdOeffnen, QStringLiteral("Öffnen")});
    entries.push_back({kIdImDateimanagerZeigen, QStringLiteral("Im Dateimanager anzeigen")});
    entries.push_back({kIdPfadKopieren, QStringLiteral("Pfad kopieren")});
    return entries;
}

bool executeHostAction(int id, const QStringList& paths, QWidget* parent)
{
    switch (id) {
    case kIdOeffnen:
        for (const QString& path : paths)
            openWithItsProgram(parent, path);
        return true;
    case kIdImDateimanagerZeigen: {
        QStringList shown;
        for (const QString& path : paths) {
            const QString folder = containingFolder(path);
            if (!shown.contains(folder)) {
                shown << folder;
                // As "Öffnen" does: without a file manager, a choice of program or a box says why.
                openWithItsProgram(parent, folder);
            }
        }
        return true;
    }
    case kIdPfadKopieren:
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(paths.join(QLatin1Char('\n')));
        return true;
    default: return false;
    }
}

void setMenuPresenter(MenuPresenter presenterFunction) { presenter() = std::move(presenterFunction); }

int PopupMenuZeigen(QWidget* owner, const QStringList& paths, const QPoint& globalPos, MenuControl control)
{
    const std::vector<MenuEntry> entries = contextMenuEntries(control);
    const int command =
        presenter() ? presenter()(owner, entries, globalPos) : showQMenu(owner, entries, globalPos);
    if (command > 0 && command < kIdAktualisieren)
        executeHostAction(command, paths, owner);
    return command;
}

int ShellContextMenu(QWidget* owner, MenuControl control, const QStringList& selectedPaths,
    const QPoint& globalPos, const ContextMenuActions& actions)
{
    if (selectedPaths.isEmpty() || selectedPaths.first().isEmpty() ||
        !QFileInfo::exists(selectedPaths.first()))
        return 0;
    QStringList paths;
    for (const QString& path : selectedPaths) {
        if (!path.isEmpty() && QFileInfo::exists(path))
            paths << path;
    }
    const int command = PopupMenuZeigen(owner, paths, globalPos, control);
    const auto call = [](const std::function<void()>& f) {
        if (f)
            f();
    };
    switch (command) {
    case kIdAktualisieren:
        call(control == MenuControl::FileList ? actions.aktualisierenListe : actions.aktualisierenTree);
        break;
    case kIdEntfernen:
        if (control != MenuControl::FileList)
            call(actions.entfernen);
        break;
    case kIdSpeichern:
        if (control == MenuControl::Tree)
            call(actions.speichern);
        break;
    default: break;
    }
    return command;
}

} // namespace foldersize
