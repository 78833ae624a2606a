// UpdateDialog.cpp: controls, button states and settings of the update dialog; the network work
// is UpdateController's.
#include "foldersize/ui/services/UpdateDialog.h"

#include "foldersize/services/IniFile.h"
#include "foldersize/services/Internet.h"
#include "foldersize/services/TallymoorAddresses.h"
#include "foldersize/services/UpdateHandOff.h"
#include "foldersize/ui/services/MessageService.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace foldersize {

namespace {

const QString kModul = QStringLiteral("frmInternetUpdate");
const QString kSection = QStringLiteral("InternetUpdate");

QString fill(QString text, const QString& p1) { return text.replace(QStringLiteral("%1"), p1); }

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

UpdateDialog::UpdateDialog(const ProgramVersion& running, const QString& progVersionText,
    const QString& iniFile, const QString& downloadFile, DialogHooks hooks, QWidget* parent)
    : QDialog(parent)
    , m_controller(QString(), running)
    , m_iniFile(iniFile)
    , m_hooks(std::move(hooks))
{
    m_controller.setDownloadFile(downloadFile);
    setWindowTitle(QStringLiteral("Internet Update "));

    m_label0 = new QLabel(this);

    m_label0->setObjectName(QStringLiteral("Label0"));
    m_label0->setWordWrap(true);
    // Built top to bottom, so the tab order runs as the frames are shown.
    QGroupBox* frame1 = buildVersionFrame(progVersionText);
    auto* frame2 = new QGroupBox(QStringLiteral("Informationen"), this);
    m_txtInfo = new QPlainTextEdit(frame2);
    m_txtInfo->setObjectName(QStringLiteral("txtInfo"));
    m_txtInfo->setReadOnly(true);
    (new QVBoxLayout(frame2))->addWidget(m_txtInfo);
    QGroupBox* frame3 = buildDownloadFrame();
    QGroupBox* frame4 = buildProxyFrame();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label0);
    layout->addWidget(frame1);
    layout->addWidget(frame2, 1);
    layout->addWidget(frame3);
    layout->addWidget(frame4);

    connect(m_cmdUPDATE, &QPushButton::clicked, this, &UpdateDialog::cmdUPDATE_Click);
    connect(m_cmdDownload, &QPushButton::clicked, this, &UpdateDialog::cmdDownload_Click);
    connect(m_cmdAbbrechen, &QPushButton::clicked, this, &UpdateDialog::cmdAbbrechen_Click);
    connect(m_cmdSetupStarten, &QPushButton::clicked, this, &UpdateDialog::cmdSetupStarten_Click);
    connect(m_cmdHomepage, &QPushButton::clicked, this, &UpdateDialog::cmdHomepage_Click);
    connect(&m_controller, &UpdateController::checkFinished, this, &UpdateDialog::onCheckFinished);
    connect(&m_controller, &UpdateController::downloadProgress, this, &UpdateDialog::onDownloadProgress);
    connect(&m_controller, &UpdateController::downloadFinished, this, &UpdateDialog::onDownloadFinished);

    loadProxySettings();
}

QGroupBox* UpdateDialog::buildVersionFrame(const QString& progVersionText)
{
    m_lblProduktName = new QLabel(this);
    m_lblProduktName->setObjectName(QStringLiteral("lblProduktName"));
    m_lblVersionInstall = new QLabel(progVersionText, this);
    m_lblVersionInstall->setObjectName(QStringLiteral("lblVersionInstall"));
    m_lblVersionInternet = new QLabel(QStringLiteral("?"), this);
    m_lblVersionInternet->setObjectName(QStringLiteral("lblVersionInternet"));
    m_cmdUPDATE = new QPushButton(QStringLiteral("&Überprüfen"), this);
    m_cmdUPDATE->setObjectName(QStringLiteral("cmdUPDATE"));
    auto* frame1 = new QGroupBox(QStringLiteral("Version"), this);
    auto* grid1 = new QGridLayout(frame1);
    grid1->addWidget(new QLabel(QStringLiteral("Programm:"), frame1), 0, 0);
    grid1->addWidget(m_lblProduktName, 0, 1);
    grid1->addWidget(new QLabel(QStringLiteral("Installiert:"), frame1), 1, 0);
    grid1->addWidget(m_lblVersionInstall, 1, 1);
    grid1->addWidget(new QLabel(QStringLiteral("Internet:"), frame1), 2, 0);
    grid1->addWidget(m_lblVersionInternet, 2, 1);
    grid1->addWidget(m_cmdUPDATE, 0, 2, 3, 1, Qt::AlignVCenter);
    return frame1;
}

QGroupBox* UpdateDialog::buildDownloadFrame()
{
    auto* frame3 = new QGroupBox(QStringLiteral("Download"), this);
    m_lblZiel = new QLabel(QStringLiteral("Ziel:"), frame3);
    m_lblZiel->setObjectName(QStringLiteral("lblZiel"));
    m_lblFortschrittWert = new QLabel(QStringLiteral("-"), frame3);
    m_lblFortschrittWert->setObjectName(QStringLiteral("lblFortschrittWert"));
    m_picProgress = new QProgressBar(frame3);
    m_picProgress->setObjectName(QStringLiteral("picProgress"));
    m_picProgress->setRange(0, 1000);
    m_picProgress->setTextVisible(false);
    m_lblProzent = new QLabel(QStringLiteral("0 %"), frame3);
    m_lblProzent->setObjectName(QStringLiteral("lblProzent"));
    m_lblProzent->hide();
    m_cmdDownload = new QPushButton(QStringLiteral("&Download"), frame3);
    m_cmdDownload->setObjectName(QStringLiteral("cmdDownload"));
    m_cmdDownload->setToolTip(QStringLiteral("Update herunterladen"));
    m_cmdAbbrechen = new QPushButton(QStringLiteral("&Abbrechen"), frame3);
    m_cmdAbbrechen->setObjectName(QStringLiteral("cmdAbbrechen"));
    m_cmdAbbrechen->setToolTip(QStringLiteral("Download abbrechen"));
    m_cmdSetupStarten = new QPushButton(QStringLiteral("&Installieren"), frame3);
    m_cmdSetupStarten->setObjectName(QStringLiteral("cmdSetupStarten"));
    m_cmdSetupStarten->setToolTip(QStringLiteral("Update installieren"));
    m_cmdHomepage = new QPushButton(QStringLiteral("&Homepage"), frame3);
    m_cmdHomepage->setObjectName(QStringLiteral("cmdHomepage"));
    for (QPushButton* b : {m_cmdDownload, m_cmdAbbrechen, m_cmdSetupStarten})
        b->setEnabled(false);
    auto* grid3 = new QGridLayout(frame3);
    grid3->addWidget(m_lblZiel, 0, 0, 1, 4);
    grid3->addWidget(new QLabel(QStringLiteral("Fortschritt:"), frame3), 1, 0);
    grid3->addWidget(m_lblFortschrittWert, 1, 1, 1, 3);
    grid3->addWidget(m_picProgress, 2, 0, 1, 3);
    grid3->addWidget(m_lblProzent, 2, 3);
    grid3->addWidget(m_cmdDownload, 3, 0);
    grid3->addWidget(m_cmdAbbrechen, 3, 1);
    grid3->addWidget(m_cmdSetupStarten, 3, 2);
    grid3->addWidget(m_cmdHomepage, 3, 3);
    return frame3;
}

QGroupBox* UpdateDialog::buildProxyFrame()
{
    auto* frame4 = new QGroupBox(QStringLiteral("Optionen"), this);
    m_chkUseProxy = new QCheckBox(QStringLiteral("Proxyserver verwenden:"), frame4);
    m_chkUseProxy->setObjectName(QStringLiteral("chkUseProxy"));
    m_txtProxyName = new QLineEdit(frame4);
    m_txtProxyName->setObjectName(QStringLiteral("txtProxyName"));
    m_txtProxyPort = new QLineEdit(QStringLiteral("80"), frame4);
    m_txtProxyPort->setObjectName(QStringLiteral("txtProxyPort"));
    m_txtProxyBenutzername = new QLineEdit(frame4);
    m_txtProxyBenutzername->setObjectName(QStringLiteral("txtProxyBenutzername"));
    m_txtProxyPasswort = new QLineEdit(frame4);
    m_txtProxyPasswort->setObjectName(QStringLiteral("txtProxyPasswort"));
    m_txtProxyPasswort->setEchoMode(QLineEdit::Password);
    m_chkPasswortSpeichern = new QCheckBox(QStringLiteral("Passwort speichern"), frame4);
    m_chkPasswortSpeichern->setObjectName(QStringLiteral("chkPasswortSpeichern"));
    auto* grid4 = new QGridLayout(frame4);
    grid4->addWidget(m_chkUseProxy, 0, 0);
    grid4->addWidget(m_txtProxyName, 0, 1);
    grid4->addWidget(new QLabel(QStringLiteral("Port:"), frame4), 0, 2);
    grid4->addWidget(m_txtProxyPort, 0, 3);
    grid4->addWidget(new QLabel(QStringLiteral("Benutzername:"), frame4), 1, 0);
    grid4->addWidget(m_txtProxyBenutzername, 1, 1);
    grid4->addWidget(new QLabel(QStringLiteral("Passwort:"), frame4), 1, 2);
    grid4->addWidget(m_txtProxyPasswort, 1, 3);
    grid4->addWidget(m_chkPasswortSpeichern, 2, 1);
    return frame4;
}

// Proxy settings from [InternetUpdate].
void UpdateDialog::loadProxySettings()
{
    m_Aktiviert = false;
    m_UpdateDirektStarten = false;
    m_chkUseProxy->setChecked(
        INILesen(kSection, QStringLiteral("UseProxy"), QStringLiteral("0"), m_iniFile) == QLatin1String("1"));
    m_txtProxyName->setText(INILesen(kSection, QStringLiteral("ProxyName"), QString(), m_iniFile));
    m_txtProxyPort->setText(INILesen(kSection, QStringLiteral("ProxyPort"), QString(), m_iniFile));
    m_txtProxyBenutzername->setText(
        INILesen(kSection, QStringLiteral("ProxyBenutzer"), QString(), m_iniFile));
    m_chkPasswortSpeichern->setChecked(
        INILesen(kSection, QStringLiteral("ProxyPWspeichern"), QStringLiteral("0"), m_iniFile).toInt() == 1);
    bool ok = true;
    const QString password = CryptIt(
        INILesen(kSection, QStringLiteral("ProxyPasswort"), QString(), m_iniFile), false, kCryptKey, &ok);
    if (!ok)
        m_hooks.error(QStringLiteral("CryptIt"), kModul, 40,
            QStringLiteral("Das gespeicherte Proxy-Passwort ist unleserlich."));
    m_txtProxyPasswort->setText(password);
}

UpdateDialog::~UpdateDialog()
{
    if (m_waitCursor)
        QApplication::restoreOverrideCursor();
}

void UpdateDialog::useConfiguredAddresses()
{
    // HTTPS unless the build names another scheme; the checksum comes from the version's server.
    const QString scheme = QLatin1String(addresses::kScheme) + QStringLiteral("://");
    const QString web = scheme + QLatin1String(addresses::kWebHost);
    m_URL_Homepage = web;
    m_URL_Version = web + QLatin1String(addresses::kVersionPath);
    m_URL_History = web + QLatin1String(addresses::kHistoryPath);
    m_URL_Checksum = web + QLatin1String(addresses::kChecksumPath);
    m_URL_Download =
        scheme + QLatin1String(addresses::kDownloadHost) + QLatin1String(addresses::kDownloadPath);
}

void UpdateDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_Aktiviert) {
        m_Aktiviert = true;
        Form_Activate();
    }
}

void UpdateDialog::Form_Activate()
{
    g_UpdateStarten = false;
    setWindowTitle(QStringLiteral("Internet Update - ") + m_ProgName);
    m_lblProduktName->setText(m_ProgName);
    m_label0->setText(
        fill(QStringLiteral("Mit dem Internet Update können Sie überprüfen, ob eine neue Version "
                            "der Software %1 zum Download zur Verfügung steht."),
            m_ProgName));
    m_txtInfo->setPlainText(QStringLiteral("Stellen Sie sicher, das Sie mit dem Internet verbunden sind und "
                                           "drücken Sie dann die Schaltfläche Überprüfen."));
    m_cmdHomepage->setToolTip(m_URL_Homepage);
    if (m_UpdateDirektStarten)
        cmdUPDATE_Click();
}

void UpdateDialog::applyProxyAndEndpoints()
{
    ProxySettings proxy;
    proxy.use = m_chkUseProxy->isChecked();
    proxy.name = m_txtProxyName->text();
    proxy.port = m_txtProxyPort->text();
    proxy.user = m_txtProxyBenutzername->text();
    proxy.password = m_txtProxyPasswort->text();
    m_controller.setProxy(proxy);
    m_controller.setEndpoints({m_URL_Homepage, m_URL_Version, m_URL_History, m_URL_Download, m_URL_Checksum});
}

void UpdateDialog::cmdUPDATE_Click()
{
    if (m_controller.checking() || m_controller.downloading())
        return;
    if (!m_waitCursor) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_waitCursor = true;
    }
    m_cmdUPDATE->setEnabled(false);
    m_lblVersionInternet->setText(QStringLiteral("?"));
    setTextColour(m_lblVersionInternet, Qt::black);
    // The progress texts name the program; the controller was made before the name was known.
    m_controller.setProgName(m_ProgName);
    applyProxyAndEndpoints();
    m_controller.startCheck();
}

void UpdateDialog::onCheckFinished(const CheckReport& report)
{
    switch (report.outcome) {
    case CheckOutcome::NotNewer: m_lblVersionInternet->setText(report.versionText); break;
    case CheckOutcome::Newer:
        m_lblVersionInternet->setText(report.versionText);
        setTextColour(m_lblVersionInternet, Qt::blue);
        break;
    case CheckOutcome::Failed: break;
    }
    m_txtInfo->setPlainText(report.info);
    if (report.downloadEnabled)
        m_cmdDownload->setEnabled(true);
    m_cmdUPDATE->setEnabled(true);
    if (m_waitCursor) {
        QApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
}

void UpdateDialog::resetProgress()
{
    m_picProgress->setValue(0);
    m_lblFortschrittWert->setText(QStringLiteral("-"));
    m_lblProzent->setText(QStringLiteral("0 %"));
}

void UpdateDialog::cmdDownload_Click()
{
    if (m_controller.checking() || m_controller.downloading())
        return;
    m_lblZiel->setText(fill(QStringLiteral("Ziel: %1"), m_controller.downloadFile()));
    m_cmdDownload->setEnabled(false);
    m_cmdSetupStarten->setEnabled(false);
    m_cmdAbbrechen->setEnabled(true);
    m_lblProzent->show();
    m_picProgress->setValue(0);
    applyProxyAndEndpoints();
    m_controller.startDownload();
}

void UpdateDialog::onDownloadProgress(qint64 received, qint64 expected)
{
    const DownloadProgressText p = downloadProgressText(received, expected);
    m_lblFortschrittWert->setText(p.value);
    if (expected >= 1) {
        m_picProgress->setValue(static_cast<int>(std::min(p.ratio, 1.0) * 1000.0));
        m_lblProzent->setText(p.percent);
    }
}

void UpdateDialog::onDownloadFinished(const QString& result)
{
    if (result.isEmpty()) {
        m_cmdSetupStarten->setEnabled(true);
    } else if (result.startsWith(QLatin1String("Cancel"))) {
        resetProgress();
    } else if (!m_closed) {
        messageService().warning(this, windowTitle(),
            fill(QStringLiteral("Während des Downloads der Updatedatei ist ein Fehler aufgetreten: %1"),
                result));
    }
    m_lblProzent->hide();
    m_cmdDownload->setEnabled(true);
    m_cmdAbbrechen->setEnabled(false);
}

void UpdateDialog::cmdAbbrechen_Click() { m_controller.cancelDownload(); }

void UpdateDialog::cmdSetupStarten_Click()
{
    if (!messageService().okCancel(this, windowTitle(),
            QStringLiteral("Das Programm muss jetzt für die Installation des Updates "
                           "beendet werden.")))
        return;
    g_UpdateStarten = true;
    g_UpdateSetupDatei = m_controller.downloadFile();
    accept();
}

void UpdateDialog::cmdHomepage_Click()
{
    QString address = m_URL_Homepage;
    StartURL(address);
}

void UpdateDialog::writeSettings()
{
    const bool savePassword = m_chkPasswortSpeichern->isChecked();
    const std::pair<const char*, QString> values[] = {
        {"UseProxy", m_chkUseProxy->isChecked() ? QStringLiteral("1") : QStringLiteral("0")},
        {"ProxyName", m_txtProxyName->text()}, {"ProxyPort", m_txtProxyPort->text()},
        {"ProxyBenutzer", m_txtProxyBenutzername->text()},
        {"ProxyPWspeichern", savePassword ? QStringLiteral("1") : QStringLiteral("0")},
        {"ProxyPasswort", savePassword ? CryptIt(m_txtProxyPasswort->text(), true, kCryptKey) : QString()}};
    for (const auto& [key, value] : values) {
        if (!INISchreiben(kSection, QLatin1String(key), value, m_iniFile)) {
            m_hooks.error(QStringLiteral("Form_QueryUnload"), kModul, 20,
                QStringLiteral("Die Einstellungen können nicht in %1 gespeichert werden.").arg(m_iniFile));
            return;
        }
    }
}

void UpdateDialog::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        // A download that is cut off by closing leaves no file behind.
        m_controller.cancelDownload();
        writeSettings();
    }
    QDialog::done(result);
}

} // namespace foldersize
