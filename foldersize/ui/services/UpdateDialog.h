// UpdateDialog.h: the update dialog: checks the maker's server for a newer version, shows its
// history, downloads the setup with progress and cancel, arranges for the setup to start when
// the main window closes, and keeps the proxy settings in [InternetUpdate].
#pragma once

#include "foldersize/services/UpdateController.h"
#include "foldersize/ui/services/DialogHooks.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace foldersize {

class UpdateDialog : public QDialog {
    Q_OBJECT
public:
    // Reads the proxy settings from iniFile; the setup goes to downloadFile.
    UpdateDialog(const ProgramVersion& running, const QString& progVersionText, const QString& iniFile,
        const QString& downloadFile, DialogHooks hooks = {}, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    // Set by the main window before the dialog is shown.
    QString m_ProgName;
    QString m_ProgVersion;
    QString m_URL_Homepage;
    QString m_URL_Version;
    QString m_URL_History;
    QString m_URL_Download;
    QString m_URL_Checksum;
    bool m_UpdateDirektStarten = false;

    // The addresses built from the configured hosts and the fixed paths.
    void useConfiguredAddresses();

    void cmdUPDATE_Click();
    void cmdDownload_Click();
    void cmdAbbrechen_Click();
    void cmdSetupStarten_Click();
    void cmdHomepage_Click();

    UpdateController& controller() { return m_controller; }

    // Closing (any way): stops a running check or download and writes [InternetUpdate].
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QGroupBox* buildVersionFrame(const QString& progVersionText);
    QGroupBox* buildDownloadFrame();
    QGroupBox* buildProxyFrame();
    void loadProxySettings();
    void Form_Activate();
    void applyProxyAndEndpoints();
    void onCheckFinished(const CheckReport& report);
    void onDownloadProgress(qint64 received, qint64 expected);
    void onDownloadFinished(const QString& result);
    void resetProgress();
    void writeSettings();

    UpdateController m_controller;
    QString m_iniFile;
    DialogHooks m_hooks;
    bool m_Aktiviert = false;
    bool m_waitCursor = false;
    bool m_closed = false;

    QLabel* m_label0;
    QLabel* m_lblProduktName;
    QLabel* m_lblVersionInstall;
    QLabel* m_lblVersionInternet;
    QPushButton* m_cmdUPDATE;
    QPlainTextEdit* m_txtInfo;
    QLabel* m_lblZiel;
    QLabel* m_lblFortschrittWert;
    QProgressBar* m_picProgress;
    QLabel* m_lblProzent;
    QPushButton* m_cmdDownload;
    QPushButton* m_cmdAbbrechen;
    QPushButton* m_cmdSetupStarten;
    QPushButton* m_cmdHomepage;
    QCheckBox* m_chkUseProxy;
    QLineEdit* m_txtProxyName;
    QLineEdit* m_txtProxyPort;
    QLineEdit* m_txtProxyBenutzername;
    QLineEdit* m_txtProxyPasswort;
    QCheckBox* m_chkPasswortSpeichern;
};

} // namespace foldersize
