// UpdateController.h: the update check and the setup download of the update dialog, without
// widgets: fetches the version text (and, when newer, the history), downloads the setup to a file
// and reports results and progress by signals.
#pragma once

#include "foldersize/services/TransferDriver.h"
#include "foldersize/services/UpdateCheck.h"

#include <QObject>
#include <QString>

namespace foldersize {

struct UpdateEndpoints {
    QString homepage; // the maker's web site
    QString version;  // version text
    QString history;  // history text
    QString download; // setup download
    QString checksum; // SHA-256 of the setup, beside the version text
};

struct ProxySettings {
    bool use = false;
    QString name;
    QString port;
    QString user;
    QString password;
};

struct CheckReport {
    CheckOutcome outcome = CheckOutcome::Failed;
    QString versionText; // for the "Internet:" label; empty when the check failed
    QString info;        // for the information box
    bool downloadEnabled = false;
};

// The code of a setup that could not be checked or failed the check (the file is deleted).
inline const QString kChecksumCode = QStringLiteral("P208");

// "Cancel (P206)": the result of a cancelled download.
inline const QString kDownloadCancelled = QStringLiteral("Cancel (P206)");

// The result text of a failed download: the error text and the code P200 to P207 of the step.
QString downloadResultText(const TransferOutcome& outcome);

class UpdateController : public QObject {
    Q_OBJECT
public:
    UpdateController(const QString& progName, const ProgramVersion& running, QObject* parent = nullptr);

    // The program name in the check's messages.
    void setProgName(const QString& name) { m_progName = name; }
    void setEndpoints(const UpdateEndpoints& endpoints) { m_endpoints = endpoints; }
    const UpdateEndpoints& endpoints() const { return m_endpoints; }
    void setProxy(const ProxySettings& proxy) { m_proxy = proxy; }
    // Where the setup goes; written under a temporary name and renamed when complete.
    void setDownloadFile(const QString& path) { m_downloadFile = path; }
    const QString& downloadFile() const { return m_downloadFile; }

    // Starts the check; checkFinished() follows. Ignored while a check runs.
    void startCheck();
    // Starts the download; downloadProgress() and then downloadFinished() follow. The setup is
    // then checked against the SHA-256 text at endpoints().checksum: a setup whose check cannot be
    // made or fails is deleted and reported with " (P208)", so nothing unchecked is started.
    // Ignored while a download runs.
    void startDownload();
    // The running download ends with kDownloadCancelled at its next step.
    void cancelDownload();

    bool checking() const { return m_phase == Phase::Version || m_phase == Phase::History; }
    bool downloading() const { return m_phase == Phase::Download || m_phase == Phase::Checksum; }

signals:
    void checkFinished(const foldersize::CheckReport& report);
    void downloadProgress(qint64 received, qint64 expectedLength);
    // "" on success (the setup passed its check), kDownloadCancelled, or an error text ending in
    // " (P2xx)".
    void downloadFinished(const QString& result);

private:
    enum class Phase { Idle, Version, History, Download, Checksum };

    TransferRequest textRequest(const QString& address) const;
    void onFinished(const TransferOutcome& outcome);
    void onVersionFetched(const TransferOutcome& outcome);
    // Compares the downloaded setup with the fetched checksum; "" when they match.
    QString verifyDownload(const TransferOutcome& checksumOutcome) const;

    QString m_progName;
    ProgramVersion m_running;
    UpdateEndpoints m_endpoints;
    ProxySettings m_proxy;
    QString m_downloadFile;
    TransferDriver m_driver;
    Phase m_phase = Phase::Idle;
    QString m_newVersion;
};

} // namespace foldersize
