// Internet.h: Tallymoor's network access and its hand-offs to the desktop: one GET whose body goes
// to a file or a text, address splitting, opening a web address and starting a new mail.
#pragma once

#include "foldersize/services/HttpTransfer.h"

#include <QString>
#include <QUrl>

namespace foldersize {

// Agent text sent with requests; empty, so no agent header is sent.
extern QString g_UserAgent;

struct DownloadResult {
    bool Failed = false; // true when a step failed
    QString Text;        // text mode: the body; on failure: the message; file mode: empty
};

// ToDisk values of DownloadFileToDiskOrString.
constexpr int kToDiskFile = -1;
constexpr int kToDiskText = 0;

// One GET of URL (host and path, "http://" optional, a ":port" after the host is honoured).
// ToDisk -1 writes the body to FileName, 0 returns it in Text (UTF-8, or Windows-1252 when the body
// is not valid UTF-8), any other value makes the request without keeping the body.
// Waits for the answer in a local event loop, so the window stays alive meanwhile.
// Failure texts: "<Step>: #code - message" with Step one of InternetOpen, InternetConnect,
// HttpOpenRequest, HttpSendRequest, CreateFile, InternetReadFile, WriteFile; a status other than
// 200 gives "HttpQueryStatusCode: " and the status, and no file.
DownloadResult DownloadFileToDiskOrString(const QString& URL, int ToDisk, const QString& FileName,
    bool UseProxy, const QString& ProxyName, const QString& ProxyPort);

// The name of a failed step as it begins a DownloadResult failure text ("HttpSendRequest" ...).
QString transferStepName(TransferStage stage);

// Splits an address: a leading "http://" (exact case) is removed; Path receives "/" and the rest
// from the first "/"; Address keeps the host. Without a "/" both stay as they are.
void SplitURL(QString& Address, QString& Path);

// The request URL for an address as the program's callers write it (host and path, scheme
// optional). Characters that a URL cannot hold (spaces, umlauts) are percent-encoded.
// Invalid when the address names no host.
QUrl requestUrl(const QString& address);

// Opens a web address in the default browser; "http://" is put in front (changing URL) unless the
// address already starts with "http://" or "https://" in any letter case.
void StartURL(QString& URL);

// The mailto address for a new message, with every part percent-encoded.
QUrl mailtoUrl(const QString& To, const QString& Subject, const QString& Body);
// Opens the mail program with a new message to To.
void SendEmail(const QString& To, const QString& Subject, const QString& Body);

// Body bytes as text: UTF-8 when they are valid UTF-8, otherwise Windows-1252.
QString decodeServerText(const QByteArray& bytes);

} // namespace foldersize
