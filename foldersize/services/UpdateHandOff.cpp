// UpdateHandOff.cpp: the pending-setup values and their start on closing.
#include "foldersize/services/UpdateHandOff.h"

#include "foldersize/services/OpenService.h"

#include <QFileInfo>
#include <QUrl>

namespace foldersize {

bool g_UpdateStarten = false;
QString g_UpdateSetupDatei;

bool startPendingSetup()
{
    if (!g_UpdateStarten || g_UpdateSetupDatei.isEmpty() || !QFileInfo::exists(g_UpdateSetupDatei))
        return false;
    return openService().openUrl(QUrl::fromLocalFile(g_UpdateSetupDatei));
}

} // namespace foldersize
