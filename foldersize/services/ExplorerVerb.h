// ExplorerVerb.h: the file managers' "open in Tallymoor" entry for folders: a per-user desktop
// entry for inode/directory. It is never made the default handler for folders.
#pragma once

#include <QString>

namespace foldersize {

// <XDG_DATA_HOME>/applications/tallymoor-folder.desktop
QString explorerVerbFile();

// Aktiv 1 writes the entry (starting `executable` with the folder); any other value deletes it.
// A missing entry is no failure. Returns false when the entry could not be written or deleted.
bool KontextmenuRegistrieren(int aktiv, const QString& executable);

// Exec= value for a program path, quoted by the desktop-entry rules, followed by " %f".
QString desktopExecLine(const QString& executable);

} // namespace foldersize
