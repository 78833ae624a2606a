// MainWindowTest.cpp: the main window offscreen: queue from the command line, the toolbar and a
// later copy, stop, refresh and removal of roots, file-list sorting, closing and settings.
#include "foldersize/scanner/MainWindow.h"

#include <QAction>
#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include "foldersize/scanner/FileListModel.h"
#include "foldersize/scanner/FolderTreeModel.h"
#include "foldersize/scanner/cSplitter.h"
#include "foldersize/services/BrowserSettings.h"
#include "foldersize/services/IniFile.h"
#include "foldersize/services/ProgramGlobals.h"
#include "tests/foldersize/QStringPrinter.h"
#include "tests/foldersize/QtApp.h"
#include "tests/foldersize/TempTree.h"
#include "tests/foldersize/services/RecordingOpenService.h"
#include "tests/foldersize/services/ScriptedMessageService.h"

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
        if (w && w->busy())
            w->tlbMain_ButtonClick("stop");
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
            if (!w->busy() && clock.elapsed() > 50)
                return true;
        } while (clock.elapsed() < ms);
        return false;
    }
    const FolderRoot& root(std::size_t i) { return w->tree().root(i); }
    QStringList listNames()
    {
        QStringList out;
        for (int r = 0; r < w->listModel()->rowCount(); ++r)
            out << w->listModel()->index(r, 0).data().toString();
        return out;
    }
};

TEST_F(MainWindowTest, ToolbarHasEveryButtonByKey)
{
    open();
    for (const char* key : {"neu", "start", "stop", "refresh", "speichern", "speichernalle", "drucken", "del",
             "delall", "b", "kb", "mb", "gb", "optionen", "font", "info", "homepage", "iupdate", "ende"})
        ASSERT_NE(w->button(key), nullptr) << key;
    EXPECT_EQ(w->button("start")->toolTip(), "Quelle einlesen");
    EXPECT_EQ(w->button("delall")->toolTip(), "alle Quellen im Report entfernen");
    EXPECT_TRUE(w->button("kb")->isChecked()) << "KB is the default unit";
    EXPECT_EQ(w->windowTitle(), "Tallymoor " + globals().progVersion);
}

TEST_F(MainWindowTest, CommandLineFoldersAreMeasuredAtTheFirstActivation)
{
    t.file("Sub/a.bin", 1000);
    t.file("top.txt", 24);
    t.file("Sub/Deeper/b.bin", 2000);
    open({t.root(), t.path("missing"), t.path("top.txt")});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(w->tree().rootCount(), 1u) << "a missing folder and a file are dropped";
    EXPECT_EQ(root(0).node->totalBytes, 3024u);
    EXPECT_EQ(root(0).node->totalFiles, 3u);
    EXPECT_EQ(w->panelText(1), "OK.");
    EXPECT_TRUE(w->queue().empty());
    EXPECT_EQ(listNames(), QStringList{"top.txt"}) << "the list shows the last folder's files";
    EXPECT_EQ(w->panelText(2), "1 Dateien mit insgesamt 0,02 KB");
    // The root text: path, blank, size with unit; subfolders with padded size and name.
    const QModelIndex r0 = w->treeModel()->index(0, 0);
    EXPECT_EQ(r0.data().toString(), QString::fromStdString(t.root()).chopped(1) + " 2,95 KB");
    const QModelIndex sub = w->treeModel()->index(0, 0, r0);
    EXPECT_EQ(sub.data().toString(), "         2,93 KB - Sub");
    const QModelIndex files = w->treeModel()->index(1, 0, r0);
    EXPECT_EQ(files.data().toString(), "         0,02 KB - [Dateien]");
    EXPECT_EQ(
        files.data(FolderTreeModel::KeyRole).toByteArray(), QByteArray("K000") + t.root().c_str() + "??D");
    // A later activation does not measure again.
    w->hide();
    w->show();
    ASSERT_TRUE(waitIdle(300));
    EXPECT_EQ(w->tree().rootCount(), 1u);
}

TEST_F(MainWindowTest, StartMeasuresTheChosenComboFolderAndKeepsItsSpelling)
{
    t.file("Mixed/x", 10);
    t.file("mixed/y", 20);
    open();
    const int upper = w->selectComboFolder(t.path("Mixed"), 8);
    const int lower = w->selectComboFolder(t.path("mixed"), 8);
    EXPECT_NE(upper, lower) << "paths differing in case are two folders";
    EXPECT_EQ(w->cboOrdner()->itemText(upper), QString::fromStdString(t.path("Mixed/")));
    w->cboOrdner()->setCurrentIndex(upper);
    w->tlbMain_ButtonClick("start");
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(w->tree().rootCount(), 1u);
    EXPECT_EQ(root(0).folderPath, t.path("Mixed/"));
    EXPECT_EQ(root(0).node->totalBytes, 10u);
}

TEST_F(MainWindowTest, LaterCopyFoldersAreQueuedInArrivalOrder)
{
    t.file("a/f", 1);
    t.file("b/f", 2);
    t.file("c/f", 3);
    open();
    QSignalSpy done(w.get(), &MainWindow::queueWorkedOff);
    // Arrives while idle: measured at once, also several together.
    w->receiveFolders({t.path("a"), t.path("b")});
    // Arrives during the scan: only queued, the running loop takes it up.
    EXPECT_TRUE(w->busy());
    w->receiveFolders({t.path("c")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(done.count(), 1) << "one working-off loop for all three";
    ASSERT_EQ(w->tree().rootCount(), 3u);
    EXPECT_EQ(root(0).folderPath, t.path("a/"));
    EXPECT_EQ(root(1).folderPath, t.path("b/"));
    EXPECT_EQ(root(2).folderPath, t.path("c/"));
    EXPECT_EQ(root(2).node->totalBytes, 3u);
    EXPECT_EQ(listNames(), QStringList{"f"});
}

TEST_F(MainWindowTest, SamePathTwiceGivesTwoRootsAndOneComboItem)
{
    t.file("x/f", 5);
    open();
    const int before = w->cboOrdner()->count();
    w->receiveFolders({t.path("x"), t.path("x")});
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(w->tree().rootCount(), 2u);
    EXPECT_EQ(root(0).prefix(), "K000");
    EXPECT_EQ(root(1).prefix(), "K001");
    EXPECT_EQ(w->cboOrdner()->count(), before + 1);
}

TEST_F(MainWindowTest, StopEndsTheScanAndDiscardsTheRestOfTheQueue)
{
    for (int i = 0; i < 20; ++i)
        t.file("big/d" + std::to_string(i) + "/f", 100);
    t.file("second/f", 1);
    open();
    w->receiveFolders({t.path("big"), t.path("second")});
    ASSERT_TRUE(w->busy());
    // Closing is refused while the scan runs.
    EXPECT_FALSE(w->close());
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->button("stop")->isEnabled());
    EXPECT_FALSE(w->button("start")->isEnabled());
    w->tlbMain_ButtonClick("stop");
    ASSERT_TRUE(waitIdle());
    ASSERT_EQ(w->tree().rootCount(), 1u) << "the second folder is never measured";
    EXPECT_LT(root(0).node->totalBytes, 2000u);
    EXPECT_EQ(root(0).node->state, ScanState::Created);
    EXPECT_TRUE(w->queue().empty());
    EXPECT_EQ(w->einleseStatus(), kEinleseNormal);
    EXPECT_FALSE(w->button("stop")->isEnabled());
    EXPECT_EQ(w->panelText(1), "OK.");
}

TEST_F(MainWindowTest, RefreshMeasuresTheRootAgainAndReselectsTheNode)
{
    t.file("r/keep/f", 100);
    t.file("r/g", 1);
    open();
    w->receiveFolders({t.path("r")});
    ASSERT_TRUE(waitIdle());
    const QModelIndex r0 = w->treeModel()->index(0, 0);
    const QModelIndex keep = w->treeModel()->index(0, 0, r0);
    ASSERT_TRUE(keep.isValid());
    w->tvwOrdner()->setCurrentIndex(keep);
    const QByteArray key = keep.data(FolderTreeModel::KeyRole).toByteArray();
    t.file("r/keep/more", 50);
    t.file("r/new/h", 7);
    QSignalSpy refreshed(w.get(), &MainWindow::refreshFinished);
    w->tlbMain_ButtonClick("refresh");
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(refreshed.count(), 1);
    ASSERT_EQ(w->tree().rootCount(), 1u);
    EXPECT_EQ(root(0).prefix(), "K000") << "the root keeps its key";
    EXPECT_EQ(root(0).node->totalBytes, 158u);
    EXPECT_EQ(w->tvwOrdner()->currentIndex().data(FolderTreeModel::KeyRole).toByteArray(), key);
    EXPECT_EQ(listNames(), QStringList{"g"}) << "the list shows the root's files again";
}

TEST_F(MainWindowTest, RemovingRootsAndClearingAll)
{
    t.file("a/f", 1);
    t.file("b/f", 2);
    open();
    w->receiveFolders({t.path("a"), t.path("b")});
    ASSERT_TRUE(waitIdle());
    w->tvwOrdner()->setCurrentIndex(w->treeModel()->index(1, 0));
    w->tlbMain_ButtonClick("del");
    ASSERT_EQ(w->tree().rootCount(), 1u);
    EXPECT_EQ(root(0).folderPath, t.path("a/"));
    EXPECT_EQ(w->listModel()->rowCount(), 0);
    EXPECT_EQ(w->tvwOrdner()->currentIndex(), w->treeModel()->index(0, 0)) << "the oldest root is selected";
    w->tlbMain_ButtonClick("delall");
    EXPECT_EQ(w->tree().rootCount(), 0u);
    EXPECT_EQ(w->treeModel()->rowCount(), 0);
    w->receiveFolders({t.path("b")});
    ASSERT_TRUE(waitIdle());
    EXPECT_EQ(root(0).prefix(), "K000") << "an empty tree starts again at K000";
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
    w->ListViewFüllen(t.path("l"));
    EXPECT_EQ(listNames(), (QStringList{"b.zip", "c.doc", "a.txt"})) << "largest first after loading";
    w->lvwOrdner_ColumnClick(2); // "Größe" again: ascending
    EXPECT_EQ(listNames(), (QStringList{"a.txt", "c.doc", "b.zip"}));
    EXPECT_EQ(w->sortOrder(), Qt::AscendingOrder);
    w->lvwOrdner_ColumnClick(1); // another column keeps the order
    EXPECT_EQ(listNames(), (QStringList{"a.txt", "b.zip", "c.doc"}));
    w->lvwOrdner_ColumnClick(1);
    EXPECT_EQ(listNames(), (QStringList{"c.doc", "b.zip", "a.txt"}));
    w->lvwOrdner_ColumnClick(4); // "Geändert" sorts by the hidden time column, still descending
    EXPECT_EQ(w->sortSpalte(), 3);
    EXPECT_EQ(listNames(), (QStringList{"c.doc", "a.txt", "b.zip"})) << "c.doc was written last";
    w->lvwOrdner_ColumnClick(4);
    EXPECT_EQ(listNames(), (QStringList{"b.zip", "a.txt", "c.doc"}));
    w->lvwOrdner_ColumnClick(3); // "Typ"
    EXPECT_EQ(w->listModel()->rowCount(), 3);
    EXPECT_EQ(w->lvwOrdner()->model()->headerData(1, Qt::Horizontal).toString(), "Größe");
}

TEST_F(MainWindowTest, UnitButtonsRerenderTheTree)
{
    t.file("u/f", 1234567);
    open();
    w->receiveFolders({t.path("u")});
    ASSERT_TRUE(waitIdle());
    w->tlbMain_ButtonClick("b");
    EXPECT_EQ(w->sizeUnit(), 0);
    EXPECT_TRUE(w->treeModel()->index(0, 0).data().toString().endsWith(" 1.234.567 Bytes"));
    w->tlbMain_ButtonClick("mb");
    EXPECT_TRUE(w->treeModel()->index(0, 0).data().toString().endsWith(" 1,18 MB"));
    EXPECT_TRUE(w->button("mb")->isChecked());
}

TEST_F(MainWindowTest, ClosingSavesWindowLayoutAndFolderHistory)
{
    t.file("h/f", 1);
    open();
    w->receiveFolders({t.path("h")});
    ASSERT_TRUE(waitIdle());
    w->tlbMain_ButtonClick("gb");
    EXPECT_TRUE(w->close());
    const BrowserSettings s = SettingsStore(ini).load();
    EXPECT_EQ(s.dateigroesseFormat, 3);
    EXPECT_TRUE(s.left.has_value());
    EXPECT_EQ(s.comboOrdner, QStringList{QString::fromStdString(t.path("h/"))});
    EXPECT_EQ(INILesen("Form", "WindowState", "?", ini), "0");
}

TEST_F(MainWindowTest, BadSettingsFallBackToDefaults)
{
    QDir().mkpath(home.path() + "/config/Tallymoor");
    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Optionen]\nDateigrößeFormat=viel\n[Form]\nWidth=abc\nLeft=999999\n");
    f.close();
    open();
    EXPECT_EQ(w->sizeUnit(), 1);
    EXPECT_EQ(w->geometry().x(), 0) << "a place beyond the screen falls back to the left edge";
    EXPECT_EQ(w->settings().width, 11715);
    ASSERT_TRUE(waitIdle(500));
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
    ASSERT_EQ(w->tree().rootCount(), 1u);
    EXPECT_EQ(root(0).folderPath, odd + "/");
    EXPECT_EQ(root(0).node->totalBytes, 9u);
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
    const QModelIndex r0 = w->treeModel()->index(0, 0);
    const QModelIndex sub = w->treeModel()->index(0, 0, r0);
    const QModelIndex files = w->treeModel()->index(1, 0, r0);
    ASSERT_TRUE(files.data(FolderTreeModel::FilesNodeRole).toBool());
    emit w->tvwOrdner()->clicked(sub);
    EXPECT_EQ(listNames(), QStringList{"inner.txt"});
    emit w->tvwOrdner()->clicked(files);
    EXPECT_EQ(listNames(), QStringList{"own.txt"}) << "the files node lists its folder's own files";
    // A folder that is gone leaves the list as it is.
    ASSERT_EQ(std::system(("rm -rf '" + t.path("p/sub") + "'").c_str()), 0);
    emit w->tvwOrdner()->clicked(sub);
    EXPECT_EQ(listNames(), QStringList{"own.txt"});
    RecordingOpenService opened;
    emit w->lvwOrdner()->doubleClicked(w->listModel()->index(0, 2));
    ASSERT_EQ(opened.opened.size(), 1);
    EXPECT_EQ(opened.opened[0], QUrl::fromLocalFile(QString::fromStdString(t.path("p/own.txt"))));
}

TEST_F(MainWindowTest, DraggingTheBarMakesTheFirstStatusPanelFollowTheTree)
{
    open();
    cSplitter* s = w->splitter();
    const int before = s->Position();
    const QPoint start(1000, 500);
    s->MouseDown(Qt::LeftButton, QPoint(before + 2, 10), start);
    s->MouseMove(start + QPoint(40, 0));
    EXPECT_EQ(w->tvwOrdner()->width(), before) << "outline drag: the tree waits for the release";
    s->MouseUp(start + QPoint(40, 0));
    EXPECT_EQ(s->Position(), before + 40);
    EXPECT_EQ(w->tvwOrdner()->width(), before + 40);
    const int extra = static_cast<int>(std::lround(45.0 * w->logicalDpiX() / 1440.0));
    EXPECT_EQ(w->panelWidth(1), before + 40 + extra);
}
