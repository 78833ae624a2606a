// MainWindow.cpp: load and close sequences, toolbar dispatch, busy state and tree handling (the
// file list's part is in MainWindowFileList.cpp).
#include "foldersize/ui/scanner/MainWindow.h"

#include "foldersize/scanner/ScanStatus.h"

#include <algorithm>
#include <cmath>
#include <system_error>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFontDialog>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>

#include "foldersize/scanner/DriveList.h"
#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/HandOffReceiver.h"
#include "foldersize/scanner/SizeFormat.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ExplorerVerb.h"
#include "foldersize/services/IniFile.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/UpdateHandOff.h"
#include "foldersize/ui/scanner/ContextMenu.h"
#include "foldersize/ui/scanner/FileListModel.h"
#include "foldersize/ui/scanner/FolderCombo.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"
#include "foldersize/ui/scanner/MainSplitter.h"
#include "foldersize/ui/scanner/MainToolbar.h"
#include "foldersize/ui/scanner/OutputDialogs.h"
#include "foldersize/ui/scanner/TreeExpander.h"
#include "foldersize/ui/scanner/TreeOutput.h"
#include "foldersize/ui/scanner/cSplitter.h"
#include "foldersize/ui/services/DialogHooks.h"
#include "foldersize/ui/services/MessageService.h"
#include "foldersize/ui/services/ToolbarDialogs.h"

namespace foldersize {
namespace {

const char* const kModul = "frmMain";

QByteArray toBytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

} // namespace

MainWindow::MainWindow(QString iniFile, std::vector<std::string> commandLine, QWidget* parent)
    : QMainWindow(parent)
    , m_iniFile(std::move(iniFile))
    , m_store(m_iniFile)
    , m_commandLine(std::move(commandLine))
{
    m_settings = m_store.load(&m_problems);
    m_choosers.folder = [](QWidget* p) { return chooseFolder(p, QDir::homePath()); };
    m_choosers.font = [](QWidget* p, const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, p);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };

    // The window is marked by its single-copy socket; nothing to do here for other copies.
    m_pictures = buildPictures(style());
    m_treeModel = new FolderTreeModel(m_tree, this);
    m_treeModel->setImages(m_pictures);
    m_listModel = new FileListModel(this);
    m_queue = new FolderQueueController(m_tree, *m_treeModel, this);
    m_queue->setObjectName(QStringLiteral("queueController"));
    m_ui = buildMainWindowLayout(*this, m_treeModel, m_listModel);

    // Splitter between tree and list.
    m_cSplitTop = std::make_unique<cSplitter>();
    // After a drag of the bar the first status panel is at least the tree's width (plus 45 twips).
    connect(m_cSplitTop.get(), &cSplitter::dragFinished, this, [this] {
        m_ui.panel1->setMinimumWidth(
            m_ui.tvwOrdner->width() + static_cast<int>(std::lround(45.0 / twipsPerPixelX())));
    });

    TreeOutputHost host;
    host.disableControls = [this](bool alles) {
        DisableControls(alles);
        // Printing lets the event loop run: the window must not close under it.
        m_queue->setListBusy(true);
    };
    host.enableControls = [this] { EnableControls(); };
    host.reportError = [this](const QString& proc, int step, const QString& text) {
        reportError(proc, step, text);
    };
    m_output = std::make_unique<TreeOutput>(m_tree, host, this);

    m_toolbar =
        std::make_unique<MainToolbar>(m_ui.tlbMain, [this](const QString& key) { tlbMain_ButtonClick(key); });
    restoreGeometryFromSettings();
    setWindowTitle(QStringLiteral("Tallymoor ") + globals().progVersion);
    m_combo = std::make_unique<FolderCombo>(m_ui.cboOrdner, m_pictures);
    m_combo->addDrives(GetAllDrives());
    m_combo->addSavedFolders(m_settings.comboOrdner);
    applyLayoutSettings();
    connectQueue();
    connectViews();
    updateButtons();
}

void MainWindow::applyLayoutSettings()
{
    // File list: columns, widths, sorting by size, largest first.
    m_ui.lvwOrdner->header()->setSortIndicator(1, Qt::DescendingOrder);
    m_listModel->sort(1, Qt::DescendingOrder);
    m_SortSpalte = 1;
    OptionenLadenMain();
    setUnit(m_settings.dateigroesseFormat);
    std::array<int, 4> cols = m_settings.columns;
    const int listWidth = m_ui.lvwOrdner->width();
    if (listWidth > 0 && listWidth < cols[0])
        cols = {133, 93, 93, 115};
    for (int i = 0; i < 4; ++i)
        m_ui.lvwOrdner->setColumnWidth(i, cols[static_cast<std::size_t>(i)]);
    QFont treeFont(m_settings.fontName);
    treeFont.setPointSizeF(m_settings.fontSize);
    treeFont.setBold(m_settings.fontBold);
    m_ui.tvwOrdner->setFont(treeFont);
}

void MainWindow::connectQueue()
{
    m_queue->setComboLookup(
        [this](const std::string& folder) { return m_combo->entry(m_combo->selectFolder(folder, 10)); });
    connect(m_queue, &FolderQueueController::loopStarted, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        DisableControls(false);
        setStatusPanelStretched(*this, m_ui, true);
    });
    connect(m_queue, &FolderQueueController::refreshStarted, this, [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        DisableControls(false);
        m_listModel->clear();
    });
    connect(m_queue, &FolderQueueController::progress, this,
        [this](const QString& folder) { m_ui.panel1->setText(folder); });
    connect(m_queue, &FolderQueueController::scanStarted, this,
        [this](FolderNode* root) { m_ui.tvwOrdner->expand(m_treeModel->indexOf(root)); });
    connect(m_queue, &FolderQueueController::scanEnded, this, [this](FolderNode* root) {
        const QModelIndex idx = m_treeModel->indexOf(root);
        m_ui.tvwOrdner->expand(idx);
        m_ui.tvwOrdner->setCurrentIndex(idx);
    });
    connect(m_queue, &FolderQueueController::listRequested, this, &MainWindow::ListViewFüllen);
    connect(m_queue, &FolderQueueController::queueWorkedOff, this, [this] {
        EnableControls();
        QApplication::restoreOverrideCursor();
        setStatusPanelStretched(*this, m_ui, false);
        m_ui.panel1->setText(scanStatusText(m_queue->runStatistics()));
    });
    connect(m_queue, &FolderQueueController::refreshEnded, this, [this](NodeRef node) {
        EnableControls();
        QApplication::restoreOverrideCursor();
        selectNode(node.folder, node.filesNode);
        m_ui.panel1->setText(scanStatusText(m_queue->runStatistics()));
    });
}

void MainWindow::connectViews()
{
    // Roots come and go: the buttons that need a tree follow.
    connect(m_treeModel, &QAbstractItemModel::rowsInserted, this, &MainWindow::updateButtons);
    connect(m_treeModel, &QAbstractItemModel::rowsRemoved, this, &MainWindow::updateButtons);
    connect(m_treeModel, &QAbstractItemModel::modelReset, this, &MainWindow::updateButtons);
    connect(m_ui.tvwOrdner, &QTreeView::clicked, this, &MainWindow::onTreeClicked);
    // "*" expands everything below the current folder in steps (a deep tree would freeze the window).
    (new TreeExpander(m_ui.tvwOrdner))->setObjectName(QStringLiteral("treeExpander"));
    connect(m_ui.tvwOrdner, &QWidget::customContextMenuRequested, this, &MainWindow::onTreeContextMenu);
    connect(m_ui.lvwOrdner, &QWidget::customContextMenuRequested, this, &MainWindow::onListContextMenu);
    connect(m_ui.lvwOrdner, &QTreeView::doubleClicked, this, &MainWindow::onListDoubleClicked);
    connect(m_ui.lvwOrdner->header(), &QHeaderView::sectionClicked, this,
        [this](int logical) { lvwOrdner_ColumnClick(logical + 1); });
}

MainWindow::~MainWindow() = default;

void MainWindow::setChoosers(Choosers choosers)
{
    if (choosers.folder)
        m_choosers.folder = std::move(choosers.folder);
    if (choosers.font)
        m_choosers.font = std::move(choosers.font);
}

void MainWindow::setSizeLocale(const QLocale& locale)
{
    m_locale = locale;
    m_treeModel->setLocale(locale);
    m_listModel->setLocale(locale);
}

QAction* MainWindow::button(const QString& key) const { return m_toolbar->button(key); }

double MainWindow::twipsPerPixelX() const { return foldersize::twipsPerPixelX(this); }

double MainWindow::twipsPerPixelY() const
{
    const int dpi = logicalDpiY();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void MainWindow::restoreGeometryFromSettings()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    int width = static_cast<int>(std::lround(m_settings.width / tx));
    // Without a usable stored width (none, or one that is no number) the window shows the combo
    // and every toolbar button.
    const bool widthBad = std::any_of(m_problems.begin(), m_problems.end(),
        [](const SettingsProblem& p) { return p.section == ini::kForm && p.key == QLatin1String("Width"); });
    if (widthBad || !m_settings.widthStored)
        width = std::max(width, m_ui.cboOrdner->minimumWidth() + m_ui.tlbMain->sizeHint().width() + 8);
    const int height = static_cast<int>(std::lround(m_settings.height / ty));
    int left =
        m_settings.left ? static_cast<int>(std::lround(*m_settings.left / tx)) : (avail.width() - width) / 2;
    int top =
        m_settings.top ? static_cast<int>(std::lround(*m_settings.top / ty)) : (avail.height() - height) / 2;
    // A stored place beyond the screen (a monitor removed) falls back to the edge.
    if (left > avail.width() || left < 0)
        left = 0;
    if (top > avail.height() || top < 0)
        top = 0;
    double tvw = m_settings.tvw;
    if (m_settings.width < tvw)
        tvw = 2190;
    setGeometry(left + avail.x(), top + avail.y(), width, height);
    bindMainSplitter(*m_cSplitTop, m_ui.picSplitTop, m_ui.tvwOrdner, m_ui.lvwOrdner, tvw, tx);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_Aktiviert) {
        m_Aktiviert = true;
        // The command line is taken once the window is on screen.
        QMetaObject::invokeMethod(
            this, [this] { FormActivate(); }, Qt::QueuedConnection);
    }
}

void MainWindow::FormActivate()
{
    int step = 10;
    try {
        if (m_settings.windowState == 2) {
            showMaximized();
            step = 20;
            // The stored width of the tree is in twips; the panes are laid out in pixels.
            bool ok = false;
            double tvw =
                INILesen(ini::kForm, QStringLiteral("TVW"), QStringLiteral("2190"), m_iniFile).toDouble(&ok);
            if (!ok)
                tvw = 2190;
            m_cSplitTop->setPosition(splitterPixels(tvw, twipsPerPixelX()));
        }
        step = 30;
        showSettingsProblems();
        step = 40;
        for (const std::string& folder : FolderQueue::foldersFromArguments(m_commandLine))
            m_queue->queue().append(folder);
        m_commandLine.clear();
        if (!m_queue->queue().empty())
            m_queue->Ordnerliste_Abarbeiten();
    } catch (const std::exception& e) {
        reportError(QStringLiteral("Form_Activate"), step, QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::showSettingsProblems()
{
    if (m_problems.empty())
        return;
    const QString text = settingsProblemsText(m_problems, m_iniFile);
    m_problems.clear();
    messageService().warning(this, QStringLiteral("Tallymoor"), text);
}

void MainWindow::reportError(const QString& procName, int step, const QString& text)
{
    ErrorInfo err;
    err.number = 5;
    err.description = text;
    FehlerAnzeigen(procName, QLatin1String(kModul), step, err);
}

// ---------------------------------------------------------------- combo box

// ---------------------------------------------------------------- toolbar

void MainWindow::tlbMain_ButtonClick(const QString& key)
{
    int step = 10;
    try {
        if (key == QLatin1String("neu")) {
            const QString chosen = m_choosers.folder ? m_choosers.folder(this) : QString();
            if (chosen.isEmpty())
                return;
            m_combo->selectFolder(QFile::encodeName(chosen).toStdString(), 8);
        } else if (key == QLatin1String("start")) {
            step = 20;
            const std::string tag = m_combo->selectedTag();
            if (tag.empty())
                m_queue->queue().clear();
            else
                m_queue->startFolder(tag);
        } else if (key == QLatin1String("stop")) {
            m_queue->requestStop();
        } else if (key == QLatin1String("refresh")) {
            TreeViewAktualisieren();
        } else if (key == QLatin1String("speichern")) {
            step = 30;
            m_output->TreeViewSpeichern(selectedNode());
        } else if (key == QLatin1String("speichernalle")) {
            m_output->TreeViewSpeichernAlle();
        } else if (key == QLatin1String("drucken")) {
            m_output->TreeViewDrucken(selectedNode(), m_settings.dateigroesseFormat);
        } else if (key == QLatin1String("del")) {
            TreeViewEntfernen();
        } else if (key == QLatin1String("delall")) {
            step = 40;
            m_treeModel->removeAllRoots();
            m_listModel->clear();
        } else if (unitOfButtonKey(key) >= 0) {
            step = 50;
            setUnit(static_cast<std::uint8_t>(unitOfButtonKey(key)));
        } else if (key == QLatin1String("optionen")) {
            step = 60;
            OptionenZeigen(this, m_iniFile, dialogHooks());
            OptionenLadenMain();
        } else if (key == QLatin1String("font")) {
            ChangeFont();
        } else if (key == QLatin1String("info")) {
            InfoZeigen(this, {globals().versionMajor, globals().versionMinor, globals().versionRevision},
                dialogHooks());
        } else if (key == QLatin1String("homepage")) {
            HomepageZeigen();
        } else if (key == QLatin1String("iupdate")) {
            step = 70;
            if (InternetUpdateZeigen(this, globals().progName,
                    {globals().versionMajor, globals().versionMinor, globals().versionRevision},
                    globals().progVersion, m_iniFile, dialogHooks()))
                close();
        } else if (key == QLatin1String("ende")) {
            close();
        }
    } catch (const std::exception& e) {
        reportError(QStringLiteral("tlbMain_ButtonClick"), step, QString::fromLocal8Bit(e.what()));
    }
}

DialogHooks MainWindow::dialogHooks()
{
    DialogHooks h;
    h.reportError = [](const QString& proc, const QString& modul, int zeile, const QString& text) {
        ErrorInfo err;
        err.number = 5;
        err.description = text;
        FehlerAnzeigen(proc, modul, zeile, err);
    };
    h.kontextmenuRegistrieren = [](int aktiv) {
        KontextmenuRegistrieren(aktiv, QCoreApplication::applicationFilePath());
    };
    return h;
}

void MainWindow::setUnit(std::uint8_t unit)
{
    m_settings.dateigroesseFormat = unit;
    if (QAction* a = button(unitButtonKey(unit)))
        a->setChecked(true);
    TreeViewGrösseÄndern();
    ListViewGrösseÄndern();
}

void MainWindow::TreeViewGrösseÄndern() { m_treeModel->setUnit(m_settings.dateigroesseFormat); }

void MainWindow::OptionenLadenMain()
{
    const BrowserSettings fresh = m_store.loadOptionen();
    m_settings.dateianzahlRekursiv = fresh.dateianzahlRekursiv;
    m_settings.noIcons = fresh.noIcons;
    m_treeModel->setShowCounts(m_settings.dateianzahlRekursiv == 1);
}

void MainWindow::ChangeFont()
{
    const std::optional<QFont> f =
        m_choosers.font ? m_choosers.font(this, m_ui.tvwOrdner->font()) : std::nullopt;
    if (f)
        m_ui.tvwOrdner->setFont(*f);
}

// ---------------------------------------------------------------- busy state

void MainWindow::DisableControls(bool alles)
{
    if (alles)
        m_queue->setListBusy(true);
    m_toolbarMode = alles ? ToolbarMode::Filling : ToolbarMode::Scanning;
    m_ui.tvwOrdner->setEnabled(false);
    m_ui.lvwOrdner->setEnabled(false);
    if (!alles)
        m_ui.cboOrdner->setEnabled(false);
    updateButtons();
}

void MainWindow::EnableControls()
{
    m_toolbarMode = ToolbarMode::Idle;
    m_ui.tvwOrdner->setEnabled(true);
    m_ui.lvwOrdner->setEnabled(true);
    m_ui.cboOrdner->setEnabled(true);
    updateButtons();
    m_ui.tvwOrdner->setFocus();
    m_queue->setListBusy(false);
}

void MainWindow::updateButtons() { m_toolbar->update(m_toolbarMode, m_tree.rootCount() > 0); }

// ---------------------------------------------------------------- tree

FolderNode* MainWindow::selectedNode(bool* filesNode) const
{
    return m_treeModel->nodeOf(m_ui.tvwOrdner->currentIndex(), filesNode);
}

void MainWindow::selectNode(const FolderNode* node, bool filesNode)
{
    const QModelIndex idx = m_treeModel->indexOf(node, filesNode);
    if (idx.isValid())
        m_ui.tvwOrdner->setCurrentIndex(idx);
}

void MainWindow::TreeViewAktualisieren()
{
    bool files = false;
    FolderNode* sel = selectedNode(&files);
    m_queue->refresh(sel, files);
}

void MainWindow::TreeViewEntfernen()
{
    FolderNode* sel = selectedNode();
    if (!sel || m_queue->busy())
        return;
    FolderRoot* r = m_tree.rootOf(sel);
    const auto idx = m_tree.rootIndex(r->node.get());
    m_treeModel->beginRemoveRoot(*idx);
    m_tree.removeRoot(r->node.get());
    m_treeModel->endRemoveRoot();
    m_listModel->clear();
    if (m_tree.rootCount() > 0)
        selectNode(m_tree.root(0).node.get());
}

void MainWindow::onTreeClicked(const QModelIndex& index)
{
    bool files = false;
    const FolderNode* n = m_treeModel->nodeOf(index, &files);
    if (!n || m_queue->busy())
        return;
    // A files node stands for its folder's own files.
    const std::string folder = n->path();
    if (!xExistFolder(folder))
        return;
    ListViewFüllen(folder);
}

void MainWindow::onTreeContextMenu(const QPoint& pos)
{
    const QModelIndex idx = m_ui.tvwOrdner->indexAt(pos);
    if (!idx.isValid() || m_queue->busy())
        return;
    m_ui.tvwOrdner->setCurrentIndex(idx);
    const FolderNode* n = m_treeModel->nodeOf(idx);
    ContextMenuActions actions;
    actions.aktualisierenTree = [this] { TreeViewAktualisieren(); };
    actions.entfernen = [this] { TreeViewEntfernen(); };
    actions.speichern = [this] { m_output->TreeViewSpeichern(selectedNode()); };
    ShellContextMenu(this, MenuControl::Tree, {QFile::decodeName(toBytes(n->path()))},
        m_ui.tvwOrdner->viewport()->mapToGlobal(pos), actions);
}

// ---------------------------------------------------------------- hand-off from a later copy

void MainWindow::receiveFolders(const std::vector<std::string>& folders)
{
    if (foldersFromHandOff(folders).empty()) {
        // A later copy without a folder: show this window again.
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
    // Foreground, without restoring a minimized window.
    raise();
    activateWindow();
    m_queue->receive(folders);
}

// ---------------------------------------------------------------- closing

void MainWindow::FensterpositionSpeichern(IniBatch& batch)
{
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const QRect r = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    m_settings.windowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    m_settings.left = static_cast<int>(std::lround(r.x() * tx));
    m_settings.top = static_cast<int>(std::lround(r.y() * ty));
    m_settings.width = static_cast<int>(std::lround(r.width() * tx));
    m_settings.height = static_cast<int>(std::lround(r.height() * ty));
    m_settings.tvw = splitterPositionTwips(*m_cSplitTop, tx);
    m_store.addForm(batch, m_settings);
}

void MainWindow::OptionenSpeichernMain(IniBatch& batch)
{
    for (int i = 0; i < 4; ++i)
        m_settings.columns[static_cast<std::size_t>(i)] = m_ui.lvwOrdner->columnWidth(i);
    const QFont f = m_ui.tvwOrdner->font();
    m_settings.fontName = f.family();
    m_settings.fontSize = f.pointSizeF();
    m_settings.fontBold = f.bold();
    m_store.addLayout(batch, m_settings);
}

void MainWindow::SaveAllComboFolders(IniBatch& batch)
{
    m_store.addComboFolders(batch, m_combo->foldersToSave());
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // No closing while a scan runs: "stop" first.
    if (m_queue->busy()) {
        event->ignore();
        return;
    }
    // One rewrite of the settings file for all three, however large the file is.
    IniBatch batch;
    FensterpositionSpeichern(batch);
    OptionenSpeichernMain(batch);
    SaveAllComboFolders(batch);
    if (!m_store.save(batch))
        messageService().warning(this, QStringLiteral("Tallymoor"),
            QStringLiteral("Die Einstellungen konnten nicht in \"%1\" gespeichert werden.").arg(m_iniFile));
    if (g_UpdateStarten)
        startPendingSetup();
    event->accept();
}

} // namespace foldersize
