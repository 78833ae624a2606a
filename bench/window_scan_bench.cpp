// window_scan_bench.cpp: times the scan a user waits for in the main window (offscreen): from
// handing the folder over until the window is idle again. Prints the bytes the root shows, the
// time, when the scan itself started and ended within it, and the longest time the event loop did
// not run meanwhile ("max-stall"), in milliseconds.
#include <cstdio>
#include <string>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include "foldersize/scanner/FolderQueueController.h"
#include "foldersize/scanner/FolderTreeModel.h"
#include "foldersize/scanner/MainWindow.h"

using namespace foldersize;

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_scan_bench <folder>\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    MainWindow window(home.filePath("Tallymoor.ini"), {});
    window.show();
    QCoreApplication::processEvents();
    auto* queue = window.findChild<FolderQueueController*>("queueController");
    auto* tree = window.findChild<QTreeView*>("tvwOrdner");

    QElapsedTimer sinceTick;
    qint64 maxStall = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        maxStall = std::max(maxStall, sinceTick.elapsed());
        sinceTick.restart();
    });
    QElapsedTimer clock;
    qint64 started = -1;
    qint64 ended = -1;
    QObject::connect(queue, &FolderQueueController::scanStarted, [&] { started = clock.elapsed(); });
    QObject::connect(queue, &FolderQueueController::scanEnded, [&] { ended = clock.elapsed(); });
    sinceTick.start();
    ticker.start();
    clock.start();
    window.receiveFolders({argv[1]});
    while (queue->busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const qint64 ms = clock.elapsed();
    const QString size = tree->model()->index(0, 0).data(FolderTreeModel::SizeTextRole).toString();
    std::printf("bytes: %s\nwindow-scan-ms: %lld\nscan-started-ms: %lld\nscan-ended-ms: %lld\n"
                "max-stall-ms: %lld\n",
        qPrintable(size.mid(1)), static_cast<long long>(ms), static_cast<long long>(started),
        static_cast<long long>(ended), static_cast<long long>(maxStall));
    return 0;
}
