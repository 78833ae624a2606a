// UpdateController.cpp: check sequence (version, then history) and setup download.
#include "foldersize/services/UpdateController.h"

#include "foldersize/services/Internet.h"

#include <QFile>

namespace foldersize {

namespace {

QString fill(QString text, const QString& p1) { return text.replace(QStringLiteral("%1"), p1); }

QString stepFailureText(const TransferOutcome& outcome)
{
    if (outcome.stage == TransferStage::QueryStatus)
        return outcome.errorText;
    return transferStepName(outcome.stage) + QStringLiteral(": ") + outcome.errorText;
}

} // namespace

QString downloadResultText(const TransferOutcome& outcome)
{
    const char* code = nullptr;
    switch (outcome.stage) {
    case TransferStage::None: return QString();
    case TransferStage::Cancelled: return kDownloadCancelled;
    case TransferStage::Open: code = "P200"; break;
    case TransferStage::Connect: code = "P201"; break;
    case TransferStage::OpenRequest: code = "P202"; break;
    case TransferStage::SendRequest:
    case TransferStage::QueryStatus: code = "P203"; break;
    case TransferStage::CreateFile: code = "P204"; break;
    case TransferStage::Read: code = "P205"; break;
    case TransferStage::Write: code = "P207"; break;
    }
    return outcome.errorText + QStringLiteral(" (") + QLatin1String(code) + QLatin1Char(')');
}

UpdateController::UpdateController(const QString& progName, const ProgramVersion& running, QObject* parent)
    : QObject(parent)
    , m_progName(progName)
    , m_running(running)
{
    connect(&m_driver, &TransferDriver::finished, this, &UpdateController::onFinished);
    connect(&m_driver, &TransferDriver::progress, this, [this](qint64 received, qint64 expected) {
        if (m_phase == Phase::Download)
            emit downloadProgress(received, expected);
    });
}

TransferRequest UpdateController::textRequest(const QString& address) const
{
    TransferRequest request;
    const QUrl url = requestUrl(address);
    request.url = url.isValid() ? QString::fromUtf8(url.toEncoded()) : address;
    request.mode = BodyMode::Memory;
    request.useProxy = m_proxy.use;
    request.proxyName = m_proxy.name;
    request.proxyPort = m_proxy.port;
    request.proxyUser = m_proxy.user;
    request.proxyPassword = m_proxy.password;
    return request;
}

void UpdateController::startCheck()
{
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Version;
    m_driver.start(textRequest(m_endpoints.version));
}

void UpdateController::startDownload()
{
    if (m_phase != Phase::Idle)
        return;
    m_phase = Phase::Download;
    TransferRequest request = textRequest(m_endpoints.download);
    request.mode = BodyMode::File;
    request.fileName = m_downloadFile;
    request.reload = true;
    m_driver.start(request);
}

void UpdateController::cancelDownload()
{
    if (m_phase == Phase::Download || m_phase == Phase::Checksum)
        m_driver.cancel();
}

void UpdateController::onFinished(const TransferOutcome& outcome)
{
    const Phase phase = m_phase;
    m_phase = Phase::Idle;
    switch (phase) {
    case Phase::Idle: return;
    case Phase::Version: onVersionFetched(outcome); return;
    case Phase::History: {
        CheckReport report;
        report.outcome = CheckOutcome::Newer;
        report.versionText = m_newVersion;
        report.info = outcome.failed() ? stepFailureText(outcome)
                                       : normaliseHistoryLineEnds(decodeServerText(outcome.body));
        report.downloadEnabled = true;
        emit checkFinished(report);
        return;
    }
    case Phase::Download:
        if (outcome.failed()) {
            emit downloadFinished(downloadResultText(outcome));
            return;
        }
        // The setup is complete; nothing is started before it passed its check.
        m_phase = Phase::Checksum;
        m_driver.start(textRequest(m_endpoints.checksum));
        return;
    case Phase::Checksum: {
        const QString result = verifyDownload(outcome);
        if (!result.isEmpty())
            QFile::remove(m_downloadFile);
        emit downloadFinished(result);
        return;
    }
    }
}

QString UpdateController::verifyDownload(const TransferOutcome& checksumOutcome) const
{
    const QString code = QStringLiteral(" (") + kChecksumCode + QLatin1Char(')');
    if (checksumOutcome.stage == TransferStage::Cancelled)
        return kDownloadCancelled;
    if (checksumOutcome.failed())
        return QStringLiteral("Die Prüfsumme der Updatedatei ist nicht erhältlich (") +
            stepFailureText(checksumOutcome) + QStringLiteral("); die Datei wurde gelöscht") + code;
    const QByteArray expected = parseSha256Text(checksumOutcome.body);
    if (expected.isEmpty())
        return QStringLiteral("Die Prüfsumme der Updatedatei ist unlesbar; die Datei wurde gelöscht") + code;
    if (fileSha256(m_downloadFile) != expected)
        return QStringLiteral("Die Updatedatei stimmt nicht mit ihrer SHA-256-Prüfsumme überein (beschädigt "
                              "oder verändert); sie wurde gelöscht und wird nicht gestartet") +
            code;
    return QString();
}

void UpdateController::onVersionFetched(const TransferOutcome& outcome)
{
    const QString result = checkForUpdateResult(outcome.failed(),
        outcome.failed() ? stepFailureText(outcome) : decodeServerText(outcome.body), m_running);
    CheckReport report;
    report.outcome = classifyCheckResult(result);
    switch (report.outcome) {
    case CheckOutcome::NotNewer:
        report.versionText = checkResultPayload(result);
        report.info = fill(QStringLiteral("Es ist keine neue Version von %1 vorhanden."), m_progName);
        emit checkFinished(report);
        return;
    case CheckOutcome::Failed:
        report.info = fill(
            QStringLiteral("Bei der Überprüfung ist ein Fehler aufgetreten: %1"), checkResultPayload(result));
        emit checkFinished(report);
        return;
    case CheckOutcome::Newer:
        m_newVersion = result;
        m_phase = Phase::History;
        m_driver.start(textRequest(m_endpoints.history));
        return;
    }
}

} // namespace foldersize
