// TransferDriver.h: runs an HttpTransfer from a zero-interval timer, a short network wait per tick,
// so the event loop (and with it the window) keeps running during a download.
#pragma once

#include "foldersize/services/HttpTransfer.h"

#include <QObject>
#include <QTimer>

namespace foldersize {

class TransferDriver : public QObject {
    Q_OBJECT
public:
    explicit TransferDriver(QObject* parent = nullptr);

    // Starts the request; finished() always follows later from the event loop, also when the
    // request failed at once. A running request is abandoned without a finished() signal.
    void start(const TransferRequest& request);
    // The request ends at the next tick with TransferStage::Cancelled.
    void cancel();
    bool running() const;
    const TransferOutcome& outcome() const { return m_transfer.outcome(); }

    // Longest wait for network activity inside one tick, in milliseconds.
    static constexpr int kTickWaitMs = 10;

signals:
    void progress(qint64 received, qint64 expectedLength);
    void finished(const foldersize::TransferOutcome& outcome);

private:
    void onTick();

    HttpTransfer m_transfer;
    QTimer m_timer;
    qint64 m_lastReported = -1;
    bool m_pendingFinish = false;
};

} // namespace foldersize
