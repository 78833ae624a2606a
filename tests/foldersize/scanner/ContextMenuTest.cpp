// ContextMenuTest.cpp: entries, host actions and the dispatch of the own entries of the tree's and
// the file list's context menu, with a scripted menu.
#include "foldersize/ui/scanner/ContextMenu.h"

#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/foldersize/RecordingOpenService.h"
#include "tests/support/foldersize/ScriptedMessageService.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace foldersize;

namespace {

class ContextMenuTest : public ::testing::Test {
protected:
    ContextMenuTest()
    {
        QDir(dir.path()).mkpath(QStringLiteral("ordner"));
        for (const char* name : {"a.txt", "b.txt"}) {
            QFile f(dir.filePath(QStringLiteral("ordner/") + QLatin1String(name)));
            f.open(QIODevice::WriteOnly);
        }
        setMenuPresenter([this](QWidget*, const std::vector<MenuEntry>& entries, const QPoint& pos) {
            ++shown;
            lastEntries = entries;
            lastPos = pos;
            return choice;
        });
    }
    ~ContextMenuTest() override { setMenuPresenter({}); }

    ContextMenuActions actions()
    {
        return {[this] { calls << "aktualisierenTree"; }, [this] { calls << "aktualisierenListe"; },
            [this] { calls << "entfernen"; }, [this] { calls << "speichern"; }};
    }
    QString folder() const { return dir.filePath(QStringLiteral("ordner")) + QLatin1Char('/'); }
    QString file(const char* name) const
    {
        return dir.filePath(QStringLiteral("ordner/") + QLatin1String(name));
    }

    static QStringList captions(const std::vector<MenuEntry>& entries)
    {
        QStringList out;
        for (const MenuEntry& e : entries)
            out << QStringLiteral("%1 %2").arg(e.id).arg(e.caption);
        return out;
    }

    QTemporaryDir dir{testHome() + QStringLiteral("/menu-XXXXXX")};
    int choice = 0;
    int shown = 0;
    std::vector<MenuEntry> lastEntries;
    QPoint lastPos;
    QStringList calls;
};

TEST_F(ContextMenuTest, TreeMenuHasTheOwnEntriesOnTopThenTheHostActions)
{
    EXPECT_EQ(captions(contextMenuEntries(MenuControl::Tree)),
        (QStringList{"999 Aktualisieren", "1001 Speichern", "1000 Entfernen", "1 Öffnen",
            "2 Im Dateimanager anzeigen", "3 Pfad kopieren"}));
}

TEST_F(ContextMenuTest, FileListMenuOffersOnlyAktualisierenOfItsOwn)
{
    EXPECT_EQ(captions(contextMenuEntries(MenuControl::FileList)),
        (QStringList{"999 Aktualisieren", "1 Öffnen", "2 Im Dateimanager anzeigen", "3 Pfad kopieren"}));
}

TEST_F(ContextMenuTest, OwnEntriesCallTheMainWindowsRoutines)
{
    choice = kIdSpeichern;
    EXPECT_EQ(
        ShellContextMenu(nullptr, MenuControl::Tree, {folder()}, QPoint(10, 20), actions()), kIdSpeichern);
    choice = kIdEntfernen;
    ShellContextMenu(nullptr, MenuControl::Tree, {folder()}, QPoint(10, 20), actions());
    choice = kIdAktualisieren;
    ShellContextMenu(nullptr, MenuControl::Tree, {folder()}, QPoint(10, 20), actions());
    ShellContextMenu(nullptr, MenuControl::FileList, {file("a.txt")}, QPoint(10, 20), actions());
    EXPECT_EQ(calls, (QStringList{"speichern", "entfernen", "aktualisierenTree", "aktualisierenListe"}));
    EXPECT_EQ(lastPos, QPoint(10, 20));
}

TEST_F(ContextMenuTest, OwnIdsNeverReachTheHostActions)
{
    RecordingOpenService open;
    for (int id : {kIdAktualisieren, kIdEntfernen, kIdSpeichern, 0, 1002})
        EXPECT_FALSE(executeHostAction(id, {folder()})) << id;
    choice = kIdEntfernen;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("a.txt")}, QPoint(), actions());
    EXPECT_TRUE(calls.isEmpty()) << "the file list has no Entfernen";
    EXPECT_TRUE(open.opened.isEmpty());
}

TEST_F(ContextMenuTest, CancellingDoesNothing)
{
    RecordingOpenService open;
    choice = 0;
    EXPECT_EQ(ShellContextMenu(nullptr, MenuControl::Tree, {folder()}, QPoint(), actions()), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_TRUE(open.opened.isEmpty());
}

TEST_F(ContextMenuTest, NoSelectionOrAVanishedFirstFileShowsNoMenu)
{
    EXPECT_EQ(ShellContextMenu(nullptr, MenuControl::Tree, {QString()}, QPoint(), actions()), 0);
    EXPECT_EQ(ShellContextMenu(nullptr, MenuControl::FileList, {}, QPoint(), actions()), 0);
    EXPECT_EQ(ShellContextMenu(
                  nullptr, MenuControl::FileList, {file("weg.txt"), file("a.txt")}, QPoint(), actions()),
        0);
    EXPECT_EQ(shown, 0);
}

TEST_F(ContextMenuTest, OpenActsOnAllSelectedFilesAtOnce)
{
    RecordingOpenService open;
    choice = kIdOeffnen;
    ShellContextMenu(
        nullptr, MenuControl::FileList, {file("a.txt"), file("weg.txt"), file("b.txt")}, QPoint(), actions());
    EXPECT_EQ(
        open.opened, (QList<QUrl>{QUrl::fromLocalFile(file("a.txt")), QUrl::fromLocalFile(file("b.txt"))}));
    EXPECT_TRUE(calls.isEmpty());
}

TEST_F(ContextMenuTest, ShowInFileManagerOpensTheContainingFolderOnce)
{
    RecordingOpenService open;
    choice = kIdImDateimanagerZeigen;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("a.txt"), file("b.txt")}, QPoint(), actions());
    EXPECT_EQ(open.opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(QStringLiteral("ordner")))});
    open.opened.clear();
    ShellContextMenu(nullptr, MenuControl::Tree, {folder()}, QPoint(), actions());
    EXPECT_EQ(open.opened, QList<QUrl>{QUrl::fromLocalFile(dir.path())});
}

TEST_F(ContextMenuTest, WithoutAProgramOpenAndShowSayWhyAndAProgramThatFailsToStartToo)
{
    RecordingOpenService open;
    ScriptedMessageService messages;
    open.fileAnswer = OpenService::FileOpen::NoProgram; // no file manager, no launcher
    open.chooseAnswer = false;                          // and no desktop portal
    choice = kIdImDateimanagerZeigen;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("a.txt")}, QPoint(), actions());
    EXPECT_EQ(open.offeredFor, QStringList{dir.filePath(QStringLiteral("ordner"))});
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(
        messages.shown[0].startsWith("info: ") && messages.shown[0].contains("ist kein Programm zugeordnet"))
        << messages.shown[0].toStdString();
    // The box "Öffnen" gives: the same.
    choice = kIdOeffnen;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("b.txt")}, QPoint(), actions());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_TRUE(messages.shown[1].contains("ist kein Programm zugeordnet"))
        << messages.shown[1].toStdString();
    // An associated program that does not start is no success either.
    open.fileAnswer = OpenService::FileOpen::Failed;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("b.txt")}, QPoint(), actions());
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_TRUE(
        messages.shown[2].startsWith("warning: ") && messages.shown[2].contains("nicht geöffnet werden"))
        << messages.shown[2].toStdString();
}

TEST_F(ContextMenuTest, CopyPathPutsEveryPathOnTheClipboard)
{
    choice = kIdPfadKopieren;
    ShellContextMenu(nullptr, MenuControl::FileList, {file("a.txt"), file("b.txt")}, QPoint(), actions());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), file("a.txt") + QLatin1Char('\n') + file("b.txt"));
}

} // namespace
