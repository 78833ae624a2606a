// DisplaySettings.cpp: screen-saver and display-resolution migration.
#include "wizard/transfer/DisplaySettings.h"

#include "wizard/core/AppPath.h"
#include "wizard/transfer/RegistryActions.h"
#include "wizard/transfer/RegistryReaders.h"
#include "wizard/transfer/TransferGlobals.h"
#include "wizard/transfer/TransferOutcome.h"
#include "wizard/transfer/TransferPlatform.h"
#include "wizard/transfer/TransferText.h"

#include <array>
#include <cstdlib>
#include <cstring>

namespace wizard::Registry_Related_Functions {
namespace {

using namespace wizard::transfer;

constexpr const char* kXpPlaceholder = "{D6C08B8B-CBFC-40D1-8A7E-CD701D6D31DA}";
constexpr const char* kPlaceholder = "i81x";
constexpr const char* kProfileKey =
    "SYSTEM\\CurrentControlSet\\Hardware Profiles\\0001\\System\\CurrentControlSet\\";

std::string tempFolder() { return AppPath + "\\temp"; }

// The lines of the working folder's copy of one of the source's INI files (`name`, from the
// source's Windows folder); none when it is missing. A file this PC cannot read (larger than
// kMaxSourceTextBytes, or no file) fails the item, named as the source PC names it, and gives no
// lines.
std::vector<std::string> linesOf(const std::string& name)
{
    const std::string file = tempFolder() + "\\" + name;
    std::string bytes;
    std::vector<std::string> lines;
    if (!fileExists(file))
        return lines;
    if (const FsError e = readSourceText(file, bytes); e != FsError::None) {
        const std::string source =
            transferGlobals().driveMap.sourcePathOf(scriptVariable("$st_source_win_dir") + "\\" + name);
        const std::string reason = source + " cannot be read (" + errorStatus(e) + "; at most " +
            std::to_string(kMaxSourceTextBytes >> 20) + " MiB)";
        writeTransferLog("FN_ScreenSaver_Migrate", "Failed : " + reason);
        noteItemFailure("FN_ScreenSaver_Migrate : " + reason);
        return lines;
    }
    std::string line;
    for (char ch : bytes) {
        if (ch == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (ch != '\r') {
            line += ch;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The registry file's string form: backslashes and quotes escaped.
std::string escaped(const std::string& text)
{
    return replaceAll(replaceAll(text, "\\", "\\\\"), "\"", "\\\"");
}

// Writes a fresh registry file (an earlier run's file never stands in for this one's).
bool writeRegFile(const std::string& file, const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return writeFileBytes(file, text) == FsError::None;
}

// The saver file's name on the destination: the 3D savers of Windows 95/98/ME are named anew.
std::string saverFileFor(const std::string& baseName)
{
    static const std::array<std::pair<const char*, const char*>, 4> kRenamed = {{{"3DTEXT", "sstext3d.scr"},
        {"3DPIPE", "sspipes.scr"}, {"3DFLOW", "ssflwbox.scr"}, {"FLYI", "ss3dfo.scr"}}};
    for (const auto& [key, file] : kRenamed)
        if (baseName.find(key) != std::string::npos)
            return file;
    return {};
}

// The saver path as the destination names it, in the registry file's doubled form: the
// destination's own saver of that kind when it has one (the 3D savers of 95/98/ME), else the copy
// of the source's saver in its system folder (`copied`, its long name). Empty when the
// destination holds neither.
std::string destinationSaverPath(
    const std::string& path, const std::string& baseName, const std::string& copied)
{
    std::string doubled = replaceAll(path, "\\", "\\\\");
    const std::string srcSys = scriptVariable("$st_source_sys_path");
    const bool inSystem = containsNoCase(doubled, srcSys) && !srcSys.empty();
    const std::string from = inSystem ? srcSys : scriptVariable("$st_source_win_path");
    const std::string to = scriptVariable(inSystem ? "$st_destination_sys_path" : "$st_destination_win_path");
    rewriteText(doubled, upperAnsi(from), upperAnsi(to), CaseMode::IgnoreCase);
    const size_t last = doubled.rfind("\\\\");
    const std::string renamed = saverFileFor(baseName);
    if (last != std::string::npos && !renamed.empty() &&
        fileExists(scriptVariable("$st_destination_system_dir") + "\\" + renamed))
        return doubled.substr(0, last + 2) + renamed;
    if (copied.empty())
        return {};
    std::string system = scriptVariable("$st_destination_sys_path");
    if (system.empty() || system.back() != '\\')
        system += "\\\\";
    return system + copied;
}

// Copies the saver file from the source PC into the destination's system folder; answers the name
// it has there (its long name), empty when it could not be copied, nothing when the path is
// refused (the item has failed with the reason then).
std::optional<std::string> copySaverFile(const std::string& path)
{
    const auto local = path.size() >= 2 ? transferGlobals().driveMap.lookup(path.substr(0, 2)) : std::nullopt;
    if (!local) {
        writeTransferLog("FN_ScreenSaver_Migrate", "Drive not mapped : " + path);
        return std::string();
    }
    // The file keeps its own (long) name rather than the short one SYSTEM.INI gives.
    const std::string source = longPathOf(translateDrive(path, *local));
    const std::string target = scriptVariable("$st_destination_system_dir") + namePartOf(source);
    std::string why = pathTextRefusal(path);
    if (why.empty())
        why = fileWriteRefusal(target, platform::SteeredFile::ScreenSaver);
    if (!why.empty()) {
        refusePath("FN_ScreenSaver_Migrate", path, why);
        return std::nullopt;
    }
    ItemTally* tally = currentItemTally();
    const FsError e =
        tally && !tally->keepFileBefore(target) ? FsError::PathFileAccess : copyFile(source, target, true);
    if (e != FsError::None) {
        writeTransferLog("FN_ScreenSaver_Migrate", errorStatus(e) + " : " + path);
        return std::string();
    }
    return fileNameOf(source);
}

// A saver this PC cannot show: the setting is not written, and the item's report says why.
void saverMissing(const std::string& path)
{
    const std::string reason = "the screen saver " + path + " is neither on this PC nor could it be copied";
    writeTransferLog("FN_ScreenSaver_Migrate", "Failed : " + reason);
    noteItemFailure("FN_ScreenSaver_Migrate : " + reason);
}

} // namespace

std::string controlIniValueLine(const std::string& line)
{
    const size_t eq = line.find('=');
    if (eq == std::string::npos)
        return {};
    return "\"" + escaped(line.substr(0, eq)) + "\"=\"" + escaped(line.substr(eq + 1)) + "\"";
}

std::string saverPathOf(const std::string& line)
{
    if (upperAnsi(trim(line)).find("SCRNSAVE.EXE") == std::string::npos)
        return {};
    const size_t eq = line.find('=');
    return eq == std::string::npos ? std::string() : trim(line.substr(eq + 1));
}

bool FN_ControlIni_To_Reg(const std::string& section)
{
    makeSurePathExists(tempFolder() + "\\");
    const std::string output = tempFolder() + "\\ScreenSaver1.reg";
    deleteFile(output);
    const std::vector<std::string> lines = linesOf("Control.ini");
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string header = trim(lines[i]);
        const bool starts = header.size() > 2 && header.front() == '[' &&
            (section.empty() || containsNoCase(header, section));
        if (!starts)
            continue;
        std::vector<std::string> reg = {
            "REGEDIT4", "", "[HKEY_CURRENT_USER\\Control Panel\\" + header.substr(1)};
        for (size_t j = i + 1; j < lines.size() && !trim(lines[j]).empty(); ++j)
            if (const std::string value = controlIniValueLine(lines[j]); !value.empty())
                reg.push_back(value);
        writeRegFile(output, reg);
        break;
    }
    return Action_Function::Action_Update_Registry(output);
}

bool FN_ScreenSaver_Migrate()
{
    makeSurePathExists(tempFolder() + "\\");
    const std::string output = tempFolder() + "\\ScreenSaver.reg";
    deleteFile(output);
    std::string baseName;
    for (const std::string& line : linesOf("SYSTEM.INI")) {
        const std::string path = saverPathOf(line);
        if (path.empty())
            continue;
        const std::optional<std::string> refusedOrCopied = copySaverFile(path);
        // A refused saver ends the setting: neither its Control.ini section nor its value is written.
        if (!refusedOrCopied)
            return false;
        const std::string& copied = *refusedOrCopied;
        const size_t tilde = path.find('~');
        baseName = tilde == std::string::npos ? std::string() : fileNameOf(path.substr(0, tilde));
        const std::string saver = destinationSaverPath(path, baseName, copied);
        if (saver.empty())
            saverMissing(path);
        else
            writeRegFile(output,
                {"REGEDIT4", "", "[HKEY_CURRENT_USER\\Control Panel\\Desktop]",
                    "\"SCRNSAVE.EXE\"=\"" + replaceAll(saver, "\"", "\\\"") + "\""});
        // More than one saver line: the first one is the saver in force.
        break;
    }
    if (!FN_ControlIni_To_Reg(baseName))
        return false;
    return Action_Function::Action_Update_Registry(output);
}

std::pair<long, long> resolutionOf(const std::string& text)
{
    const size_t last = text.rfind(',');
    const size_t first = text.find(',');
    if (last == std::string::npos)
        return {0, 0};
    return {std::atol(text.substr(0, last).c_str()), std::atol(text.substr(first + 1).c_str())};
}

std::string adapterOf(const std::string& devicePath)
{
    const size_t last = devicePath.rfind('\\');
    if (last == std::string::npos || last == 0)
        return {};
    const size_t before = devicePath.rfind('\\', last - 1);
    return devicePath.substr(
        before == std::string::npos ? 0 : before + 1, last - (before == std::string::npos ? 0 : before + 1));
}

namespace {

struct Size {
    long width = 0;
    long height = 0;
};

bool isWin9x(const std::string& os) { return os == "win95" || os == "win98" || os == "winme"; }

// A number as the registry holds it (a DWORD, or text); zero when missing.
long numberOf(const std::string& key, const char* name)
{
    RegData data;
    if (!readRegistryValue(platform::RegRoot::LocalMachine, key, name, data))
        return 0;
    if (data.type == platform::RegType::Dword && data.bytes.size() >= 4) {
        std::uint32_t v = 0;
        std::memcpy(&v, data.bytes.data(), 4);
        return static_cast<long>(v);
    }
    return std::atol(data.bytes.c_str());
}

Size sizeAt(const std::string& key)
{
    return {numberOf(key, "DefaultSettings.XResolution"), numberOf(key, "DefaultSettings.YResolution")};
}

std::string videoDeviceOf(const std::string& prefix)
{
    return adapterOf(FN_Reg_Get_Value(
        platform::RegRoot::LocalMachine, prefix + "HARDWARE\\DEVICEMAP\\VIDEO", "\\Device\\Video0", ""));
}

std::string regFile(const std::string& name) { return AppPath + "\\RegFiles\\" + name; }

// A 2000/XP source: its services template merged, its video key exported for the destination's
// adapter (left in C:\QZExpTemp\Resolution.reg for the settings script), its size read.
bool prepareNtSource(
    const std::string& os, const std::string& sourceVideo, const std::string& destVideo, Size& source)
{
    const bool xp = os == "winxp";
    const std::string mirror = std::string("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\") + kProfileKey;
    // 2000 keeps its display services under the current profile, XP its video keys under 0001.
    const std::string exported =
        xp ? mirror + "Control\\VIDEO" : replaceAll(mirror, "\\0001\\", "\\Current\\") + "SERVICES";
    const std::string sized = mirror +
        (xp ? "Control\\VIDEO\\" + sourceVideo + "\\0000" : "SERVICES\\" + sourceVideo + "\\Device0");
    if (!Action_Function::Action_Update_Registry(regFile(xp ? "Services_XP.reg" : "Services.reg")) ||
        !Action_Function::Action_Export("HKEY_LOCAL_MACHINE\\" + exported, "Resolution.reg"))
        return false;
    const std::string file = std::string(Action_Function::kExportFolder) + "\\Resolution.reg";
    if (!Action_Function::Replace_withOut_Case(file, sourceVideo, destVideo) ||
        !Action_Function::Replace_withOut_Case(file, std::string(kMirrorHeader), "["))
        return false;
    source = sizeAt(sized);
    return true;
}

const char* widthTemplate(long width)
{
    for (const char* w : {"1152", "1280", "1024", "800", "640"})
        if (width == std::atol(w))
            return w;
    return nullptr;
}

// Raises the destination to the source's size through the templates, each merged from a copy with
// the destination's adapter put in.
bool raiseResolution(
    const std::string& srcOs, const std::string& dstOs, const std::string& destVideo, Size source)
{
    const char* width = widthTemplate(source.width);
    if (!width) {
        writeTransferLog("FN_Resolution_Migrate",
            "Resolution not offered : " + std::to_string(source.width) + "x" + std::to_string(source.height));
        return true;
    }
    if (destVideo.empty()) {
        writeTransferLog("FN_Resolution_Migrate", "No display adapter on the destination");
        return true;
    }
    if (isWin9x(srcOs)) {
        const bool ok = dstOs == "winxp" ? Action_Function::Action_Update_Registry(regFile("Services_XP.reg"))
                                         : Action_Function::Action_Update_Registry(regFile("Services.reg")) &&
                Action_Function::Merge_Template_Copy(regFile("RR.REG"), {{kPlaceholder, destVideo}});
        if (!ok)
            return false;
    }
    const bool xpTemplate = dstOs == "winxp" && srcOs != "win2k";
    return Action_Function::Merge_Template_Copy(
        regFile(std::string(width) + (xpTemplate ? "_XP.reg" : ".reg")),
        {{xpTemplate ? kXpPlaceholder : kPlaceholder, destVideo}});
}

} // namespace

bool FN_Resolution_Migrate()
{
    const std::string srcOs = scriptVariable("$st_source_os");
    const std::string dstOs = scriptVariable("$st_destination_os");
    Size source;
    std::string sourceVideo;
    if (isWin9x(srcOs)) {
        const auto [w, h] = resolutionOf(FN_Reg_Get_Value(platform::RegRoot::LocalMachine,
            "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\Config\\0001\\Display\\Settings", "Resolution", ""));
        source = {w, h};
    } else {
        sourceVideo = videoDeviceOf("SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\");
    }
    const std::string destVideo = videoDeviceOf("");
    const Size dest = destVideo.empty() ? Size{}
                                        : sizeAt(std::string(kProfileKey) +
                                              (dstOs == "winxp" ? "Control\\VIDEO\\" + destVideo + "\\0000"
                                                                : "SERVICES\\" + destVideo + "\\Device0"));
    if ((srcOs == "win2k" || srcOs == "winxp") && !prepareNtSource(srcOs, sourceVideo, destVideo, source))
        return false;
    if (dest.width > source.width && dest.height > source.height) {
        writeTransferLog("Destination machine has higher resolution than Source machine", "Settings Info");
    } else if (dest.width == source.width && dest.height == source.height) {
        writeTransferLog("Destination machines resolution is same as Source machine", "Settings Info");
    } else if (dest.width < source.width && dest.height < source.height) {
        return raiseResolution(srcOs, dstOs, destVideo, source);
    }
    return true;
}

} // namespace wizard::Registry_Related_Functions
