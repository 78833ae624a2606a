// MainWindow.cpp: load and close sequences, toolbar, queue, scans, tree and list handling.
#include "foldersize/scanner/MainWindow.h"

#include <cmath>

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "foldersize/scanner/ContextMenu.h"
#include "foldersize/scanner/DriveList.h"
#include "foldersize/scanner/FileListModel.h"
#include "foldersize/scanner/FileListing.h"
#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/FolderTreeModel.h"
#include "foldersize/scanner/HandOffReceiver.h"
#include "foldersize/scanner/ScanDriver.h"
#include "foldersize/scanner/SizeFormat.h"
#include "foldersize/scanner/TreeOutput.h"
#include "foldersize/scanner/cSplitter.h"
#include "foldersize/services/DialogHooks.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/services/ExplorerVerb.h"
#include "foldersize/services/IniFile.h"
#include "foldersize/services/MessageService.h"
#include "foldersize/services/OpenService.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/services/ToolbarDialogs.h"
#include "foldersize/services/UpdateHandOff.h"

namespace foldersize {
namespace {

const char* const kModul = "frmMain";

// Item data of the folder combo: the tag (path that is measured), the key and the pictures.
constexpr int kTagRole = Qt::UserRole + 1;
constexpr int kKeyRole = Qt::UserRole + 2;
constexpr int kImageRole = Qt::UserRole + 3;
constexpr int kSelectedImageRole = Qt::UserRole + 4;

QByteArray toBytes(const std::string& s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }
std::string fromBytes(const QByteArray& b)
{
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}
QString display(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

struct ButtonSpec {
    const char* key;
    const char* tooltip;
    bool unit;
};

// The toolbar from left to right; an empty key is a separator.
const ButtonSpec kButtons[] = {
    {"neu", "Neue Quelle auswählen", false},
    {"start", "Quelle einlesen", false},
    {"stop", "Einlesen beenden", false},
    {"", "", false},
    {"refresh", "Quelle im Report aktualisieren", false},
    {"speichern", "Quelle in eine Datei speichern", false},
    {"speichernalle", "alle Quellen in eine Datei speichern", false},
    {"drucken", "Quelle ausdrucken", false},
    {"del", "Quelle im Report entfernen", false},
    {"delall", "alle Quellen im Report entfernen", false},
    {"", "", false},
    {"b", "Bytes", true},
    {"kb", "Kilobytes", true},
    {"mb", "Megabytes", true},
    {"gb", "Gigabytes", true},
    {"", "", false},
    {"optionen", "Optionen", false},
    {"font", "Schriftart auswählen", false},
    {"", "", false},
    {"info", "Info", false},
    {"homepage", "Homepage", false},
    {"iupdate", "Internet Update", false},
    {"", "", false},
    {"ende", "Programm beenden", false},
};

QIcon textIcon(const QString& text)
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(text.size() > 1 ? 10 : 13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, text);
    return QIcon(pm);
}

QIcon toolbarIcon(const QString& key, QStyle* style)
{
    struct Pick {
        const char* key;
        const char* theme;
        QStyle::StandardPixmap fallback;
    };
    static const Pick picks[] = {
        {"neu", "folder-new", QStyle::SP_FileDialogNewFolder},
        {"start", "media-playback-start", QStyle::SP_MediaPlay},
        {"stop", "media-playback-stop", QStyle::SP_MediaStop},
        {"refresh", "view-refresh", QStyle::SP_BrowserReload},
        {"speichern", "document-save", QStyle::SP_DialogSaveButton},
        {"speichernalle", "document-save-all", QStyle::SP_DriveFDIcon},
        {"drucken", "document-print", QStyle::SP_FileDialogDetailedView},
        {"del", "edit-delete", QStyle::SP_TrashIcon},
        {"delall", "edit-clear", QStyle::SP_DialogDiscardButton},
        {"optionen", "preferences-system", QStyle::SP_FileDialogListView},
        {"font", "preferences-desktop-font", QStyle::SP_FileDialogInfoView},
        {"info", "help-about", QStyle::SP_MessageBoxInformation},
        {"homepage", "go-home", QStyle::SP_DirHomeIcon},
        {"iupdate", "system-software-update", QStyle::SP_ArrowDown},
        {"ende", "application-exit", QStyle::SP_DialogCloseButton},
    };
    if (key == QLatin1String("b") || key == QLatin1String("kb") || key == QLatin1String("mb") ||
        key == QLatin1String("gb"))
        return textIcon(key.toUpper());
    for (const Pick& p : picks)
        if (key == QLatin1String(p.key))
            return QIcon::fromTheme(QLatin1String(p.theme), style->standardIcon(p.fallback));
    return textIcon(key.left(1).toUpper());
}

} // namespace

MainWindow::MainWindow(QString iniFile, std::vector<std::string> commandLine, QWidget* parent)
    : QMainWindow(parent)
    , m_iniFile(std::move(iniFile))
    , m_store(m_iniFile)
    , m_commandLine(std::move(commandLine))
{
    m_settings = m_store.load(&m_problems);
    m_choosers.folder = [](QWidget* p) {
        return QFileDialog::getExistingDirectory(p, QString(), QDir::homePath());
    };
    m_choosers.font = [](QWidget* p, const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont f = QFontDialog::getFont(&ok, current, p);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };

    // The window is marked by its single-copy socket; nothing to do here for other copies.
    buildPictures();
    m_treeModel = new FolderTreeModel(m_tree, this);
    m_treeModel->setImages(m_pictures);
    m_listModel = new FileListModel(this);
    m_driver = new ScanDriver(this);

    // Layout: combo and toolbar on top, the two panes, the status bar.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* band = new QHBoxLayout;
    band->setSpacing(2);
    m_cboOrdner = new QComboBox(central);
    m_cboOrdner->setObjectName(QStringLiteral("cboOrdner"));
    m_cboOrdner->setMinimumWidth(245);
    m_cboOrdner->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    band->addWidget(m_cboOrdner);
    auto* toolbar = new QToolBar(central);
    toolbar->setObjectName(QStringLiteral("tlbMain"));
    toolbar->setIconSize(QSize(20, 20));
    band->addWidget(toolbar, 1);
    column->addLayout(band);
    m_picSplitTop = new QWidget(central);
    m_picSplitTop->setObjectName(QStringLiteral("picSplitTop"));
    column->addWidget(m_picSplitTop, 1);
    setCentralWidget(central);

    m_tvwOrdner = new QTreeView(m_picSplitTop);
    m_tvwOrdner->setObjectName(QStringLiteral("tvwOrdner"));
    m_tvwOrdner->setHeaderHidden(true);
    m_tvwOrdner->setModel(m_treeModel);
    m_tvwOrdner->setUniformRowHeights(true);
    m_tvwOrdner->setContextMenuPolicy(Qt::CustomContextMenu);
    m_lvwOrdner = new QTreeView(m_picSplitTop);
    m_lvwOrdner->setObjectName(QStringLiteral("lvwOrdner"));
    m_lvwOrdner->setModel(m_listModel);
    m_lvwOrdner->setRootIsDecorated(false);
    m_lvwOrdner->setUniformRowHeights(true);
    m_lvwOrdner->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_lvwOrdner->setContextMenuPolicy(Qt::CustomContextMenu);
    m_lvwOrdner->setColumnHidden(FileListModel::kHiddenDateColumn, true);
    m_lvwOrdner->header()->setSectionsClickable(true);
    m_lvwOrdner->header()->setSortIndicatorShown(true);
    m_lvwOrdner->header()->setStretchLastSection(false);

    m_panel1 = new QLabel(QStringLiteral("OK."), this);
    m_panel2 = new QLabel(this);
    statusBar()->addWidget(m_panel1);
    statusBar()->addWidget(m_panel2, 1);

    // Splitter between tree and list.
    m_cSplitTop = std::make_unique<cSplitter>();
    m_cSplitTop->setSplitterSize(5);
    m_cSplitTop->setDrawSplitterbar(true);
    m_cSplitTop->setFullDrag(false);
    m_cSplitTop->setOrientation(cSplitter::kVerticalBar);
    m_cSplitTop->setContainer(m_picSplitTop);
    m_cSplitTop->Bind(m_tvwOrdner, m_lvwOrdner);
    // After a drag of the bar the first status panel follows the tree's width (plus 45 twips).
    connect(m_cSplitTop.get(), &cSplitter::dragFinished, this, [this] {
        m_panel1->setFixedWidth(
            m_tvwOrdner->width() + static_cast<int>(std::lround(45.0 / twipsPerPixelX())));
    });

    TreeOutputHost host;
    host.disableControls = [this](bool alles) { DisableControls(alles); };
    host.enableControls = [this] { EnableControls(); };
    host.reportError = [this](const QString& proc, int step, const QString& text) {
        reportError(proc, step, text);
    };
    m_output = std::make_unique<TreeOutput>(m_tree, host, this);

    restoreGeometryFromSettings();
    setWindowTitle(QStringLiteral("Tallymoor ") + globals().progVersion);
    buildToolbar();
    for (QAction* a : toolbar->actions())
        toolbar->removeAction(a);
    for (const ButtonSpec& b : kButtons) {
        if (!*b.key)
            toolbar->addSeparator();
        else
            toolbar->addAction(m_buttons[QLatin1String(b.key)]);
    }
    GetAllDrives();
    GetAllSavedComboFolders();

    // File list: columns, widths, sorting by size, largest first.
    m_lvwOrdner->header()->setSortIndicator(1, Qt::DescendingOrder);
    m_listModel->sort(1, Qt::DescendingOrder);
    m_SortSpalte = 1;
    OptionenLadenMain();
    setUnit(m_settings.dateigroesseFormat);
    std::array<int, 4> cols = m_settings.columns;
    const int listWidth = m_lvwOrdner->width();
    if (listWidth > 0 && listWidth < cols[0])
        cols = {133, 93, 93, 115};
    for (int i = 0; i < 4; ++i)
        m_lvwOrdner->setColumnWidth(i, cols[static_cast<std::size_t>(i)]);
    QFont treeFont(m_settings.fontName);
    treeFont.setPointSizeF(m_settings.fontSize);
    treeFont.setBold(m_settings.fontBold);
    m_tvwOrdner->setFont(treeFont);

    connect(
        m_driver, &ScanDriver::progress, this, [this](const QString& folder) { m_panel1->setText(folder); });
    connect(m_driver, &ScanDriver::rootChildrenFinished, this,
        [this](std::size_t n) { m_treeModel->rootChildrenFinished(n); });
    connect(m_driver, &ScanDriver::finished, this, &MainWindow::onScanEnded);
    connect(m_tvwOrdner, &QTreeView::clicked, this, &MainWindow::onTreeClicked);
    connect(m_tvwOrdner, &QWidget::customContextMenuRequested, this, &MainWindow::onTreeContextMenu);
    connect(m_lvwOrdner, &QWidget::customContextMenuRequested, this, &MainWindow::onListContextMenu);
    connect(m_lvwOrdner, &QTreeView::doubleClicked, this, &MainWindow::onListDoubleClicked);
    connect(m_lvwOrdner->header(), &QHeaderView::sectionClicked, this,
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

void MainWindow::buildPictures()
{
    QStyle* s = style();
    m_pictures = {
        QIcon(),
        s->standardIcon(QStyle::SP_DriveFDIcon),  // 1 FloppyA
        s->standardIcon(QStyle::SP_DriveFDIcon),  // 2 FloppyB
        s->standardIcon(QStyle::SP_DriveHDIcon),  // 3 HD
        s->standardIcon(QStyle::SP_DriveCDIcon),  // 4 cdrom
        s->standardIcon(QStyle::SP_DriveNetIcon), // 5 network
        QIcon::fromTheme(
            QStringLiteral("drive-removable-media"), s->standardIcon(QStyle::SP_DriveFDIcon)),        // 6
        QIcon::fromTheme(QStringLiteral("drive-harddisk"), s->standardIcon(QStyle::SP_ComputerIcon)), // 7
        s->standardIcon(QStyle::SP_DirClosedIcon), // 8 Folder
        s->standardIcon(QStyle::SP_FileIcon),      // 9 File
        s->standardIcon(QStyle::SP_DirOpenIcon),   // 10 FolderOpen
    };
}

QIcon MainWindow::picture(int index) const
{
    return index > 0 && index < m_pictures.size() ? m_pictures[index] : QIcon();
}

void MainWindow::buildToolbar()
{
    m_unitGroup = new QActionGroup(this);
    m_unitGroup->setExclusive(true);
    for (const ButtonSpec& b : kButtons) {
        if (!*b.key)
            continue;
        const QString key = QLatin1String(b.key);
        auto* a = new QAction(toolbarIcon(key, style()), QString(), this);
        a->setObjectName(key);
        a->setToolTip(MeldungFormatieren(0, QString::fromUtf8(b.tooltip)));
        if (b.unit) {
            a->setCheckable(true);
            m_unitGroup->addAction(a);
        }
        connect(a, &QAction::triggered, this, [this, key] { tlbMain_ButtonClick(key); });
        m_buttons[key] = a;
    }
}

QAction* MainWindow::button(const QString& key) const
{
    const auto it = m_buttons.find(key);
    return it == m_buttons.end() ? nullptr : it->second;
}

double MainWindow::twipsPerPixelX() const
{
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

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
    const int width = static_cast<int>(std::lround(m_settings.width / tx));
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
    m_cSplitTop->setPosition(static_cast<int>(std::lround(tvw / tx)));
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
            m_cSplitTop->setPosition(static_cast<int>(std::lround(tvw / twipsPerPixelX())));
        }
        step = 30;
        showSettingsProblems();
        step = 40;
        for (const std::string& folder : FolderQueue::foldersFromArguments(m_commandLine))
            m_Ordnerliste.append(folder);
        m_commandLine.clear();
        if (!m_Ordnerliste.empty())
            Ordnerliste_Abarbeiten();
    } catch (const std::exception& e) {
        reportError(QStringLiteral("Form_Activate"), step, QString::fromLocal8Bit(e.what()));
    }
}

void MainWindow::showSettingsProblems()
{
    if (m_problems.empty())
        return;
    QString list;
    for (const SettingsProblem& p : m_problems)
        list += QStringLiteral("\n[%1] %2=%3").arg(p.section, p.key, p.value);
    m_problems.clear();
    messageService().warning(this, QStringLiteral("Tallymoor"),
        QStringLiteral("Die Einstellungsdatei \"%1\" enthält ungültige Werte. "
                       "Statt ihrer gelten die Vorgaben:%2")
            .arg(m_iniFile, list));
}

void MainWindow::reportError(const QString& procName, int step, const QString& text)
{
    ErrorInfo err;
    err.number = 5;
    err.description = text;
    FehlerAnzeigen(procName, QLatin1String(kModul), step, err);
}

QString MainWindow::panelText(int panel) const { return panel == 1 ? m_panel1->text() : m_panel2->text(); }

int MainWindow::panelWidth(int panel) const { return panel == 1 ? m_panel1->width() : m_panel2->width(); }

// ---------------------------------------------------------------- combo box

void MainWindow::GetAllDrives()
{
    for (const DriveInfo& d : foldersize::GetAllDrives()) {
        const int image = driveImage(d);
        m_cboOrdner->addItem(m_pictures[image], driveText(d));
        const int row = m_cboOrdner->count() - 1;
        m_cboOrdner->setItemData(row, toBytes(d.root), kTagRole);
        m_cboOrdner->setItemData(row, toBytes(d.root), kKeyRole);
        m_cboOrdner->setItemData(row, image, kImageRole);
        m_cboOrdner->setItemData(row, image, kSelectedImageRole);
        if (d.root == "/")
            m_cboOrdner->setCurrentIndex(row);
    }
}

void MainWindow::GetAllSavedComboFolders()
{
    for (const QString& folder : m_settings.comboOrdner) {
        const std::string path = folder.toStdString();
        // Folders that are gone are left out (and so not saved again).
        if (!xExistFolder(path))
            continue;
        const int current = m_cboOrdner->currentIndex();
        selectComboFolder(path, 8);
        m_cboOrdner->setCurrentIndex(current);
    }
}

int MainWindow::selectComboFolder(const std::string& path, int selectedImage)
{
    std::string withSlash = path;
    xAddBackslash(withSlash);
    const QByteArray key = toBytes(withSlash);
    // Keys are the paths as they are: "/A/" and "/a/" are two folders.
    for (int i = 0; i < m_cboOrdner->count(); ++i) {
        if (m_cboOrdner->itemData(i, kKeyRole).toByteArray() == key) {
            m_cboOrdner->setCurrentIndex(i);
            return i;
        }
    }
    m_cboOrdner->addItem(m_pictures[8], display(withSlash));
    const int row = m_cboOrdner->count() - 1;
    m_cboOrdner->setItemData(row, key, kTagRole);
    m_cboOrdner->setItemData(row, key, kKeyRole);
    m_cboOrdner->setItemData(row, 8, kImageRole);
    m_cboOrdner->setItemData(row, selectedImage, kSelectedImageRole);
    m_cboOrdner->setCurrentIndex(row);
    return row;
}

// ---------------------------------------------------------------- toolbar

void MainWindow::tlbMain_ButtonClick(const QString& key)
{
    int step = 10;
    try {
        if (key == QLatin1String("neu")) {
            const QString chosen = m_choosers.folder ? m_choosers.folder(this) : QString();
            if (chosen.isEmpty())
                return;
            selectComboFolder(QFile::encodeName(chosen).toStdString(), 8);
        } else if (key == QLatin1String("start")) {
            step = 20;
            m_EinleseStatus = kEinleseNormal;
            m_Ordnerliste.clear();
            const int row = m_cboOrdner->currentIndex();
            if (m_cboOrdner->currentText().isEmpty() || row < 0)
                return;
            m_Ordnerliste.append(fromBytes(m_cboOrdner->itemData(row, kTagRole).toByteArray()));
            Ordnerliste_Abarbeiten();
        } else if (key == QLatin1String("stop")) {
            m_EinleseStatus = kStopRequested;
            if (m_driver->running())
                m_driver->stop();
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
        } else if (key == QLatin1String("b") || key == QLatin1String("kb") || key == QLatin1String("mb") ||
            key == QLatin1String("gb")) {
            step = 50;
            const std::uint8_t unit = key == QLatin1String("b") ? 0
                : key == QLatin1String("kb")                    ? 1
                : key == QLatin1String("mb")                    ? 2
                                                                : 3;
            setUnit(unit);
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

void MainWindow::ListViewGrösseÄndern() { m_listModel->setUnit(m_settings.dateigroesseFormat); }

void MainWindow::OptionenLadenMain()
{
    const BrowserSettings fresh = m_store.load();
    m_settings.dateianzahlRekursiv = fresh.dateianzahlRekursiv;
    m_settings.noIcons = fresh.noIcons;
    m_treeModel->setShowCounts(m_settings.dateianzahlRekursiv == 1);
}

void MainWindow::ChangeFont()
{
    const std::optional<QFont> f =
        m_choosers.font ? m_choosers.font(this, m_tvwOrdner->font()) : std::nullopt;
    if (f)
        m_tvwOrdner->setFont(*f);
}

// ---------------------------------------------------------------- busy state

void MainWindow::DisableControls(bool alles)
{
    m_Einlesen = true;
    m_tvwOrdner->setEnabled(false);
    m_lvwOrdner->setEnabled(false);
    if (alles) {
        for (auto& [key, a] : m_buttons)
            a->setEnabled(false);
    } else {
        m_cboOrdner->setEnabled(false);
        for (const char* k : {"neu", "start", "refresh", "speichern", "speichernalle", "drucken", "del",
                 "delall", "b", "kb", "mb", "gb", "optionen", "font", "info", "ende"})
            m_buttons[QLatin1String(k)]->setEnabled(false);
        m_buttons[QStringLiteral("stop")]->setEnabled(true);
    }
}

void MainWindow::EnableControls()
{
    m_tvwOrdner->setEnabled(true);
    m_lvwOrdner->setEnabled(true);
    m_cboOrdner->setEnabled(true);
    for (auto& [key, a] : m_buttons)
        a->setEnabled(true);
    m_buttons[QStringLiteral("stop")]->setEnabled(false);
    m_tvwOrdner->setFocus();
    m_Einlesen = false;
}

// ---------------------------------------------------------------- queue and scans

void MainWindow::Ordnerliste_Abarbeiten()
{
    if (m_Einlesen)
        return; // a running loop takes the new entries up
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DisableControls(false);
    m_panel2->hide();
    m_lastFolder.clear();
    m_inQueueLoop = true;
    nextQueueEntry();
}

void MainWindow::nextQueueEntry()
{
    while (!m_Ordnerliste.empty()) {
        const std::string p = m_Ordnerliste.front();
        if (!xExistFolder(p)) {
            m_Ordnerliste.popFront(); // not a folder: dropped without a message
            continue;
        }
        const int row = selectComboFolder(p, 10);
        const std::string tag = fromBytes(m_cboOrdner->itemData(row, kTagRole).toByteArray());
        m_lastFolder = tag;
        m_afterScan = [this](bool) {
            m_Ordnerliste.popFront();
            if (m_EinleseStatus == kStopRequested)
                finishQueue();
            else
                nextQueueEntry();
        };
        QuelleEinlesen(tag, m_cboOrdner->itemData(row, kImageRole).toInt(),
            m_cboOrdner->itemData(row, kSelectedImageRole).toInt(), std::string());
        return;
    }
    finishQueue();
}

void MainWindow::finishQueue()
{
    m_Ordnerliste.clear();
    m_inQueueLoop = false;
    if (!m_lastFolder.empty())
        ListViewFüllen(m_lastFolder);
    m_EinleseStatus = kEinleseNormal;
    EnableControls();
    QApplication::restoreOverrideCursor();
    m_panel2->show();
    m_panel1->setText(QStringLiteral("OK."));
    emit queueWorkedOff();
}

void MainWindow::QuelleEinlesen(const std::string& path, int image, int selectedImage, const std::string& key)
{
    int step = 10;
    FolderNode* root = nullptr;
    try {
        if (!key.empty()) {
            root = m_tree.findByKey(key).folder;
        } else {
            step = 20;
            if (!m_tree.canAddRoot())
                throw std::overflow_error("Überlauf: es sind bereits 256 Quellen im Report");
            m_treeModel->beginAddRoot();
            FolderRoot* r = m_tree.addRoot(path, image, selectedImage);
            m_treeModel->endAddRoot();
            root = r->node.get();
        }
        if (!root)
            throw std::runtime_error("Knoten nicht gefunden");
        step = 30;
        m_treeModel->scanStarted(root);
        m_tvwOrdner->expand(m_treeModel->indexOf(root));
        m_driver->start(root);
        return;
    } catch (const std::exception& e) {
        ErrorInfo err;
        err.number = 6;
        err.description = QString::fromUtf8(e.what());
        FehlerAnzeigen(QStringLiteral("QuelleEinlesen"), QLatin1String(kModul), step, err,
            {QVariant(display(path)), QVariant(display(key))});
    }
    // Nothing was started: go on as after a scan.
    if (auto next = std::exchange(m_afterScan, nullptr))
        next(false);
}

void MainWindow::onScanEnded(bool stopped)
{
    FolderNode* root = m_driver->root();
    m_treeModel->scanEnded();
    if (root) {
        const QModelIndex idx = m_treeModel->indexOf(root);
        m_tvwOrdner->expand(idx);
        m_tvwOrdner->setCurrentIndex(idx);
    }
    emit scanFinished();
    if (auto next = std::exchange(m_afterScan, nullptr))
        next(stopped);
}

FolderNode* MainWindow::selectedNode(bool* filesNode) const
{
    return m_treeModel->nodeOf(m_tvwOrdner->currentIndex(), filesNode);
}

void MainWindow::selectNode(const FolderNode* node, bool filesNode)
{
    const QModelIndex idx = m_treeModel->indexOf(node, filesNode);
    if (idx.isValid())
        m_tvwOrdner->setCurrentIndex(idx);
}

void MainWindow::TreeViewAktualisieren()
{
    bool files = false;
    FolderNode* sel = selectedNode(&files);
    if (!sel || m_Einlesen)
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DisableControls(false);
    const std::string remembered = m_tree.keyOf(sel, files);
    FolderRoot* r = m_tree.rootOf(sel);
    FolderNode* root = r->node.get();
    m_treeModel->clearChildren(root);
    m_listModel->clear();
    m_afterScan = [this, remembered, root](bool) { finishRefresh(remembered, root); };
    QuelleEinlesen(r->folderPath, 0, 0, m_tree.keyOf(root));
}

void MainWindow::finishRefresh(const std::string& rememberedKey, FolderNode* root)
{
    EnableControls();
    QApplication::restoreOverrideCursor();
    const NodeRef again = m_tree.findByKey(rememberedKey);
    if (again)
        selectNode(again.folder, again.filesNode);
    else
        selectNode(root);
    m_panel1->setText(QStringLiteral("OK."));
    if (m_EinleseStatus == kEinleseNormal) {
        if (m_Ordnerliste.empty())
            ListViewFüllen(root->path());
        else
            Ordnerliste_Abarbeiten();
    }
    m_EinleseStatus = kEinleseNormal;
    emit refreshFinished();
}

void MainWindow::TreeViewEntfernen()
{
    FolderNode* sel = selectedNode();
    if (!sel || m_Einlesen)
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

// ---------------------------------------------------------------- file list

void MainWindow::ListViewFüllen(const std::string& folder)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    DisableControls(true);
    std::string path = folder;
    xAddBackslash(path);
    FileLister lister(path);
    QElapsedTimer sinceYield;
    sinceYield.start();
    while (lister.step(512)) {
        // A huge folder must not freeze the window; the busy state keeps other work out.
        if (sinceYield.elapsed() >= 50) {
            QCoreApplication::processEvents();
            sinceYield.restart();
        }
    }
    const std::size_t count = lister.entries().size();
    const std::uint64_t total = lister.totalBytes();
    m_listModel->setFiles(path, std::move(lister.entries()));
    m_panel2->setText(
        QStringLiteral("%1 Dateien mit insgesamt %2")
            .arg(count)
            .arg(FormatSize(total, true, false, m_settings.dateigroesseFormat, m_locale).trimmed()));
    if (m_settings.noIcons == 0)
        m_listModel->GetAllIcons();
    QApplication::restoreOverrideCursor();
    EnableControls();
}

void MainWindow::lvwOrdner_ColumnClick(int column)
{
    if (column == m_SortSpalte + 1)
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    m_SortSpalte = column - 1;
    const int sortKey = m_SortSpalte == 3 ? FileListModel::kHiddenDateColumn : m_SortSpalte;
    m_listModel->sort(sortKey, m_sortOrder);
    m_lvwOrdner->header()->setSortIndicator(m_SortSpalte, m_sortOrder);
}

void MainWindow::onTreeClicked(const QModelIndex& index)
{
    bool files = false;
    const FolderNode* n = m_treeModel->nodeOf(index, &files);
    if (!n || m_Einlesen)
        return;
    // A files node stands for its folder's own files.
    const std::string folder = n->path();
    if (!xExistFolder(folder))
        return;
    ListViewFüllen(folder);
}

void MainWindow::onTreeContextMenu(const QPoint& pos)
{
    const QModelIndex idx = m_tvwOrdner->indexAt(pos);
    if (!idx.isValid() || m_Einlesen)
        return;
    m_tvwOrdner->setCurrentIndex(idx);
    const FolderNode* n = m_treeModel->nodeOf(idx);
    ContextMenuActions actions;
    actions.aktualisierenTree = [this] { TreeViewAktualisieren(); };
    actions.entfernen = [this] { TreeViewEntfernen(); };
    actions.speichern = [this] { m_output->TreeViewSpeichern(selectedNode()); };
    ShellContextMenu(this, MenuControl::Tree, {QFile::decodeName(toBytes(n->path()))},
        m_tvwOrdner->viewport()->mapToGlobal(pos), actions);
}

void MainWindow::onListContextMenu(const QPoint& pos)
{
    const QModelIndexList rows = m_lvwOrdner->selectionModel()->selectedRows();
    if (rows.isEmpty() || m_Einlesen)
        return;
    QStringList paths;
    for (const QModelIndex& r : rows)
        paths << QFile::decodeName(r.data(FileListModel::PathRole).toByteArray());
    ContextMenuActions actions;
    actions.aktualisierenListe = [this] {
        if (!m_listModel->folder().empty())
            ListViewFüllen(m_listModel->folder());
    };
    ShellContextMenu(this, MenuControl::FileList, paths, m_lvwOrdner->viewport()->mapToGlobal(pos), actions);
}

void MainWindow::onListDoubleClicked(const QModelIndex& index)
{
    const QByteArray path = index.sibling(index.row(), 0).data(FileListModel::PathRole).toByteArray();
    if (path.isEmpty() || !xExistFile(fromBytes(path)))
        return;
    openService().openUrl(QUrl::fromLocalFile(QFile::decodeName(path)));
}

// ---------------------------------------------------------------- hand-off from a later copy

void MainWindow::receiveFolders(const std::vector<std::string>& folders)
{
    HandOffTarget target;
    target.bringToFront = [this] {
        raise();
        activateWindow();
    };
    target.scanRunning = [this] { return m_Einlesen; };
    target.queueSize = [this] { return m_Ordnerliste.size(); };
    target.enqueue = [this](const std::string& f) { m_Ordnerliste.append(f); };
    target.workOff = [this] { Ordnerliste_Abarbeiten(); };
    if (foldersFromHandOff(folders).empty()) {
        // A later copy without a folder: show this window again.
        if (isMinimized())
            showNormal();
        raise();
        activateWindow();
        return;
    }
    receiveHandOff(folders, target);
}

// ---------------------------------------------------------------- closing

bool MainWindow::FensterpositionSpeichern()
{
    const double tx = twipsPerPixelX();
    const double ty = twipsPerPixelY();
    const QRect r = (isMaximized() || isMinimized()) ? normalGeometry() : geometry();
    m_settings.windowState = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    m_settings.left = static_cast<int>(std::lround(r.x() * tx));
    m_settings.top = static_cast<int>(std::lround(r.y() * ty));
    m_settings.width = static_cast<int>(std::lround(r.width() * tx));
    m_settings.height = static_cast<int>(std::lround(r.height() * ty));
    m_settings.tvw = m_cSplitTop->Position() * tx;
    return m_store.saveForm(m_settings);
}

bool MainWindow::OptionenSpeichernMain()
{
    for (int i = 0; i < 4; ++i)
        m_settings.columns[static_cast<std::size_t>(i)] = m_lvwOrdner->columnWidth(i);
    const QFont f = m_tvwOrdner->font();
    m_settings.fontName = f.family();
    m_settings.fontSize = f.pointSizeF();
    m_settings.fontBold = f.bold();
    return m_store.saveLayout(m_settings);
}

bool MainWindow::SaveAllComboFolders()
{
    QStringList texts;
    for (int i = 0; i < m_cboOrdner->count(); ++i) {
        // Only folder items are kept; names that are no valid text cannot be stored.
        if (m_cboOrdner->itemData(i, kImageRole).toInt() != 8)
            continue;
        const QByteArray tag = m_cboOrdner->itemData(i, kTagRole).toByteArray();
        const QString text = QString::fromUtf8(tag);
        if (text.toUtf8() == tag)
            texts << text;
    }
    return m_store.saveComboFolders(texts);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // No closing while a scan runs: "stop" first.
    if (m_Einlesen) {
        event->ignore();
        return;
    }
    bool saved = FensterpositionSpeichern();
    saved = OptionenSpeichernMain() && saved;
    saved = SaveAllComboFolders() && saved;
    if (!saved)
        messageService().warning(this, QStringLiteral("Tallymoor"),
            QStringLiteral("Die Einstellungen konnten nicht in \"%1\" gespeichert werden.").arg(m_iniFile));
    if (g_UpdateStarten)
        startPendingSetup();
    event->accept();
}

} // namespace foldersize
