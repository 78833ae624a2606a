// WinPathTest.cpp: parsing and folding of Windows paths, wildcard matching.
#include "platform/WinPath.h"

#include <gtest/gtest.h>

using platform::PathSyntax;
using platform::WinPath;

namespace {

std::string canonical(const std::string& text)
{
    WinPath p;
    return WinPath::parse(text, p) == PathSyntax::Ok ? p.text() : "<" + text + ">";
}

PathSyntax syntaxOf(const std::string& text)
{
    WinPath p;
    return WinPath::parse(text, p);
}

} // namespace

TEST(WinPathTest, DrivePathsFoldSeparatorsDotsAndCase)
{
    EXPECT_EQ(canonical("c:\\Windows\\System32"), "C:\\Windows\\System32");
    EXPECT_EQ(canonical("C:/Windows//System32/"), "C:\\Windows\\System32");
    EXPECT_EQ(canonical("C:\\a\\.\\b\\..\\c"), "C:\\a\\c");
    EXPECT_EQ(canonical("C:"), "C:\\");
    EXPECT_EQ(canonical("C:\\"), "C:\\");
    EXPECT_EQ(canonical("C:\\file.txt. "), "C:\\file.txt");
}

TEST(WinPathTest, RelativeAndRootlessPathsAreRefused)
{
    EXPECT_EQ(syntaxOf(""), PathSyntax::Relative);
    EXPECT_EQ(syntaxOf("Windows\\System32"), PathSyntax::Relative);
    EXPECT_EQ(syntaxOf("\\Windows"), PathSyntax::Relative);
    EXPECT_EQ(syntaxOf("C:Windows"), PathSyntax::Relative);
    EXPECT_EQ(syntaxOf("..\\etc"), PathSyntax::Relative);
}

TEST(WinPathTest, DotDotNeverClimbsAboveTheRoot)
{
    EXPECT_EQ(syntaxOf("C:\\..\\..\\etc"), PathSyntax::Escapes);
    EXPECT_EQ(syntaxOf("C:\\a\\..\\..\\b"), PathSyntax::Escapes);
    EXPECT_EQ(syntaxOf("\\\\PC\\C$\\..\\D$"), PathSyntax::Escapes);
    EXPECT_EQ(canonical("C:\\a\\..\\b"), "C:\\b");
}

TEST(WinPathTest, UncPathsKeepServerAndShare)
{
    WinPath p;
    ASSERT_EQ(WinPath::parse("\\\\oldpc\\C$\\My Documents\\a.doc", p), PathSyntax::Ok);
    EXPECT_EQ(p.kind(), WinPath::Kind::Unc);
    EXPECT_EQ(p.server(), "oldpc");
    EXPECT_EQ(p.share(), "C$");
    ASSERT_EQ(p.parts().size(), 2u);
    EXPECT_EQ(p.parts()[0], "My Documents");
    EXPECT_EQ(p.text(), "\\\\oldpc\\C$\\My Documents\\a.doc");
    EXPECT_EQ(canonical("//oldpc/c$/x/"), "\\\\oldpc\\c$\\x");
    EXPECT_EQ(canonical("\\\\oldpc\\c$"), "\\\\oldpc\\c$");
}

TEST(WinPathTest, MalformedNamesAreBadNames)
{
    EXPECT_EQ(syntaxOf("\\\\server"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("\\\\server\\"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("\\\\?\\C:\\x"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("C:\\a|b"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("C:\\a\\b:c"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("C:\\*\\b"), PathSyntax::BadName);
    EXPECT_EQ(syntaxOf("C:\\a\\..."), PathSyntax::BadName);
}

TEST(WinPathTest, WildcardsOnlyInTheLastComponent)
{
    WinPath p;
    ASSERT_EQ(WinPath::parse("C:\\Temp\\*.*", p), PathSyntax::Ok);
    EXPECT_TRUE(p.hasWildcards());
    EXPECT_EQ(p.leaf(), "*.*");
    EXPECT_EQ(p.parent().text(), "C:\\Temp");
    ASSERT_EQ(WinPath::parse("C:\\Temp\\a.txt", p), PathSyntax::Ok);
    EXPECT_FALSE(p.hasWildcards());
}

TEST(WinPathTest, TrailingSeparatorIsRemembered)
{
    WinPath p;
    ASSERT_EQ(WinPath::parse("C:\\Temp\\", p), PathSyntax::Ok);
    EXPECT_TRUE(p.trailingSeparator());
    ASSERT_EQ(WinPath::parse("C:\\Temp", p), PathSyntax::Ok);
    EXPECT_FALSE(p.trailingSeparator());
}

TEST(WinPathTest, WildcardMatchingIgnoresCase)
{
    using platform::wildcardMatch;
    EXPECT_TRUE(wildcardMatch("*.lnk", "Word.LNK"));
    EXPECT_FALSE(wildcardMatch("*.lnk", "Word.lnk.txt"));
    EXPECT_TRUE(wildcardMatch("*.*", "README"));
    EXPECT_TRUE(wildcardMatch("a?c.txt", "ABC.txt"));
    EXPECT_FALSE(wildcardMatch("a?c.txt", "ac.txt"));
    EXPECT_TRUE(wildcardMatch("readme.*", "README"));
    EXPECT_TRUE(wildcardMatch("*bak*", "x.bak.old"));
}

TEST(WinPathDeviceNameTest, ReservedDeviceNamesAreNoFilesOrFolders)
{
    platform::WinPath p;
    for (const char* path : {"C:\\CON", "C:\\con.txt", "C:\\dir\\Nul", "C:\\LPT1 .log", "C:\\com9",
             "C:\\aux\\x.txt", "\\\\PC\\C$\\PRN"})
        EXPECT_EQ(platform::WinPath::parse(path, p), platform::PathSyntax::BadName) << path;
    for (const char* path : {"C:\\CONSOLE", "C:\\com10", "C:\\LPT0", "C:\\icon.txt", "C:\\nul2\\x"})
        EXPECT_EQ(platform::WinPath::parse(path, p), platform::PathSyntax::Ok) << path;
}
