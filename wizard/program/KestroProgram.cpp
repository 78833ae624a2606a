// KestroProgram.cpp: the pages registered and the hooks installed for a start of the program.
#include "wizard/program/KestroProgram.h"

#include "wizard/core/ExitRoutine.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/WizardCore.h"
#include "wizard/selection/SelectionPageLogic.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/ui/connection/NetworkComputerBrowser.h"
#include "wizard/ui/connection/TroubleshootingDialogs.h"
#include "wizard/ui/core/KestroMain.h"
#include "wizard/ui/pages/MassPage.h"
#include "wizard/ui/pages/MigrationPages.h"
#include "wizard/ui/pages/RegisterPages.h"
#include "wizard/ui/selection/MigrationTypePage.h"

#include <algorithm>

namespace wizard {

KestroProgram::KestroProgram()
{
    const std::vector<std::string> before = KestroMain::registeredPages();
    // The script's pages, known to the main window by their form names before it starts.
    m_previousBarHandler = setBarClickHandler({});
    registerInformationPages();
    registerSelectionPages();
    registerConnectionPages();
    registerMigrationPages();
    registerMassPage();
    for (const std::string& form : KestroMain::registeredPages())
        if (std::find(before.begin(), before.end(), form) == before.end())
            m_pages.push_back(form);
    // The script actions reach the transfer primitives through the engine.
    m_previousPrimitives = installTransferActions();
    // The source path variables name the local drives the source drives are connected to.
    m_previousDriveLookup = setMappedDriveLookup(
        [](const std::string& drive) { return transferGlobals().driveMap.lookup(drive); });
    // Browse on the connection page lists the computers of the running machine's network.
    m_previousBrowser = setComputerBrowser(&Browse_Network_Computer);
    // The connection checks explain their failures in the troubleshooting dialogs.
    m_previousPresenter =
        setTroubleshootingPresenter([](const std::string& form) { Show_Troubleshooting_Dialog(form); });
    // The exit routine disconnects the local drives of the drive map.
    m_previousExitReader = setExitStateReader(&exitStateWithDriveMap);
    // The selection page reads the source PC's shares and its mirrored registry.
    m_previousSources = installMachineSelectionSources();
}

KestroProgram::~KestroProgram()
{
    setSelectionSources(std::move(m_previousSources));
    setExitStateReader(m_previousExitReader);
    setTroubleshootingPresenter(std::move(m_previousPresenter));
    setComputerBrowser(std::move(m_previousBrowser));
    setMappedDriveLookup(std::move(m_previousDriveLookup));
    core().engine.setPrimitives(m_previousPrimitives);
    for (const std::string& form : m_pages)
        KestroMain::unregisterPage(form);
    setBarClickHandler(std::move(m_previousBarHandler));
}

} // namespace wizard
