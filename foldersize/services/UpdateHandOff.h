// UpdateHandOff.h: the way back from the update dialog to the main window: whether the downloaded
// setup is to be started when the main window closes, and which file that is.
#pragma once

#include <QString>

namespace foldersize {

// True once the user chose to install a downloaded update.
extern bool g_UpdateStarten;
// The downloaded setup to start.
extern QString g_UpdateSetupDatei;

// Part of the main window's close sequence: when an update is pending, opens the setup with the
// shell's open verb (OpenService). The setup's command-line switches cannot travel through the
// open verb. Returns true when a setup was handed to the desktop.
bool startPendingSetup();

} // namespace foldersize
