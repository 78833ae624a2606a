// ListingsSettled.h: runs the event loop until the selection page's source listings are done: a
// folder the user opens is read on the listing driver's thread and shows its entries afterwards.
#pragma once

#include "wizard/ui/selection/SourceListingDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QObject>

namespace testsupport {

// `within` is the page (or any widget above its listing driver "sourceListings"); at most a minute.
inline void settleListings(const QObject* within)
{
    const auto* listings =
        within ? within->findChild<wizard::SourceListingDriver*>("sourceListings") : nullptr;
    QElapsedTimer clock;
    clock.start();
    while (listings && listings->busy() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

} // namespace testsupport
