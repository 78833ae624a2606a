// QtShellService.h: the shell's "open" verb through QDesktopServices.
#pragma once

#include "platform/ShellOpen.h"

namespace platform::qt {

// Web and mail addresses go to QDesktopServices::openUrl; an address beginning "www." is
// opened as http. Files of the running machine are handed to `fileOpener` when one is set
// (the process runner starts programs there); without one they are not found.
class QtShellService : public ShellService {
public:
    using FileOpener = int (*)(const std::string& target, const std::string& parameters);
    explicit QtShellService(FileOpener fileOpener = nullptr) : m_fileOpener(fileOpener) {}

    int open(const std::string& target, const std::string& parameters) override;

private:
    FileOpener m_fileOpener;
};

} // namespace platform::qt
