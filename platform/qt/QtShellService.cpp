// QtShellService.cpp: opens addresses with the desktop's handlers.
#include "QtShellService.h"

#include <QDesktopServices>
#include <QUrl>

namespace platform::qt {

int QtShellService::open(const std::string& target, const std::string& parameters) {
    if (isUrlTarget(target)) {
        QString text = QString::fromStdString(target);
        if (text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
            text.prepend(QStringLiteral("http://"));
        const QUrl url(text, QUrl::TolerantMode);
        if (!url.isValid())
            return kShellFileNotFound;
        return QDesktopServices::openUrl(url) ? kShellOpened : kShellNoAssociation;
    }
    if (m_fileOpener)
        return m_fileOpener(target, parameters);
    return kShellFileNotFound;
}

} // namespace platform::qt
