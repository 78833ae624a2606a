// RegFileConfinementTest.cpp: a confined merge names only the keys it may change; any other key,
// opened or deleted, in either file form, refuses the whole file with its line.
#include "platform/RegFile.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr const char* kMirror = "HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER";

struct Case {
    const char* what;
    const char* sections; // key lines after a first, allowed one
    std::size_t refusedLine;
};

const Case kCases[] = {
    {"below the mirror", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\A]", 0},
    {"the mirror key itself, any case", "[hkey_local_machine\\software\\qz\\hkey_current_user]", 0},
    {"doubled separators", "[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\QZ\\\\HKEY_CURRENT_USER\\B]", 0},
    {"short root name of the mirror", "[HKLM\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\C]", 0},
    {"deletion inside the mirror", "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Software\\A]", 0},
    {"another root", "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]", 3},
    {"short root name", "[HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]", 3},
    {"HKEY_USERS", "[HKEY_USERS\\.DEFAULT\\Software]", 3},
    {"HKEY_CURRENT_CONFIG", "[HKEY_CURRENT_CONFIG\\Software]", 3},
    {"classes root (below SOFTWARE\\Classes)", "[HKEY_CLASSES_ROOT\\exefile]", 3},
    {"deletion outside", "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT]", 3},
    {"a sibling whose name begins alike", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USERS]", 3},
    {"the mirror's parent", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ]", 3},
};

std::string fileOf(const char* header, const Case& c)
{
    return std::string(header) + "\r\n[" + kMirror + "\\First]\r\n" + c.sections +
        "\r\n\"Planted\"=\"yes\"\r\n";
}

} // namespace

TEST(RegFileConfinementTest, KeysOutsideRefuseTheWholeFileInBothFormsAndChangeNothing)
{
    Registry reg;
    ASSERT_EQ(reg.open(":memory:", Registry::OpenMode::CreateIfMissing), WinError::Success);
    RegKey keep;
    ASSERT_EQ(
        reg.createKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT", keep), WinError::Success);
    RegFileMergeOptions confined;
    confined.confineTo = {kMirror};
    for (const Case& c : kCases) {
        for (const bool wide : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (wide ? " (UTF-16)" : " (REGEDIT4)"));
            const std::string text = wide
                ? "\xFF\xFE" + cp1252ToUtf16le(fileOf("Windows Registry Editor Version 5.00", c))
                : fileOf("REGEDIT4", c);
            RegFileMergeReport checked;
            const WinError check = checkRegText(text, checked, confined);
            RegFileMergeReport merged;
            const WinError merge = mergeRegText(reg, text, merged, confined);
            EXPECT_EQ(checked.refusedLine, c.refusedLine);
            EXPECT_EQ(merged.refusedLine, c.refusedLine);
            RegKey first;
            const WinError firstThere =
                reg.openKey(RegRoot::LocalMachine, std::string(kMirror).substr(19) + "\\First", first);
            if (c.refusedLine == 0) {
                EXPECT_EQ(check, WinError::Success) << checked.message;
                EXPECT_EQ(merge, WinError::Success) << merged.message;
            } else {
                EXPECT_EQ(check, WinError::AccessDenied);
                EXPECT_EQ(merge, WinError::AccessDenied);
                EXPECT_NE(merged.message.find("line 3"), std::string::npos) << merged.message;
                EXPECT_EQ(firstThere, WinError::FileNotFound) << "the allowed key before it was merged";
            }
            EXPECT_EQ(reg.openKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT", keep),
                WinError::Success);
            reg.deleteTree(RegRoot::LocalMachine, "SOFTWARE\\QZ");
        }
    }
}

TEST(RegFileConfinementTest, OldFormLinesAreConfinedAndAnUnconfinedMergeIsUnchanged)
{
    const std::string old = "REGEDIT\r\nHKEY_CLASSES_ROOT\\exefile = planted\r\n";
    RegFileMergeOptions confined;
    confined.confineTo = {kMirror};
    RegFileMergeReport report;
    EXPECT_EQ(checkRegText(old, report, confined), WinError::AccessDenied);
    EXPECT_EQ(report.refusedLine, 2u);
    EXPECT_EQ(checkRegText(old, report), WinError::Success);
    EXPECT_EQ(report.keysOpened, 1u);
}
