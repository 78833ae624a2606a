// sourcevalues_fuzz.cpp: arbitrary text as the values a source PC names paths with: an uninstall
// entry's command and location, an App Paths value cut at an application's name, SYSTEM.INI and
// Control.ini lines, Outlook Express's store root and a mail profile's personal-folders path in a
// registry export, the mass rewrite of a registry file, and the confinement's judgement of a path
// as written. A path the confinement lets through holds only Windows names once parsed.
#include "platform/PathConfinement.h"
#include "platform/WinPath.h"
#include "platform/WindowsName.h"
#include "wizard/rules/ItemRules.h"
#include "wizard/rules/MassOperations.h"
#include "wizard/transfer/AppLocation.h"
#include "wizard/transfer/DisplaySettings.h"
#include "wizard/transfer/MassRegistry.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void checkPathText(const std::string& text)
{
    platform::WinPath path;
    if (!platform::pathTextRefusal(text).empty() ||
        platform::WinPath::parse(text, path) != platform::PathSyntax::Ok)
        return;
    for (const std::string& part : path.parts())
        if (!platform::isWindowsName(part))
            std::abort();
}

void checkLines(const std::string& text)
{
    const std::string line = text.substr(0, text.find('\n'));
    const std::string value = wizard::Registry_Related_Functions::controlIniValueLine(line);
    if (!value.empty() && (value.size() < 2 || value.front() != '"' || value.back() != '"'))
        std::abort();
    if (wizard::Registry_Related_Functions::saverPathOf(line).size() > line.size())
        std::abort();
    // The first line names the application; the rest is its path.
    const std::string rest = line.size() < text.size() ? text.substr(line.size() + 1) : std::string();
    const std::string cut = wizard::ModOtherApplications::GetInstallPath(rest, line);
    if (rest.rfind(cut, 0) != 0)
        std::abort();
    wizard::ModOtherApplications::folderOfUninstallCommand(text);
}

void checkExports(const std::string& text)
{
    wizard::storeRootOf(text);
    if (wizard::pstPathIn(text).size() > text.size())
        std::abort();
    using wizard::mass::PathRewrite;
    if (wizard::mass::rewriteRegText(text, "", "", PathRewrite{}) != text)
        std::abort();
    wizard::mass::rewriteRegText(
        text, "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\", "", PathRewrite{"C:\\WINDOWS", "C:\\WINNT", true});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    checkPathText(text);
    checkLines(text);
    checkExports(text);
    return 0;
}
