// SizeFormatTest.cpp: size texts in every unit, with and without label and padding.
#include "foldersize/scanner/SizeFormat.h"

#include <gtest/gtest.h>

#include "tests/foldersize/QStringPrinter.h"

using namespace foldersize;

class SizeFormatTest : public ::testing::Test {
protected:
    QLocale de{QLocale::German, QLocale::Germany};
    QLocale en{QLocale::English, QLocale::UnitedStates};
};

TEST_F(SizeFormatTest, BytesGroupWithTheLocaleSeparator)
{
    EXPECT_EQ(FormatSize(1234567, true, false, 0, de), "1.234.567 Bytes");
    EXPECT_EQ(FormatSize(1234567, false, true, 0, de), "      1.234.567");
    EXPECT_EQ(FormatSize(1234567, false, false, 0, en), "1,234,567");
    EXPECT_EQ(FormatSize(0, false, false, 0, de), "0");
}

TEST_F(SizeFormatTest, KilobytesHaveTwoRoundedDecimals)
{
    EXPECT_EQ(FormatSize(1234567, true, false, 1, de), "1.205,63 KB");
    EXPECT_EQ(FormatSize(0, false, false, 1, de), "0,00 KB");
    EXPECT_EQ(FormatSize(1536, false, false, 1, en), "1.50 KB");
    EXPECT_EQ(FormatSize(1234567, false, true, 1, de), "     1.205,63 KB");
}

TEST_F(SizeFormatTest, MegabytesAndGigabytes)
{
    EXPECT_EQ(FormatSize(5u * 1048576u + 524288u, false, false, 2, de), "5,50 MB");
    EXPECT_EQ(FormatSize(3ull * 1073741824ull, false, false, 3, de), "3,00 GB");
    EXPECT_EQ(FormatSize(1073741824ull / 4, false, true, 3, en), " 0.25 GB");
    EXPECT_EQ(FormatSize(1048576, false, true, 2, en).size(), 12);
}

TEST_F(SizeFormatTest, LongTextsAreNotCutWhenPadding)
{
    const QString t = FormatSize(1234567890123ull, false, true, 3, de);
    EXPECT_EQ(t, "1.149,78 GB");
    EXPECT_GT(t.size(), sizeColumnWidth(3));
}

TEST_F(SizeFormatTest, HugeSizesDoNotOverflow)
{
    EXPECT_EQ(FormatSize(UINT64_MAX, false, false, 0, en), "18,446,744,073,709,551,615");
    EXPECT_EQ(FormatSize(1ull << 62, false, false, 3, en), "4,294,967,296.00 GB");
}

TEST_F(SizeFormatTest, UnknownUnitGivesEmptyText)
{
    EXPECT_EQ(FormatSize(100, true, true, 4, de), "");
    EXPECT_EQ(FormatSize(100, true, true, -1, de), "");
    EXPECT_EQ(sizeColumnWidth(7), 0);
}

TEST_F(SizeFormatTest, LabelOnlyChangesTheByteUnit)
{
    EXPECT_EQ(FormatSize(2048, true, false, 1, de), FormatSize(2048, false, false, 1, de));
    EXPECT_NE(FormatSize(2048, true, false, 0, de), FormatSize(2048, false, false, 0, de));
}
