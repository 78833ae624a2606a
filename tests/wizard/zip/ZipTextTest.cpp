// ZipTextTest.cpp: the archive control's text helpers and the safety checks of entry names.
#include "wizard/zip/ZipText.h"
#include "wizard/zip/EntryNames.h"

#include <gtest/gtest.h>

#include <limits>

using namespace wizard;

TEST(ZipTextTest, ByteCountsAsShortText)
{
    EXPECT_EQ(bytesToShortText(204), "204 bytes");
    EXPECT_EQ(bytesToShortText(205), "0.2KB");
    EXPECT_EQ(bytesToShortText(1536), "1.5KB");
    EXPECT_EQ(bytesToShortText(524287), "512.0KB");
    EXPECT_EQ(bytesToShortText(524288), "0.5MB");
    EXPECT_EQ(bytesToShortText(1048576), "1.0MB");
    EXPECT_EQ(bytesToShortText(0), "0 bytes");
    EXPECT_EQ(bytesToShortText(-5000), "-5,000 bytes");
    EXPECT_EQ(bytesToShortText(std::numeric_limits<std::int32_t>::min()), "-2,147,483,648 bytes");
    EXPECT_EQ(bytesToShortText(std::numeric_limits<std::int32_t>::max()), "2,048.0MB");
    // A half rounds away from zero: 256 bytes are 0.25 KB exactly.
    EXPECT_EQ(bytesToShortText(256), "0.3KB");
}

TEST(ZipTextTest, NamePartsAndParsePath)
{
    EXPECT_EQ(parseFilename("a/b\\c.txt"), "c.txt");
    EXPECT_EQ(parseFilename("c.txt"), "c.txt");
    EXPECT_EQ(parseFilename("folder/"), "");
    EXPECT_EQ(parseFilename(""), "");
    EXPECT_EQ(parsePath("C:\\Some\\File.TXT"), "c:\\some\\file.txt\\");
}

TEST(ZipTextTest, LikeComparison)
{
    EXPECT_TRUE(likeMatch("MICROSOFT WORD.LNK", "*WORD.LNK"));
    EXPECT_FALSE(likeMatch("MICROSOFT WORD.LNK", "WORD.LNK"));
    EXPECT_TRUE(likeMatch("A.LNK", "*.LNK"));
    EXPECT_FALSE(likeMatch("B.TXT", "*.LNK"));
    EXPECT_TRUE(likeMatch("", "*"));
    EXPECT_TRUE(likeMatch("FILE7.TXT", "FILE#.TXT"));
    EXPECT_FALSE(likeMatch("FILEX.TXT", "FILE#.TXT"));
    EXPECT_TRUE(likeMatch("CAT", "C?T"));
    EXPECT_FALSE(likeMatch("CT", "C?T"));
    EXPECT_TRUE(likeMatch("B1", "[A-C]#"));
    EXPECT_FALSE(likeMatch("D1", "[A-C]#"));
    EXPECT_TRUE(likeMatch("D1", "[!A-C]#"));
    EXPECT_TRUE(likeMatch("X", "[XYZ]"));
    EXPECT_FALSE(likeMatch("[A", "[A"));              // a "[" without "]" matches nothing
    EXPECT_TRUE(likeMatch("ÄRGER.LNK", "?RGER.LNK")); // one character, not one byte
    EXPECT_TRUE(likeMatch("ABCABCABD", "*ABD"));
    EXPECT_FALSE(likeMatch(std::string(200, 'A'), std::string(50, '*') + "B"));
}

TEST(ZipTextTest, DosDatesAsGeneralDateText)
{
    // 5 January 2004 09:03:06 and midnight.
    const std::uint16_t date = (24 << 9) | (1 << 5) | 5;
    EXPECT_EQ(dosDateTimeText(date, (9 << 11) | (3 << 5) | 3), "1/5/2004 9:03:06 AM");
    EXPECT_EQ(dosDateTimeText(date, (21 << 11) | (30 << 5)), "1/5/2004 9:30:00 PM");
    EXPECT_EQ(dosDateTimeText(date, 0), "1/5/2004");
    // Day 13 is not swapped with the month.
    EXPECT_EQ(dosDateTimeText((24 << 9) | (2 << 5) | 13, 0), "2/13/2004");
    EXPECT_EQ(dosDateTimeText((24 << 9) | (2 << 5) | 29, 0), "2/29/2004");
    EXPECT_EQ(dosDateTimeText((25 << 9) | (2 << 5) | 29, 0), "");
    EXPECT_EQ(dosDateTimeText(0, 0), "");
    EXPECT_EQ(dosDateTimeText(date, 24 << 11), "");
}

TEST(ZipTextTest, EntryNamesInCodePage437AndUtf8)
{
    EXPECT_EQ(decodeEntryName("plain.lnk", 0), "plain.lnk");
    // 0x8E 0x84 in code page 437: "Ä" "ä".
    EXPECT_EQ(decodeEntryName("\x8E\x84.txt", 0), "Ää.txt");
    EXPECT_EQ(decodeEntryName("\xE1\xFB", 0), "ß√");
    EXPECT_EQ(decodeEntryName("\xC3\x84.txt", 1u << 11), "Ä.txt");
    // Without the flag, valid UTF-8 is taken as such.
    EXPECT_EQ(decodeEntryName("\xC3\x84.txt", 0), "Ä.txt");
    // With the flag, a malformed sequence becomes U+FFFD.
    EXPECT_EQ(decodeEntryName("a\xFF", 1u << 11), "a\xEF\xBF\xBD");
}

TEST(ZipTextTest, ProgressRoundsHalvesToEven)
{
    std::vector<int> got;
    for (int i = 1; i <= 8; ++i)
        got.push_back(progressPercentage(i, 8));
    EXPECT_EQ(got, (std::vector<int>{12, 25, 38, 50, 62, 75, 88, 100}));
    EXPECT_EQ(progressPercentage(1, 3), 33);
    EXPECT_EQ(progressPercentage(2, 3), 67);
}

TEST(ZipTextTest, UnsafeEntryNamesAreRefused)
{
    for (const char* bad : {"../evil.lnk", "a/../../evil.lnk", "/etc/passwd", "\\\\server\\share\\x",
             "C:evil", "C:\\Windows\\evil.exe", "a/./b", "dir/", "", "con", "NUL.txt", "lpt1", "a\x01.txt",
             "x?.lnk", "trailing.", "space ", "CONIN$", "com\xC2\xB9.lnk", "bad\xFF.lnk"}) {
        EXPECT_FALSE(safeEntryPath(bad, true)) << bad;
    }
    // Without path information only the name part counts, and it must be safe too.
    EXPECT_EQ(
        safeEntryPath("../../x/Microsoft Word.lnk", false), (std::vector<std::string>{"Microsoft Word.lnk"}));
    EXPECT_FALSE(safeEntryPath("a/..", false));
    EXPECT_FALSE(safeEntryPath("C:x.lnk", false));
    EXPECT_EQ(safeEntryPath("Shortcuts\\Office/Word.lnk", true),
        (std::vector<std::string>{"Shortcuts", "Office", "Word.lnk"}));
    EXPECT_TRUE(safeEntryPath("console.txt", true));
    EXPECT_TRUE(safeEntryPath("COM10", true));
    // Windows counts a name's length in UTF-16 units, not in bytes.
    std::string umlauts;
    for (int i = 0; i < 200; ++i)
        umlauts += "\xC3\xA4";
    EXPECT_TRUE(safeEntryPath(umlauts + ".lnk", true));
}
