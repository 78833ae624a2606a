// SourceListingDriver.h: runs the selection page's source listings in short steps on the event
// loop, so that a folder of many thousand entries shows its first entries at once and the window
// stays usable while the rest arrives.
#pragma once

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>

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
    bool busy() const { return !m_pending.empty(); }
    // Runs every pending listing to its end at once.
    void finishAll();

signals:
    void listingsFinished();

private:
    void runSlice();
    void setBusy(bool busy);

    SelectionPageLogic& m_logic;
    std::deque<std::unique_ptr<SourceFolderListing>> m_pending;
    QTimer m_timer;
};

} // namespace wizard
