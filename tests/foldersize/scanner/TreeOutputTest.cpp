// TreeOutputTest.cpp: saving the tree report through the save dialog and printing it to a PDF
// printer, with scripted dialogs.
#include "foldersize/ui/scanner/TreeOutput.h"

#include "foldersize/scanner/TreeReport.h"
#include "tests/foldersize/services/TestEnvironment.h"
#include "tests/support/foldersize/ScriptedOutputDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>

using namespace foldersize;

namespace {

class TreeOutputTest : public ::testing::Test {
protected:
    TreeOutputTest()
    {
        root = tree.addRoot("/srv/daten/", 8, 10);
        root->node->totalBytes = 3000;
        FolderNode* a = root->node->addChild("a");
        a->totalBytes = 2000;
        a->addChild("b")->totalBytes = 1500;
        root->node->addChild("c")->totalBytes = 1000;
        FolderRoot* second = tree.addRoot("/home/x/", 8, 10);
        second->node->addChild("y")->totalBytes = 7;
    }

    TreeOutputHost host()
    {
        return {[this](bool alles) { disabled.push_back(alles); }, [this] { ++enabled; },
            [this](const QString& proc, int, const QString& error) { errors << proc + ": " + error; }};
    }

    QByteArray fileBytes(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    FolderTree tree;
    FolderRoot* root;
    ScriptedOutputDialogs dialogs;
    QTemporaryDir dir{testHome() + QStringLiteral("/output-XXXXXX")};
    std::vector<bool> disabled;
    int enabled = 0;
    QStringList errors;
};

TEST_F(TreeOutputTest, SavesTheReportOfTheSelectedNodesRoot)
{
    dialogs.saveAnswer = dir.filePath(QStringLiteral("Ordnerliste.txt"));
    TreeOutput output(tree, host());
    output.TreeViewSpeichern(root->node->child(0)->child(0));
    EXPECT_EQ(dialogs.lastFilter, QStringLiteral("Textdateien (*.txt)"));
    EXPECT_EQ(dialogs.lastName, QStringLiteral("Ordnerliste.txt"));
    EXPECT_EQ(fileBytes(dialogs.saveAnswer),
        QByteArray("\"/srv/daten/a/\",\"2000\"\r\n\"/srv/daten/a/b/\",\"1500\"\r\n"
                   "\"/srv/daten/c/\",\"1000\"\r\n"));
    EXPECT_EQ(disabled, std::vector<bool>{false});
    EXPECT_EQ(enabled, 1);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TreeOutputTest, ReplacesAnExistingFileWithoutAsking)
{
    dialogs.saveAnswer = dir.filePath(QStringLiteral("liste.txt"));
    {
        QFile f(dialogs.saveAnswer);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'z'));
    }
    TreeOutput(tree, host()).TreeViewSpeichern(root->node.get());
    EXPECT_EQ(fileBytes(dialogs.saveAnswer), reportForRoot(*root));
}

TEST_F(TreeOutputTest, SavesAllRootsIntoOneFile)
{
    dialogs.saveAnswer = dir.filePath(QStringLiteral("alle.txt"));
    TreeOutput(tree, host()).TreeViewSpeichernAlle();
    EXPECT_EQ(fileBytes(dialogs.saveAnswer), reportForRoot(tree.root(0)) + "\"/home/x/y/\",\"7\"\r\n");
}

TEST_F(TreeOutputTest, CancelTouchesNoFileAndReportsNothing)
{
    TreeOutput(tree, host()).TreeViewSpeichern(root->node.get());
    EXPECT_EQ(dialogs.saveShown, 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(disabled.empty());
    EXPECT_EQ(enabled, 0);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TreeOutputTest, NothingSelectedOrEmptyTreeShowsNoDialog)
{
    TreeOutput(tree, host()).TreeViewSpeichern(nullptr);
    TreeOutput(tree, host()).TreeViewDrucken(nullptr, 1);
    FolderTree empty;
    TreeOutput(empty, host()).TreeViewSpeichernAlle();
    EXPECT_EQ(dialogs.saveShown, 0);
    EXPECT_EQ(dialogs.printShown, 0);
}

TEST_F(TreeOutputTest, AFileThatCannotBeCreatedIsReported)
{
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    QFile(blocker).open(QIODevice::WriteOnly);
    dialogs.saveAnswer = blocker + QStringLiteral("/Ordnerliste.txt");
    TreeOutput(tree, host()).TreeViewSpeichern(root->node.get());
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("TreeViewSpeichern: ")));
    EXPECT_EQ(enabled, 1) << "the window leaves its busy state";
}

TEST_F(TreeOutputTest, PrintsToAPdfPrinter)
{
    dialogs.pdfFile = dir.filePath(QStringLiteral("baum.pdf"));
    TreeOutput(tree, host()).TreeViewDrucken(root->node->child(1), 1);
    const QByteArray pdf = fileBytes(dialogs.pdfFile);
    EXPECT_TRUE(pdf.startsWith("%PDF")) << pdf.left(20).toStdString();
    EXPECT_GT(pdf.size(), 500);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(enabled, 1);
}

TEST_F(TreeOutputTest, CancelledPrinterDialogPrintsNothing)
{
    TreeOutput(tree, host()).TreeViewDrucken(root->node.get(), 1);
    EXPECT_EQ(dialogs.printShown, 1);
    EXPECT_TRUE(disabled.empty());
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(TreeOutputTest, LongListingsBreakIntoPages)
{
    QStringList lines;
    for (int i = 0; i < 400; ++i)
        lines << QStringLiteral("%1 - /srv/ordner%2/").arg(i, 16).arg(i);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const QString pdfFile = dir.filePath(QStringLiteral("lang.pdf"));
    printer.setOutputFileName(pdfFile);
    ASSERT_TRUE(printTreeLines(printer, lines));
    const QByteArray pdf = fileBytes(pdfFile);
    const qsizetype pages =
        pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page ");
    EXPECT_GT(pages, 1) << "400 lines at 8 pt do not fit on one page";
}

} // namespace

TEST_F(TreeOutputTest, LongLinesWrapOrAreShortenedVisiblyWithinThePageWidth)
{
    FolderRoot* deep = tree.addRoot("/tief/", 8, 10);
    FolderNode* n = deep->node.get();
    for (int i = 0; i < 400; ++i)
        n = n->addChild("ordner" + std::to_string(i));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("tief.pdf")));
    const int width = printLineChars(printer);
    const QStringList lines = printLinesForRoot(*deep, 1, QLocale::c(), 3 * width);
    ASSERT_EQ(lines.size(), 401);
    const QFontMetricsF metrics(printFont(), &printer);
    const qreal pageWidth = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    bool sawWrappedWhole = false;
    for (const QString& line : lines) {
        const QStringList rows = printRows(line, width);
        EXPECT_LE(rows.size(), 3);
        for (const QString& row : rows)
            ASSERT_LE(metrics.horizontalAdvance(row), pageWidth)
                << "cut at the page edge: " << row.toStdString();
        // A line that fits into three rows loses nothing: the rows put together give it again.
        QString joined = rows.front();
        for (const QString& row : rows.mid(1))
            joined += row.trimmed();
        if (rows.size() > 1 && !joined.contains(QChar(0x2026))) {
            EXPECT_EQ(joined, line);
            sawWrappedWhole = true;
        }
    }
    EXPECT_TRUE(sawWrappedWhole);
    EXPECT_EQ(printRows(lines.front(), width), QStringList{lines.front()});
    // The deepest folder keeps its size, the start of its path and its own name; "…" shows the gap.
    const QString last = printRows(lines.back(), width).join(QString());
    EXPECT_TRUE(last.contains(QStringLiteral("KB - /tief/ordner0/ordner1/")));
    EXPECT_TRUE(last.endsWith(QStringLiteral("/ordner398/ordner399/")));
    EXPECT_EQ(last.count(QChar(0x2026)), 1);
    ASSERT_TRUE(printTreeLines(printer, lines));
}
