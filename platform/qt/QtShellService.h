// QtShellService.h: the shell's "open" verb through QDesktopServices.
#pragma once

#include "platform/ShellOpen.h"

namespace platform::qt {

// Web and mail addresses go to QDesktopServices::openUrl; an address beginning "www." is
// opened as http. Any other target is a Windows path of the running machine: handed to
// `fileOpener` when one is set; otherwise a missing file gives 2, a program our process runner
// knows (regedit, a batch file ...) is started with `parameters`, another program gives 11 (the
// layer cannot run it), and a document opens in the desktop's viewer for its type.
class QtShellService : public ShellService {
public:
    using FileOpener = int (*)(const std::string& target, const std::string& parameters);
    explicit QtShellService(FileOpener fileOpener = nullptr)
        : m_fileOpener(fileOpener)
    {}

    int open(const std::string& target, const std::string& parameters) override;

private:
    FileOpener m_fileOpener;
};

} // namespace platform::qt
