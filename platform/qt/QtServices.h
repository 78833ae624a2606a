// QtServices.h: installs the Qt defaults of the UI services (message box, help, shell open,
// event pump) and the F1 help key; called once by a program's main after QApplication exists.
#pragma once

namespace platform::qt {

void installQtServices();

} // namespace platform::qt
