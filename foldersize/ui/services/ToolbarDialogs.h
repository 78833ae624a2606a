// ToolbarDialogs.h: what the main window's toolbar buttons "optionen", "info", "homepage" and
// "iupdate" do: each dialog is made afresh, shown modally and gone when it closes.
#pragma once

#include "foldersize/services/UpdateCheck.h"
#include "foldersize/ui/services/DialogHooks.h"

#include <QString>

class QWidget;

namespace foldersize {

// The options dialog on iniFile. Afterwards the caller re-reads the two display options.
void OptionenZeigen(QWidget* parent, const QString& iniFile, const DialogHooks& hooks);

// The about box for the running version.
void InfoZeigen(QWidget* parent, const ProgramVersion& version, const DialogHooks& hooks);

// The maker's home page in the browser.
void HomepageZeigen();

// The update dialog with the configured addresses; the setup is downloaded to the cache folder.
// Returns true when the user chose to install the update: the main window then closes itself and
// its close sequence calls startPendingSetup().
bool InternetUpdateZeigen(QWidget* parent, const QString& progName, const ProgramVersion& version,
    const QString& versionText, const QString& iniFile, const DialogHooks& hooks);

// Where a downloaded setup is kept: "Update.exe" in the user's cache folder for the program.
QString updateSetupPath();

} // namespace foldersize
