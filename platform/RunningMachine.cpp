// RunningMachine.cpp: the one open machine of a program run.
#include "platform/RunningMachine.h"

#include <optional>
#include <utility>

namespace platform {
namespace {

std::unique_ptr<RunningMachine>& slot()
{
    static std::unique_ptr<RunningMachine> machine;
    return machine;
}

} // namespace

RunningMachine::RunningMachine(Machine machine, std::unique_ptr<Registry> registry)
    : m_machine(std::move(machine))
    , m_files(m_machine.fileSystem())
    , m_registry(std::move(registry))
    , m_network(std::filesystem::absolute(m_machine.folder()), m_machine.config())
{}

WinError RunningMachine::openFolder(
    const std::filesystem::path* folder, std::string* message, MissingRegistry missing)
{
    Machine machine;
    const WinError opened =
        folder ? machine.open(*folder, message, missing) : machine.openCurrentOrDefault(message);
    if (opened != WinError::Success)
        return opened;
    auto registry = std::make_unique<Registry>();
    const WinError e = registry->open(machine.registryPath(), Registry::OpenMode::OpenExisting);
    if (e != WinError::Success) {
        if (message)
            *message = machine.registryPath().string() + ": the registry cannot be opened";
        return e;
    }
    slot().reset(new RunningMachine(std::move(machine), std::move(registry)));
    return WinError::Success;
}

WinError RunningMachine::open(std::string* message)
{
    if (slot())
        return WinError::Success;
    return openFolder(nullptr, message, MissingRegistry::Create);
}

WinError RunningMachine::use(
    const std::filesystem::path& folder, std::string* message, MissingRegistry missing)
{
    return openFolder(&folder, message, missing);
}

void RunningMachine::close() { slot().reset(); }

UnfinishedRunsRemoved RunningMachine::beginRecordedRun()
{
    UnfinishedRunsRemoved removed = removeUnfinishedRuns(folder(), m_network);
    RunRecord::start(folder());
    return removed;
}

RunningMachine* RunningMachine::current()
{
    if (!slot())
        open();
    return slot().get();
}

} // namespace platform
