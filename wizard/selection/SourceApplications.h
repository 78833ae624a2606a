// SourceApplications.h: the applications installed on the source PC, read from its registry as
// mirrored under SOFTWARE\QZ, split into supported ones (an icon, and a migration script, of their
// own ship with the wizard) and unsupported ones, and put into a selection tree.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "wizard/selection/SelectionTree.h"
#include "wizard/selection/TreeImages.h"

namespace wizard {

// One application found in the mirrored uninstall key.
class clsApplicationInfo {
public:
    const std::string& getApplicationKey() const { return m_applicationKey; }
    void putApplnKey(std::string key) { m_applicationKey = std::move(key); }
    const std::string& getApplnName() const { return m_applnName; }
    void putApplnName(std::string name) { m_applnName = std::move(name); }
    const std::string& getApplnPath() const { return m_applnPath; }
    void putApplnPath(std::string path) { m_applnPath = std::move(path); }
    bool IsSupported() const { return m_isSupported; }
    // "true"/"false" in any case, or a number (0 is false); anything else is refused (false).
    bool putIsSupported(const std::string& text);

private:
    std::string m_applnName;
    std::string m_applicationKey; // below HKEY_LOCAL_MACHINE of this PC, inside the mirror
    bool m_isSupported = false;
    std::string m_applnPath;
};

// The records of the last listing: position 0 holds an empty record, 1 to n the applications in
// the order found (ApplicationList().size() is n + 1).
std::vector<clsApplicationInfo>& ApplicationList();

// Reads the mirrored registry (paths below HKEY_LOCAL_MACHINE of this PC).
struct MirrorReader {
    // Sub-key names; nullopt when the key cannot be opened.
    std::function<std::optional<std::vector<std::string>>(const std::string&)> enumKeys;
    // Values as "name=text"; nullopt when the key cannot be opened.
    std::function<std::optional<std::vector<std::string>>(const std::string&)> enumValues;
    // One value as text; empty when missing.
    std::function<std::string(const std::string&, const std::string&)> getValue;
};
// The running machine's registry.
MirrorReader machineMirrorReader();

// Adds an icon to `images` for every "*.gif" of the application folder's "Icons" folder, keyed by
// the file name without ".gif". No icon: "Image Files are Missing" and False.
bool FN_Load_Image(const platform::FileSystem& fs, const std::string& appPath, TreeImages& images);

// The application names (Office products first, as "MS " + product, then the display names of the
// uninstall entries, duplicates kept) and ApplicationList. True also when nothing was found.
bool FN_Get_Remote_Application(const MirrorReader& reader, std::vector<std::string>& names);

// The index of the first application icon whose name occurs in `name` (any case), or 0.
int FN_Get_ICON_Idx(const TreeImages& images, const std::string& name, std::string& iconKey);

// Lists the applications and adds them below "Supported" (once per icon, keyed and named by the
// icon, with its image) and "Unsupported" (keyed and named by the application, image 5).
bool FN_Load_Tree(SelectionTree& tree, const TreeImages& images, const MirrorReader& reader);

} // namespace wizard
