// TreeOutput.h: the main window's commands that save the tree as a report file or print it:
// dialogs through OutputDialogs, busy state and error reports through the window's callbacks.
#pragma once

#include "foldersize/scanner/FolderTree.h"

#include <QStringList>

#include <functional>

class QPrinter;
class QWidget;

namespace foldersize {

// What the commands need of the main window.
struct TreeOutputHost {
    std::function<void(bool alles)> disableControls; // busy state on
    std::function<void()> enableControls;            // busy state off
    // The central error routine: procedure name, failed step number, error text.
    std::function<void(const QString& procName, int step, const QString& error)> reportError;
};

// Paints the lines in "Courier New" 8 pt (or the system's fixed-pitch font), one per line, with
// a new page when the page is full. False when the printer could not be opened or failed.
bool printTreeLines(QPrinter& printer, const QStringList& lines);

class TreeOutput {
public:
    TreeOutput(FolderTree& tree, TreeOutputHost host, QWidget* dialogParent = nullptr);

    // Saves the report of the root of selected; nothing without a selection or on Cancel.
    void TreeViewSpeichern(const FolderNode* selected);
    // Saves the reports of all roots into one file; nothing in an empty tree or on Cancel.
    void TreeViewSpeichernAlle();
    // Prints the root of selected in the given size unit; nothing without a selection or on Cancel.
    void TreeViewDrucken(const FolderNode* selected, int unit);

    static inline const QString kFilter = QStringLiteral("Textdateien (*.txt)");
    static inline const QString kDefaultName = QStringLiteral("Ordnerliste.txt");

private:
    void save(const QString& procName, const std::function<QByteArray()>& report);

    FolderTree& m_tree;
    TreeOutputHost m_host;
    QWidget* m_parent;
};

} // namespace foldersize
