// FolderQueueController.h: the folder queue and its working-off loop without widgets: measures the
// queued folders one after another into the folder tree, refreshes one root, and tells the main
// window by signals when work starts, what it measures, which folder to list and when it is done.
#pragma once

#include "foldersize/scanner/FolderScanner.h"

#include <functional>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "foldersize/scanner/FolderQueue.h"
#include "foldersize/scanner/FolderTree.h"

namespace foldersize {

class FolderTreeModel;
class ScanDriver;

class FolderQueueController : public QObject {
    Q_OBJECT
public:
    // The folder-combo item a queued folder is measured from.
    struct ComboEntry {
        std::string tag; // the path that is measured (with a trailing "/")
        int image = 8;
        int selectedImage = 10;
    };
    // Finds the combo item of an existing folder, adding one (selected image 10) when there is none.
    using ComboLookup = std::function<ComboEntry(const std::string& folder)>;

    // tree and model outlive the controller; the model is told of every change of the tree.
    FolderQueueController(FolderTree& tree, FolderTreeModel& model, QObject* parent = nullptr);
    ~FolderQueueController() override;

    void setComboLookup(ComboLookup lookup) { m_comboLookup = std::move(lookup); }

    FolderQueue& queue() { return m_queue; }
    // The busy flag: true while the loop, a refresh or (setListBusy) a file-list fill runs.
    bool busy() const { return m_scanning || m_listBusy; }
    void setListBusy(bool on) { m_listBusy = on; }
    // kEinleseNormal, or kStopRequested after "stop" until the loop or the next "start" resets it.
    int einleseStatus() const { return m_einleseStatus; }

    // Works the queue off; returns at once, queueWorkedOff() follows. Does nothing while busy:
    // a running loop takes new entries up. Each entry is measured into a new root, so a folder
    // queued twice is measured twice.
    void Ordnerliste_Abarbeiten();
    // The "start" button: resets the stop request, replaces the queue by tag and works it off.
    void startFolder(const std::string& tag);
    // The "stop" button: requests the stop and ends a running scan at once with its partial sums.
    void requestStop();
    // Measures the root of selected again in place; refreshFinished() follows. Returns false (and
    // does nothing) without a selection or while busy.
    bool refresh(FolderNode* selected, bool filesNode);
    // Folders from a later copy: queued; an idle controller whose queue was empty works them off.
    std::size_t receive(const std::vector<std::string>& folders);
    // Measures path into a new root (empty key) or into the root with that key. Errors go to the
    // error report and the work goes on as after a scan.
    void QuelleEinlesen(const std::string& path, int image, int selectedImage, const std::string& key);

    // The counts of the scans since the queue (or a refresh) last started.
    const ScanStatistics& runStatistics() const { return m_runStats; }

signals:
    // The loop began: the window shows its busy state.
    void loopStarted();
    // A refresh began; the root's children are about to be cleared.
    void refreshStarted();
    // The folder being read, a few times a second.
    void progress(const QString& folder);
    void scanStarted(foldersize::FolderNode* root);
    void scanEnded(foldersize::FolderNode* root, bool stopped);
    // The window fills its file list with this folder's files.
    void listRequested(const std::string& folder);
    // The loop is done; the controller is idle again.
    void queueWorkedOff();
    // The refresh's scan ended: node is the node selected before (or the root when it is gone).
    void refreshEnded(foldersize::NodeRef node);
    // The refresh is done (after the list or the next loop was started).
    void refreshFinished();

private:
    void nextQueueEntry();
    void finishQueue();
    void finishRefresh(const std::string& rememberedKey, FolderNode* root);
    void onScanEnded(bool stopped);

    FolderTree& m_tree;
    FolderTreeModel& m_model;
    ScanDriver* m_driver;
    ScanStatistics m_runStats;
    ComboLookup m_comboLookup;
    FolderQueue m_queue;
    bool m_scanning = false;
    bool m_listBusy = false;
    int m_einleseStatus = kEinleseNormal;
    std::string m_lastFolder;
    std::function<void(bool stopped)> m_afterScan;
};

} // namespace foldersize
