// MainWindowTest.cpp: the main window offscreen: queue from the command line, the toolbar and a
// later copy, stop, refresh and removal of roots, file-list sorting, closing and settings.
#include "foldersize/ui/scanner/MainWindow.h"

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QTreeView>

#include <gtest/gtest.h>

#include "foldersize/services/BrowserSettings.h"
#include "foldersize/services/IniFile.h"
#include "foldersize/services/ProgramGlobals.h"
#include "foldersize/ui/scanner/FileListModel.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"
#include "tests/foldersize/TempTree.h"
#include "tests/support/foldersize/RecordingOpenService.h"
#include "tests/support/foldersize/ScriptedMessageService.h"

using namespace foldersize;
using testsupport::TempTree;

class MainWindowTest : public ::testing::Test {
protected:
    testsupport::TempHome home;
    ScriptedMessageService messages;
    TempTree t;
    QString ini;
    std::unique_ptr<MainWindow> w;

    void SetUp() override
    {
        testsupport::ensureApp();
        ini = home.path() + "/config/Tallymoor/Tallymoor.ini";
        globals().errorLogPfad = home.path() + "/data/Tallymoor/";
    }
    void TearDown() override
    {
        if (w && queue()->busy())
            queue()->requestStop();
        w.reset();
    }
    void open(std::vector<std::string> commandLine = {})
    {
        w = std::make_unique<MainWindow>(ini, std::move(commandLine));
        w->setSizeLocale(QLocale(QLocale::German, QLocale::Germany));
        w->show();
    }
    bool waitIdle(int ms = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!queue()->busy() && clock.elapsed() > 50)
                return true;
        } while (clock.elapsed() < ms);
        return false;
    }
    // The window's parts, found by their object names.
    FolderQueueController* queue() const { return w->findChild<FolderQueueController*>("queueController"); }
    QAction* button(const char* key) const { return w->findChild<QAction*>(key); }
    void click(const char* key) const { button(key)->trigger(); }
    QComboBox* combo() const { return w->findChild<QComboBox*>("cboOrdner"); }
    QTreeView* treeView() const { return w->findChild<QTreeView*>("tvwOrdner"); }
    QTreeView* listView() const { return w->findChild<QTreeView*>("lvwOrdner"); }
    QAbstractItemModel* treeModel() const { return treeView()->model(); }
    QAbstractItemModel* listModel() const { return listView()->model(); }
    QLabel* panel(int n) const { return w->findChild<QLabel*>(QStringLiteral("sbrMainPanel%1").arg(n)); }
    QString panelText(int n) const { return panel(n)->text(); }
    std::size_t rootCount() const { return static_cast<std::size_t>(treeModel()->rowCount()); }
    QByteArray rootPath(int i) const
    {
        return treeModel()->index(i, 0).data(FolderTreeModel::FolderPathRole).toByteArray();
    }
    QStringList listNames()
    {
        QStringList out;
        for (int r = 0; r < listModel()->rowCount(); ++r)
            out << listModel()->index(r, 0).data().toString();
        return out;
    }
    void clickTree(const QModelIndex& index) { emit treeView()->clicked(index); }
    void clickColumn(int column) { emit listView()->header()->sectionClicked(column - 1); }
    QByteArray rootKey(int i) const
    {
        return treeModel()->index(i, 0).data(FolderTreeModel::KeyRole).toByteArray();
    }
    QString rootSize(int i) const
    {
        return treeModel()->index(i, 0).data(FolderTreeModel::SizeTextRole).toString();
    }
    // A mouse event of the left button at local, in the splitter's container, as the pointer sends it.
    void sendToBar(QEvent::Type type, QPoint local, Qt::MouseButtons buttons) const
    {
        QWidget* container = w->findChild<QWidget*>("picSplitTop");
        QMouseEvent e(type, local, container->mapToGlobal(local), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(container, &e);
    }
    // Drags the splitter bar by dx pixels, as the pointer does.
    void dragBar(int dx) const
    {
        const QPoint start(treeView()->width() + 2, 10);
        sendToBar(QEvent::MouseButtonPress, start, Qt::LeftButton);
        sendToBar(QEvent::MouseMove, start + QPoint(dx, 0), Qt::LeftButton);
        sendToBar(QEvent::MouseButtonRelease, start + QPoint(dx, 0), Qt::NoButton);
        QCoreApplication::processEvents();
    }
};

TEST_F(MainWindowTest, ToolbarHasEveryButtonByKey)
{
    open();
    for (const char* key : {"neu", "start", "stop", "refresh", "speichern", "speichernalle", "drucken", "del",
             "delall", "b", "kb", "mb", "gb", "optionen", "font", "info", "homepage", "iupdate", "ende"})
        ASSERT_NE(button(key), nullptr) << key;
    EXPECT_EQ(button("start")->toolTip(), "Quelle einlesen");
    EXPECT_EQ(button("delall")->toolTip(), "alle Quellen im Report entfernen");
    EXPECT_TRUE(button("kb")->isChecked()) << "KB is the default unit";
    EXPECT_EQ(w->windowTitle(), "Tallymoor " + globals().progVersion);
}

TEST_F(MainWindowTest, CommandLineFoldersAreMeasuredAtTheFirstActivation)
{
    t.file("Sub/a.bin", 1000);
    t.file("top.txt", 24);
    t.file("Sub/Deeper/b.bin", 2000);
    open({t.root(), t.path("missing"), t.path("top.txt")});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(rootCount(), 1u) << "a missing folder and a file are dropped";
    EXPECT_EQ(rootSize(0), "s3024");
    EXPECT_EQ(panelText(1), "OK.");
    EXPECT_TRUE(queue()->queue().empty());
    EXPECT_EQ(listNames(), QStringList{"top.txt"}) << "the list shows the last folder's files";
    EXPECT_EQ(panelText(2), "1 Dateien mit insgesamt 0,02 KB");
    // The root text: path, blank, size with unit; subfolders with padded size and name.
    const QModelIndex r0 = treeModel()->index(0, 0);
    EXPECT_EQ(r0.data().toString(), QString::fromStdString(t.root()).chopped(1) + " 2,95 KB");
    const QModelIndex sub = treeModel()->index(0, 0, r0);
    EXPECT_EQ(sub.data().toString(), "         2,93 KB - Sub");
    const QModelIndex files = treeModel()->index(1, 0, r0);
    EXPECT_EQ(files.data().toString(), "         0,02 KB - [Dateien]");
    EXPECT_EQ(
        files.data(FolderTreeModel::KeyRole).toByteArray(), QByteArray("K000") + t.root().c_str() + "??D");
    // A later activation does not measure again.
    w->hide();
    w->show();
    ASSERT_TRUE(waitIdle(300));
    EXPECT_EQ(rootCount(), 1u);
}

TEST_F(MainWindowTest, StartMeasuresTheChosenComboFolderAndKeepsItsSpelling)
{
    t.file("Mixed/x", 10);
    t.file("mixed/y", 20);
    open();
    QString chosen;
    w->setChoosers({[&chosen](QWidget*) { return chosen; }, nullptr});
    const int before = combo()->count();
    chosen = QString::fromStdString(t.path("Mixed"));
    click("neu");
    const int upper = combo()->currentIndex();
    chosen = QString::fromStdString(t.path("mixed"));
    click("neu");
    const int lower = combo()->currentIndex();
    EXPECT_NE(upper, lower) << "paths differing in case are two folders";
    EXPECT_EQ(combo()->count(), before + 2);
    EXPECT_EQ(combo()->itemText(upper), QString::fromStdString(t.path("Mixed/")));
    chosen = QString::fromStdString(t.path("Mixed/"));
    click("neu");
    EXPECT_EQ(combo()->currentIndex(), upper) << "a folder already in the combo is selected again";
    chosen.clear();
    click("neu");
    EXPECT_EQ(combo()->currentIndex(), upper) << "a cancelled dialog changes nothing";
    click("start");
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(rootCount(), 1u);
    EXPECT_EQ(rootPath(0), QByteArray::fromStdString(t.path("Mixed/")));
    EXPECT_EQ(rootSize(0), "s10");
}

TEST_F(MainWindowTest, TheSameFolderQueuedTwiceIsMeasuredTwiceIntoTwoRoots)
{
    t.file("x/f", 5);
    open();
    const int before = combo()->count();
    w->receiveFolders({t.path("x"), t.path("x")});
    ASSERT_TRUE(waitIdle());
    t.file("x/g", 7);
    w->receiveFolders({t.path("x/")});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(rootCount(), 3u) << "one root per queued entry";
    EXPECT_EQ(rootKey(1).left(4), "K001");
    EXPECT_EQ(rootKey(2).left(4), "K002");
    EXPECT_EQ(rootSize(0), "s5") << "an earlier root keeps its sums";
    EXPECT_EQ(rootSize(2), "s12");
    EXPECT_EQ(combo()->count(), before + 1) << "the combo keeps one item for the folder";
    EXPECT_EQ(listNames(), (QStringList{"g", "f"})) << "the list shows the measured folder";
}

TEST_F(MainWindowTest, DuringAScanOnlyStopWorksAndClosingIsRefused)
{
    for (int i = 0; i < 20; ++i)
        t.file("big/d" + std::to_string(i) + "/f", 100);
    open();
    w->receiveFolders({t.path("big")});
    ASSERT_TRUE(queue()->busy());
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(button("stop")->isEnabled());
    EXPECT_FALSE(button("start")->isEnabled());
    EXPECT_FALSE(button("ende")->isEnabled());
    EXPECT_TRUE(button("homepage")->isEnabled());
    EXPECT_FALSE(combo()->isEnabled());
    EXPECT_FALSE(panel(2)->isVisible()) << "the summary panel is hidden while the loop runs";
    click("stop");
    ASSERT_TRUE(waitIdle());
    EXPECT_FALSE(button("stop")->isEnabled());
    EXPECT_TRUE(button("start")->isEnabled());
    EXPECT_TRUE(combo()->isEnabled());
    EXPECT_TRUE(panel(2)->isVisible());
    // A stopped scan does not look complete: the status bar and the root say so.
    EXPECT_EQ(panelText(1), "Abgebrochen: die angezeigten Größen sind unvollständig.");
    EXPECT_TRUE(treeModel()->index(0, 0).data().toString().endsWith(" [unvollständig]"));
}

TEST_F(MainWindowTest, RefreshReselectsTheNodeAndListsTheRootAgain)
{
    t.file("r/keep/f", 100);
    t.file("r/g", 1);
    open();
    w->receiveFolders({t.path("r")});
    ASSERT_TRUE(waitIdle());
    const QModelIndex r0 = treeModel()->index(0, 0);
    const QModelIndex keep = treeModel()->index(0, 0, r0);
    ASSERT_TRUE(keep.isValid());
    treeView()->setCurrentIndex(keep);
    const QByteArray key = keep.data(FolderTreeModel::KeyRole).toByteArray();
    t.file("r/keep/more", 50);
    QSignalSpy refreshed(queue(), &FolderQueueController::refreshFinished);
    click("refresh");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(rootSize(0), "s151");
    EXPECT_EQ(treeView()->currentIndex().data(FolderTreeModel::KeyRole).toByteArray(), key);
    EXPECT_EQ(listNames(), QStringList{"g"}) << "the list shows the root's files again";
}

TEST_F(MainWindowTest, RemovingRootsAndClearingAll)
{
    t.file("a/f", 1);
    t.file("b/f", 2);
    open();
    w->receiveFolders({t.path("a"), t.path("b")});
    ASSERT_TRUE(waitIdle());
    treeView()->setCurrentIndex(treeModel()->index(1, 0));
    click("del");
    ASSERT_EQ(rootCount(), 1u);
    EXPECT_EQ(rootPath(0), QByteArray::fromStdString(t.path("a/")));
    EXPECT_EQ(listModel()->rowCount(), 0);
    EXPECT_EQ(treeView()->currentIndex(), treeModel()->index(0, 0)) << "the oldest root is selected";
    click("delall");
    EXPECT_EQ(rootCount(), 0u);
    w->receiveFolders({t.path("b")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rootKey(0).left(4), "K000") << "an empty tree starts again at K000";
}

// Which way the file list header's sort arrow points as drawn: "up", "down" or "none". The arrow is
// what changes in the sorted section when the order is turned; an arrow pointing up has most of
// its ink in its lower half.
std::string sortArrowDrawn(QHeaderView* header)
{
    const int section = header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    const QRect r(
        header->sectionViewportPosition(section), 0, header->sectionSize(section), header->height());
    const QImage shown = header->viewport()->grab(r).toImage();
    header->setSortIndicator(section, order == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
    const QImage turned = header->viewport()->grab(r).toImage();
    header->setSortIndicator(section, order);
    std::vector<int> ink; // the rows of the arrow's pixels, one entry per pixel
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (qGray(shown.pixel(x, y)) + 10 < qGray(turned.pixel(x, y)))
                ink.push_back(y);
    if (ink.empty())
        return "none";
    const auto [low, high] = std::minmax_element(ink.begin(), ink.end());
    const double middle = (*low + *high) / 2.0;
    const auto below = std::count_if(ink.begin(), ink.end(), [middle](int y) { return y > middle; });
    const auto above = std::count_if(ink.begin(), ink.end(), [middle](int y) { return y < middle; });
    return below > above ? "up" : below < above ? "down" : "none";
}

TEST_F(MainWindowTest, TheSortArrowPointsUpWhileTheSmallestComesFirst)
{
    t.file("s/a.txt", 100);
    t.file("s/b.txt", 300);
    open();
    w->receiveFolders({t.path("s")});
    ASSERT_TRUE(waitIdle());
    QHeaderView* header = listView()->header();
    EXPECT_EQ(sortArrowDrawn(header), "down") << "largest first after loading";
    clickColumn(2); // "Größe": smallest first
    EXPECT_EQ(listNames(), (QStringList{"a.txt", "b.txt"}));
    EXPECT_EQ(sortArrowDrawn(header), "up");
    // Every column, both ways (another column keeps the order, the same one turns it).
    for (const int column : {1, 3, 4, 1, 3, 4}) {
        clickColumn(column);
        const bool ascending = header->sortIndicatorOrder() == Qt::AscendingOrder;
        EXPECT_EQ(sortArrowDrawn(header), ascending ? "up" : "down") << column;
        clickColumn(column);
        EXPECT_EQ(sortArrowDrawn(header), ascending ? "down" : "up") << column;
    }
}

TEST_F(MainWindowTest, FileListSortsByEveryColumn)
{
    t.file("l/b.zip", 300);
    t.file("l/a.txt", 100);
    t.file("l/c.doc", 200);
    struct timespec older[2] = {{1000, 0}, {1000, 0}};
    struct timespec newer[2] = {{3000, 0}, {3000, 0}};
    ::utimensat(AT_FDCWD, t.path("l/b.zip").c_str(), older, 0);
    ::utimensat(AT_FDCWD, t.path("l/a.txt").c_str(), newer, 0);
    open();
    w->receiveFolders({t.path("l")});
    ASSERT_TRUE(waitIdle());
    QHeaderView* header = listView()->header();
    EXPECT_EQ(listNames(), (QStringList{"b.zip", "c.doc", "a.txt"})) << "largest first after loading";
    clickColumn(2); // "Größe" again: ascending
    EXPECT_EQ(listNames(), (QStringList{"a.txt", "c.doc", "b.zip"}));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    clickColumn(1); // another column keeps the order
    EXPECT_EQ(listNames(), (QStringList{"a.txt", "b.zip", "c.doc"}));
    clickColumn(1);
    EXPECT_EQ(listNames(), (QStringList{"c.doc", "b.zip", "a.txt"}));
    clickColumn(4); // "Geändert" sorts by the hidden time column, still descending
    EXPECT_EQ(header->sortIndicatorSection(), 3);
    EXPECT_EQ(listNames(), (QStringList{"c.doc", "a.txt", "b.zip"})) << "c.doc was written last";
    clickColumn(4);
    EXPECT_EQ(listNames(), (QStringList{"b.zip", "a.txt", "c.doc"}));
    clickColumn(3); // "Typ"
    EXPECT_EQ(listModel()->rowCount(), 3);
    EXPECT_EQ(listModel()->headerData(1, Qt::Horizontal).toString(), "Größe");
}

TEST_F(MainWindowTest, AListSortedByTypeIsFilledInTheOrderOfTheTypeNamesItShows)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    t.file("k/z.pdf", 1);
    t.file("k/y.jpg", 2);
    t.file("k/x.txt", 3);
    open();
    w->receiveFolders({t.path("k")});
    ASSERT_TRUE(waitIdle());
    clickColumn(3); // "Typ", in the order kept from "Größe": descending
    clickTree(treeModel()->index(0, 0));
    QStringList types;
    for (int r = 0; r < listModel()->rowCount(); ++r)
        types << listModel()->index(r, 2).data().toString();
    QLocale::setDefault(before);
    EXPECT_EQ(types, (QStringList{"PDF-Dokument", "JPEG-Bild", "Einfaches Textdokument"}));
    EXPECT_EQ(listNames(), (QStringList{"z.pdf", "y.jpg", "x.txt"})) << "not by extension (TXT, PDF, JPG)";
}

TEST_F(MainWindowTest, UnitButtonsRerenderTheTreeAndTheSizeColumnNotTheStatusBar)
{
    t.file("u/f", 1234567);
    open();
    w->receiveFolders({t.path("u")});
    ASSERT_TRUE(waitIdle());
    const QLabel* summary = w->findChild<QLabel*>("sbrMainPanel2");
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->text(), "1 Dateien mit insgesamt 1.205,63 KB");
    click("b");
    EXPECT_TRUE(treeModel()->index(0, 0).data().toString().endsWith(" 1.234.567 Bytes"));
    EXPECT_EQ(listModel()->index(0, 1).data().toString().trimmed(), "1.234.567");
    click("mb");
    EXPECT_TRUE(treeModel()->index(0, 0).data().toString().endsWith(" 1,18 MB"));
    // Panel 2 keeps the text of the listing until the next listing.
    EXPECT_EQ(summary->text(), "1 Dateien mit insgesamt 1.205,63 KB");
    EXPECT_TRUE(button("mb")->isChecked());
    EXPECT_FALSE(button("b")->isChecked());
}

TEST_F(MainWindowTest, ClosingSavesWindowLayoutAndFolderHistory)
{
    t.file("h/f", 1);
    open();
    w->receiveFolders({t.path("h")});
    ASSERT_TRUE(waitIdle());
    click("gb");
    EXPECT_TRUE(w->close());
    const BrowserSettings s = SettingsStore(ini).load();
    EXPECT_EQ(s.dateigroesseFormat, 3);
    EXPECT_TRUE(s.left.has_value());
    EXPECT_EQ(s.comboOrdner, QStringList{QString::fromStdString(t.path("h/"))});
    EXPECT_EQ(INILesen("Form", "WindowState", "?", ini), "0");
}

TEST_F(MainWindowTest, FoldersAreStoredAbsoluteNotAsTyped)
{
    t.file("rel/f", 1);
    // An older version stored the folder as typed; it meant another working folder.
    INISchreiben("ComboOrdner", "O0", "rel/", ini);
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(t.root())));
    struct Back {
        QString dir;
        ~Back() { QDir::setCurrent(dir); }
    } back{before};
    open();
    EXPECT_EQ(combo()->findText(QStringLiteral("rel/")), -1) << "a relative entry is not offered";
    w->receiveFolders({"rel"});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(rootCount(), 1u);
    EXPECT_EQ(rootPath(0), QByteArray::fromStdString(t.path("rel/")));
    EXPECT_TRUE(w->close());
    EXPECT_EQ(SettingsStore(ini).load().comboOrdner, QStringList{QString::fromStdString(t.path("rel/"))});
}

TEST_F(MainWindowTest, BadSettingsFallBackToDefaults)
{
    QDir().mkpath(home.path() + "/config/Tallymoor");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Optionen]\nDateigrößeFormat=viel\n[Form]\nWidth=abc\nLeft=999999\n");
    f.close();
    open();
    EXPECT_TRUE(button("kb")->isChecked());
    EXPECT_EQ(w->geometry().x(), 0) << "a place beyond the screen falls back to the left edge";
    EXPECT_GE(w->width(), static_cast<int>(std::lround(11715.0 * w->logicalDpiX() / 1440.0)));
    ASSERT_TRUE(waitIdle(500));
    auto* more = w->findChild<QToolBar*>("tlbMain")->findChild<QWidget*>("qt_toolbar_ext_button");
    EXPECT_TRUE(more == nullptr || !more->isVisible()) << "every toolbar button is shown";
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("[Form] Width=abc")) << messages.shown[0].toStdString();
}

TEST_F(MainWindowTest, NamesThatAreNoValidTextKeepTheirBytes)
{
    const std::string odd = t.path(std::string("n\xff\xfe"));
    t.file(std::string("n\xff\xfe") + "/f", 9);
    open();
    w->receiveFolders({odd});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(rootCount(), 1u);
    EXPECT_EQ(rootPath(0), QByteArray::fromStdString(odd + "/"));
    EXPECT_EQ(rootSize(0), "s9");
    EXPECT_EQ(listNames(), QStringList{"f"});
    // Such a folder cannot be written to the text settings file; closing still works.
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(SettingsStore(ini).load().comboOrdner.isEmpty());
}

TEST_F(MainWindowTest, UnwritableSettingsAreReportedOnClosing)
{
    // A plain file where the settings folder should be: nothing can be written there.
    QFile blocker(home.path() + "/config/Tallymoor");
    QDir().mkpath(home.path() + "/config");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    open();
    EXPECT_TRUE(w->close());
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("warning: Die Einstellungen konnten nicht in"))
        << messages.shown[0].toStdString();
}

TEST_F(MainWindowTest, TreeClicksFillTheListAndDoubleClickOpensTheFile)
{
    t.file("p/sub/inner.txt", 3);
    t.file("p/own.txt", 4);
    open();
    w->receiveFolders({t.path("p")});
    ASSERT_TRUE(waitIdle());
    const QModelIndex r0 = treeModel()->index(0, 0);
    const QModelIndex sub = treeModel()->index(0, 0, r0);
    const QModelIndex files = treeModel()->index(1, 0, r0);
    ASSERT_TRUE(files.data(FolderTreeModel::FilesNodeRole).toBool());
    clickTree(sub);
    EXPECT_EQ(listNames(), QStringList{"inner.txt"});
    clickTree(files);
    EXPECT_EQ(listNames(), QStringList{"own.txt"}) << "the files node lists its folder's own files";
    // A folder that is gone leaves the list as it is.
    ASSERT_EQ(std::system(("rm -rf '" + t.path("p/sub") + "'").c_str()), 0);
    clickTree(sub);
    EXPECT_EQ(listNames(), QStringList{"own.txt"});
    RecordingOpenService opened;
    emit listView()->doubleClicked(listModel()->index(0, 2));
    ASSERT_EQ(opened.opened.size(), 1);
    EXPECT_EQ(opened.opened[0], QUrl::fromLocalFile(QString::fromStdString(t.path("p/own.txt"))));
    EXPECT_TRUE(opened.chosen.isEmpty());
    // No program for the type: the desktop's choice of program; without one, a message.
    opened.fileAnswer = OpenService::FileOpen::NoProgram;
    emit listView()->doubleClicked(listModel()->index(0, 0));
    EXPECT_EQ(opened.chosen, QStringList{QString::fromStdString(t.path("p/own.txt"))});
    EXPECT_TRUE(messages.shown.isEmpty());
    opened.chooseAnswer = false;
    emit listView()->doubleClicked(listModel()->index(0, 0));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].contains("ist kein Programm zugeordnet"))
        << messages.shown[0].toStdString();
}

TEST_F(MainWindowTest, WithoutTheDesktopsChoiceTheFileOpensWithTheInstalledProgramChosen)
{
    t.file("p/daten.unbekannt", 4);
    open();
    w->receiveFolders({t.path("p")});
    ASSERT_TRUE(waitIdle());
    const QString file = QString::fromStdString(t.path("p/daten.unbekannt"));
    RecordingOpenService opened;
    opened.fileAnswer = OpenService::FileOpen::NoProgram;
    opened.chooseAnswer = false;
    opened.programs = {{"org.example.Edit.desktop", "Editor"}, {"view.desktop", "Betrachter"},
        {"old-view.desktop", "Betrachter"}};
    messages.choice = "Editor";
    emit listView()->doubleClicked(listModel()->index(0, 0));
    EXPECT_EQ(messages.offered,
        (QStringList{"Editor", "Betrachter (view.desktop)", "Betrachter (old-view.desktop)"}));
    EXPECT_EQ(opened.openedWith, QStringList{"org.example.Edit.desktop " + file});
    // Cancelled: nothing is opened and nothing said.
    messages.choice.clear();
    emit listView()->doubleClicked(listModel()->index(0, 0));
    EXPECT_EQ(opened.openedWith.size(), 1);
    // A program that does not start is named in a warning.
    messages.choice = "Betrachter (old-view.desktop)";
    opened.openWithAnswer = false;
    emit listView()->doubleClicked(listModel()->index(0, 0));
    EXPECT_EQ(opened.openedWith.last(), "old-view.desktop " + file);
    EXPECT_EQ(
        messages.shown.last(), "warning: \"" + file + "\" konnte nicht mit Betrachter geöffnet werden.");
    EXPECT_EQ(messages.shown.count(), 4) << messages.shown.join("|").toStdString();
}

TEST_F(MainWindowTest, DraggingTheBarMakesTheFirstStatusPanelFollowTheTree)
{
    open();
    ASSERT_NE(w->findChild<QWidget*>("picSplitTop"), nullptr);
    const int before = treeView()->width();
    const QPoint start(before + 2, 10);
    sendToBar(QEvent::MouseButtonPress, start, Qt::LeftButton);
    sendToBar(QEvent::MouseMove, start + QPoint(40, 0), Qt::LeftButton);
    EXPECT_EQ(treeView()->width(), before) << "outline drag: the tree waits for the release";
    sendToBar(QEvent::MouseButtonRelease, start + QPoint(40, 0), Qt::NoButton);
    EXPECT_EQ(treeView()->width(), before + 40);
    const int extra = static_cast<int>(std::lround(45.0 * w->logicalDpiX() / 1440.0));
    EXPECT_EQ(panel(1)->width(), before + 40 + extra);
}

TEST_F(MainWindowTest, TheNameColumnTakesTheFreeWidthButStaysReadableInANarrowPane)
{
    t.file("p/eine-datei-mit-einem-langen-namen.txt", 10);
    open({t.path("p")});
    ASSERT_TRUE(waitIdle());
    QHeaderView* h = listView()->header();
    auto others = [h] { return h->sectionSize(1) + h->sectionSize(2) + h->sectionSize(3); };
    EXPECT_EQ(h->sectionSize(0), listView()->viewport()->width() - others()) << "a wide pane";
    QCoreApplication::processEvents();
    EXPECT_EQ(listView()->horizontalScrollBar()->maximum(), 0) << "nothing to scroll sideways";
    dragBar(listView()->width() - 120);
    ASSERT_LT(listView()->viewport()->width(), 130);
    EXPECT_EQ(h->sectionSize(0), kNameColumnMinimum) << "a narrow pane scrolls sideways";
    dragBar(-400);
    ASSERT_GT(listView()->viewport()->width() - others(), kNameColumnMinimum);
    EXPECT_EQ(h->sectionSize(0), listView()->viewport()->width() - others()) << "wide again";
}

TEST_F(MainWindowTest, TheFirstStatusPanelStretchesDuringAScanAndKeepsItsWholeText)
{
    for (int i = 0; i < 20; ++i)
        t.file("big/d" + std::to_string(i) + "/f", 100);
    open();
    dragBar(40);
    const int followed = panel(1)->width();
    w->receiveFolders({t.path("big")});
    ASSERT_TRUE(queue()->busy());
    w->statusBar()->layout()->activate();
    EXPECT_GT(panel(1)->width(), followed + 200) << "over the free width of the bar";
    click("stop");
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(panelText(1), "Abgebrochen: die angezeigten Größen sind unvollständig.");
    EXPECT_GE(panel(1)->width(), panel(1)->sizeHint().width()) << "the text is not cut";
    EXPECT_GE(panel(1)->width(), followed) << "still as wide as the tree";
    EXPECT_TRUE(panel(2)->isVisible());
}

TEST_F(MainWindowTest, ButtonsAreEnabledOnlyWhenTheyCanAct)
{
    t.file("a/f", 1);
    open();
    const char* const needTree[] = {"refresh", "speichern", "speichernalle", "drucken", "del", "delall"};
    EXPECT_FALSE(button("stop")->isEnabled()) << "no scan runs after the start";
    for (const char* key : needTree)
        EXPECT_FALSE(button(key)->isEnabled()) << key << " without a tree";
    EXPECT_TRUE(button("start")->isEnabled());
    EXPECT_TRUE(button("neu")->isEnabled());
    w->receiveFolders({t.path("a")});
    for (const char* key : needTree)
        EXPECT_FALSE(button(key)->isEnabled()) << key << " during the scan";
    ASSERT_TRUE(waitIdle());
    for (const char* key : needTree)
        EXPECT_TRUE(button(key)->isEnabled()) << key << " with a tree";
    EXPECT_FALSE(button("stop")->isEnabled());
    treeView()->setCurrentIndex(treeModel()->index(0, 0));
    click("del");
    for (const char* key : needTree)
        EXPECT_FALSE(button(key)->isEnabled()) << key << " after the last root was removed";
    w->receiveFolders({t.path("a")});
    ASSERT_TRUE(waitIdle());
    click("delall");
    EXPECT_FALSE(button("refresh")->isEnabled()) << "after clearing all";
    EXPECT_TRUE(button("optionen")->isEnabled());
}

TEST_F(MainWindowTest, TheWindowBindsItsSplitterWithTheSharedRounding)
{
    // A stored divider on half a pixel: the shared binding rounds halves to even.
    const double tpp = 1440.0 / QWidget().logicalDpiX();
    QDir().mkpath(home.path() + "/config/Tallymoor");
    ASSERT_TRUE(INISchreiben("Form", "TVW", QString::number(150.5 * tpp, 'f', 6), ini));
    open();
    ASSERT_TRUE(waitIdle(300));
    EXPECT_EQ(treeView()->width(), 150);
    EXPECT_TRUE(w->close());
    EXPECT_DOUBLE_EQ(SettingsStore(ini).load().tvw, 150 * tpp) << "the position is stored back in twips";
}

TEST_F(MainWindowTest, ListColumnsShowTheirValuesWholeAndGrowWithTheWindow)
{
    t.file("c/big.bin", 2000000);
    open();
    ASSERT_TRUE(waitIdle(300));
    // The first window shows every toolbar button.
    auto* toolbar = w->findChild<QToolBar*>("tlbMain");
    for (QAction* a : toolbar->actions()) {
        if (a->isSeparator())
            continue;
        QWidget* b = toolbar->widgetForAction(a);
        ASSERT_NE(b, nullptr) << a->objectName().toStdString();
        EXPECT_TRUE(b->isVisible()) << a->objectName().toStdString() << " is hidden in the overflow";
    }
    w->receiveFolders({t.path("c")});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(listModel()->rowCount(), 1);
    const QFontMetrics fm(listView()->font());
    // A cell's text has a margin of 3 pixels on each side.
    for (int column : {1, 3}) {
        const QString text = listModel()->index(0, column).data().toString();
        EXPECT_LE(fm.horizontalAdvance(text.trimmed()) + 6, listView()->columnWidth(column))
            << "column " << column << " cuts \"" << text.toStdString() << "\"";
    }
    EXPECT_TRUE(listModel()->index(0, 1).data().toString().endsWith("1.953,13 KB"));
    const int nameWidth = listView()->columnWidth(0);
    w->resize(w->width() + 200, w->height());
    QCoreApplication::processEvents();
    EXPECT_GE(listView()->columnWidth(0), nameWidth + 150) << "the name column grows with the window";
}

TEST_F(MainWindowTest, TreeAndListAgreeOnHardLinkedFiles)
{
    t.file("h/a.bin", 2048);
    ASSERT_EQ(::link(t.path("h/a.bin").c_str(), t.path("h/b.bin").c_str()), 0);
    open();
    w->receiveFolders({t.path("h")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(rootSize(0), "s2048");
    ASSERT_EQ(listModel()->rowCount(), 2);
    EXPECT_EQ(panelText(2), "1 Dateien mit insgesamt 2,00 KB")
        << "the list counts the file once, as the tree";
    int marked = 0;
    for (int r = 0; r < 2; ++r)
        marked += listModel()->index(r, 0).data(FileListModel::RepeatLinkRole).toBool() ? 1 : 0;
    EXPECT_EQ(marked, 1);
}
