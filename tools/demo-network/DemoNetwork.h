// DemoNetwork.h: builds the demo network: a Windows 98 source PC (OLDPC), a Windows XP source PC
// with a logon (OLDXP) and a Windows XP destination PC (NEWPC) with the wizard installed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace demo {

struct DemoOptions {
    // Folders whose contents are installed, in this order, into NEWPC's
    // "C:\Program Files\Kestro": the repository's data folder, then the build's laid-out data
    // (scrambled scripts). Missing folders are passed over. In a data folder, CMake's files
    // ("CMakeLists.txt", "CMakeFiles", "*.cmake") and the plain scripts of "WKXFiles" (*.xml) are
    // not installed.
    std::vector<std::filesystem::path> dataFolders;
    // NEWPC's system: "winxp", or "win2k" (its Windows folder is then C:\WINNT).
    std::string destinationOs = "winxp";
};

// The machines' folder names inside the network folder.
inline constexpr const char* kSourcePc98 = "OLDPC";
inline constexpr const char* kSourcePcXp = "OLDXP";
inline constexpr const char* kDestinationPc = "NEWPC";

// The wizard's folder on NEWPC.
inline constexpr const char* kWizardFolder = "C:\\Program Files\\Kestro";

// Builds the three machines in `networkFolder` (created when missing). A machine folder that is
// already there is replaced, so that running twice gives the same result; the same input always
// gives the same files and registry bytes. False with `error` set when a machine folder holds
// something that is not a machine (it is then left alone) or when writing fails.
bool buildDemoNetwork(
    const std::filesystem::path& networkFolder, const DemoOptions& options, std::string& error);

// Smaller pieces for tests that build their own networks.
// Builds only OLDPC (Windows 98, share-level access, shares C$ and D$).
bool buildSourcePc98(const std::filesystem::path& networkFolder, std::string& error);
// Builds only NEWPC (Windows XP unless `options.destinationOs` says otherwise, drives C: and D:),
// installing `options.dataFolders`.
bool buildDestinationPc(
    const std::filesystem::path& networkFolder, const DemoOptions& options, std::string& error);
// Builds only OLDXP (Windows XP, administrator "Sarah" with a password, share "C").
bool buildSourcePcXp(const std::filesystem::path& networkFolder, std::string& error);

// Where the sources hold their Office programs, below the system drive: Office 2000 on OLDPC and
// the premium Office 2003 on OLDXP (the wizard's shortcut sets point there too).
inline constexpr const char* kOfficeFolder2000 = "\\Program Files\\Microsoft Office\\Office";
inline constexpr const char* kOfficeFolder2003 = "\\Program Files\\Microsoft Office\\OFFICE11";

// OLDXP's administrator logon.
inline constexpr const char* kXpAdminUser = "Sarah";
inline constexpr const char* kXpAdminPassword = "blue42";

} // namespace demo
