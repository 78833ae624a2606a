// ScriptDecryptorTest.cpp: the shift rule, line scrambling both ways and Decrypt_Script_File's
// file names, reuse and clean-up.
#include "wizard/core/ScriptDecryptor.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "tests/wizard/core/CoreTestSupport.h"

namespace wizard {
namespace {

TEST(ScrambleRuleTest, ShiftFollowsTheLineLength)
{
    EXPECT_EQ(scrambleShift(1), 2);
    EXPECT_EQ(scrambleShift(3), 3);
    EXPECT_EQ(scrambleShift(4), 5);
    EXPECT_EQ(scrambleShift(9), 9);
    EXPECT_EQ(scrambleShift(10), 2);
    EXPECT_EQ(scrambleShift(20), 2);
    EXPECT_EQ(scrambleShift(40), 5);
    EXPECT_EQ(scrambleShift(100), 10);
    EXPECT_EQ(scrambleShift(170), 16);
    EXPECT_EQ(scrambleShift(171), 2);
}

TEST(ScrambleRuleTest, UnscramblingReversesAndLowersEveryCode)
{
    // Length 3 shifts by 3: "dEc" reversed is "cEd", lowered by 3 gives "`Ba".
    EXPECT_EQ(unscrambleLine("dEc"), "`Ba");
    // A code that would fall below zero is left out.
    EXPECT_EQ(unscrambleLine(std::string("\x01"
                                         "c",
                  2)),
        "a");
}

TEST(ScrambleRuleTest, RoundTripOverEveryLengthTheRuleTreatsApart)
{
    for (std::size_t length : {0u, 1u, 2u, 3u, 4u, 5u, 10u, 14u, 17u, 40u, 100u, 170u, 171u, 1000u}) {
        std::string plain;
        for (std::size_t i = 0; i < length; ++i)
            plain += static_cast<char>('!' + (i * 7) % 90);
        std::optional<std::string> scrambled = scrambleLine(plain);
        ASSERT_TRUE(scrambled.has_value()) << length;
        EXPECT_EQ(scrambled->size(), plain.size());
        if (length > 1) {
            EXPECT_NE(*scrambled, plain) << length;
        }
        EXPECT_EQ(unscrambleLine(*scrambled), plain) << length;
    }
}

TEST(ScrambleRuleTest, LinesTheShiftCannotHoldAreRefused)
{
    // 2000 characters shift by 200: a letter would pass code 255.
    EXPECT_FALSE(scrambleLine(std::string(2000, 'a')).has_value());
    // Code 253 plus 2 still fits, 254 plus 2 does not.
    EXPECT_TRUE(scrambleLine(std::string(1, '\xFD')).has_value());
    EXPECT_FALSE(scrambleLine(std::string(1, '\xFE')).has_value());
    // A shifted code must not become a line end: 11 + 2 would be CR.
    EXPECT_FALSE(scrambleLine(std::string(1, '\x0B')).has_value());
}

class ScriptDecryptorTest : public ::testing::Test {
protected:
    test::TempMachine machine;
    ScriptDecryptor decryptor{machineFiles()};
    const std::string folder = std::string(kDefaultAppPath) + "\\WKXFiles\\";
};

TEST_F(ScriptDecryptorTest, WritesThePlainFileBesideTheScript)
{
    machine.writeScript("Kestro.xml", "<script>\n\n<a x=\"1\"/>\n</script>");
    const std::string out = decryptor.Decrypt_Script_File(folder + "Kestro.xml");
    EXPECT_EQ(out, folder + "Dec_Kestro.xml");
    EXPECT_EQ(machine.readHost(machine.appFile("WKXFiles/Dec_Kestro.xml")),
        "<script>\r\n\r\n<a x=\"1\"/>\r\n</script>\r\n");
    EXPECT_EQ(decryptor.lastDecryptedPath(), "C:\\PROGRAM FILES\\KESTRO\\WKXFILES\\DEC_KESTRO.XML");
}

TEST_F(ScriptDecryptorTest, SecondCallReusesThePlainFileWithoutReading)
{
    machine.writeScript("Kestro.xml", "<one/>");
    const std::string first = decryptor.Decrypt_Script_File(folder + "Kestro.xml");
    // Change the scrambled input: a reuse must not notice.
    machine.writeScript("Kestro.xml", "<two/>");
    EXPECT_EQ(decryptor.Decrypt_Script_File(" " + folder + "Kestro.wkx "), first);
    EXPECT_EQ(machine.readHost(machine.appFile("WKXFiles/Dec_Kestro.xml")), "<one/>\r\n");
}

TEST_F(ScriptDecryptorTest, AnotherScriptDeletesThePreviousPlainFile)
{
    machine.writeScript("Kestro.xml", "<one/>");
    machine.writeScript("Sub.xml", "<two/>");
    decryptor.Decrypt_Script_File(folder + "Kestro.xml");
    EXPECT_EQ(decryptor.Decrypt_Script_File(folder + "Sub.xml"), folder + "Dec_Sub.xml");
    EXPECT_FALSE(std::filesystem::exists(machine.appFile("WKXFiles/Dec_Kestro.xml")));
    EXPECT_TRUE(std::filesystem::exists(machine.appFile("WKXFiles/Dec_Sub.xml")));
}

TEST_F(ScriptDecryptorTest, PlainFileFromAnEarlierRunIsWrittenAgain)
{
    machine.writeHost(machine.appFile("WKXFiles/Dec_Kestro.xml"), "stale");
    machine.writeScript("Kestro.xml", "<fresh/>");
    decryptor.Decrypt_Script_File(folder + "Kestro.xml");
    EXPECT_EQ(machine.readHost(machine.appFile("WKXFiles/Dec_Kestro.xml")), "<fresh/>\r\n");
}

TEST_F(ScriptDecryptorTest, LongScriptsSurviveTheReadBuffer)
{
    // Many lines of varied lengths, well past the read buffer, including empty lines.
    std::string xml;
    for (int i = 0; i < 6000; ++i)
        xml += "<step n=\"" + std::to_string(i) + "\">" + std::string(static_cast<std::size_t>(i % 57), 'x') +
            "</step>\n" + (i % 100 == 0 ? "\n" : "");
    xml += "<end/>";
    machine.writeScript("Big.xml", xml);
    ASSERT_EQ(decryptor.Decrypt_Script_File(folder + "Big.xml"), folder + "Dec_Big.xml");
    std::string expected;
    for (char c : xml)
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(machine.readHost(machine.appFile("WKXFiles/Dec_Big.xml")), expected + "\r\n");
}

TEST_F(ScriptDecryptorTest, LineEndSplitAcrossTheReadBufferCountsOnce)
{
    // The first line ends exactly where the 64 KiB buffer does: CR is its last byte, LF the next.
    const std::string first(65535, 'f'); // shift 5
    machine.writeHost(machine.appFile("WKXFiles/Edge.wkx"),
        *scrambleLine(first) + "\r\n" + *scrambleLine("xyz") + "\r" + *scrambleLine("ab"));
    ASSERT_NE(decryptor.Decrypt_Script_File(folder + "Edge.xml"), "");
    EXPECT_EQ(machine.readHost(machine.appFile("WKXFiles/Dec_Edge.xml")), first + "\r\nxyz\r\nab\r\n");
}

TEST_F(ScriptDecryptorTest, MissingInputGivesNothingAndCreatesNothing)
{
    EXPECT_EQ(decryptor.Decrypt_Script_File(folder + "Gone.xml"), "");
    EXPECT_FALSE(std::filesystem::exists(machine.appFile("WKXFiles/Dec_Gone.xml")));
    // Reused name whose input has gone since: also nothing.
    machine.writeScript("Kestro.xml", "<one/>");
    decryptor.Decrypt_Script_File(folder + "Kestro.xml");
    std::filesystem::remove(machine.appFile("WKXFiles/Kestro.wkx"));
    EXPECT_EQ(decryptor.Decrypt_Script_File(folder + "Kestro.xml"), "");
}

} // namespace
} // namespace wizard
