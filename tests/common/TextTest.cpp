// TextTest.cpp: trimming and ASCII case.
#include "common/Text.h"

#include <gtest/gtest.h>

#include "tests/support/TurkishLocale.h"

namespace {

TEST(TextTest, TrimmingTakesBlanksOrTheGivenCharactersFromBothEnds)
{
    EXPECT_EQ(common::trimmed(" \tA b\t "), "A b");
    EXPECT_EQ(common::trimmed("  \t "), "");
    EXPECT_EQ(common::trimmed(""), "");
    EXPECT_EQ(common::trimmed("\r\nx\r\n"), "\r\nx\r\n") << "line ends are no blanks";
    EXPECT_EQ(common::trimmed("\r\nx \r\n", " \r\n"), "x");
    EXPECT_EQ(common::trimmedLeft(" \tx "), "x ");
    EXPECT_EQ(common::trimmedRight(" x\t "), " x");
    EXPECT_EQ(common::trimmed("\v 1.2\f\n", common::kWhiteSpace), "1.2");
}

TEST(TextTest, CaseChangesAsciiLettersOnly)
{
    EXPECT_EQ(common::upperAscii("Program Files\xC3\xA9"), "PROGRAM FILES\xC3\xA9");
    EXPECT_EQ(common::lowerAscii("HKEY_Local"), "hkey_local");
    EXPECT_TRUE(common::equalsNoCaseAscii("Kestro.XML", "kestro.xml"));
    EXPECT_FALSE(common::equalsNoCaseAscii("Kestro", "Kestro "));
    EXPECT_FALSE(common::equalsNoCaseAscii("\xC3\xA9", "\xC3\x89")) << "no folding beyond ASCII";
    EXPECT_TRUE(common::startsWithNoCaseAscii("HTTP://x", "http:"));
    EXPECT_FALSE(common::startsWithNoCaseAscii("htt", "http:"));
    EXPECT_TRUE(common::endsWithNoCaseAscii("Setup.EXE", ".exe"));
    EXPECT_FALSE(common::endsWithNoCaseAscii("exe", ".exe"));
    EXPECT_FALSE(common::isAsciiLetter('\xE9'));
}

TEST(TextTest, CaseIsTheSameUnderATurkishLocale)
{
    const testsupport::TurkishLocale turkish;
    ASSERT_TRUE(turkish.active()) << "tr_TR.UTF-8 could be neither set nor built";
    EXPECT_EQ(common::upperAscii("pagefile.sys"), "PAGEFILE.SYS");
    EXPECT_EQ(common::lowerAscii("DESKTOP.INI"), "desktop.ini");
    EXPECT_TRUE(common::equalsNoCaseAscii("hiberfil.sys", "HIBERFIL.SYS"));
    EXPECT_TRUE(common::endsWithNoCaseAscii("OUTLOOK.PST", ".pst"));
}

} // namespace
