// OpenService.cpp: the desktop default of the open service and the replaceable instance.
#include "foldersize/services/OpenService.h"

#include <QDesktopServices>

namespace foldersize {

namespace {
OpenService* g_replacement = nullptr;
}

bool DesktopOpenService::openUrl(const QUrl& url) { return QDesktopServices::openUrl(url); }

OpenService& openService()
{
    static DesktopOpenService desktop;
    return g_replacement ? *g_replacement : desktop;
}

void setOpenService(OpenService* service) { g_replacement = service; }

} // namespace foldersize
