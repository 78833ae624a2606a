// HttpTransfer.cpp: libcurl multi-interface request that a caller advances step by step.
#include "foldersize/services/HttpTransfer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <curl/curl.h>

#include <mutex>

namespace foldersize {

namespace {

void initCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

TransferStage stageOfCurlError(CURLcode code, bool headersComplete)
{
    switch (code) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL: return TransferStage::OpenRequest;
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT: return TransferStage::Connect;
    default: return headersComplete ? TransferStage::Read : TransferStage::SendRequest;
    }
}

} // namespace

QString transferErrorText(long code, const QString& message)
{
    return QStringLiteral("#%1 - %2").arg(code).arg(message);
}

struct HttpTransfer::Impl {
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    bool active = false;
    bool cancelRequested = false;
    bool headersComplete = false;
    char errorBuffer[CURL_ERROR_SIZE] = {};
    TransferRequest request;
    TransferOutcome outcome;
    QFile partFile;
    // Set by the write callback when it aborts the transfer on purpose.
    TransferStage abortStage = TransferStage::None;
    QString abortText;

    ~Impl()
    {
        release();
        if (multi)
            curl_multi_cleanup(multi);
    }

    QString partName() const { return request.fileName + QStringLiteral(".part"); }

    void release()
    {
        if (easy) {
            if (multi)
                curl_multi_remove_handle(multi, easy);
            curl_easy_cleanup(easy);
            easy = nullptr;
        }
        active = false;
    }

    void discardPartFile()
    {
        if (partFile.isOpen())
            partFile.close();
        if (request.mode == BodyMode::File)
            QFile::remove(partName());
    }

    void fail(TransferStage stage, const QString& text)
    {
        outcome.stage = stage;
        outcome.errorText = text;
        if (request.mode == BodyMode::Memory)
            outcome.body.clear();
        discardPartFile();
        release();
    }

    long currentStatus() const
    {
        long status = 0;
        if (easy)
            curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
        return status;
    }

    // Called once the final response's header is known (first body bytes, or the end of an
    // empty body): checks the status and opens the target file.
    bool beginBody()
    {
        outcome.status = currentStatus();
        curl_off_t length = -1;
        curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        outcome.expectedLength = length;
        if (outcome.status != 200) {
            abortStage = TransferStage::QueryStatus;
            abortText = QStringLiteral("HttpQueryStatusCode: %1").arg(outcome.status);
            return false;
        }
        if (request.mode == BodyMode::File) {
            const QFileInfo info(request.fileName);
            QDir().mkpath(info.absolutePath());
            partFile.setFileName(partName());
            if (!partFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                abortStage = TransferStage::CreateFile;
                abortText = transferErrorText(partFile.error(), partFile.errorString());
                return false;
            }
        }
        return true;
    }

    bool bodyStarted = false;

    size_t write(const char* data, size_t size)
    {
        if (cancelRequested) {
            abortStage = TransferStage::Cancelled;
            return 0;
        }
        if (!bodyStarted) {
            bodyStarted = true;
            if (!beginBody())
                return 0;
        }
        switch (request.mode) {
        case BodyMode::Memory: outcome.body.append(data, static_cast<qsizetype>(size)); break;
        case BodyMode::File:
            if (partFile.write(data, static_cast<qint64>(size)) != static_cast<qint64>(size)) {
                abortStage = TransferStage::Write;
                abortText = transferErrorText(partFile.error(), partFile.errorString());
                return 0;
            }
            break;
        case BodyMode::Discard: break;
        }
        outcome.received += static_cast<qint64>(size);
        return size;
    }

    static size_t writeCallback(char* data, size_t size, size_t count, void* self)
    {
        return static_cast<Impl*>(self)->write(data, size * count);
    }

    static size_t headerCallback(char* data, size_t size, size_t count, void* self)
    {
        auto* impl = static_cast<Impl*>(self);
        const size_t bytes = size * count;
        // The empty line ends a header block; with redirects several blocks arrive.
        if (bytes <= 2 && (bytes == 0 || data[0] == '\r' || data[0] == '\n'))
            impl->headersComplete = true;
        return bytes;
    }

    void finish(CURLcode code)
    {
        if (code == CURLE_OK) {
            if (!bodyStarted) {
                bodyStarted = true;
                if (!beginBody()) {
                    fail(abortStage, abortText);
                    return;
                }
            }
            if (outcome.expectedLength >= 0 && outcome.received != outcome.expectedLength) {
                fail(TransferStage::Read,
                    transferErrorText(CURLE_PARTIAL_FILE,
                        QStringLiteral("%1 von %2 Bytes empfangen")
                            .arg(outcome.received)
                            .arg(outcome.expectedLength)));
                return;
            }
            if (request.mode == BodyMode::File) {
                if (!partFile.flush()) {
                    fail(TransferStage::Write, transferErrorText(partFile.error(), partFile.errorString()));
                    return;
                }
                partFile.close();
                QFile::remove(request.fileName);
                if (!QFile::rename(partName(), request.fileName)) {
                    fail(TransferStage::Write,
                        transferErrorText(QFileDevice::RenameError,
                            QStringLiteral("Die Datei %1 kann nicht angelegt werden.")
                                .arg(request.fileName)));
                    return;
                }
            }
            release();
            return;
        }
        if (code == CURLE_WRITE_ERROR && abortStage != TransferStage::None) {
            fail(abortStage, abortStage == TransferStage::Cancelled ? QString() : abortText);
            return;
        }
        const QString message = errorBuffer[0] ? QString::fromLocal8Bit(errorBuffer)
                                               : QString::fromUtf8(curl_easy_strerror(code));
        outcome.status = currentStatus();
        fail(stageOfCurlError(code, headersComplete), transferErrorText(code, message));
    }
};

HttpTransfer::HttpTransfer()
    : d(std::make_unique<Impl>())
{}

HttpTransfer::~HttpTransfer()
{
    if (d->active)
        d->discardPartFile();
}

bool HttpTransfer::start(const TransferRequest& request)
{
    initCurlOnce();
    if (d->active) {
        d->discardPartFile();
        d->release();
    }
    d->request = request;
    d->outcome = TransferOutcome{};
    d->cancelRequested = false;
    d->headersComplete = false;
    d->bodyStarted = false;
    d->abortStage = TransferStage::None;
    d->abortText.clear();
    d->errorBuffer[0] = '\0';

    if (!d->multi)
        d->multi = curl_multi_init();
    d->easy = curl_easy_init();
    if (!d->multi || !d->easy) {
        d->fail(TransferStage::Open,
            transferErrorText(CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT))));
        return false;
    }
    if (request.mode == BodyMode::File && request.fileName.isEmpty()) {
        d->fail(TransferStage::CreateFile,
            transferErrorText(QFileDevice::OpenError, QStringLiteral("Kein Dateiname angegeben.")));
        return false;
    }

    CURL* easy = d->easy;
    const QByteArray url = request.url.toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, url.constData());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, d->errorBuffer);
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, static_cast<long>(request.connectTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, static_cast<long>(request.stallTimeoutSeconds));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::writeCallback);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, d.get());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::headerCallback);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, d.get());
    if (request.reload)
        curl_easy_setopt(easy, CURLOPT_FRESH_CONNECT, 1L);

    if (request.useProxy) {
        // The proxy text is name ":" port, as the user typed both.
        const QByteArray proxy = (request.proxyName + QLatin1Char(':') + request.proxyPort).toUtf8();
        if (curl_easy_setopt(easy, CURLOPT_PROXY, proxy.constData()) != CURLE_OK) {
            d->fail(TransferStage::Open,
                transferErrorText(
                    CURLE_BAD_FUNCTION_ARGUMENT, QStringLiteral("Proxy %1").arg(QString::fromUtf8(proxy))));
            return false;
        }
        if (!request.proxyUser.isEmpty()) {
            curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, request.proxyUser.toUtf8().constData());
            curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, request.proxyPassword.toUtf8().constData());
        }
    } else {
        // Direct means direct: an empty proxy also disables http_proxy and friends.
        curl_easy_setopt(easy, CURLOPT_PROXY, "");
    }

    if (curl_multi_add_handle(d->multi, easy) != CURLM_OK) {
        d->fail(TransferStage::Open,
            transferErrorText(CURLE_FAILED_INIT, QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT))));
        return false;
    }
    d->active = true;
    return true;
}

bool HttpTransfer::step(int waitMs)
{
    if (!d->active)
        return false;
    if (d->cancelRequested) {
        d->fail(TransferStage::Cancelled, QString());
        return false;
    }
    curl_multi_poll(d->multi, nullptr, 0, waitMs < 0 ? 0 : waitMs, nullptr);
    int stillRunning = 0;
    const CURLMcode rc = curl_multi_perform(d->multi, &stillRunning);
    if (rc != CURLM_OK) {
        d->fail(
            TransferStage::SendRequest, transferErrorText(rc, QString::fromUtf8(curl_multi_strerror(rc))));
        return false;
    }
    int queued = 0;
    while (CURLMsg* msg = curl_multi_info_read(d->multi, &queued)) {
        if (msg->msg == CURLMSG_DONE && msg->easy_handle == d->easy) {
            d->finish(msg->data.result);
            return false;
        }
    }
    return d->active;
}

void HttpTransfer::cancel()
{
    if (d->active)
        d->cancelRequested = true;
}

bool HttpTransfer::running() const { return d->active; }
qint64 HttpTransfer::received() const { return d->outcome.received; }
qint64 HttpTransfer::expectedLength() const { return d->outcome.expectedLength; }
const TransferOutcome& HttpTransfer::outcome() const { return d->outcome; }

} // namespace foldersize
