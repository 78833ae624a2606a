// CodePageTest.cpp: Windows-1252/UTF-8/UTF-16 conversions and the case-folding rule for names.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <vector>

using namespace platform;

TEST(CodePageTest, Cp1252HighCharactersBecomeTheirUnicodeLetters)
{
    EXPECT_EQ(cp1252ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(cp1252ToUtf8("Caf\xE9"), "Caf\u00E9");
    EXPECT_EQ(cp1252ToUtf8("\x9C\x9F"), "\u0153\u0178");
}

TEST(CodePageTest, EveryByteSurvivesARoundTripThroughUtf8)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    bool lossless = false;
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all), &lossless), all);
    EXPECT_TRUE(lossless);
}

TEST(CodePageTest, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    bool lossless = true;
    EXPECT_EQ(utf8ToCp1252("a\u4E2Db", &lossless), "a?b");
    EXPECT_FALSE(lossless);
    EXPECT_EQ(utf8ToCp1252("x\xC3", &lossless), "x?"); // cut-off sequence
    EXPECT_FALSE(lossless);
}

TEST(CodePageTest, Utf16LittleEndianBytesRoundTrip)
{
    const std::string text = "A\xE9\x80";
    const std::string wide = cp1252ToUtf16le(text);
    EXPECT_EQ(wide, std::string("A\0\xE9\0\xAC\x20", 6));
    EXPECT_EQ(utf16leToCp1252(wide), text);
    bool lossless = true;
    EXPECT_EQ(utf16leToCp1252(std::string("\x2D\x4E", 2), &lossless), "?");
    EXPECT_FALSE(lossless);
}

TEST(CodePageTest, SurrogatePairsSurviveUtf16)
{
    const std::string text = "a\U0001F600b";
    const std::u16string wide = utf8ToUtf16(text);
    EXPECT_EQ(wide.size(), 4u);
    EXPECT_EQ(utf16ToUtf8(wide), text);
}

TEST(CodePageTest, FoldingIgnoresCaseOfAsciiAndWesternLetters)
{
    EXPECT_EQ(foldCase("Software\\Classes"), "SOFTWARE\\CLASSES");
    EXPECT_TRUE(equalsNoCase("caf\u00E9", "CAF\u00C9"));
    EXPECT_TRUE(equalsNoCase("\u0153uvre", "\u0152UVRE"));
    EXPECT_FALSE(equalsNoCase("abc", "abd"));
    EXPECT_FALSE(equalsNoCase("abc", "ab"));
}

TEST(CodePageTest, OrderPutsUnderscoreAfterLettersAsUpperCaseComparisonDoes)
{
    EXPECT_LT(compareNoCase("abc", "ABD"), 0);
    EXPECT_GT(compareNoCase("a_b", "AZB"), 0);
    EXPECT_LT(compareNoCase("ab", "abc"), 0);
    EXPECT_EQ(compareNoCase("MiXeD", "mixed"), 0);
}

TEST(CodePageTest, FoldedKeysOrderTextsExactlyAsTheComparisonDoes)
{
    const std::vector<std::string> texts = {"abc", "ABD", "a_b", "AZB", "ab", "", "caf\u00E9", "CAF\u00C9",
        "cafe", "\u0153uvre", "Z", "z\xFF", "z\x80", "z\u00FF", "\xC3", "Document 100001.txt"};
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            const int byCompare = compareNoCase(a, b);
            const std::u32string ka = foldedKey(a), kb = foldedKey(b);
            const int byKey = ka < kb ? -1 : (kb < ka ? 1 : 0);
            EXPECT_EQ(byKey, byCompare < 0 ? -1 : (byCompare > 0 ? 1 : 0)) << a << " / " << b;
        }
    }
}
