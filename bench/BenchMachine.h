// BenchMachine.h: a Windows XP machine in a fresh temporary network, made the running machine, for
// the benchmarks that act on one.
#pragma once

#include "platform/Machine.h"
#include "platform/RunningMachine.h"

#include <cstdlib>
#include <filesystem>
#include <string>

namespace bench {

// Makes <tmp>/<prefix>-XXXXXX/benchpc and opens it as the running machine. Answers the network
// folder (the caller removes it), or an empty path when anything failed.
inline std::filesystem::path makeBenchMachine(const std::string& prefix, platform::Machine& machine)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data()))
        return {};
    const std::filesystem::path net = pattern;
    if (machine.create(net / "benchpc", platform::OsCode::WinXp) != platform::WinError::Success ||
        platform::RunningMachine::use(net / "benchpc") != platform::WinError::Success)
        return {};
    return net;
}

} // namespace bench
