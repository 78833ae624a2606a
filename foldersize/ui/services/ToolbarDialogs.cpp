// ToolbarDialogs.cpp: modal showing of the options, about and update dialogs.
#include "foldersize/ui/services/ToolbarDialogs.h"

#include "foldersize/services/Internet.h"
#include "foldersize/services/ProgramPaths.h"
#include "foldersize/services/TallymoorAddresses.h"
#include "foldersize/services/UpdateHandOff.h"
#include "foldersize/ui/services/AboutDialog.h"
#include "foldersize/ui/services/OptionsDialog.h"
#include "foldersize/ui/services/UpdateDialog.h"

namespace foldersize {

void OptionenZeigen(QWidget* parent, const QString& iniFile, const DialogHooks& hooks)
{
    OptionsDialog dialog(iniFile, hooks, parent);
    dialog.exec();
}

void InfoZeigen(QWidget* parent, const ProgramVersion& version, const DialogHooks& hooks)
{
    AboutDialog dialog(
        version.major, version.minor, version.revision, AboutDialog::defaultTexts(), hooks, parent);
    dialog.exec();
}

void HomepageZeigen()
{
    QString address =
        QLatin1String(addresses::kScheme) + QStringLiteral("://") + QLatin1String(addresses::kWebHost);
    StartURL(address);
}

QString updateSetupPath() { return downloadFolder() + QStringLiteral("Update.exe"); }

bool InternetUpdateZeigen(QWidget* parent, const QString& progName, const ProgramVersion& version,
    const QString& versionText, const QString& iniFile, const DialogHooks& hooks)
{
    UpdateDialog dialog(version, versionText, iniFile, updateSetupPath(), hooks, parent);
    dialog.m_ProgName = progName;
    dialog.m_ProgVersion = versionText;
    dialog.useConfiguredAddresses();
    dialog.exec();
    return g_UpdateStarten;
}

} // namespace foldersize
