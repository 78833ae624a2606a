// ScanDriver.h: runs a folder scan on the event loop. Worker threads read the folders
// (ParallelFolderScanner); a zero-interval timer takes their results up into the tree for a short
// time slice per tick, so the window repaints and answers input between slices (far more often
// than the 1500 ms the program allows at most).
#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "foldersize/scanner/FolderNode.h"
#include "foldersize/scanner/FolderScan.h"

namespace foldersize {

class ScanDriver : public QObject {
    Q_OBJECT
public:
    // Longest time one tick works before it returns to the event loop.
    static constexpr int kSliceMs = 20;
    // Work units between two looks at the clock.
    static constexpr int kBudget = 256;

    explicit ScanDriver(QObject* parent = nullptr);
    ~ScanDriver() override;

    // Starts measuring root (see FolderScan). A running scan must have ended first.
    void start(FolderNode* root);
    // Ends the running scan at once with the sums so far; finished(true) follows.
    void stop();
    bool running() const { return m_scanner != nullptr; }
    FolderNode* root() const { return m_root; }
    // Statistics of the last scan (valid after finished).
    const ScanStatistics& statistics() const { return m_stats; }

signals:
    // The folder being read, at most a few times a second.
    void progress(const QString& folder);
    // The number of the root's direct subfolders that are finished grew.
    void rootChildrenFinished(std::size_t count);
    void finished(bool stopped);

private:
    static std::unique_ptr<FolderScan> makeScan(FolderNode* root);
    void tick();
    void end(bool stopped);

    std::unique_ptr<FolderScan> m_scanner;
    FolderNode* m_root = nullptr;
    QTimer m_timer;
    QElapsedTimer m_sinceProgress;
    std::size_t m_reportedChildren = 0;
    ScanStatistics m_stats;
};

} // namespace foldersize
