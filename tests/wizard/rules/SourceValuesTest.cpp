// SourceValuesTest.cpp: the source PC's system, folders and Office editions read from a mirror
// given as plain values, with the source's C: connected to F:.
#include "wizard/rules/SourceValues.h"

#include "common/Text.h"
#include "tests/wizard/core/CoreTestSupport.h"
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ScriptVariables.h"
#include "wizard/core/WizardState.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace wizard {
namespace {

const char* const kS3 =
    "SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class SourceValuesTest : public ::testing::Test {
protected:
    SourceValuesTest()
        : variables(machineFiles(), nullptr)
    {
        resetWizardState();
        access.registryValue = [this](
                                   platform::RegRoot root, const std::string& key, const std::string& value) {
            if (root != platform::RegRoot::LocalMachine)
                return std::string();
            const auto it = mirror.find({common::lowerAscii(key), value});
            return it == mirror.end() ? std::string() : it->second;
        };
        access.mappedDrive = [](const std::string& drive) -> std::optional<std::string> {
            return common::equalsNoCaseAscii(drive, "C:") ? std::optional<std::string>("F:") : std::nullopt;
        };
    }
    ~SourceValuesTest() override { resetWizardState(); }

    void put(const std::string& key, const std::string& name, const std::string& value)
    {
        mirror[{common::lowerAscii(key), name}] = value;
    }
    void xpSource(const std::string& user)
    {
        put(kMirrorNtVersionKey, "ProductName", "Microsoft Windows XP");
        put(kMirrorNtVersionKey, "SystemRoot", "C:\\WINDOWS");
        put(kMirror9xVersionKey, "ProgramFilesDir", "C:\\Program Files");
        const std::string profile = "C:\\Documents and Settings\\" + user;
        put(kS3, "Programs", profile + "\\Start Menu\\Programs");
        put(kS3, "Cookies", profile + "\\Cookies");
    }
    void win98Source()
    {
        put(kMirror9xVersionKey, "ProductName", "Microsoft Windows 98");
        put(kMirror9xVersionKey, "SystemRoot", "C:\\WINDOWS");
        put(kS3, "Programs", "C:\\WINDOWS\\Start Menu\\Programs");
        put(kS3, "Cookies", "C:\\WINDOWS\\Cookies");
    }
    bool run()
    {
        return initializeSourceValues(variables, access, [this] { unpacked.push_back(OfficePremiumFlag); });
    }
    std::string var(const std::string& name) const { return variables.lookup(name).value_or("<unset>"); }

    test::TempMachine machine;
    ScriptVariables variables;
    EnvironmentAccess access;
    std::map<std::pair<std::string, std::string>, std::string> mirror;
    // OfficePremiumFlag as each unpacking of the shortcut set found it.
    std::vector<bool> unpacked;
};

TEST_F(SourceValuesTest, XpSourceGetsItsFoldersOfficeFlagsAndNoShortcutSet)
{
    SourceOs = "win2k"; // the page's choice; the mirror knows better
    // A user whose name holds the letter of the local drive the profile is reached through.
    xpSource("Fred F");
    put(kMirrorNtVersionKey, "ProductName", "  MICROSOFT Windows xp ");
    put(kMirrorOffice2003Key, "DisplayName", "Microsoft Office Professional Edition 2003");
    put(kMirrorPremiumNtKey, "ProductName", "Microsoft Office Premium");
    variables.Set_System_Variable_Value("$blnSyncDone", "True");

    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "winxp");
    EXPECT_EQ(var("$st_source_os"), "winxp");
    EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\System32");
    EXPECT_EQ(var("$st_source_curr_user_settings"), "F:\\Documents and Settings\\Fred F");
    EXPECT_EQ(
        var("$st_source_curr_user_app_data"), "C:\\\\Documents and Settings\\\\Fred F\\\\Application Data");
    EXPECT_EQ(var("$st_source_alluser_settings"), "F:\\Documents and Settings\\All Users");
    EXPECT_EQ(var("$bln_office_2003_flg"), "true");
    EXPECT_TRUE(OfficePremiumFlag);
    EXPECT_EQ(var("$bln_office_premium_flg"), "true");
    EXPECT_EQ(var("$blnSyncDone"), "False");
    EXPECT_TRUE(unpacked.empty()) << "only a 95/98/ME source gets the shortcut set";
}

TEST_F(SourceValuesTest, Win2000SourceWithoutOffice2003OrPremiumEdition)
{
    xpSource("user1");
    put(kMirrorNtVersionKey, "ProductName", "Microsoft Windows 2000");
    put(kMirrorOffice2003Key, "DisplayName", "   ");
    // The 95/98/ME premium key does not count for a 2000/XP source.
    put(kMirrorPremium9xKey, "ProductName", "Microsoft Office Premium");
    variables.Set_System_Variable_Value("$bln_office_2003_flg", "true");
    OfficePremiumFlag = true;

    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "win2k");
    EXPECT_EQ(var("$bln_office_2003_flg"), "false");
    EXPECT_FALSE(OfficePremiumFlag);
    EXPECT_EQ(var("$bln_office_premium_flg"), "false");
}

TEST_F(SourceValuesTest, Win98SourceUnpacksTheSetChosenByItsPremiumKey)
{
    win98Source();
    // Values an earlier XP source left behind.
    variables.Set_System_Variable_Value("$bln_office_2003_flg", "true");
    variables.Set_System_Variable_Value(
        "$st_source_alluser", "F:\\Documents and Settings\\All Users\\Start Menu");
    put(kMirrorPremiumNtKey, "ProductName", "not this family's key");

    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "win98");
    EXPECT_EQ(var("$st_source_os"), "win98");
    EXPECT_EQ(var("$st_source_win_path"), "C:\\\\WINDOWS\\\\");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WINDOWS\\system");
    EXPECT_EQ(var("$st_source_curr_user_app_data"), "C:\\\\WINDOWS\\\\Application Data");
    EXPECT_EQ(var("$st_source_alluser_settings"), "");
    EXPECT_EQ(var("$bln_office_2003_flg"), "true") << "a 95/98/ME source leaves it alone";
    EXPECT_EQ(var("$bln_office_premium_flg"), "false");
    EXPECT_EQ(unpacked, std::vector<bool>{false});

    // With the premium edition the flag is set before the set is unpacked, so that the premium
    // set is the one chosen.
    put(kMirrorPremium9xKey, "ProductName", "Microsoft Office Premium");
    EXPECT_TRUE(run());
    EXPECT_EQ(var("$bln_office_premium_flg"), "true");
    EXPECT_EQ(unpacked, (std::vector<bool>{false, true}));
}

TEST_F(SourceValuesTest, UnknownProductNamesKeepThePagesChoice)
{
    // A 9x name matching none of the three: the page's "winme" stays, and its setter runs.
    SourceOs = "winme";
    variables.Set_System_Variable_Value("$st_source_os", "winme");
    put(kMirror9xVersionKey, "ProductName", "Microsoft Windows 3.11");
    put(kMirror9xVersionKey, "SystemRoot", "C:\\WIN");
    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "winme");
    EXPECT_EQ(var("$st_source_os"), "winme");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WIN\\system");
    EXPECT_EQ(unpacked.size(), 1u);

    // Another NT product name wins over any 9x name and also leaves the choice alone.
    SourceOs = "win95";
    put(kMirrorNtVersionKey, "ProductName", "Microsoft Windows Server 2003");
    put(kMirror9xVersionKey, "ProductName", "Microsoft Windows 98");
    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "win95");
    EXPECT_EQ(var("$st_source_system_dir"), "F:\\WIN\\System");
    EXPECT_EQ(var("$st_source_os"), "winme") << "not written when the mirror names no known system";
}

TEST_F(SourceValuesTest, EmptyMirrorOrMissingProfile)
{
    // Nothing mirrored and no choice made: no setter runs, and the run still goes on.
    EXPECT_TRUE(run());
    EXPECT_EQ(SourceOs, "");
    EXPECT_EQ(var("$st_source_win_path"), "<unset>");
    EXPECT_EQ(var("$st_source_curr_user_app_data"), "");
    EXPECT_EQ(var("$blnSyncDone"), "False");
    EXPECT_TRUE(unpacked.empty());

    // An XP source whose mirror names no profile folder has no application-data folder.
    put(kMirrorNtVersionKey, "ProductName", "Microsoft Windows XP");
    put(kMirrorNtVersionKey, "SystemRoot", "C:\\WINDOWS");
    EXPECT_TRUE(run());
    EXPECT_EQ(var("$st_source_win_dir"), "F:\\WINDOWS");
    EXPECT_EQ(var("$st_source_curr_user_app_data"), "");
    EXPECT_EQ(var("$st_source_alluser_settings"), "");
}

} // namespace
} // namespace wizard
