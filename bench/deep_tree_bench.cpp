// deep_tree_bench.cpp: times two commands of the main window (offscreen) on one measured folder,
// meant for very deep trees: expanding everything below the root (the "*" key on the root, until
// the last folder is expanded and the tree is painted; then the deepest rows are painted) and
// printing the root to a PDF file (the toolbar's "drucken" with a scripted printer dialog).
// Prints, in milliseconds, each command's time and the longest time the event loop did not run
// meanwhile, the number of expanded rows and the size of the PDF (kept when its name is given).
#include <cstdio>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTreeView>

#include "bench/StallMeter.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/MainWindow.h"
#include "foldersize/ui/scanner/OutputDialogs.h"

using namespace foldersize;

namespace {

// The printer dialog answers with a PDF file.
class PdfDialogs : public OutputDialogs {
public:
    explicit PdfDialogs(QString file)
        : m_file(std::move(file))
        , m_installed(*this)
    {}
    QString saveFileName(QWidget*, const QString&, const QString&) override { return {}; }
    bool choosePrinter(QWidget*, QPrinter& printer) override
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_file);
        return true;
    }

private:
    QString m_file;
    common::Service<OutputDialogs>::Override m_installed;
};

// Runs start, then the event loop until done() holds; returns the time and the longest stall.
std::pair<qint64, qint64> timed(const std::function<void()>& start, const std::function<bool()>& done)
{
    bench::StallMeter stalls;
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    start();
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const qint64 ms = clock.elapsed();
    return {ms, stalls.maxStall()};
}

// Rows shown below index (expanded rows only).
int shownRows(QTreeView* tree, const QModelIndex& index)
{
    int rows = 0;
    for (QModelIndex i = tree->indexBelow(index); i.isValid(); i = tree->indexBelow(i))
        ++rows;
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: deep_tree_bench <folder> [printout.pdf]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    const QString pdf = argc > 2 ? QString::fromLocal8Bit(argv[2]) : home.filePath("baum.pdf");
    PdfDialogs dialogs(pdf);
    MainWindow window(home.filePath("Tallymoor.ini"), {});
    window.show();
    auto* queue = window.findChild<FolderQueueController*>("queueController");
    auto* tree = window.findChild<QTreeView*>("tvwOrdner");
    window.receiveFolders({argv[1]});
    while (queue->busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const QModelIndex root = tree->model()->index(0, 0);
    tree->setCurrentIndex(root);
    tree->setFocus();

    // Expanded to the bottom once the deepest folder has no unexpanded child left.
    const auto allExpanded = [&] {
        QModelIndex i = root;
        while (tree->model()->rowCount(i) > 0) {
            if (!tree->isExpanded(i))
                return false;
            i = tree->model()->index(0, 0, i);
        }
        return true;
    };
    const auto expand = timed(
        [&] {
            QKeyEvent star(QEvent::KeyPress, Qt::Key_Asterisk, Qt::NoModifier, QStringLiteral("*"));
            QCoreApplication::sendEvent(tree, &star);
        },
        [&] {
            if (!allExpanded())
                return false;
            tree->viewport()->repaint();
            return true;
        });
    const int rows = shownRows(tree, root);
    // The deepest rows painted: the view draws each row's branch lines through all its levels.
    QElapsedTimer bottomClock;
    bottomClock.start();
    tree->scrollToBottom();
    tree->viewport()->repaint();
    const qint64 bottom = bottomClock.elapsed();

    QAction* drucken = window.findChild<QAction*>(QStringLiteral("drucken"));
    bool printing = false;
    const auto print = timed(
        [&] {
            printing = true;
            drucken->trigger();
            printing = false;
        },
        [&] { return !printing && !queue->busy() && drucken->isEnabled(); });
    std::printf("expanded-rows: %d\nexpand-ms: %lld\nexpand-max-stall-ms: %lld\nbottom-paint-ms: %lld\n"
                "print-ms: %lld\n"
                "print-max-stall-ms: %lld\npdf-bytes: %lld\n",
        rows, static_cast<long long>(expand.first), static_cast<long long>(expand.second),
        static_cast<long long>(bottom), static_cast<long long>(print.first),
        static_cast<long long>(print.second), static_cast<long long>(QFileInfo(pdf).size()));
    return 0;
}
