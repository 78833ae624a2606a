// OpenService.cpp: the desktop default of the open service.
#include "foldersize/services/OpenService.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QDesktopServices>
#include <QFile>
#include <QVariantMap>

namespace foldersize {

bool DesktopOpenService::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

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
