// IniLineTest.cpp: the shared reading of one INI line.
#include "common/IniLine.h"

#include <gtest/gtest.h>

namespace {

using common::IniLine;
using common::readIniLine;

TEST(IniLineTest, BlankAndCommentLines)
{
    EXPECT_EQ(readIniLine("").kind, IniLine::Kind::Blank);
    EXPECT_EQ(readIniLine(" \t\r").kind, IniLine::Kind::Blank);
    EXPECT_EQ(readIniLine("  ; note=1").kind, IniLine::Kind::Comment);
    EXPECT_EQ(readIniLine("# note").kind, IniLine::Kind::Entry) << "'#' is a comment only where asked for";
    EXPECT_EQ(readIniLine("# note", "#").kind, IniLine::Kind::Comment);
}

TEST(IniLineTest, SectionsWithAndWithoutTheirClosingBracket)
{
    const IniLine closed = readIniLine("  [ Machine ]\r");
    EXPECT_EQ(closed.kind, IniLine::Kind::Section);
    EXPECT_EQ(closed.name, "Machine");
    EXPECT_TRUE(closed.closedSection);
    const IniLine open = readIniLine("[Drives");
    EXPECT_EQ(open.name, "Drives");
    EXPECT_FALSE(open.closedSection);
    const IniLine trailing = readIniLine("[A] x");
    EXPECT_EQ(trailing.name, "A");
    EXPECT_FALSE(trailing.closedSection);
}

TEST(IniLineTest, EntriesSplitAtTheFirstEqualsSign)
{
    const IniLine e = readIniLine("\tPath = C:\\a=b \r");
    EXPECT_EQ(e.kind, IniLine::Kind::Entry);
    EXPECT_TRUE(e.hasEquals);
    EXPECT_EQ(e.name, "Path");
    EXPECT_EQ(e.value, "C:\\a=b");
    const IniLine bare = readIniLine("just text");
    EXPECT_FALSE(bare.hasEquals);
    EXPECT_EQ(bare.name, "just text");
    EXPECT_EQ(bare.value, "");
    const IniLine noKey = readIniLine(" =1");
    EXPECT_TRUE(noKey.hasEquals);
    EXPECT_EQ(noKey.name, "");
    EXPECT_EQ(noKey.value, "1");
}

} // namespace
