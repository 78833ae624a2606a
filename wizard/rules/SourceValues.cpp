// SourceValues.cpp: the source PC's system, folders and Office editions read from the mirror.
#include "wizard/rules/SourceValues.h"

#include "common/Text.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/TextUtil.h"
#include "wizard/core/WizardState.h"

namespace wizard {

namespace {

using platform::RegRoot;

std::string mirrorValue(const EnvironmentAccess& access, const char* key, const char* value)
{
    return access.registryValue ? access.registryValue(RegRoot::LocalMachine, key, value) : std::string();
}

std::string productName(const EnvironmentAccess& access, const char* key)
{
    return common::lowerAscii(common::trimmed(mirrorValue(access, key, "ProductName"), " "));
}

// The application-data folder as the source PC itself names it, in doubled form.
std::string sourceAppData(const ScriptVariables& variables, bool nineX)
{
    const std::string winPath = variables.lookup("$st_source_win_path").value_or("");
    if (nineX)
        return winPath + "Application Data";
    const std::string profile = variables.lookup("$st_source_curr_user_settings").value_or("");
    // Without a profile folder there is no application-data folder to name.
    if (profile.empty())
        return {};
    std::string appData = coretext::doubleBackslashes(profile + "\\Application Data");
    // The profile is reached through a local drive; the source knows it on its own drive.
    if (!winPath.empty())
        appData[0] = winPath[0];
    return appData;
}

} // namespace

bool isNineXSource(const std::string& osCode)
{
    return osCode == "win95" || osCode == "win98" || osCode == "winme";
}

std::string mirroredSourceOs(const EnvironmentAccess& access)
{
    const std::string nt = productName(access, kMirrorNtVersionKey);
    if (nt == "microsoft windows 2000")
        return "win2k";
    if (nt == "microsoft windows xp")
        return "winxp";
    if (!nt.empty())
        return {};
    const std::string nineX = productName(access, kMirror9xVersionKey);
    if (nineX == "microsoft windows 98")
        return "win98";
    if (nineX == "microsoft windows 95")
        return "win95";
    if (nineX == "microsoft windows me")
        return "winme";
    return {};
}

bool initializeSourceValues(ScriptVariables& variables, const EnvironmentAccess& access,
    const std::function<void()>& unpackOfficeLinks)
{
    if (const std::string os = mirroredSourceOs(access); !os.empty()) {
        SourceOs = os;
        variables.Set_System_Variable_Value("$st_source_os", SourceOs);
    }
    const bool nineX = isNineXSource(SourceOs);
    const bool nt = SourceOs == "win2k" || SourceOs == "winxp";
    PcEnvironment environment(variables, access);
    if (nineX || nt)
        environment.sourcePaths(SourceOs);

    variables.Set_System_Variable_Value("$st_source_curr_user_app_data", sourceAppData(variables, nineX));

    if (nt) {
        const std::string office2003 = mirrorValue(access, kMirrorOffice2003Key, "DisplayName");
        variables.Set_System_Variable_Value(
            "$bln_office_2003_flg", common::trimmed(office2003, " ").empty() ? "false" : "true");
    }

    const char* premiumKey = nineX ? kMirrorPremium9xKey : kMirrorPremiumNtKey;
    OfficePremiumFlag = !mirrorValue(access, premiumKey, "ProductName").empty();
    variables.Set_System_Variable_Value("$bln_office_premium_flg", OfficePremiumFlag ? "true" : "false");

    // Only a 2000/XP source has an All Users folder; a value left by an earlier source must not
    // name one for this source.
    const std::string allUsers = nt ? variables.lookup("$st_source_alluser").value_or("") : std::string();
    variables.Set_System_Variable_Value("$st_source_alluser_settings",
        coretext::removeAll(allUsers, "\\Start Menu\\Programs", CaseMode::IgnoreCase));

    // The shortcut set is chosen by the premium flag, so it is unpacked only now.
    if (nineX && unpackOfficeLinks)
        unpackOfficeLinks();

    variables.Set_System_Variable_Value("$blnSyncDone", "False");
    return true;
}

} // namespace wizard
