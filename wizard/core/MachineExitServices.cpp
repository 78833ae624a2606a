// MachineExitServices.cpp: the exit routine's services on the machine the wizard runs on.
#include "wizard/core/ExitRoutine.h"

#include "wizard/core/CoreFiles.h"

namespace wizard {

namespace {

class MachineExitServices : public ExitServices {
public:
    bool folderExists(const std::string&) override { return false; }
    bool deleteFolder(const std::string&) override { return false; }
    bool fileExists(const std::string& path) override { return machineFiles().fileExists(path); }
    bool deleteFile(const std::string& path) override { return machineFiles().removeFile(path); }
    bool cancelConnection(const std::string&) override { return false; }
    bool importRegistryFile(const std::string&) override { return false; }
    bool restartMachine() override { return false; }
};

} // namespace

ExitServices& defaultExitServices()
{
    static MachineExitServices services;
    return services;
}

} // namespace wizard
