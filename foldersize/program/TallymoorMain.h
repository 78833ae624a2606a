// TallymoorMain.h: the start routine of Tallymoor: program values, initialisation, first-run
// file-manager entry, the single-copy decision and the main window.
#pragma once

namespace foldersize {

// Runs the program; returns its exit code.
//
// Options (anything else is a folder to measure):
//   --scan-and-quit   measure the folders given, print the totals and the time on standard
//                     output and end; no window is shown, no other copy is asked and no
//                     settings are written (used by bench/tallymoor-bench.sh).
int Main(int argc, char** argv);

} // namespace foldersize
