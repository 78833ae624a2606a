// winbatch: runs a batch file on the emulated machine named by WINENV_MACHINE, the way a user
// runs "C:\KestroBatch\Temp.bat" on the source PC. Usage: winbatch FILE (a Windows path).
#include "platform/BatchRunner.h"
#include "platform/Machine.h"

#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: winbatch FILE\n"
                     "Runs the batch file FILE (a Windows path such as C:\\KestroBatch\\Temp.bat) on the\n"
                     "emulated machine named by WINENV_MACHINE.\n";
        return 2;
    }
    platform::Machine machine;
    std::string message;
    if (machine.openCurrent(&message) != platform::WinError::Success) {
        std::cerr << "winbatch: " << message << "\n";
        return 1;
    }
    platform::FileSystem files = machine.fileSystem();
    platform::BatchRunner runner(machine.folder(), files, std::cout, std::cerr);
    if (runner.runFile(argv[1]) != platform::WinError::Success)
        return 1;
    return runner.errorLevel() == 0 ? 0 : 1;
}
