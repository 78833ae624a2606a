// TransferTextTest.cpp: text replacement, mirror keys, drive translation and path pieces.
#include "wizard/transfer/TransferText.h"

#include <gtest/gtest.h>

using namespace wizard;

TEST(TransferTextTest, ReplacesLeftToRightWithoutOverlap)
{
    EXPECT_EQ(replaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceAll("aaa", "aa", "x"), "xa");
    EXPECT_EQ(replaceAll("C:\\WINDOWS\\x", "c:\\windows", "D:\\WINNT"), "C:\\WINDOWS\\x");
    EXPECT_EQ(replaceAll("C:\\WINDOWS\\x", "c:\\windows", "D:\\WINNT", CaseMode::IgnoreCase), "D:\\WINNT\\x");
}

TEST(TransferTextTest, IgnoreCaseFoldsAnsiLetters)
{
    // "\xC4" and "\xE4" are A-umlaut in upper and lower case in Windows-1252.
    EXPECT_EQ(replaceAll("Dokumente \xC4nderung", "\xE4nderung", "X", CaseMode::IgnoreCase), "Dokumente X");
}

TEST(TransferTextTest, CaseBlindReplacementFindsEveryFormOfTheFirstLetter)
{
    // "s" and "S", s caron "\x9A" and "\x8A" are one letter each; "[" is only itself.
    EXPECT_EQ(replaceAll("xSsS", "ss", "t", CaseMode::IgnoreCase), "xtS");
    EXPECT_EQ(replaceAll("\x8A"
                         "a \x9A"
                         "A",
                  "\x9A"
                  "a",
                  "-", CaseMode::IgnoreCase),
        "- -");
    EXPECT_EQ(replaceAll("[hkey_a]\r\n[HKEY_B]\r\n[hkey", "[HKEY_", "[Q\\", CaseMode::IgnoreCase),
        "[Q\\a]\r\n[Q\\B]\r\n[hkey");
    EXPECT_EQ(replaceAll("ab", "abc", "x", CaseMode::IgnoreCase), "ab");
}

TEST(TransferTextTest, AMatchRefusedAtItsEndIsLeftAndTheSearchGoesOnFromItsSecondByte)
{
    const coretext::MatchEnd beforeB = [](std::string_view text, std::size_t end) {
        return end < text.size() && text[end] == 'b';
    };
    EXPECT_EQ(replaceAll("aaab", "aa", "X", CaseMode::Exact, beforeB), "aXb");
    EXPECT_EQ(replaceAll("AAb aa", "aa", "X", CaseMode::IgnoreCase, beforeB), "Xb aa");
}

TEST(TransferTextTest, RewriteSkipsAReplacementWithAnEmptySide)
{
    std::string text = "C:\\\\WINDOWS\\\\SYSTEM\\\\";
    EXPECT_FALSE(rewriteText(text, "", "D:\\\\WINNT\\\\", CaseMode::IgnoreCase));
    EXPECT_FALSE(rewriteText(text, "C:\\\\WINDOWS\\\\", "", CaseMode::IgnoreCase));
    EXPECT_EQ(text, "C:\\\\WINDOWS\\\\SYSTEM\\\\");
    EXPECT_TRUE(rewriteText(text, "C:\\\\WINDOWS\\\\", "D:\\\\WINNT\\\\", CaseMode::IgnoreCase));
    EXPECT_EQ(text, "D:\\\\WINNT\\\\SYSTEM\\\\");
}

TEST(TransferTextTest, MirrorKeysAndRealKeys)
{
    EXPECT_TRUE(isMirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel"));
    EXPECT_TRUE(isMirrorKey("hkey_local_machine\\software\\qz\\HKEY_CURRENT_USER"));
    EXPECT_FALSE(isMirrorKey("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZX\\HKEY_CURRENT_USER"));
    EXPECT_FALSE(isMirrorKey("HKEY_CURRENT_USER\\Control Panel"));
    EXPECT_EQ(realKeyOf("HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_CURRENT_USER\\Control Panel\\Desktop "),
        "HKEY_CURRENT_USER\\Control Panel\\Desktop");
    EXPECT_EQ(scriptRootOf("HKEY_CURRENT_USER"), platform::RegRoot::CurrentUser);
    EXPECT_EQ(scriptRootOf("hkey_local_machine"), platform::RegRoot::LocalMachine);
    EXPECT_EQ(scriptRootOf("HKEY_CLASSES_ROOT"), platform::RegRoot::ClassesRoot);
    EXPECT_EQ(scriptRootOf("HKEY_USERS"), std::nullopt);
    EXPECT_EQ(scriptRootOf("HKLM"), std::nullopt);
}

TEST(TransferTextTest, PathPieces)
{
    EXPECT_EQ(namePartOf("Z:\\Data\\a.txt"), "\\a.txt");
    EXPECT_EQ(folderOf("Z:\\Data\\a.txt"), "Z:\\Data");
    EXPECT_EQ(fileNameOf("Z:\\Data\\a.txt"), "a.txt");
    EXPECT_TRUE(endsWithNoCase("C:\\x\\a.DAT", "dat"));
    EXPECT_FALSE(endsWithNoCase("C:\\x\\c.data", "dat"));
    EXPECT_TRUE(containsNoCase("C:\\Documents and Settings\\Bob", "documents AND settings"));
}

TEST(TransferTextTest, TranslateDriveReplacesEveryOccurrence)
{
    EXPECT_EQ(translateDrive("C:\\Data\\C:x", "Z:"), "Z:\\Data\\Z:x");
    EXPECT_EQ(translateDrive("D:\\Data", "Y:"), "Y:\\Data");
}

TEST(TransferTextTest, FolderToEmptyRemovesOnlyTheWildcardAndBackslash)
{
    EXPECT_EQ(folderToEmpty("C:\\Temp\\*.*"), "C:\\Temp");
    EXPECT_EQ(folderToEmpty("C:\\Temp"), "C:\\Temp");
    EXPECT_EQ(folderToEmpty("C:\\Temp\\"), "C:\\Temp");
    EXPECT_EQ(folderToEmpty("\\\\OLDPC\\C$\\Temp\\*.*"), "\\\\OLDPC\\C$\\Temp");
}

TEST(TransferTextTest, FolderToEmptyRefusesRootsAndRelativePaths)
{
    EXPECT_FALSE(folderToEmpty("C:\\*.*"));
    EXPECT_FALSE(folderToEmpty("C:\\"));
    EXPECT_FALSE(folderToEmpty("C:"));
    EXPECT_FALSE(folderToEmpty("\\\\OLDPC\\C$\\*.*"));
    EXPECT_FALSE(folderToEmpty("\\*.*"));
    EXPECT_FALSE(folderToEmpty("Temp\\*.*"));
    EXPECT_FALSE(folderToEmpty(""));
}

TEST(TransferTextTest, ExpandsPathTokensWithExactCase)
{
    const TokenFolders src{"Z:\\WINDOWS", "Z:\\WINDOWS\\Profiles\\bob"};
    bool unresolved = true;
    std::string p = "%SystemRoot%\\Web\\Wallpaper\\bliss.bmp";
    EXPECT_TRUE(expandPathTokens(p, src, unresolved));
    EXPECT_FALSE(unresolved);
    EXPECT_EQ(p, "Z:\\WINDOWS\\Web\\Wallpaper\\bliss.bmp");

    p = "%APPDATA%\\x.ini";
    EXPECT_TRUE(expandPathTokens(p, src, unresolved));
    EXPECT_EQ(p, "Z:\\WINDOWS\\Profiles\\bob\\Application Data\\x.ini");

    p = "%SystemDrive%\\boot.ini";
    EXPECT_TRUE(expandPathTokens(p, src, unresolved));
    EXPECT_EQ(p, "Z:\\boot.ini");

    p = "%WINDIR%\\x.bmp"; // tokens match with exact case only
    EXPECT_FALSE(expandPathTokens(p, src, unresolved));
    EXPECT_EQ(p, "%WINDIR%\\x.bmp");
}

TEST(TransferTextTest, TokenOfAnUnknownFolderLeavesThePathUnresolved)
{
    bool unresolved = false;
    std::string p = "%USERPROFILE%\\a.txt";
    EXPECT_TRUE(expandPathTokens(p, TokenFolders{"C:\\WINDOWS", ""}, unresolved));
    EXPECT_TRUE(unresolved);
}
