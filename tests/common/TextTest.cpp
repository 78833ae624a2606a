// TextTest.cpp: trimming and ASCII case.
#include "common/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(TextTest, TrimmingTakesBlanksOrTheGivenCharactersFromBothEnds)
{
    EXPECT_EQ(common::trimmed(" \tA b\t "), "A b");
    EXPECT_EQ(common::trimmed("  \t "), "");
    EXPECT_EQ(common::trimmed(""), "");
    EXPECT_EQ(common::trimmed("\r\nx\r\n"), "\r\nx\r\n") << "line ends are no blanks";
    EXPECT_EQ(common::trimmed("\r\nx \r\n", " \r\n"), "x");
}

TEST(TextTest, CaseChangesAsciiLettersOnly)
{
    EXPECT_EQ(common::upperAscii("Program Files\xC3\xA9"), "PROGRAM FILES\xC3\xA9");
    EXPECT_EQ(common::lowerAscii("HKEY_Local"), "hkey_local");
    EXPECT_TRUE(common::equalsNoCaseAscii("Kestro.XML", "kestro.xml"));
    EXPECT_FALSE(common::equalsNoCaseAscii("Kestro", "Kestro "));
    EXPECT_FALSE(common::equalsNoCaseAscii("\xC3\xA9", "\xC3\x89")) << "no folding beyond ASCII";
}

} // namespace
