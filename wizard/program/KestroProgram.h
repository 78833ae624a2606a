// KestroProgram.h: the program's parts wired together: every page in the main window's page table
// and every hook through which the engine, the pages and the exit routine reach the layers above.
#pragma once

#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/ui/connection/ConnectionTypePage.h"
#include "wizard/ui/pages/PageFrame.h"

#include <string>
#include <vector>

namespace wizard {

class ActionPrimitives;

// One per program start, made before KestroApp: while it lives, the main window knows every page
// of the script by its form name, the engine runs the transfer actions, the source path variables
// reach the drive map, Browse lists the network's computers, the connection checks open the
// troubleshooting dialogs, the exit routine disconnects the drive map's drives and the selection
// page reads the running machine. The program, its benches and its walk tests all start the wizard
// through startKestro, which makes one, so none of them can wire less or more than the program
// does. Going, it unregisters
// its pages and puts back every hook it found (a process may start the program more than once).
class KestroProgram {
public:
    KestroProgram();
    ~KestroProgram();
    KestroProgram(const KestroProgram&) = delete;
    KestroProgram& operator=(const KestroProgram&) = delete;

private:
    std::vector<std::string> m_pages;
    BarClickHandler m_previousBarHandler;
    ComputerBrowser m_previousBrowser;
    TroubleshootingPresenter m_previousPresenter;
    ActionPrimitives* m_previousPrimitives = nullptr;
    MappedDriveLookup m_previousDriveLookup;
    ExitStateReader m_previousExitReader = nullptr;
    SelectionSourcesProvider m_previousSources;
};

} // namespace wizard
