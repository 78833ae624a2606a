// FileOpening.h: opening a file with its program, and the choice of program where it has none.
#pragma once

#include <QString>

class QWidget;

namespace foldersize {

// Opens a local file (or folder) with the program associated with its type. Without one, the
// desktop's own choice of program is offered; where the desktop has none (no desktop portal), a
// choice of the installed applications, and the file is opened with the one chosen. When no
// choice can be offered, or the program (associated or chosen) does not start, a message box says
// so. All of it goes through the open service and the message service.
void openWithItsProgram(QWidget* parent, const QString& path);

} // namespace foldersize
