// SourceApplications.cpp: the source PC's application list from the mirrored uninstall key.
#include "wizard/selection/SourceApplications.h"

#include <cstdlib>

#include "platform/CodePage.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardCore.h"
#include "wizard/selection/TreeBuilders.h"
#include "wizard/transfer/RegistryReaders.h"

namespace wizard {

namespace {

const std::string kUninstall =
    "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kOffice11 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\11.0";
const std::string kOffice9 = "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Office\\9.0";
const std::string kOffice11Config = kOffice11 + "\\Common\\Config\\{90110409-6000-11D3-8CFE-0150048383C9}";

void log(const char* proc, const char* status) { FN_Write_Log(proc, status, true); }

std::string withoutAll(std::string text, const std::string& what)
{
    for (std::size_t at; (at = text.find(what)) != std::string::npos;)
        text.erase(at, what.size());
    return text;
}

} // namespace

bool clsApplicationInfo::putIsSupported(const std::string& text)
{
    const std::string folded = coretext::lowerAscii(coretext::trimBlanks(text));
    if (folded == "true" || folded == "false") {
        m_isSupported = folded == "true";
        return true;
    }
    char* end = nullptr;
    const double number = std::strtod(folded.c_str(), &end);
    if (folded.empty() || *end != '\0')
        return false;
    m_isSupported = number != 0;
    return true;
}

std::vector<clsApplicationInfo>& ApplicationList()
{
    static std::vector<clsApplicationInfo> list(1);
    return list;
}

MirrorReader machineMirrorReader()
{
    namespace reg = Registry_Related_Functions;
    const auto hklm = platform::RegRoot::LocalMachine;
    MirrorReader r;
    r.enumKeys = [hklm](const std::string& key) { return reg::FN_Reg_Enum_Keys(hklm, key); };
    r.enumValues = [hklm](const std::string& key) { return reg::FN_Reg_Enum_Values(hklm, key); };
    r.getValue = [hklm](const std::string& key, const std::string& name) {
        return reg::FN_Reg_Get_Value(hklm, key, name, "");
    };
    return r;
}

bool FN_Load_Image(const platform::FileSystem& fs, const std::string& appPath, TreeImages& images)
{
    log("FN_Load_Image", "Start");
    std::vector<std::string> names;
    fs.dir(appPath + "\\Icons\\*.gif", 0, names);
    if (names.empty()) {
        platform::showMessage(
            "Image Files are Missing", platform::MsgButtons::Ok, platform::MsgIcon::Critical);
        FN_Write_Log("FN_Load_Image", "53:File not found", true);
        return false;
    }
    bool ok = true;
    for (const std::string& name : names)
        ok = images.addKeyed(withoutAll(name, ".gif"), appPath + "\\Icons\\" + name) && ok;
    if (!ok) {
        FN_Write_Log("FN_Load_Image", "35602:Key is not unique in collection", true);
        return false;
    }
    log("FN_Load_Image", "End");
    return true;
}

bool FN_Get_Remote_Application(const MirrorReader& reader, std::vector<std::string>& names)
{
    log("FN_Get_Remote_Application", "Start");
    names.clear();
    const std::vector<std::string> uninstall =
        reader.enumKeys(kUninstall).value_or(std::vector<std::string>{});
    const bool office11 = !coretext::trimBlanks(reader.getValue(kOffice11Config, "PIDKEY")).empty();
    const std::vector<std::string> office =
        reader.enumKeys(office11 ? kOffice11 : kOffice9).value_or(std::vector<std::string>{});

    std::vector<clsApplicationInfo>& list = ApplicationList();
    list.assign(1, clsApplicationInfo{});
    for (const std::string& product : office) {
        bool shared = false;
        for (const char* part : {"Common", "Delivery", "MSE", "Registration"})
            shared = shared || platform::equalsNoCase(product, part);
        if (!shared)
            names.push_back("MS " + product);
    }
    for (const std::string& sub : uninstall) {
        const std::vector<std::string> values =
            reader.enumValues(kUninstall + "\\" + sub).value_or(std::vector<std::string>{});
        for (const std::string& text : values) {
            if (text.substr(0, 12).find("DisplayName=") == std::string::npos ||
                text.find("Microsoft Office") != std::string::npos)
                continue;
            clsApplicationInfo info;
            info.putApplnName(withoutAll(text, "DisplayName="));
            info.putApplnKey(kUninstall + "\\" + sub);
            names.push_back(info.getApplnName());
            list.push_back(std::move(info));
        }
    }
    log("FN_Get_Remote_Application", "End");
    return true;
}

int FN_Get_ICON_Idx(const TreeImages& images, const std::string& name, std::string& iconKey)
{
    log("FN_Get_ICON_Idx", "Start");
    const int index = images.matchKeyed(name, iconKey);
    log("FN_Get_ICON_Idx", "End");
    return index;
}

bool FN_Load_Tree(SelectionTree& tree, const TreeImages& images, const MirrorReader& reader)
{
    log("FN_Load_Tree", "Start");
    std::vector<std::string> names;
    if (FN_Get_Remote_Application(reader, names)) {
        // Supported applications first, one node per icon however many versions match it.
        std::vector<std::pair<std::string, int>> supported;
        std::vector<std::string> unsupported;
        for (const std::string& name : names) {
            std::string key;
            const int index = FN_Get_ICON_Idx(images, name, key);
            if (index == 0)
                unsupported.push_back(name);
            else
                supported.emplace_back(key, index);
        }
        for (const auto& [key, index] : supported)
            tree.addUnder("Supported", key, key, index);
        for (const std::string& name : unsupported)
            tree.addUnder("Unsupported", name, name, treeimage::kUnsupportedMark);
    }
    log("FN_Load_Tree", "End");
    return true;
}

} // namespace wizard
