// HttpTransfer.h: one HTTP GET through libcurl, advanced in bounded steps, with its body kept in
// memory or written to a file that only appears under its final name once it is complete.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace foldersize {

// The step of a request that failed; the names follow the classic request sequence
// (open the session, connect, open and send the request, read the status, read the body).
enum class TransferStage {
    None,        // no failure
    Open,        // the session could not be set up
    Connect,     // host or proxy not resolved, connection refused
    OpenRequest, // the address is not a usable URL
    SendRequest, // the request failed before a complete response header arrived
    QueryStatus, // the server answered with a status other than 200
    CreateFile,  // the target file could not be created
    Read,        // the connection failed while the body was read (also: closed early)
    Write,       // the target file could not be written
    Cancelled    // cancel() was called
};

enum class BodyMode { Memory, File, Discard };

struct TransferRequest {
    QString url; // complete URL (scheme, host, optional port, path and query)
    BodyMode mode = BodyMode::Memory;
    QString fileName;      // target in BodyMode::File
    bool useProxy = false; // false: direct, also ignoring proxy variables of the environment
    QString proxyName;     // proxy host
    QString proxyPort;     // as typed by the user; may be empty
    QString proxyUser;     // sent to the proxy when not empty
    QString proxyPassword;
    bool reload = false; // ask caches on the way for a fresh copy
    int connectTimeoutSeconds = 30;
    int stallTimeoutSeconds = 60; // give up when no byte arrives for this long
};

struct TransferOutcome {
    TransferStage stage = TransferStage::None; // None on success
    QString errorText;                         // "#" code " - " message; empty on success
    long status = 0;                           // HTTP status of the final response, 0 when none arrived
    QByteArray body;                           // BodyMode::Memory: the whole body
    qint64 received = 0;                       // body bytes received
    qint64 expectedLength = -1;                // Content-Length of the final response, -1 when not sent
    bool failed() const { return stage != TransferStage::None; }
};

// Usage: start(), then call step() until it returns false, then read outcome().
// In file mode the body goes to fileName + ".part"; only a complete body (status 200 and, when the
// server named a length, exactly that many bytes) is renamed to fileName, replacing an older file.
// Any failure or a cancel removes the partial file, so fileName never holds a truncated body.
class HttpTransfer {
public:
    HttpTransfer();
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;

    // Begins a request; false when it failed at once (outcome() then tells why). A running request
    // is abandoned first.
    bool start(const TransferRequest& request);
    // Waits at most waitMs for network activity and handles what arrived; true while the request
    // is still running.
    bool step(int waitMs);
    // Ends the running request at the next step(); the outcome becomes TransferStage::Cancelled.
    void cancel();

    bool running() const;
    qint64 received() const;
    qint64 expectedLength() const;
    const TransferOutcome& outcome() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

// "#" code " - " message, the form in which transfer errors are shown to the user.
QString transferErrorText(long code, const QString& message);

} // namespace foldersize
