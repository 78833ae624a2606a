// ProgramPaths.h: where Tallymoor keeps its files on the host: the INI file in the user's
// configuration folder, error.log in the user's data folder, downloads in the cache folder.
#pragma once

#include <QString>

namespace foldersize {

// "Tallymoor": program name, prefix of the single-copy lock and socket names.
QString programName();

// <config>/Tallymoor/Tallymoor.ini (XDG_CONFIG_HOME or ~/.config).
QString iniFilePath();

// <data>/Tallymoor/ (XDG_DATA_HOME or ~/.local/share), with a trailing "/"; error.log lives here.
QString errorLogFolder();

// <cache>/Tallymoor/ (XDG_CACHE_HOME or ~/.cache), with a trailing "/"; downloaded updates.
QString downloadFolder();

// The user's runtime folder (XDG_RUNTIME_DIR), where the running copy keeps its marker, lock and
// socket. Without one (su, runuser, cron, ssh), a folder of the user's own in the temporary folder,
// "runtime-" and the user name, made private; "" when not even that can be had. Says nothing on
// standard error, which scripts take for a failure.
QString runtimeFolder();

} // namespace foldersize
