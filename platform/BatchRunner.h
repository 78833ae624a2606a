// BatchRunner.h: runs a batch file on an emulated machine with the commands the wizard's batch
// file uses: "@" (no echo), "echo" (on, off, text), "rem", "cls", "md"/"mkdir", "copy" and
// programs ("regedit", "cacls", ...) started through the process runner.
#pragma once

#include "platform/FileSystem.h"
#include "platform/WinError.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>

namespace platform {

class BatchRunner {
public:
    // The environment variable that carries the nesting depth of batch files to child processes,
    // and the deepest nesting run.
    static constexpr const char* kNestingVariable = "WINBATCH_DEPTH";
    static constexpr int kMaxNesting = 32;

    // Runs on the machine in `machineFolder`, reaching its files through `files`; what the
    // commands print goes to `out`, their complaints to `err`.
    BatchRunner(std::filesystem::path machineFolder, FileSystem& files, std::ostream& out, std::ostream& err);

    // Runs the batch file at a Windows path; its folder is the current folder. FileNotFound or
    // PathNotFound when the file cannot be read (nothing runs); Success once every line ran,
    // whatever the commands gave (an unknown or failing command is reported and the batch goes on).
    WinError runFile(std::string_view windowsPath);

    // Runs batch text (UTF-8, lines ended by CR LF or LF) in the current folder `currentFolder`.
    void runText(std::string_view text, std::string_view currentFolder);

    // The exit code of the last command (0 after success), as ERRORLEVEL holds it.
    int errorLevel() const { return m_errorLevel; }

    // A path of a command made absolute against the current folder ("x.reg", "\x", "C:x").
    std::string absolutePath(std::string_view path) const;

private:
    void runLine(std::string_view line);
    void echoCommand(std::string_view rest);
    void makeFolder(std::string_view rest);
    void copy(std::string_view rest);
    void startProgram(std::string_view line, const std::string& name);

    std::filesystem::path m_machine;
    FileSystem& m_files;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_currentFolder = "C:\\";
    bool m_echo = true;
    int m_errorLevel = 0;
};

} // namespace platform
