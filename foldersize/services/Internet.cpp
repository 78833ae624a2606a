// Internet.cpp: GET into a file or a text, address helpers, browser and mail hand-offs.
#include "foldersize/services/Internet.h"

#include "foldersize/services/OpenService.h"
#include "foldersize/services/TransferDriver.h"
#include "foldersize/services/Windows1252.h"

#include <QEventLoop>
#include <QStringDecoder>

namespace foldersize {

QString g_UserAgent;

namespace {

bool startsWithScheme(const QString& address)
{
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

} // namespace

QString decodeServerText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromWindows1252(bytes);
}

QString transferStepName(TransferStage stage)
{
    switch (stage) {
    case TransferStage::Open: return QStringLiteral("InternetOpen");
    case TransferStage::Connect: return QStringLiteral("InternetConnect");
    case TransferStage::OpenRequest: return QStringLiteral("HttpOpenRequest");
    case TransferStage::SendRequest: return QStringLiteral("HttpSendRequest");
    case TransferStage::QueryStatus: return QStringLiteral("HttpQueryStatusCode");
    case TransferStage::CreateFile: return QStringLiteral("CreateFile");
    case TransferStage::Read: return QStringLiteral("InternetReadFile");
    case TransferStage::Write: return QStringLiteral("WriteFile");
    case TransferStage::Cancelled: return QStringLiteral("Cancel");
    case TransferStage::None: break;
    }
    return QString();
}

void SplitURL(QString& Address, QString& Path)
{
    if (Address.left(7) == QLatin1String("http://"))
        Address.remove(0, 7);
    const qsizetype slash = Address.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        Path = Address.mid(slash);
        Address.truncate(slash);
    }
}

QUrl requestUrl(const QString& address)
{
    QString text = address.trimmed();
    if (!startsWithScheme(text))
        text.prepend(QLatin1String("http://"));
    QUrl url(text, QUrl::TolerantMode);
    if (url.host().isEmpty())
        return QUrl();
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url;
}

DownloadResult DownloadFileToDiskOrString(const QString& URL, int ToDisk, const QString& FileName,
    bool UseProxy, const QString& ProxyName, const QString& ProxyPort)
{
    DownloadResult result;
    const QUrl url = requestUrl(URL);
    if (!url.isValid()) {
        result.Failed = true;
        result.Text = transferStepName(TransferStage::OpenRequest) + QStringLiteral(": ") +
            transferErrorText(3, QStringLiteral("Ungültige Adresse \"%1\"").arg(URL));
        return result;
    }

    TransferRequest request;
    request.url = QString::fromUtf8(url.toEncoded());
    request.mode = ToDisk == kToDiskFile ? BodyMode::File
        : ToDisk == kToDiskText          ? BodyMode::Memory
                                         : BodyMode::Discard;
    request.fileName = FileName;
    request.useProxy = UseProxy;
    request.proxyName = ProxyName;
    request.proxyPort = ProxyPort;

    TransferDriver driver;
    QEventLoop loop;
    TransferOutcome outcome;
    QObject::connect(&driver, &TransferDriver::finished, &loop, [&](const TransferOutcome& done) {
        outcome = done;
        loop.quit();
    });
    driver.start(request);
    loop.exec();

    if (outcome.failed()) {
        result.Failed = true;
        result.Text = outcome.stage == TransferStage::QueryStatus
            ? outcome.errorText
            : transferStepName(outcome.stage) + QStringLiteral(": ") + outcome.errorText;
    } else if (request.mode == BodyMode::Memory) {
        result.Text = decodeServerText(outcome.body);
    }
    return result;
}

void StartURL(QString& URL)
{
    if (!startsWithScheme(URL))
        URL.prepend(QLatin1String("http://"));
    openService().openUrl(QUrl(URL, QUrl::TolerantMode));
}

QUrl mailtoUrl(const QString& To, const QString& Subject, const QString& Body)
{
    QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(To, "@+") +
        "?Subject=" + QUrl::toPercentEncoding(Subject) + "&Body=" + QUrl::toPercentEncoding(Body);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

void SendEmail(const QString& To, const QString& Subject, const QString& Body)
{
    openService().openUrl(mailtoUrl(To, Subject, Body));
}

} // namespace foldersize
