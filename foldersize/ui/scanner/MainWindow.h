// MainWindow.h: Tallymoor's main window: toolbar, folder combo, folder tree, file list and status
// bar; the busy state on screen, the settings it restores and saves, and the hand-off from a later
// copy. The folder queue and its scans are the FolderQueueController's ("queueController").
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QFont>
#include <QLocale>
#include <QMainWindow>

#include "foldersize/scanner/FolderTree.h"
#include "foldersize/services/BrowserSettings.h"
#include "foldersize/ui/scanner/MainToolbar.h"
#include "foldersize/ui/scanner/MainWindowLayout.h"

class QAction;

namespace foldersize {

class cSplitter;
class FileListModel;
class FolderCombo;
class FolderQueueController;
class IniBatch;
class FolderTreeModel;
class MainToolbar;
class TreeOutput;
class YieldClock;
struct DialogHooks;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Dialogs that tests answer without a window.
    struct Choosers {
        std::function<QString(QWidget* parent)> folder; // "neu": a folder, "" when cancelled
        std::function<std::optional<QFont>(QWidget* parent, const QFont& current)> font;
    };

    // Loads the window from the settings file (iniFile); commandLine holds the folder arguments
    // that the first activation measures.
    MainWindow(QString iniFile, std::vector<std::string> commandLine, QWidget* parent = nullptr);
    ~MainWindow() override;

    void setChoosers(Choosers choosers);
    // Locale of the size texts (the user's locale unless a test sets another).
    void setSizeLocale(const QLocale& locale);

    // Folders handed over by a later copy (an empty list brings the window forward).
    void receiveFolders(const std::vector<std::string>& folders);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectQueue();
    void connectViews();
    void applyLayoutSettings();
    void restoreGeometryFromSettings();
    void FormActivate();
    void tlbMain_ButtonClick(const QString& key);
    void TreeViewAktualisieren();
    void TreeViewEntfernen();
    void TreeViewGrösseÄndern();
    void ListViewFüllen(const std::string& folder);
    void ListViewGrösseÄndern();
    // The status bar's summary of the list (its files and their total) in the current unit.
    void showListSummary();
    // Polls clock (when given) between the columns.
    void widenListColumns(YieldClock* clock = nullptr);
    void lvwOrdner_ColumnClick(int column);
    void DisableControls(bool alles);
    void EnableControls();
    void updateButtons();
    void ChangeFont();
    void OptionenLadenMain();
    // The close's three saves: each adds what it writes to the batch the close writes at once.
    void FensterpositionSpeichern(IniBatch& batch);
    void OptionenSpeichernMain(IniBatch& batch);
    void SaveAllComboFolders(IniBatch& batch);
    void onTreeClicked(const QModelIndex& index);
    void onTreeContextMenu(const QPoint& pos);
    void onListContextMenu(const QPoint& pos);
    void onListDoubleClicked(const QModelIndex& index);
    void showSettingsProblems();
    void reportError(const QString& procName, int step, const QString& text);
    void setUnit(std::uint8_t unit);
    DialogHooks dialogHooks();
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;
    FolderNode* selectedNode(bool* filesNode = nullptr) const;
    void selectNode(const FolderNode* node, bool filesNode = false);
    QAction* button(const QString& key) const;

    QString m_iniFile;
    SettingsStore m_store;
    BrowserSettings m_settings;
    std::vector<SettingsProblem> m_problems;
    std::vector<std::string> m_commandLine;
    Choosers m_choosers;
    QLocale m_locale;

    FolderTree m_tree;
    bool m_Aktiviert = false;
    ToolbarMode m_toolbarMode = ToolbarMode::Idle;
    int m_SortSpalte = 1;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    std::optional<std::pair<std::size_t, std::uint64_t>> m_listSummary; // files, bytes

    QVector<QIcon> m_pictures;
    MainWindowWidgets m_ui;
    FolderTreeModel* m_treeModel = nullptr;
    FileListModel* m_listModel = nullptr;
    FolderQueueController* m_queue = nullptr;
    std::unique_ptr<MainToolbar> m_toolbar;
    std::unique_ptr<FolderCombo> m_combo;
    std::unique_ptr<cSplitter> m_cSplitTop;
    std::unique_ptr<TreeOutput> m_output;
};

} // namespace foldersize
