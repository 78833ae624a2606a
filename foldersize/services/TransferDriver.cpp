// TransferDriver.cpp: timer-driven stepping of one HttpTransfer.
#include "foldersize/services/TransferDriver.h"

namespace foldersize {

TransferDriver::TransferDriver(QObject* parent)
    : QObject(parent)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &TransferDriver::onTick);
}

void TransferDriver::start(const TransferRequest& request)
{
    m_lastReported = -1;
    m_pendingFinish = !m_transfer.start(request);
    m_timer.start();
}

void TransferDriver::cancel() { m_transfer.cancel(); }

bool TransferDriver::running() const { return m_timer.isActive(); }

void TransferDriver::onTick()
{
    const bool more = !m_pendingFinish && m_transfer.step(kTickWaitMs);
    const qint64 received = m_transfer.received();
    if (received != m_lastReported && !m_transfer.outcome().failed()) {
        m_lastReported = received;
        emit progress(received, m_transfer.expectedLength());
    }
    if (more)
        return;
    m_timer.stop();
    m_pendingFinish = false;
    emit finished(m_transfer.outcome());
}

} // namespace foldersize
