// ContextMenu.h: the context menu of the folder tree and the file list: the program's own entries
// (ids 999 to 1001) on top, then the host's common file actions (open, show in the file manager,
// copy the path) for the selected paths.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

namespace foldersize {

// The clicked control; it decides which own entries the menu offers.
enum class MenuControl { Tree, FileList };

// Ids of the own entries.
inline constexpr int kIdAktualisieren = 999;
inline constexpr int kIdEntfernen = 1000;
inline constexpr int kIdSpeichern = 1001;
// Ids of the host's file actions; everything from 1 to 998 belongs to the host part.
inline constexpr int kIdOeffnen = 1;
inline constexpr int kIdImDateimanagerZeigen = 2;
inline constexpr int kIdPfadKopieren = 3;

struct MenuEntry {
    int id;
    QString caption;
};

// The menu from the top: "Aktualisieren", "Speichern", "Entfernen" for the tree, only
// "Aktualisieren" for the file list, followed (without a separator) by the host's file actions.
std::vector<MenuEntry> contextMenuEntries(MenuControl control);

// Carries out a host action for all paths at once; ids outside 1..998 are never host actions.
// Open and show (the containing folders, each once) go through the open service; a file or folder
// without a program gets a choice of program, or a box that says why (owned by parent). The paths
// (one per line) go to the clipboard.
// Returns false for an id that is no host action.
bool executeHostAction(int id, const QStringList& paths, QWidget* parent = nullptr);

// Shows the entries at the global position and returns the chosen id, 0 when cancelled. The
// default shows a QMenu; tests install a presenter that chooses without a window.
using MenuPresenter =
    std::function<int(QWidget* owner, const std::vector<MenuEntry>& entries, const QPoint& globalPos)>;
void setMenuPresenter(MenuPresenter presenter); // empty restores the QMenu

// Builds and shows the menu for the paths, carries out a chosen host action and returns the
// chosen id (0 when cancelled).
int PopupMenuZeigen(QWidget* owner, const QStringList& paths, const QPoint& globalPos, MenuControl control);

// What the own entries do in the main window.
struct ContextMenuActions {
    std::function<void()> aktualisierenTree;  // re-measure the selected node's root
    std::function<void()> aktualisierenListe; // refill the file list for its first item's folder
    std::function<void()> entfernen;          // remove the selected node's root
    std::function<void()> speichern;          // save the selected node's root
};

// The main window's right-click handler. selectedPaths: the tree's selected folder (one entry) or
// the file list's selected files in list order. No menu without a selection or when the first path
// no longer exists; paths that vanished since are left out. Returns the chosen id.
int ShellContextMenu(QWidget* owner, MenuControl control, const QStringList& selectedPaths,
    const QPoint& globalPos, const ContextMenuActions& actions);

} // namespace foldersize
