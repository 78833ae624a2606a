// main.cpp: build/bin/regedit, the registry editor of the machine named by WINENV_MACHINE.
#include "platform/Machine.h"
#include "platform/RegeditCommand.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    platform::Machine machine;
    std::string message;
    if (machine.openCurrent(&message) != platform::WinError::Success) {
        std::cerr << "regedit: " << message << "\n";
        return 1;
    }
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string errors;
    const int exitCode =
        platform::runRegedit(arguments, machine, platform::machinePathResolver(machine), errors);
    std::cerr << errors;
    return exitCode;
}
