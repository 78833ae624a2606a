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

} // namespace foldersize
