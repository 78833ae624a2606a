// MainWindow.h: Tallymoor's main window: toolbar, folder combo, folder tree, file list and status
// bar; the folder queue and its working-off loop, the scans, the busy state, the settings it
// restores and saves, and the hand-off from a later copy.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QFont>
#include <QLocale>
#include <QMainWindow>

#include "foldersize/scanner/FolderQueue.h"
#include "foldersize/scanner/FolderTree.h"
#include "foldersize/services/BrowserSettings.h"

class QAction;
class QActionGroup;
class QComboBox;
class QLabel;
class QTreeView;
class QWidget;

namespace foldersize {

class cSplitter;
class FileListModel;
class FolderTreeModel;
class ScanDriver;
class TreeOutput;
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

    // The toolbar button with this key, nullptr for an unknown key.
    QAction* button(const QString& key) const;
    // Toolbar dispatch on the button's key; unknown keys do nothing.
    void tlbMain_ButtonClick(const QString& key);

    // Works the folder queue off (returns at once; queueWorkedOff() follows). Does nothing
    // while the window is busy.
    void Ordnerliste_Abarbeiten();
    // Measures path into a new root (empty key) or into the root with that key.
    void QuelleEinlesen(const std::string& path, int image, int selectedImage, const std::string& key);
    void TreeViewAktualisieren();
    void TreeViewEntfernen();
    void TreeViewGrösseÄndern();
    void ListViewFüllen(const std::string& folder);
    void ListViewGrösseÄndern();
    void DisableControls(bool alles);
    void EnableControls();
    void ChangeFont();
    void OptionenLadenMain();
    bool FensterpositionSpeichern();
    bool OptionenSpeichernMain();
    bool SaveAllComboFolders();
    // Column click on the file list (1-based column index).
    void lvwOrdner_ColumnClick(int column);
    // Folders handed over by a later copy (an empty list brings the window forward).
    void receiveFolders(const std::vector<std::string>& folders);

    bool busy() const { return m_Einlesen; }
    int einleseStatus() const { return m_EinleseStatus; }
    FolderQueue& queue() { return m_Ordnerliste; }
    FolderTree& tree() { return m_tree; }
    FolderTreeModel* treeModel() const { return m_treeModel; }
    FileListModel* listModel() const { return m_listModel; }
    QComboBox* cboOrdner() const { return m_cboOrdner; }
    QTreeView* tvwOrdner() const { return m_tvwOrdner; }
    QTreeView* lvwOrdner() const { return m_lvwOrdner; }
    cSplitter* splitter() const { return m_cSplitTop.get(); }
    QString panelText(int panel) const;
    int panelWidth(int panel) const;
    int sortSpalte() const { return m_SortSpalte; }
    Qt::SortOrder sortOrder() const { return m_sortOrder; }
    const BrowserSettings& settings() const { return m_settings; }
    std::uint8_t sizeUnit() const { return m_settings.dateigroesseFormat; }
    // Picture of combo and tree index 1..10.
    QIcon picture(int index) const;

    // Selects a combo item by its path; adds a folder item when there is none. Returns its row.
    int selectComboFolder(const std::string& path, int selectedImage);

signals:
    void queueWorkedOff();
    void refreshFinished();
    void scanFinished();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildToolbar();
    void buildPictures();
    void restoreGeometryFromSettings();
    void FormActivate();
    void GetAllDrives();
    void GetAllSavedComboFolders();
    void nextQueueEntry();
    void finishQueue();
    void finishRefresh(const std::string& rememberedKey, FolderNode* root);
    void onScanEnded(bool stopped);
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

    QString m_iniFile;
    SettingsStore m_store;
    BrowserSettings m_settings;
    std::vector<SettingsProblem> m_problems;
    std::vector<std::string> m_commandLine;
    Choosers m_choosers;
    QLocale m_locale;

    FolderTree m_tree;
    FolderQueue m_Ordnerliste;
    bool m_Einlesen = false;
    int m_EinleseStatus = kEinleseNormal;
    bool m_Aktiviert = false;
    int m_SortSpalte = 1;
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
    bool m_inQueueLoop = false;
    std::string m_lastFolder;
    std::function<void(bool stopped)> m_afterScan;
    int m_panel1Width = 0;

    QVector<QIcon> m_pictures;
    std::map<QString, QAction*> m_buttons;
    QActionGroup* m_unitGroup = nullptr;
    QComboBox* m_cboOrdner = nullptr;
    QWidget* m_picSplitTop = nullptr;
    QTreeView* m_tvwOrdner = nullptr;
    QTreeView* m_lvwOrdner = nullptr;
    QLabel* m_panel1 = nullptr;
    QLabel* m_panel2 = nullptr;
    FolderTreeModel* m_treeModel = nullptr;
    FileListModel* m_listModel = nullptr;
    ScanDriver* m_driver = nullptr;
    std::unique_ptr<cSplitter> m_cSplitTop;
    std::unique_ptr<TreeOutput> m_output;
};

} // namespace foldersize
