// ProgramStart.h: what both ways of running Tallymoor share before they part: the command line
// and the program values, error log and crash handlers. The windowless scan (--scan-and-quit)
// runs from here alone, with Qt Core only: it neither needs nor loads the window libraries.
#pragma once

#include <string>
#include <vector>

namespace foldersize {

struct ProgramArguments {
    bool scanOnly = false;            // --scan-and-quit
    std::vector<std::string> given;   // the folders as typed (for messages)
    std::vector<std::string> folders; // the same as absolute paths
};

// Folder arguments are taken from argv byte for byte (names need not be valid text); relative
// folders mean the caller's working folder, also when a running copy measures them.
ProgramArguments readArguments(int argc, char** argv);

// Program values, error log and crash handlers: the same for the window and the windowless scan.
// Needs a running QCoreApplication.
void setUpProgram();

// The windowless scan: measures args.folders one after the other with the window's scan driver
// and prints the totals and the time on standard output. Returns the exit code (1 when a folder
// is missing or partly unreadable, 2 when a folder could not be read at all).
int runWindowlessScan(int argc, char** argv, const ProgramArguments& args);

} // namespace foldersize
