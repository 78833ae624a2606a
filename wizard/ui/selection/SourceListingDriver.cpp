// SourceListingDriver.cpp: source listings in time slices on the event loop.
#include "wizard/ui/selection/SourceListingDriver.h"

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

SourceListingDriver::~SourceListingDriver()
{
    // A read under way ends on its own; what it read is dropped with the listing.
    m_reader.wait();
}

void SourceListingDriver::open(SelectionTree::Node* node)
{
    std::unique_ptr<SourceFolderListing> listing = m_logic.beginSourceExpansion(node, true);
    if (!listing)
        return;
    add({std::move(listing), false, nullptr, nullptr});
}

void SourceListingDriver::refresh(SelectionTree::Node* node)
{
    add({nullptr, true, std::make_unique<FolderCheckRefresh>(m_logic.source(), m_logic.destination(), node),
        nullptr});
}

void SourceListingDriver::clear(SelectionTree::Node* node)
{
    add({nullptr, true, nullptr,
        std::make_unique<FolderCheckClear>(m_logic.source(), m_logic.destination(), node)});
}

void SourceListingDriver::add(Pending pending)
{
    if (m_pending.empty())
        setBusy(true);
    m_pending.push_back(std::move(pending));
    runSlice();
}

void SourceListingDriver::startReading()
{
    if (m_reading)
        return;
    SourceFolderListing* listing = m_pending.front().listing.get();
    m_reading = true;
    m_reader = common::BackgroundWork::program().start([this, listing] {
        listing->read();
        QMetaObject::invokeMethod(
            this, [this] { readingDone(); }, Qt::QueuedConnection);
    });
}

void SourceListingDriver::readingDone()
{
    if (!m_reading)
        return;
    m_reader.wait();
    m_reading = false;
    Pending& front = m_pending.front();
    front.read = true;
    // A folder that cannot be read shows as empty, and one whose node went meanwhile is dropped.
    if (!front.listing->finishRead())
        m_pending.pop_front();
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
        Pending& front = m_pending.front();
        if (front.clear) {
            if (!front.clear->step(kEntriesPerStep))
                m_pending.pop_front();
            continue;
        }
        if (front.refresh) {
            if (!front.refresh->step(kEntriesPerStep))
                m_pending.pop_front();
            continue;
        }
        if (!front.read) {
            // The window goes on meanwhile; the read's end takes the listing up again.
            m_timer.stop();
            startReading();
            return;
        }
        if (front.listing->step(kEntriesPerStep))
            continue;
        if (!front.listing->ok()) {
            m_pending.pop_front();
            continue;
        }
        // The listed entries take the folder's mark as the next piece of work.
        SelectionTree::Node* node = front.listing->node();
        m_logic.completeSourceExpansion(*front.listing, false);
        front = {nullptr, true,
            std::make_unique<FolderCheckRefresh>(m_logic.source(), m_logic.destination(), node), nullptr};
    }
    if (!m_pending.empty()) {
        m_timer.start();
        return;
    }
    m_timer.stop();
    setBusy(false);
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
