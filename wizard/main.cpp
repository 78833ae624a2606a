// main.cpp: the Kestro program: the Qt application, the platform's UI services and the start-up.
#include "platform/MessageBox.h"
#include "platform/RunningMachine.h"
#include "platform/qt/QtServices.h"
#include "wizard/connection/ConnectionTypePage.h"
#include "wizard/connection/NetworkComputerBrowser.h"
#include "wizard/connection/TroubleshootingDialogs.h"
#include "wizard/connection/TroubleshootingHook.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ExitRoutine.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/KestroApp.h"
#include "wizard/pages/MassPage.h"
#include "wizard/pages/MigrationPages.h"
#include "wizard/pages/RegisterPages.h"
#include "wizard/selection/ApplicationSettingsPage.h"
#include "wizard/selection/MigrationTypePage.h"
#include "wizard/transfer/TransferActions.h"
#include "wizard/transfer/TransferGlobals.h"

#include <QApplication>

#include <exception>
#include <iostream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kestro");
    platform::setApplicationTitle("Kestro");
    platform::qt::installQtServices();

    // The wizard runs on the machine WINENV_MACHINE names. Without a screen (the offscreen and
    // minimal platforms) nobody could answer a box: the reason goes to standard error alone.
    const QString screen = QGuiApplication::platformName();
    if (!wizard::openStartMachine(screen != "offscreen" && screen != "minimal"))
        return 2;
    platform::RunningMachine& machine = *platform::RunningMachine::current();

    try {
        wizard::StartOptions options;
        options.appPath = wizard::installedAppPath();
        options.machineFolder = machine.folder();
        // The script's pages, known to the main window by their form names before it starts.
        wizard::registerInformationPages();
        wizard::registerSelectionPages();
        wizard::registerConnectionPages();
        wizard::registerMigrationPages();
        wizard::registerMassPage();
        wizard::KestroApp kestro(std::move(options));
        // The script actions reach the transfer primitives through the engine.
        wizard::installTransferActions();
        // The source path variables name the local drives the source drives are connected to.
        wizard::setMappedDriveLookup(
            [](const std::string& drive) { return wizard::transferGlobals().driveMap.lookup(drive); });
        // Browse on the connection page lists the computers of the running machine's network.
        wizard::setComputerBrowser(&wizard::Browse_Network_Computer);
        // The connection checks explain their failures in the troubleshooting dialogs.
        wizard::setTroubleshootingPresenter(
            [](const std::string& form) { wizard::Show_Troubleshooting_Dialog(form); });
        // The exit routine disconnects the local drives of the drive map.
        wizard::setExitStateReader(&wizard::exitStateWithDriveMap);
        // The selection page reads the source PC's shares and its mirrored registry.
        wizard::installMachineSelectionSources();
        return kestro.run(app);
    } catch (const std::exception& e) {
        std::cerr << "kestro: " << e.what() << "\n";
        return 3;
    }
}
