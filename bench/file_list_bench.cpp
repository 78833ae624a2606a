// file_list_bench.cpp: times the main window's file list on one folder (offscreen): the folder is
// measured, then its tree node is clicked; prints, in milliseconds, the time until the list is
// filled ("list-filled-unpainted") and until it is also laid out and painted ("list-fill"), and
// the longest time the event loop did not run meanwhile ("max-stall", the paint included).
#include <cstdio>
#include <string>

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTreeView>

#include "bench/StallMeter.h"
#include "foldersize/program/TallymoorApp.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/MainWindow.h"

using namespace foldersize;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: file_list_bench <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installGermanTranslations(app);
    QTemporaryDir home;
    MainWindow window(home.filePath("Tallymoor.ini"), {});
    window.show();
    auto* queue = window.findChild<FolderQueueController*>("queueController");
    auto* tree = window.findChild<QTreeView*>("tvwOrdner");
    auto* list = window.findChild<QTreeView*>("lvwOrdner");

    bench::StallMeter stalls;
    const auto waitIdle = [&] {
        while (queue->busy())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    };
    window.receiveFolders({argv[1]});
    waitIdle();
    const QModelIndex root = tree->model()->index(0, 0);
    QElapsedTimer clock;
    stalls.start();
    clock.start();
    // The fill runs inside the click; the ticker runs whenever the fill lets the event loop in.
    emit tree->clicked(root);
    const qint64 filled = clock.elapsed();
    // The list as the user sees it: laid out and painted.
    list->viewport()->repaint();
    const qint64 fill = clock.elapsed();
    const qint64 maxStall = stalls.maxStall();
    std::printf("files: %d\nlist-fill-ms: %lld\nlist-filled-unpainted-ms: %lld\nmax-stall-ms: %lld\n",
        list->model()->rowCount(), static_cast<long long>(fill), static_cast<long long>(filled),
        static_cast<long long>(maxStall));
    return 0;
}
