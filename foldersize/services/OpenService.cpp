// OpenService.cpp: the desktop default of the open service.
#include "foldersize/services/OpenService.h"

#include <QDesktopServices>

namespace foldersize {

bool DesktopOpenService::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

} // namespace foldersize

template <> foldersize::OpenService& common::Service<foldersize::OpenService>::fallback()
{
    static foldersize::DesktopOpenService desktop;
    return desktop;
}
