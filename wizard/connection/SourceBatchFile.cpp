// SourceBatchFile.cpp: Temp.bat and regexp.bat, the parallel-port check and the USB bridge check.
#include "wizard/connection/SourceBatchFile.h"

#include "common/Text.h"
#include "platform/RunningMachine.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/InitializeApplication.h"
#include "wizard/core/WizardLog.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/RegistryReaders.h"

namespace wizard {

namespace {

// Whether the source's C$ share holds the Windows 95/98/ME tool WINIPCFG.EXE.
bool sourceHasWinipcfg(const std::string& sourcePcName)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    std::vector<std::string> names;
    const unsigned mask =
        platform::attr::ReadOnly | platform::attr::Hidden | platform::attr::System | platform::attr::Archive;
    machine->files().dir("\\\\" + sourcePcName + "\\c$\\windows\\WINIPCFG.EXE", mask, names);
    return !names.empty() && common::upperAscii(names.front()) == "WINIPCFG.EXE";
}

} // namespace

std::vector<std::string> batchFileLines(const std::string& sourceOs, const std::string& sourcePcName)
{
    std::vector<std::string> lines{
        "@echo Processing,Please wait...This window will be closed automatically", "@echo off"};
    bool nineX = false;
    if (sourceOs != "winxp")
        nineX = sourceHasWinipcfg(sourcePcName);
    const std::string command = nineX ? "regedit.exe /s /E " : "regedit.exe /a ";
    const char* files[] = {"\\HKLM.reg ", "\\HKCU.reg ", "\\HKCR.reg "};
    const char* hives[] = {"HKEY_LOCAL_MACHINE", "HKEY_CURRENT_USER", "HKEY_CLASSES_ROOT"};
    for (int i = 0; i < 3; ++i) {
        lines.push_back("@echo Creating File " + std::to_string(i + 1) + "..");
        lines.push_back(command + kSourceBatchFolder + files[i] + "\"" + hives[i] + "\"");
    }
    if (sourceOs == "winxp")
        lines.push_back("cacls c:\\windows /t /e /g everyone:f");
    else if (!nineX)
        lines.push_back("cacls c:\\winnt /t /e /g everyone:f");
    if (!nineX) {
        lines.push_back("cacls c:\\progra~1\\* /t /e /g everyone:f");
        lines.push_back("cacls c:\\progra~1 /t /e /g everyone:f");
    }
    lines.push_back("@echo Created all files.");
    lines.push_back(std::string("copy ") + kExportListName + " " + kExportRecordName);
    lines.push_back("CLS");
    return lines;
}

std::vector<std::string> registryExportLines(const std::vector<std::string>& batchLines)
{
    std::vector<std::string> lines{"@echo off"};
    for (const std::string& line : batchLines)
        if (line.rfind("regedit.exe ", 0) == 0)
            lines.push_back(line);
    return lines;
}

bool Batch_File_content()
{
    writeLog("Batch_File_content", "Start");
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine) {
        writeLog("Batch_File_content", "76: Path not found");
        return false;
    }
    const auto text = [](const std::vector<std::string>& lines) {
        std::string out;
        for (const std::string& line : lines)
            out += line + "\r\n";
        return out;
    };
    const std::vector<std::string> lines = batchFileLines(SourceOs, SourcePcName);
    const std::string folder = AppPath + "\\temp";
    if (!machine->files().folderExists(folder))
        machine->files().createFolder(folder);
    platform::FsError written = machine->files().writeText(folder + "\\" + kBatchFileName, text(lines));
    if (written == platform::FsError::None)
        written =
            machine->files().writeText(folder + "\\" + kExportListName, text(registryExportLines(lines)));
    if (written != platform::FsError::None) {
        writeLog("Batch_File_content",
            std::to_string(static_cast<int>(written)) + ": " + std::string(platform::fsErrorText(written)));
        return false;
    }
    writeLog("Batch_File_content", "End");
    return true;
}

bool Check_Parallel_Port()
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    if (!machine)
        return false;
    for (int n = 1; n <= 8; ++n)
        if (machine->network().parallelPortOpens(n))
            return true;
    return false;
}

bool Check_USB_Bridge()
{
    namespace reg = Registry_Related_Functions;
    const std::string key = DestinationOs == "win2k" || DestinationOs == "winxp"
        ? "SYSTEM\\CurrentControlSet\\Enum\\USB"
        : "Enum\\USB";
    const reg::TextList devices = reg::FN_Reg_Enum_Keys(platform::RegRoot::LocalMachine, key);
    if (!devices)
        return false;
    for (const std::string& device : *devices) {
        const reg::TextList instances =
            reg::FN_Reg_Enum_Keys(platform::RegRoot::LocalMachine, key + "\\" + device);
        if (!instances)
            continue;
        for (const std::string& instance : *instances) {
            const std::string description = common::upperAscii(common::trimmed(reg::FN_Reg_Get_Value(
                platform::RegRoot::LocalMachine, key + "\\" + device + "\\" + instance, "DeviceDesc", "")));
            if (description.find("NETWORK BRIDGE") != std::string::npos)
                return true;
        }
    }
    return false;
}

} // namespace wizard
