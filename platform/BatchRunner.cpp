// BatchRunner.cpp: line by line execution of batch files on an emulated machine.
#include "platform/BatchRunner.h"

#include <cstdlib>

#include "common/Text.h"
#include "platform/CommandLine.h"
#include "platform/ProcessRunner.h"

namespace platform {
namespace {

using common::trimmed;
using common::trimmedLeft;

bool isSwitch(const std::string& arg) { return arg.size() >= 2 && arg[0] == '/'; }

std::string fileNameOf(std::string_view path)
{
    const auto slash = path.find_last_of("\\/:");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

} // namespace

BatchRunner::BatchRunner(
    std::filesystem::path machineFolder, FileSystem& files, std::ostream& out, std::ostream& err)
    : m_machine(std::move(machineFolder))
    , m_files(files)
    , m_out(out)
    , m_err(err)
{}

std::string BatchRunner::absolutePath(std::string_view path) const
{
    if (path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/'))
        return std::string(path);
    if (path.size() >= 2 && common::isAsciiLetter(path[0]) && path[1] == ':') {
        if (path.size() >= 3 && (path[2] == '\\' || path[2] == '/'))
            return std::string(path);
        // "C:x": relative to the drive's root, the only folder we track per drive.
        return std::string(path.substr(0, 2)) + "\\" + std::string(path.substr(2));
    }
    if (!path.empty() && (path[0] == '\\' || path[0] == '/'))
        return m_currentFolder.substr(0, 2) + std::string(path);
    std::string base = m_currentFolder;
    if (!base.empty() && base.back() != '\\')
        base += '\\';
    return base + std::string(path);
}

WinError BatchRunner::runFile(std::string_view windowsPath)
{
    const std::string path = absolutePath(windowsPath);
    // Batch files that start batch files (themselves, say) nest as processes: bound the depth as
    // a command interpreter bounds its recursion. Children inherit the depth through the
    // environment.
    const char* inherited = std::getenv(kNestingVariable);
    const int depth = inherited ? std::atoi(inherited) : 0;
    if (depth >= kMaxNesting) {
        m_err << "Batch files nest too deeply (" << kMaxNesting << " levels): " << path << " is not run.\n";
        m_errorLevel = 1;
        return WinError::NotEnoughMemory;
    }
    const std::string previous = inherited ? inherited : "";
    ::setenv(kNestingVariable, std::to_string(depth + 1).c_str(), 1);
    struct Restore {
        const char* name;
        std::string value;
        bool had;
        ~Restore() { had ? ::setenv(name, value.c_str(), 1) : ::unsetenv(name); }
    } restore{kNestingVariable, previous, inherited != nullptr};
    std::string text;
    const FsError e = m_files.readText(path, text);
    if (e != FsError::None) {
        m_err << "The system cannot find the file specified: " << path << "\n";
        return e == FsError::PathNotFound ? WinError::PathNotFound : WinError::FileNotFound;
    }
    const auto slash = path.find_last_of('\\');
    std::string folder = path.substr(0, slash == std::string::npos ? 0 : slash);
    if (folder.size() == 2)
        folder += '\\';
    runText(text, folder);
    return WinError::Success;
}

void BatchRunner::runText(std::string_view text, std::string_view currentFolder)
{
    m_currentFolder = std::string(currentFolder);
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        runLine(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
}

void BatchRunner::runLine(std::string_view raw)
{
    std::string_view line = trimmedLeft(raw);
    bool quiet = false;
    while (!line.empty() && line.front() == '@') {
        quiet = true;
        line = trimmedLeft(line.substr(1));
    }
    if (trimmed(line).empty())
        return;
    if (line.substr(0, 2) == "::")
        return;
    if (m_echo && !quiet)
        m_out << m_currentFolder << ">" << line << "\n";

    // The command word ends at a blank or at the punctuation that "echo." and the like use.
    std::size_t wordEnd = 0;
    while (wordEnd < line.size() && line[wordEnd] != ' ' && line[wordEnd] != '\t' && line[wordEnd] != '.' &&
        line[wordEnd] != ',' && line[wordEnd] != ';' && line[wordEnd] != '=')
        ++wordEnd;
    const std::string word = common::lowerAscii(line.substr(0, wordEnd));
    std::string_view rest = line.substr(wordEnd);

    if (word == "echo") {
        echoCommand(rest);
    } else if (word == "rem") {
        // A remark.
    } else if (word == "cls") {
        m_errorLevel = 0; // no screen to clear: output is a plain stream
    } else if (word == "md" || word == "mkdir") {
        makeFolder(rest);
    } else if (word == "copy") {
        copy(rest);
    } else {
        const auto args = splitCommandLine(line);
        startProgram(line, args.empty() ? word : args[0]);
    }
}

void BatchRunner::echoCommand(std::string_view rest)
{
    m_errorLevel = 0;
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t') {
        // "echo." prints an empty line, "echo.text" prints text.
        m_out << rest.substr(1) << "\n";
        return;
    }
    const auto text = trimmed(rest);
    const std::string word = common::lowerAscii(text);
    if (word == "off") {
        m_echo = false;
    } else if (word == "on") {
        m_echo = true;
    } else if (text.empty()) {
        m_out << (m_echo ? "ECHO is on." : "ECHO is off.") << "\n";
    } else {
        m_out << trimmedLeft(rest.substr(1)) << "\n";
    }
}

void BatchRunner::makeFolder(std::string_view rest)
{
    const auto args = splitCommandLine(rest);
    if (args.empty()) {
        m_err << "The syntax of the command is incorrect.\n";
        m_errorLevel = 1;
        return;
    }
    m_errorLevel = 0;
    for (const auto& arg : args) {
        const std::string path = absolutePath(arg);
        if (m_files.folderExists(path) || m_files.fileExists(path)) {
            m_err << "A subdirectory or file " << arg << " already exists.\n";
            m_errorLevel = 1;
            continue;
        }
        if (m_files.makeSurePathExists(path + "\\") != WinError::Success || !m_files.folderExists(path)) {
            m_err << "The system cannot find the path specified.\n";
            m_errorLevel = 1;
        }
    }
}

void BatchRunner::copy(std::string_view rest)
{
    std::vector<std::string> names;
    for (const auto& arg : splitCommandLine(rest)) {
        if (!isSwitch(arg))
            names.push_back(arg);
    }
    if (names.empty() || names.size() > 2) {
        m_err << "The syntax of the command is incorrect.\n";
        m_errorLevel = 1;
        return;
    }
    const std::string source = absolutePath(names[0]);
    std::string target = names.size() == 2 ? absolutePath(names[1]) : absolutePath(fileNameOf(names[0]));
    if (m_files.folderExists(target) && target.back() != '\\')
        target += '\\';
    // A batch file overwrites without asking, as the command does when run from one.
    const FsError e = m_files.copyFile(source, target, true);
    if (e == FsError::None) {
        m_out << "        1 file(s) copied.\n";
        m_errorLevel = 0;
        return;
    }
    if (e == FsError::FileNotFound)
        m_err << "The system cannot find the file specified.\n";
    else if (e == FsError::PathNotFound)
        m_err << "The system cannot find the path specified.\n";
    else
        m_err << "Access is denied.\n";
    m_out << "        0 file(s) copied.\n";
    m_errorLevel = 1;
}

void BatchRunner::startProgram(std::string_view line, const std::string& name)
{
    StartOptions options;
    options.machineFolder = m_machine;
    std::uint32_t code = 0;
    // A batch file waits for each program it starts.
    const WinError e = runProcess(std::string(line), options, &code);
    if (e == WinError::FileNotFound || e == WinError::PathNotFound) {
        m_err << "'" << name << "' is not recognized as an internal or external command,\n"
              << "operable program or batch file.\n";
        m_errorLevel = 9009;
        return;
    }
    if (e != WinError::Success) {
        m_err << name << ": cannot start (error " << winErrorCode(e) << ")\n";
        m_errorLevel = static_cast<int>(winErrorCode(e));
        return;
    }
    m_errorLevel = static_cast<int>(code);
}

} // namespace platform
