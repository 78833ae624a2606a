// ProgramStart.h: what both ways of running Tallymoor share before they part: the command line
// and the program values, error log and crash handlers. The windowless scan (--scan-and-quit)
// runs from here alone, with Qt Core only: it neither needs nor loads the window libraries.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace foldersize {

struct ProgramArguments {
    // What the command line asks for besides measuring: the usage, the version, or nothing but
    // an option the program does not know (badOption).
    enum class Answer { None, Help, Version, BadOption };
    bool scanOnly = false;            // --scan-and-quit
    Answer answer = Answer::None;     // --help, --version, or an unknown option
    std::string badOption;            // the first unknown option
    std::vector<std::string> given;   // the folders as typed (for messages)
    std::vector<std::string> folders; // the same as absolute paths
};

// Options begin with "-" up to a "--", after which every argument is a folder. Folder arguments
// are taken from argv byte for byte (names need not be valid text); relative folders mean the
// caller's working folder, also when a running copy measures them. The windowless scan without a
// folder measures the working folder, as du does.
ProgramArguments readArguments(int argc, char** argv);

// Answers --help and --version on standard output and an unknown option on standard error, as a
// command-line program does. Returns the exit code, or nothing when there are folders to measure
// (or a window to open).
std::optional<int> answerArguments(const ProgramArguments& args);

// Program values, error log and crash handlers: the same for the window and the windowless scan.
// Needs a running QCoreApplication.
void setUpProgram();

// The windowless scan: measures args.folders one after the other with the window's scan driver
// and prints the totals and the time on standard output, and what could not be read on standard
// error, in German, where du would name it. Returns the exit code as du gives it: 1 when a
// folder is missing or not wholly readable, else 0.
int runWindowlessScan(int argc, char** argv, const ProgramArguments& args);

} // namespace foldersize
