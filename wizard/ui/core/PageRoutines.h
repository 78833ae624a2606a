// PageRoutines.h: opening and closing a dialog or the busy window on behalf of the rules.
#pragma once

class QWidget;

namespace wizard {

class KestroMain;
class ProgramEndHandler;

// The end of the program for a Qt program: ends every running event loop, nested ones (modal
// dialogs) included, so that the code that ran them unwinds; windows are destroyed only after
// control is back in main().
ProgramEndHandler& qtProgramEnd();

// The main window that owns the dialogs (set by start-up; nullptr before).
KestroMain* mainWindow();
KestroMain* setMainWindow(KestroMain* main); // answers the one it replaces

// Shows `form` owned by the main window. Modal: beeps, blocks the main window and returns when
// the form has been closed (or at once when the program is ending). Modeless: returns at once.
// Always true.
bool Open_A_Form(QWidget* form, bool modal);
// Closes `form` (its close handlers run) and destroys it once control is back in the event loop;
// callers drop their pointer to it. Always true.
bool Close_A_Form(QWidget* form);

} // namespace wizard
