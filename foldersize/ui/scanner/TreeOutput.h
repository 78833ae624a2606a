// TreeOutput.h: the main window's commands that save the tree as a report file or print it:
// dialogs through OutputDialogs, busy state and error reports through the window's callbacks.
#pragma once

#include "foldersize/scanner/FolderTree.h"

#include <QFont>
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

class YieldClock;

// The printout's font: "Courier New" 8 pt, or the system's fixed-pitch font in 8 pt.
QFont printFont();
// Characters of the print font that fit across the printer's page.
int printLineChars(QPrinter& printer);

// Paints the lines in the print font with a new page when the page is full; a line wider than the
// page continues on further rows (printRows), so nothing is cut at the page's edge. Polls clock
// (when given) between rows. False when the printer could not be opened or failed.
bool printTreeLines(QPrinter& printer, const QStringList& lines, YieldClock* clock = nullptr);

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
    // Longest time printing works before the event loop gets its turn.
    static constexpr int kPrintYieldMs = 20;

private:
    void save(const QString& procName, const std::function<QByteArray()>& report);

    FolderTree& m_tree;
    TreeOutputHost m_host;
    QWidget* m_parent;
};

} // namespace foldersize
