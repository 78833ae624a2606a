// SourceListingDriver.h: runs the selection page's source listings in short steps on the event
// loop, so that a folder of many thousand entries shows its first entries at once and the window
// stays usable while the rest arrives. A folder is read (listed and sorted by the file-system
// object) on a thread of the program's background driver, one at a time; the tree is filled on the window's thread.
#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

#include "common/BackgroundWork.h"
#include "wizard/selection/FolderChecks.h"
#include "wizard/selection/SelectionPageLogic.h"

namespace wizard {

class SourceListingDriver : public QObject {
    Q_OBJECT
public:
    explicit SourceListingDriver(SelectionPageLogic& logic, QObject* parent = nullptr);
    ~SourceListingDriver() override;

    // The user opened `node` in the source tree: it is listed in steps (after listings already
    // under way) and then mirrored. While anything is being listed the hourglass shows and Next and
    // Previous are disabled, so that the choice is not collected half listed; afterwards Previous
    // is enabled and Next follows the page's rule again.
    void open(SelectionTree::Node* node);
    // The user ticked the listed folder `node`: its listed children take its mark in steps (after
    // the work already under way), with the same hourglass and buttons as a listing.
    void refresh(SelectionTree::Node* node);
    // The user cleared `node`: its copies leave the destination tree and its listed children take
    // the clear mark in steps, the same way.
    void clear(SelectionTree::Node* node);
    bool busy() const { return !m_pending.empty(); }

private:
    // A folder to list, or (listing null) the marks of a listed folder's children to push down,
    // after a clear with its copies to take out first.
    struct Pending {
        std::unique_ptr<SourceFolderListing> listing;
        bool read = false;
        std::unique_ptr<FolderCheckRefresh> refresh;
        std::unique_ptr<FolderCheckClear> clear;
    };
    void add(Pending pending);
    void runSlice();
    // Starts reading the first pending folder on the reader thread; its end calls readingDone.
    void startReading();
    // Takes up the folder the reader read (waiting for it when it is not done yet).
    void readingDone();
    void setBusy(bool busy);

    SelectionPageLogic& m_logic;
    std::deque<Pending> m_pending;
    QTimer m_timer;
    common::BackgroundWork::Task m_reader; // the read under way, while m_reading
    bool m_reading = false;
};

} // namespace wizard
