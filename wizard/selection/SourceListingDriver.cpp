// SourceListingDriver.cpp: source listings in time slices on the event loop.
#include "wizard/selection/SourceListingDriver.h"

#include <QElapsedTimer>

#include "wizard/core/ProgramEnd.h"
#include "wizard/core/WizardWindows.h"

namespace wizard {

namespace {

// Work per turn of the event loop, and entries per step between two looks at the clock.
constexpr qint64 kSliceNs = 12'000'000;
constexpr int kEntriesPerStep = 128;

} // namespace

SourceListingDriver::SourceListingDriver(SelectionPageLogic& logic, QObject* parent)
    : QObject(parent)
    , m_logic(logic)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, [this] { runSlice(); });
}

SourceListingDriver::~SourceListingDriver() = default;

void SourceListingDriver::open(SelectionTree::Node* node)
{
    std::unique_ptr<SourceFolderListing> listing = m_logic.beginSourceExpansion(node);
    if (!listing)
        return;
    if (m_pending.empty())
        setBusy(true);
    m_pending.push_back(std::move(listing));
    // The first entries arrive at once, before the window paints again.
    runSlice();
}

void SourceListingDriver::finishAll()
{
    while (busy() && !programEndRequested())
        runSlice();
}

void SourceListingDriver::runSlice()
{
    QElapsedTimer clock;
    clock.start();
    // Once the program is to end nothing more is listed.
    if (programEndRequested()) {
        m_timer.stop();
        return;
    }
    while (!m_pending.empty() && clock.nsecsElapsed() < kSliceNs) {
        SourceFolderListing& listing = *m_pending.front();
        if (listing.step(kEntriesPerStep))
            continue;
        m_logic.completeSourceExpansion(listing);
        m_pending.pop_front();
    }
    if (!m_pending.empty()) {
        m_timer.start();
        return;
    }
    m_timer.stop();
    setBusy(false);
    emit listingsFinished();
}

void SourceListingDriver::setBusy(bool busy)
{
    WizardWindows& windows = wizardWindows();
    windows.setMousePointer(busy ? MousePointer::Hourglass : MousePointer::Default);
    windows.setButtonEnabled(BarButton::Back, !busy);
    if (busy)
        windows.setButtonEnabled(BarButton::Next, false);
    else
        m_logic.events().applyNextRule(true);
}

} // namespace wizard
