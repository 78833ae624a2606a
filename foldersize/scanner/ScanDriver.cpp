// ScanDriver.cpp: time-sliced stepping of the folder scan.
#include "foldersize/scanner/ScanDriver.h"

#include <cstdlib>
#include <system_error>

#include "foldersize/scanner/FolderScanner.h"
#include "foldersize/scanner/ParallelFolderScanner.h"

namespace foldersize {

ScanDriver::ScanDriver(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &ScanDriver::tick);
}

ScanDriver::~ScanDriver() = default;

void ScanDriver::start(FolderNode* root)
{
    m_root = root;
    m_scanner = makeScan(root);
    m_reportedChildren = 0;
    m_sinceProgress.start();
    emit progress(QString::fromUtf8(root->name().c_str()));
    m_timer.start();
}

std::unique_ptr<FolderScan> ScanDriver::makeScan(FolderNode* root)
{
    // TALLYMOOR_SCAN_THREADS=1 reads on this thread alone (the benchmark compares both); any
    // other number sets the workers.
    const char* env = std::getenv("TALLYMOOR_SCAN_THREADS");
    const long threads = env ? std::strtol(env, nullptr, 10) : 0;
    if (threads == 1)
        return std::make_unique<FolderScanner>(root);
    try {
        return std::make_unique<ParallelFolderScanner>(
            root, threads > 1 ? static_cast<unsigned>(threads) : 0);
    } catch (const std::system_error&) {
        // No threads to be had: the scan runs on this thread.
        root->clearChildren();
        return std::make_unique<FolderScanner>(root);
    }
}

void ScanDriver::stop()
{
    if (!m_scanner)
        return;
    m_scanner->stop();
    end(true);
}

void ScanDriver::tick()
{
    if (!m_scanner)
        return;
    QElapsedTimer slice;
    slice.start();
    bool more = true;
    while (more && slice.elapsed() < kSliceMs)
        more = m_scanner->step(kBudget);
    const std::size_t done = m_scanner->finishedRootChildren();
    if (done > m_reportedChildren) {
        m_reportedChildren = done;
        emit rootChildrenFinished(done);
    }
    if (!more) {
        end(false);
        return;
    }
    if (m_sinceProgress.elapsed() >= 200) {
        m_sinceProgress.restart();
        const std::string cur = m_scanner->currentFolder();
        emit progress(QString::fromUtf8(cur.data(), static_cast<qsizetype>(cur.size())));
    }
}

void ScanDriver::end(bool stopped)
{
    m_timer.stop();
    m_stats = m_scanner->statistics();
    m_scanner.reset();
    emit finished(stopped);
}

} // namespace foldersize
