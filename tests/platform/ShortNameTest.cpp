// ShortNameTest.cpp: 8.3 short names generated for the entries of a folder.
#include "platform/ShortName.h"

#include <gtest/gtest.h>

using platform::isShortName;
using platform::shortNamesFor;

TEST(ShortNameTest, ValidShortNamesKeepTheirSpelling)
{
    EXPECT_TRUE(isShortName("WINDOWS"));
    EXPECT_TRUE(isShortName("readme.txt"));
    EXPECT_FALSE(isShortName("My Documents"));
    EXPECT_FALSE(isShortName("a.b.c"));
    EXPECT_FALSE(isShortName("toolongname.txt"));
    EXPECT_FALSE(isShortName("x.html"));
    const auto s = shortNamesFor({"readme.txt", "WINDOWS"});
    EXPECT_EQ(s[0], "README.TXT");
    EXPECT_EQ(s[1], "WINDOWS");
}

TEST(ShortNameTest, LongNamesGetSixCharactersTildeAndNumber)
{
    const auto s = shortNamesFor({"Program Files", "My Documents", "index.html", "Common Files.bak.old"});
    EXPECT_EQ(s[0], "PROGRA~1");
    EXPECT_EQ(s[1], "MYDOCU~1");
    EXPECT_EQ(s[2], "INDEX~1.HTM");
    EXPECT_EQ(s[3], "COMMON~1.OLD");
}

TEST(ShortNameTest, CollidingNamesAreNumberedInNameOrder)
{
    // Given in another order: numbering follows the case-insensitive name order.
    const auto s = shortNamesFor({"Programs Old", "program files", "Program Data"});
    EXPECT_EQ(s[2], "PROGRA~1");
    EXPECT_EQ(s[1], "PROGRA~2");
    EXPECT_EQ(s[0], "PROGRA~3");
}

TEST(ShortNameTest, GeneratedNamesSkipExistingShortNames)
{
    const auto s = shortNamesFor({"PROGRA~1", "Program Files"});
    EXPECT_EQ(s[0], "PROGRA~1");
    EXPECT_EQ(s[1], "PROGRA~2");
}

TEST(ShortNameTest, TenthCollisionShortensTheBasis)
{
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i)
        names.push_back("Document number " + std::string(1, static_cast<char>('a' + i)) + ".txt");
    const auto s = shortNamesFor(names);
    EXPECT_EQ(s[0], "DOCUME~1.TXT");
    EXPECT_EQ(s[8], "DOCUME~9.TXT");
    EXPECT_EQ(s[9], "DOCUM~10.TXT");
}

TEST(ShortNameTest, IllegalCharactersBecomeUnderscores)
{
    const auto s = shortNamesFor({"a+b,c;d.txt", "Caf\xC3\xA9 Menu.doc"});
    EXPECT_EQ(s[0], "A_B_C_~1.TXT");
    EXPECT_EQ(s[1], "CAF_ME~1.DOC");
}

TEST(ShortNameGenerationTest, GeneratedNamesAreAlwaysValidShortNames)
{
    std::vector<std::string> names;
    for (int c = 1; c < 0x80; ++c)
        names.push_back("name" + std::string(1, static_cast<char>(c)) + "longer.t" +
            std::string(1, static_cast<char>(c)) + "x");
    names.push_back("a:b\x7f"
                    "c.d\x01"
                    "e");
    names.push_back("\x7f\x7f\x7f");
    for (const std::string& shortName : platform::shortNamesFor(names))
        EXPECT_TRUE(platform::isShortName(shortName)) << shortName;
}
