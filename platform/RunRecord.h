// RunRecord.h: what a program's run leaves on machines until it ends: the drive letters it
// connected and the folders it wrote copies under way into. A run that starts a record keeps it in
// its machine's "runs" folder, locked for as long as its process lives, so that a later start can
// take away what a run that never ended (killed, crashed) left behind.
#pragma once

#include "platform/Network.h"

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

// What removeUnfinishedRuns took away.
struct UnfinishedRunsRemoved {
    int runs = 0;             // records of runs that did not end
    int partialFiles = 0;     // copies they left cut short
    std::vector<char> drives; // their drive connections cancelled ('F')
};

// The process's one record (process-wide state: one run per process).
class RunRecord {
public:
    // Starts this process's record on the machine in `machineFolder`, ending one it kept on another
    // machine (a record already kept there goes on). False when it cannot be written: nothing is
    // recorded then.
    static bool start(const std::filesystem::path& machineFolder);
    // Ends the record and removes it: a run that ends leaves nothing to take away, unless it left
    // files behind (noteLeftBehind), whose record the next start then reads.
    static void finish();

    // Notes made inside platform/ while a record is kept (nothing otherwise). A drive letter of the
    // machine in `machineFolder` connected to `remote`, and its connection cancelled; only the
    // record's own machine is noted.
    static void noteConnection(
        const std::filesystem::path& machineFolder, char letter, const std::string& remote);
    static void noteDisconnection(const std::filesystem::path& machineFolder, char letter);
    // A copy is written under hostfs::partialName() in the open host folder `folder` (or in the
    // host folder `path`); each folder is noted once.
    static void notePartialFolder(int folder);
    static void notePartialFolder(const std::filesystem::path& path);
    // A partial copy or a fresh file (common::hostcalls::freshName) in a noted folder that could not
    // be removed: the run says so (leftBehind) and its record outlives it, so that the next start
    // removes the file as after a run that was killed.
    static void noteLeftBehind(int folder, const std::string& name);
    static void noteLeftBehind(const std::filesystem::path& file);
    // The host paths of the files this run left behind so far (its record's whole life).
    static std::vector<std::string> leftBehind();
};

// Takes away what runs on the machine in `machineFolder` left that did not end: for each record no
// living process holds, its partial copies are deleted and each of its drive connections that
// still leads where the run made it is cancelled through `network` (that machine's); then the
// record goes. Partial copies are the run's partial names and its fresh names
// (common::hostcalls::freshName) in the folders it noted. Records of runs still going (this one's
// included) are left alone.
UnfinishedRunsRemoved removeUnfinishedRuns(const std::filesystem::path& machineFolder, Network& network);

} // namespace platform
