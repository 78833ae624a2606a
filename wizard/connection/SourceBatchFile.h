// SourceBatchFile.h: the batch file the user runs on the source PC to export its registry, and the
// checks of the destination's parallel ports and USB network bridge.
#pragma once

#include <string>
#include <vector>

namespace wizard {

// The folder on the source PC that holds the batch file and receives the exports.
inline constexpr const char* kSourceBatchFolder = "C:\\KestroBatch";
// The files the wizard writes for the source PC, and the record the batch file leaves there.
inline constexpr const char* kBatchFileName = "Temp.bat";
inline constexpr const char* kExportListName = "regexp.bat";
inline constexpr const char* kExportRecordName = "Kestro.txt";
// The exports in the order the wizard copies them.
inline constexpr const char* kSourceExports[] = {"HKCR.reg", "HKCU.reg", "HKLM.reg"};

// The lines of "Temp.bat" for the source PC: the three hive exports into C:\KestroBatch with the
// registry editor's form for that system ("/a" on 2000/XP, "/s /E" on 95/98/ME, told apart by
// WINIPCFG.EXE on the source's C$ unless the source is XP), and on 2000/XP the cacls grants.
std::vector<std::string> batchFileLines(const std::string& sourceOs, const std::string& sourcePcName);

// The lines of "regexp.bat", written beside Temp.bat and put beside it on the source PC: the three
// hive exports of `batchLines` on their own. Temp.bat's last copy turns it into "Kestro.txt" in
// C:\KestroBatch, the record on the source PC of the exports its run made.
std::vector<std::string> registryExportLines(const std::vector<std::string>& batchLines);

// Writes AppPath\temp\Temp.bat and AppPath\temp\regexp.bat (ANSI, CR LF) for SourceOs and
// SourcePcName; true when both were written.
bool Batch_File_content();

// True when one of the parallel ports LPT1 to LPT8 of the destination can be opened.
bool Check_Parallel_Port();

// True when a USB device of the destination describes itself as a network bridge ("Network Bridge"
// in its DeviceDesc, any case).
bool Check_USB_Bridge();

} // namespace wizard
