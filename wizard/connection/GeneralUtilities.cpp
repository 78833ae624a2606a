// GeneralUtilities.cpp: name check, long file names, the installer-key repair, open and mail.
#include "wizard/connection/GeneralUtilities.h"

#include "common/Text.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "platform/RunningMachine.h"
#include "platform/ShellOpen.h"
#include "wizard/core/WizardLog.h"
#include "wizard/core/WizardState.h"
#include "wizard/transfer/RegistryActions.h"

namespace wizard {

using namespace Action_Function;

namespace {

constexpr std::string_view kForbidden = "',()!$*<>/\\?;:=+@#%^&~`||";

struct InstallerStep {
    const char* mirrorKey;
    const char* realKey;
    const char* workFile;
};

const InstallerStep kXpSteps[] = {
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
     "Installer\\Features\\904010001E872D116BF00006799C897E",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\"
        "Products\\904010001E872D116BF00006799C897E\\Features",
        "Uninstall.reg"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
     "Installer\\Components",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\"
        "Components",
        "UnInstcomp.reg"},
    {"HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
     "Uninstall\\{00010409-78E1-11D2-B60F-006097C998E7}",
        "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\"
        "Products\\904010001E872D116BF00006799C897E\\InstallProperties",
        "UnInstcomp.reg"},
};
const InstallerStep kNineXStep = {
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Installer",
    "HKEY_CLASSES_ROOT\\Installer", "Uninstall.reg"};

// Whether a mirrored key ("HKEY_LOCAL_MACHINE\SOFTWARE\QZ\...") exists.
bool mirrorKeyExists(const std::string& key)
{
    platform::RunningMachine* machine = platform::RunningMachine::current();
    const std::string prefix = "HKEY_LOCAL_MACHINE\\";
    if (!machine || key.rfind(prefix, 0) != 0)
        return false;
    platform::RegKey found;
    return machine->registry().openKey(platform::RegKey(platform::RegRoot::LocalMachine),
               key.substr(prefix.size()), found) == platform::WinError::Success;
}

// Export, rewrite, import and removal of one work file. A product the source does not have (its
// mirrored key is missing) has nothing to move.
bool runInstallerStep(const InstallerStep& step)
{
    if (!mirrorKeyExists(step.mirrorKey))
        return true;
    const std::string work = std::string(kExportFolder) + "\\" + step.workFile;
    const bool moved = Action_Export(step.mirrorKey, step.workFile) &&
        Replace_withOut_Case(work, step.mirrorKey, step.realKey) && Action_Update_Registry(work);
    if (platform::RunningMachine* machine = platform::RunningMachine::current())
        machine->files().deleteFile(work, true);
    return moved;
}

} // namespace

bool Is_Valid_Name(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (kForbidden.find(c) != std::string_view::npos)
            return false;
    return true;
}

std::string GetLongFilename(const std::string& path)
{
    writeLog("GetLongFilename", "Start");
    platform::RunningMachine* machine = platform::RunningMachine::current();
    const std::string p = path + "\\";
    std::string rest;
    for (std::size_t i = p.find('\\', 3); i != std::string::npos; i = p.find('\\', i + 1)) {
        std::vector<std::string> names;
        if (machine)
            machine->files().dir(p.substr(0, i),
                platform::attr::Directory | platform::attr::Hidden | platform::attr::System, names);
        rest += "\\" + (names.empty() ? std::string() : names.front());
    }
    writeLog("GetLongFilename", "End");
    return p.substr(0, 2) + rest;
}

bool Fix_Installer_Keys()
{
    if (SourceOs == "winxp") {
        for (const InstallerStep& step : kXpSteps)
            if (!runInstallerStep(step))
                return false;
    }
    if (SourceOs == "win95" || SourceOs == "win98" || SourceOs == "winme")
        return runInstallerStep(kNineXStep);
    return true;
}

int FN_Open_Location(const std::string& location, int showCmd)
{
    (void)showCmd; // the desktop's open verb has no window-show command
    writeLog("FN_Open_Location", "START");
    const int answer = platform::shellService().open(location);
    writeLog("FN_Open_Location", answer > 32 ? "END" : std::to_string(answer) + ":Not opened");
    return answer;
}

std::string encodeMailField(const std::string& text, std::string_view keep)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (common::isAsciiAlnum(static_cast<char>(c)) ||
            keep.find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

int OpenEmail(const std::string& address, const std::string& subject, const std::string& body)
{
    writeLog("OpenEmail", "START");
    std::string s = address;
    const std::string head = common::lowerAscii(s.substr(0, 7));
    // The address's own "?", "&" or blanks would otherwise start or break the header fields.
    s = head == "mailto:" ? s.substr(7) : s;
    s = "mailto:" + encodeMailField(s, "-._~@+!$'*,;=");
    if (!subject.empty())
        s += "?subject=" + encodeMailField(subject);
    if (!body.empty())
        s += std::string(subject.empty() ? "?" : "&") + "body=" + encodeMailField(body);
    const int answer = platform::shellService().open(s);
    writeLog("OpenEmail", answer > 32 ? "END" : std::to_string(answer) + ":Not opened");
    return answer;
}

} // namespace wizard
