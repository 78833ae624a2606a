// OpenService.cpp: the desktop default of the open service.
#include "foldersize/services/OpenService.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QVariantMap>

namespace foldersize {

bool DesktopOpenService::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

OpenService::FileOpen DesktopOpenService::openFile(const QString& path)
{
    // gio starts the file's program and ends at once; a failure means that no program is
    // associated with the type (or the associated one cannot start): the user then chooses one.
    const QString gio = QStandardPaths::findExecutable(QStringLiteral("gio"));
    if (gio.isEmpty())
        return OpenService::openFile(path);
    QProcess p;
    // The program gio starts inherits these, so they must outlive gio: ours, not pipes.
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(gio, {QStringLiteral("open"), QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)});
    if (!p.waitForFinished(10000)) {
        p.kill();
        p.waitForFinished();
        return FileOpen::Failed;
    }
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0 ? FileOpen::Opened
                                                                       : FileOpen::NoProgram;
}

bool DesktopOpenService::chooseProgram(const QString& path)
{
    // The desktop portal's OpenFile with "ask" shows the desktop's own choice of program.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const QDBusUnixFileDescriptor file(fd);
    ::close(fd); // the descriptor object holds its own copy
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"), QStringLiteral("org.freedesktop.portal.OpenURI"),
        QStringLiteral("OpenFile"));
    QVariantMap options;
    options.insert(QStringLiteral("ask"), true);
    call << QString() << QVariant::fromValue(file) << options;
    const QDBusMessage reply = bus.call(call, QDBus::Block, 10000);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace foldersize

template <> foldersize::OpenService& common::Service<foldersize::OpenService>::fallback()
{
    static foldersize::DesktopOpenService desktop;
    return desktop;
}
