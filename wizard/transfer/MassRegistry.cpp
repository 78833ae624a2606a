// MassRegistry.cpp: mirrored keys exported, rewritten for the destination and imported during a
// mass migration.
#include "wizard/transfer/MassRegistry.h"

#include "platform/CodePage.h"
#include "platform/RegFile.h"
#include "wizard/core/AppPath.h"
#include "wizard/core/ProgramEnd.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardWindows.h"
#include "wizard/transfer/MassState.h"
#include "wizard/transfer/ModOtherApplications.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <utility>

namespace wizard::mass {
namespace {

using namespace wizard::transfer;
using wizard::ModOtherApplications::ExportRegistry;
using wizard::ModOtherApplications::ImportRegistry;

constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";

// A path as a registry export writes it: every backslash doubled.
std::string escaped(const std::string& path) { return coretext::replaceAll(path, "\\", "\\\\"); }

// A path component ends here: an escaped separator, a closing quote, a line end or the text's end.
bool componentEnds(std::string_view text, std::size_t at)
{
    return at >= text.size() || text[at] == '\\' || text[at] == '"' || text[at] == '\r' || text[at] == '\n';
}

std::string underApp(const std::string& relative) { return wizard::AppPath + "\\" + relative; }

// The sub-keys of the source's SOFTWARE that stay this PC's own.
constexpr const char* kOwnVendorKeys[] = {"Microsoft", "Clients", "INTEL", "Policies", "Classes"};

// This PC's own key that the source's sub-key `name` is, or null. The registry compares key names
// without regard to case: a source's "MICROSOFT" is this PC's Microsoft key.
const char* ownVendorKey(const std::string& name)
{
    for (const char* own : kOwnVendorKeys)
        if (platform::equalsNoCase(name, own))
            return own;
    return nullptr;
}

// The registry files of the working folder this run wrote, by upper-cased path, with their bytes
// as last written: the working folder's imports take only these, never a file that came there
// any other way (with a copy from the source).
std::map<std::string, std::string>& writtenThisRun()
{
    static std::map<std::string, std::string> files;
    return files;
}

bool inWorkingFolder(const std::string& path)
{
    const std::string folder = coretext::upperAscii(underApp("Temp\\"));
    return coretext::upperAscii(path).rfind(folder, 0) == 0;
}

// Notes the file as this run's own as it now is.
void noteWritten(const std::string& path)
{
    std::string bytes;
    if (inWorkingFolder(path) && readFileBytes(path, bytes) == FsError::None)
        writtenThisRun()[coretext::upperAscii(path)] = std::move(bytes);
}

bool writtenByThisRun(const std::string& path, const std::string& bytes)
{
    const auto found = writtenThisRun().find(coretext::upperAscii(path));
    return found != writtenThisRun().end() && found->second == bytes;
}

// An export or import that did not happen: the way out taken meanwhile is logged as such, under the
// step's own record; anything else as the step's failure.
void logNotDone(const std::string& process, const std::string& failure, const std::string& what)
{
    if (programEndRequested())
        writeTransferLog(process, "Cut short : " + what + " : the wizard was ended");
    else
        writeTransferLog(process + "_Err", failure + what);
}

bool exportAndStrip(const std::string& key, const std::string& file)
{
    if (!ExportRegistry(file, key))
        return false;
    noteWritten(file);
    return FN_Sys_Path_Change(file, std::string(kMirrorHeader), "[");
}

// The keys an import may change, by the file's name: the exported sub-keys of the source's
// SOFTWARE ("<name>.reg"), its App Management, App Paths and Uninstall keys, the class roots and
// the current user's Software; a template of RegFiles may change what it names.
std::vector<std::string> keysOfImport(const std::string& file)
{
    const std::string base = file.substr(file.rfind('\\') + 1);
    const std::string name = coretext::upperAscii(base);
    if (coretext::upperAscii(file).find("REGFILES\\") != std::string::npos)
        return {};
    const std::string local = "HKEY_LOCAL_MACHINE\\";
    for (const auto& [fileName, key] : {std::pair{"APPMANAGEMENT.REG", "App Management"},
             std::pair{"APPPATHS.REG", "App Paths"}, std::pair{"UNINSTALL.REG", "Uninstall"}})
        if (name == fileName)
            return {local + kCurrentVersion + key};
    if (name == "HKCR.REG" || name == "CLSLOCAL.REG")
        return {"HKEY_CLASSES_ROOT"};
    if (name == "HKCU_LOCAL.REG")
        return {"HKEY_CURRENT_USER\\Software"};
    const std::size_t stem = name.size() >= 4 ? name.size() - 4 : name.size();
    return {local + "SOFTWARE\\" + base.substr(0, stem)};
}

// Checks one file before its import: a missing file is passed over (true, nothing to import), no
// registry file and a file naming a key outside the keys its import may change (keysOfImport) are
// not imported (false); passed-over lines are logged. *ready tells whether it is to be imported.
bool checkImport(const std::string& path, bool& ready)
{
    ready = false;
    // An export that never arrived is nothing to import; the steps after it still run.
    if (!fileExists(path)) {
        writeTransferLog("FN_Import_Registry", "Not found : " + path);
        return true;
    }
    std::string bytes;
    if (readFileBytes(path, bytes) != FsError::None) {
        writeTransferLog("FN_Import_Registry_Err", "Cannot read : " + path);
        return false;
    }
    if (inWorkingFolder(path) && !writtenByThisRun(path, bytes)) {
        writeTransferLog("FN_Import_Registry_Err", "Not imported, this run did not write it : " + path);
        return false;
    }
    platform::RegFileMergeReport report;
    platform::RegFileMergeOptions confined;
    confined.confineTo = keysOfImport(path);
    if (platform::checkRegText(bytes, report, confined) != platform::WinError::Success) {
        writeTransferLog("FN_Import_Registry_Err",
            (report.refusedLine != 0 ? "Outside its keys : " + path + " " + report.message
                                     : "Not a registry file : " + path));
        return false;
    }
    for (const auto& w : report.warnings)
        writeTransferLog("FN_Import_Registry",
            (w.kept ? "Kept cut short : " : "Passed over : ") + path + " line " + std::to_string(w.line) +
                ": " + w.text);
    ready = true;
    return true;
}

bool importOne(const std::string& path)
{
    if (ImportRegistry(path))
        return true;
    logNotDone("FN_Import_Registry", "Import failed : ", path);
    return false;
}

// Imports one file after checking it (checkImport).
bool importChecked(const std::string& path)
{
    bool ready = false;
    if (!checkImport(path, ready))
        return false;
    return !ready || importOne(path);
}

} // namespace

PathRewrite pathRewriteFor(const MassState& state)
{
    return {state.sourceSystemRoot, state.destSystemRoot,
        isWin9xCode(state.sourceOsCode) && isNtCode(state.destOsCode)};
}

namespace {

// Steps 2 and 3 of rewriteRegText on a text.
std::string movePaths(std::string out, const PathRewrite& paths)
{
    // An empty root would turn every separator into the destination's root.
    if (paths.sourceRoot.empty() || paths.destRoot.empty())
        return out;
    const std::string source = escaped(paths.sourceRoot);
    const std::string dest = escaped(paths.destRoot);
    if (source != dest)
        out = coretext::replaceAll(out, source, dest, CaseMode::Exact, componentEnds);
    if (paths.systemToSystem32)
        out = coretext::replaceAll(
            out, dest + "\\\\SYSTEM", dest + "\\\\SYSTEM32", CaseMode::Exact, componentEnds);
    return out;
}

// FN_Sys_Path_Change with `replace` in place of its find and replacement.
bool changeRegFile(const std::string& file, const std::function<std::string(std::string_view)>& replace)
{
    writeTransferLog("FN_Sys_Path_Change", "Start");
    std::string bytes;
    FsError error = readFileBytes(file, bytes);
    if (error == FsError::None) {
        std::string text = movePaths(replace(bytes), pathRewriteFor(massState()));
        if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
            text += "\r\n";
        error = writeFileBytes(file, text);
    }
    if (error == FsError::None)
        noteWritten(file);
    if (error != FsError::None) {
        writeTransferLog("FN_Sys_Path_Change_Err", errorStatus(error) + " " + file);
        return false;
    }
    writeTransferLog("FN_Sys_Path_Change", "End");
    return true;
}

} // namespace

std::string rewriteRegText(
    std::string_view text, std::string_view find, std::string_view replacement, const PathRewrite& paths)
{
    return movePaths(coretext::replaceAll(text, find, replacement), paths);
}

bool FN_Sys_Path_Change(const std::string& file, const std::string& find, const std::string& replacement)
{
    return changeRegFile(
        file, [&](std::string_view text) { return coretext::replaceAll(text, find, replacement); });
}

std::string replaceKeyPath(std::string_view text, std::string_view find, std::string_view replacement,
    std::vector<std::string>* respelled)
{
    if (find.empty())
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t done = 0;
    for (std::size_t at = text.find(find.front()); at != std::string_view::npos;
         at = text.find(find.front(), at)) {
        // A letter folds only to a letter of the same code page: a match has the find text's length.
        const std::string_view candidate = text.substr(at, find.size());
        if (candidate.size() != find.size() ||
            !platform::equalsNoCase(platform::cp1252ToUtf8(candidate), find)) {
            ++at;
            continue;
        }
        if (respelled && candidate != find &&
            std::find(respelled->begin(), respelled->end(), candidate) == respelled->end())
            respelled->emplace_back(candidate);
        out.append(text, done, at - done);
        out += replacement;
        at += find.size();
        done = at;
    }
    out.append(text, done);
    return out;
}

bool FN_Get_Sub_Keys(const std::string& hive, const std::string& keyPath)
{
    writeTransferLog("FN_Get_Sub_Keys", "Start");
    const auto root = platform::parseRegRoot(hive);
    if (!root)
        return false;
    const auto names = Registry_Related_Functions::FN_Reg_Enum_Keys(*root, keyPath);
    if (!names || names->empty())
        return false;
    for (const std::string& name : *names) {
        if (const char* own = ownVendorKey(name)) {
            // The log tells why a key the source holds did not arrive.
            if (name != own)
                writeTransferLog("FN_Get_Sub_Keys", "Passed over : " + name + ", this PC's own " + own);
            continue;
        }
        wizardWindows().setBusyDetails("Please wait.. Analyzing Source PC Information " + name);
        if (!exportAndStrip(
                "HKEY_LOCAL_MACHINE\\" + keyPath + "\\" + name, underApp("Temp\\" + name + ".reg"))) {
            logNotDone("FN_Get_Sub_Keys", "Export failed : ", name);
            return false;
        }
    }
    const std::string mirrored =
        std::string("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\") + kCurrentVersion;
    std::vector<std::pair<std::string, std::string>> fixed;
    if (isNtCode(massState().sourceOsCode))
        fixed.emplace_back("App Management", "AppManagement.reg");
    fixed.emplace_back("App Paths", "AppPaths.reg");
    fixed.emplace_back("Uninstall", "Uninstall.reg");
    for (const auto& [key, file] : fixed) {
        // A source without one of these keys (an XP source may have no App Management) still has
        // its others moved.
        if (!registryKeyExists(mirrored + key)) {
            writeTransferLog("FN_Get_Sub_Keys", "Not found : " + key);
            continue;
        }
        if (!exportAndStrip(mirrored + key, underApp("Temp\\" + file))) {
            logNotDone("FN_Get_Sub_Keys", "Export failed : ", key);
            return false;
        }
    }
    writeTransferLog("FN_Get_Sub_Keys", "End");
    return true;
}

bool FN_ClsRoot_Process(const std::string& file)
{
    writeTransferLog("FN_ClsRoot_Process", "Start");
    FN_Sys_Path_Change(underApp(file), "[HKEY_CLASSES_ROOT]", "");
    writeTransferLog("FN_ClsRoot_Process", "End");
    return true;
}

bool FN_Export_Registry(const std::string& file, const std::string& key)
{
    writeTransferLog("FN_Export_Registry", "Start");
    if (!ExportRegistry(underApp(file), key)) {
        logNotDone("FN_Export_Registry", "Export failed : ", key);
        return false;
    }
    noteWritten(underApp(file));
    writeTransferLog("FN_Export_Registry", "End");
    return true;
}

bool FN_Cur_User_Process(const std::string& file)
{
    writeTransferLog("FN_Cur_User_Process", "Start");
    const std::string path = underApp(file);
    const std::string user = "[HKEY_CURRENT_USER\\Software\\Microsoft\\";
    FN_Sys_Path_Change(path, std::string(kMirrorHeader), "[");
    for (const char* kept : {"SystemCertificates", "Windows\\CurrentVersion", "Installer"}) {
        // The registry compares key names without regard to case: a source's "MICROSOFT" would
        // write this user's own keys.
        std::vector<std::string> respelled;
        changeRegFile(path, [&](std::string_view text) {
            return replaceKeyPath(text, user + kept, user + kept + "1", &respelled);
        });
        for (const std::string& spelling : respelled)
            writeTransferLogText("FN_Cur_User_Process",
                "Moved aside as " + std::string(kept) + "1, this PC's own : " + spelling.substr(1));
    }
    writeTransferLog("FN_Cur_User_Process", "End");
    return true;
}

bool FN_Import_Registry(const std::string& file)
{
    writeTransferLog("FN_Import_Registry", "End");
    bool ok = true;
    if (file.find_first_not_of(' ') == std::string::npos) {
        const std::string folder = underApp("Temp");
        for (const std::string& name : fileNames(folder)) {
            const std::string up = coretext::upperAscii(name);
            if (up.size() < 4 || up.compare(up.size() - 4, 4, ".REG") != 0)
                continue;
            if (up == "HKCR.REG" || up == "HKCU.REG" || up == "HKLM.REG")
                continue;
            ok = importChecked(folder + "\\" + name) && ok;
        }
    } else {
        ok = importChecked(underApp(file));
    }
    return ok;
}

bool FN_DEL_REGKEY(const std::string& key)
{
    writeTransferLog("FN_DEL_REGKEY", "Start");
    const std::string file = wizard::AppPath + "\\Mass.Reg";
    const bool written = writeFileBytes(file, "REGEDIT4\r\n[-" + key + "]\r\n") == FsError::None;
    // Without the import the key would stay: the file exists only to delete it.
    const bool imported = written && ImportRegistry(file);
    if (written)
        deleteFile(file, true);
    if (!written)
        writeTransferLog("FN_DEL_REGKEY_Err", "Cannot write : " + file);
    else if (!imported)
        logNotDone("FN_DEL_REGKEY", "Import failed : ", key);
    writeTransferLog("FN_DEL_REGKEY", "End");
    return true;
}

bool FN_MS_APP(const std::string& templateFile, const std::string& mode)
{
    writeTransferLog("FN_MS_APP", "Start");
    const MassState& s = massState();
    if (mode != "ALL") {
        std::string name = templateFile;
        if (s.destOsCode == "XP")
            name = coretext::replaceAll(coretext::upperAscii(name), ".REG", " 2000_XP.reg");
        const std::string program =
            s.destSystemRoot.substr(0, 2) + "\\Program Files\\Microsoft Office\\Office\\" + mode;
        if (s.destSystemRoot.size() >= 2 && fileExists(program))
            FN_Import_Registry(name);
    } else if (s.destOsCode == "W2K") {
        for (const char* f : {"RegFiles\\classroot.reg", "RegFiles\\kestro.reg"})
            FN_Import_Registry(f);
    } else if (s.destOsCode == "XP") {
        for (const char* f :
            {"RegFiles\\Classroot_xp.reg", "RegFiles\\installer_xp.reg", "RegFiles\\kestro_xp.reg"})
            FN_Import_Registry(f);
    }
    writeTransferLog("FN_MS_APP", "End");
    return true;
}

} // namespace wizard::mass
