// window_scan_bench.cpp: times the scan a user waits for in the main window (offscreen). The clock
// starts when the folder is handed over, as the windowless scan's clock starts when its scan is
// requested. Prints, in milliseconds:
//   window-scan-ms   until the totals are available: the root's scan has ended and its sums are
//                    in the tree (what `tallymoor --scan-and-quit` reports as "milliseconds")
//   window-idle-ms   until the window is idle again (the root's files listed, buttons enabled)
//   scan-started-ms  when the scan itself was started
//   max-stall-ms     the longest time the event loop did not run meanwhile
// and the bytes the root shows. The event loop quits on the idle signal itself, so no polling
// interval is added to any figure.
#include <cstdio>
#include <string>

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTreeView>

#include "bench/StallMeter.h"
#include "foldersize/ui/scanner/FolderQueueController.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"
#include "foldersize/ui/scanner/MainWindow.h"

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

    bench::StallMeter stalls;
    QElapsedTimer clock;
    qint64 started = -1;
    qint64 totals = -1;
    qint64 idle = -1;
    QEventLoop loop;
    QObject::connect(queue, &FolderQueueController::scanStarted, [&] { started = clock.nsecsElapsed(); });
    QObject::connect(queue, &FolderQueueController::scanEnded, [&] { totals = clock.nsecsElapsed(); });
    QObject::connect(queue, &FolderQueueController::queueWorkedOff, [&] {
        idle = clock.nsecsElapsed();
        loop.quit();
    });
    stalls.start();
    clock.start();
    window.receiveFolders({argv[1]});
    if (queue->busy())
        loop.exec();
    const qint64 maxStall = stalls.maxStall();
    const QString size = tree->model()->index(0, 0).data(FolderTreeModel::SizeTextRole).toString();
    const auto ms = [](qint64 ns) { return ns < 0 ? -1.0 : static_cast<double>(ns) / 1e6; };
    std::printf("bytes: %s\nwindow-scan-ms: %.2f\nwindow-idle-ms: %.2f\nscan-started-ms: %.2f\n"
                "max-stall-ms: %lld\n",
        qPrintable(size.mid(1)), ms(totals), ms(idle), ms(started), static_cast<long long>(maxStall));
    return totals < 0 ? 1 : 0;
}
