// FolderQueueController.cpp: the working-off loop as a chain of scans, the refresh of one root and
// the hand-off from a later copy.
#include "foldersize/ui/scanner/FolderQueueController.h"

#include <stdexcept>
#include <utility>

#include <QVariant>

#include "foldersize/scanner/FileSystem.h"
#include "foldersize/scanner/HandOffReceiver.h"
#include "foldersize/scanner/ScanDriver.h"
#include "foldersize/scanner/ScanStatus.h"
#include "foldersize/services/ErrorReport.h"
#include "foldersize/ui/scanner/FolderTreeModel.h"

namespace foldersize {

FolderQueueController::FolderQueueController(FolderTree& tree, FolderTreeModel& model, QObject* parent)
    : QObject(parent)
    , m_tree(tree)
    , m_model(model)
    , m_driver(new ScanDriver(this))
{
    connect(m_driver, &ScanDriver::progress, this, &FolderQueueController::progress);
    connect(m_driver, &ScanDriver::rootChildrenFinished, this,
        [this](std::size_t n) { m_model.rootChildrenFinished(n); });
    connect(m_driver, &ScanDriver::finished, this, &FolderQueueController::onScanEnded);
}

FolderQueueController::~FolderQueueController() = default;

void FolderQueueController::Ordnerliste_Abarbeiten()
{
    if (busy())
        return;
    m_scanning = true;
    m_lastFolder.clear();
    m_runStats = ScanStatistics{};
    emit loopStarted();
    nextQueueEntry();
}

void FolderQueueController::nextQueueEntry()
{
    while (!m_queue.empty()) {
        const std::string p = m_queue.front();
        if (!xExistFolder(p) || !m_comboLookup) {
            m_queue.popFront(); // not a folder: dropped without a message
            continue;
        }
        const ComboEntry entry = m_comboLookup(p);
        m_lastFolder = entry.tag;
        m_afterScan = [this](bool) {
            m_queue.popFront();
            if (m_einleseStatus == kStopRequested)
                finishQueue();
            else
                nextQueueEntry();
        };
        // Every queued folder gets a root of its own, also one that is measured already.
        QuelleEinlesen(entry.tag, entry.image, entry.selectedImage, std::string());
        return;
    }
    finishQueue();
}

void FolderQueueController::finishQueue()
{
    // After a stop the current entry and all that wait behind it are discarded.
    m_queue.clear();
    if (!m_lastFolder.empty())
        emit listRequested(m_lastFolder);
    m_einleseStatus = kEinleseNormal;
    m_scanning = false;
    emit queueWorkedOff();
}

void FolderQueueController::startFolder(const std::string& tag)
{
    m_einleseStatus = kEinleseNormal;
    m_queue.clear();
    m_queue.append(tag);
    Ordnerliste_Abarbeiten();
}

void FolderQueueController::requestStop()
{
    m_einleseStatus = kStopRequested;
    if (m_driver->running())
        m_driver->stop();
}

std::size_t FolderQueueController::receive(const std::vector<std::string>& folders)
{
    HandOffTarget target;
    target.scanRunning = [this] { return busy(); };
    target.queueSize = [this] { return m_queue.size(); };
    target.enqueue = [this](const std::string& f) { m_queue.append(f); };
    target.workOff = [this] { Ordnerliste_Abarbeiten(); };
    return receiveHandOff(folders, target);
}

void FolderQueueController::QuelleEinlesen(
    const std::string& path, int image, int selectedImage, const std::string& key)
{
    int step = 10;
    FolderNode* root = nullptr;
    try {
        if (!key.empty()) {
            root = m_tree.findByKey(key).folder;
        } else {
            step = 20;
            if (!m_tree.canAddRoot())
                throw std::overflow_error("Überlauf: es sind bereits 256 Quellen im Report");
            m_model.beginAddRoot();
            FolderRoot* r = m_tree.addRoot(path, image, selectedImage);
            m_model.endAddRoot();
            root = r->node.get();
        }
        if (!root)
            throw std::runtime_error("Knoten nicht gefunden");
        step = 30;
        m_model.scanStarted(root);
        emit scanStarted(root);
        m_driver->start(root);
        return;
    } catch (const std::exception& e) {
        ErrorInfo err;
        err.number = 6;
        err.description = QString::fromUtf8(e.what());
        FehlerAnzeigen(QStringLiteral("QuelleEinlesen"), QStringLiteral("frmMain"), step, err,
            {QVariant(QString::fromUtf8(path.c_str())), QVariant(QString::fromUtf8(key.c_str()))});
    }
    // Nothing was started: go on as after a scan.
    if (auto next = std::exchange(m_afterScan, nullptr))
        next(false);
}

void FolderQueueController::onScanEnded(bool stopped)
{
    FolderNode* root = m_driver->root();
    addStatistics(m_runStats, m_driver->statistics());
    m_model.scanEnded();
    if (root)
        emit scanEnded(root, stopped);
    if (auto next = std::exchange(m_afterScan, nullptr))
        next(stopped);
}

bool FolderQueueController::refresh(FolderNode* selected, bool filesNode)
{
    if (!selected || busy())
        return false;
    FolderRoot* r = m_tree.rootOf(selected);
    if (!r)
        return false;
    m_scanning = true;
    const std::string remembered = m_tree.keyOf(selected, filesNode);
    FolderNode* root = r->node.get();
    m_runStats = ScanStatistics{};
    emit refreshStarted();
    m_model.clearChildren(root);
    m_afterScan = [this, remembered, root](bool) { finishRefresh(remembered, root); };
    QuelleEinlesen(r->folderPath, 0, 0, m_tree.keyOf(root));
    return true;
}

void FolderQueueController::finishRefresh(const std::string& rememberedKey, FolderNode* root)
{
    m_scanning = false;
    NodeRef again = m_tree.findByKey(rememberedKey);
    if (!again)
        again = NodeRef{root, false};
    emit refreshEnded(again);
    if (m_einleseStatus == kEinleseNormal) {
        if (m_queue.empty())
            emit listRequested(root->path());
        else
            Ordnerliste_Abarbeiten();
    }
    m_einleseStatus = kEinleseNormal;
    emit refreshFinished();
}

} // namespace foldersize
