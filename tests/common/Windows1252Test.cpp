// Windows1252Test.cpp: the code page's table both ways.
#include "common/Windows1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Windows1252Test, EveryByteComesBackFromItsCodePoint)
{
    for (int b = 0; b < 256; ++b) {
        const char32_t cp = common::cp1252ToCodePoint(static_cast<unsigned char>(b));
        EXPECT_EQ(common::codePointToCp1252(cp), b) << "byte " << b;
    }
}

TEST(Windows1252Test, TheHighControlsAreTheCodePagesOwnCharacters)
{
    EXPECT_EQ(common::cp1252ToCodePoint(0x80), U'\u20AC');
    EXPECT_EQ(common::cp1252ToCodePoint(0x9F), U'\u0178');
    EXPECT_EQ(common::cp1252ToCodePoint(0x81), U'\u0081') << "unassigned bytes stand for themselves";
    EXPECT_EQ(common::cp1252ToCodePoint(0xE9), U'\u00E9');
    EXPECT_EQ(common::codePointToCp1252(U'\u2122'), 0x99);
    EXPECT_EQ(common::codePointToCp1252(U'\u0080'), -1) << "U+0080 has no byte: 0x80 is the euro sign";
    EXPECT_EQ(common::codePointToCp1252(U'\u4E2D'), -1);
}

} // namespace
