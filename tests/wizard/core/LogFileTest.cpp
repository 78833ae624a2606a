// LogFileTest.cpp: the ring log's header and records, wrap-around, field cutting, long texts over
// several records, re-creation of a missing or spoilt file and the once-per-run failure messages.
#include "wizard/core/LogFile.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/core/CoreTestSupport.h"

namespace wizard {
namespace {

std::tm fixedTime()
{
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 2; // March
    tm.tm_mday = 7;
    tm.tm_hour = 9;
    tm.tm_min = 5;
    tm.tm_sec = 3;
    return tm;
}

class LogFileTest : public ::testing::Test {
protected:
    LogFileTest() { log.setClock(fixedTime); }

    std::string logText() const { return machine.readHost(machine.appFile("Kestro_Log_File.txt")); }
    std::string header() const { return logText().substr(0, 20); }
    std::string record(int n) const { return logText().substr(static_cast<std::size_t>(n - 1) * 200, 200); }

    test::TempMachine machine;
    testsupport::ScriptedMessageService messages;
    common::Service<platform::MessageService>::Override scoped{messages};
    LogFile log{machineFiles()};
};

TEST_F(LogFileTest, FirstRecordIsRecordTwo)
{
    ASSERT_TRUE(log.FN_Write_Log("Main", "Start", true));
    const std::string text = logText();
    ASSERT_EQ(text.size(), 400u);
    EXPECT_EQ(text.substr(0, 128), "25000     3         " + std::string(106, ' ') + "\r\n");
    EXPECT_EQ(text.substr(128, 72), std::string(72, '\0'));
    EXPECT_EQ(record(2),
        "#2#     " + ("Main" + std::string(36, ' ')) + ("Start" + std::string(57, ' ')) +
            std::string(68, ' ') + "03-07-2026  " + "09:05:03" + "\r\n");
    EXPECT_EQ(LogFile::logFilePath(), "C:\\Program Files\\Kestro\\Kestro_Log_File.txt");
}

TEST_F(LogFileTest, RingWrapsAfterMaxRecords)
{
    machine.writeHost(machine.appFile("Kestro_Log_File.txt"), LogFile::formatHeader(4, 2));
    for (const char* name : {"r2", "r3", "r4"})
        log.FN_Write_Log(name, "Start", true);
    EXPECT_EQ(header(), "4         5         ");
    log.FN_Write_Log("r5", "Start", true);
    EXPECT_EQ(header(), "4         3         ");
    EXPECT_EQ(record(2).substr(0, 10), "#2#     r5");
    EXPECT_EQ(record(3).substr(0, 10), "#3#     r3");
    EXPECT_EQ(logText().size(), 800u);
}

TEST_F(LogFileTest, NextRecordAtMaxRecordsGoesThereThenWraps)
{
    machine.writeHost(machine.appFile("Kestro_Log_File.txt"), LogFile::formatHeader(25000, 25000));
    log.FN_Write_Log("last", "Start", true);
    EXPECT_EQ(header(), "25000     25001     ");
    EXPECT_EQ(logText().size(), 25000u * 200u);
    EXPECT_EQ(record(25000).substr(0, 16), "#25000# last    ");
    log.FN_Write_Log("wrapped", "Start", true);
    EXPECT_EQ(header(), "25000     3         ");
    EXPECT_EQ(record(2).substr(0, 15), "#2#     wrapped");
}

TEST_F(LogFileTest, FieldsAreCutAtTheirWidths)
{
    const std::string proc(50, 'p');
    const std::string status(70, 's');
    const std::string detail(80, 'd');
    log.FN_Write_Log(proc, status, true, detail);
    const std::string r = record(2);
    EXPECT_EQ(r.substr(8, 40), std::string(40, 'p'));
    EXPECT_EQ(r.substr(48, 62), std::string(62, 's'));
    EXPECT_EQ(r.substr(110, 68), std::string(68, 'd'));
    EXPECT_EQ(r.substr(178, 12), "03-07-2026  ");
    EXPECT_EQ(r.size(), 200u);
    EXPECT_EQ(r.substr(198), "\r\n");
}

// A long text goes on over as many records as it needs, each field full but the last; a character
// of two UTF-8 bytes is one byte of the log and is never split. A short one is one plain record.
TEST_F(LogFileTest, ALongTextGoesOnInTheRecordsAfterIt)
{
    const std::string text =
        "Refused : C:\\" + std::string(60, 'a') + "\xC3\xA9" + std::string(300, 'b') + " : why";
    ASSERT_TRUE(log.writeText("Copy", text));
    EXPECT_EQ(header(), "25000     5         ");
    EXPECT_EQ(record(2).substr(8, 40), "Copy" + std::string(36, ' '));
    EXPECT_EQ(record(3).substr(8, 40), "Copy (continued)" + std::string(24, ' '));
    EXPECT_EQ(record(4).substr(8, 16), "Copy (continued)");
    const std::string ansi =
        "Refused : C:\\" + std::string(60, 'a') + "\xE9" + std::string(300, 'b') + " : why";
    std::string joined;
    for (int n = 2; n <= 4; ++n)
        joined += record(n).substr(48, 130);
    EXPECT_EQ(joined, ansi + std::string(3 * 130 - ansi.size(), ' '));
    ASSERT_TRUE(log.writeText("Copy", "End"));
    EXPECT_EQ(record(5).substr(48, 130), "End" + std::string(127, ' '));
}

TEST_F(LogFileTest, EmptyDetailIsSpacesAndTextIsAnsi)
{
    log.FN_Write_Log("Caf\xC3\xA9", "Start", true, std::string_view(""));
    EXPECT_EQ(record(2).substr(8, 5), "Caf\xE9 ");
    EXPECT_EQ(record(2).substr(110, 68), std::string(68, ' '));
}

TEST_F(LogFileTest, DisabledWritesNothing)
{
    EXPECT_TRUE(log.FN_Write_Log("Main", "Start", false));
    EXPECT_FALSE(std::filesystem::exists(machine.appFile("Kestro_Log_File.txt")));
}

TEST_F(LogFileTest, DeletedFileIsCreatedAgain)
{
    log.FN_Write_Log("a", "Start", true);
    log.FN_Write_Log("b", "Start", true);
    std::filesystem::remove(machine.appFile("Kestro_Log_File.txt"));
    log.FN_Write_Log("c", "Start", true);
    EXPECT_EQ(header(), "25000     3         ");
    EXPECT_EQ(record(2).substr(0, 9), "#2#     c");
}

TEST_F(LogFileTest, TruncatedOrSpoiltHeaderIsRecreated)
{
    machine.writeHost(machine.appFile("Kestro_Log_File.txt"), "250");
    EXPECT_TRUE(log.FN_Write_Log("a", "Start", true));
    EXPECT_EQ(header(), "25000     3         ");

    std::string spoilt = LogFile::formatHeader(25000, 7);
    spoilt.replace(10, 3, "x!y");
    machine.writeHost(machine.appFile("Kestro_Log_File.txt"), spoilt);
    EXPECT_TRUE(log.FN_Write_Log("b", "Start", true));
    EXPECT_EQ(header(), "25000     3         ");
    EXPECT_EQ(record(2).substr(0, 9), "#2#     b");

    // A next record of 0 or 1 would overwrite the header itself.
    machine.writeHost(machine.appFile("Kestro_Log_File.txt"), LogFile::formatHeader(25000, 1));
    EXPECT_TRUE(log.FN_Write_Log("c", "Start", true));
    EXPECT_EQ(header(), "25000     3         ");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(LogFileTest, UnwritableLogShowsItsMessagesOncePerRun)
{
    AppPath = "C:\\No Such Folder";
    EXPECT_FALSE(log.FN_Write_Log("a", "Start", true));
    ASSERT_EQ(messages.shown().size(), 3u);
    EXPECT_EQ(messages.shown()[0].text, "Error while opening the new log file.");
    EXPECT_EQ(messages.shown()[1].text, "There was an error writing the information to new log File.");
    EXPECT_EQ(
        messages.shown()[2].text, "Error In Creating Log File: C:\\No Such Folder\\Kestro_Log_File.txt");
    EXPECT_EQ(messages.shown()[2].buttons, platform::MsgButtons::OkCancel);
    EXPECT_EQ(messages.shown()[2].icon, platform::MsgIcon::Critical);
    EXPECT_EQ(messages.shown()[2].title, "Kestro");
    EXPECT_FALSE(log.FN_Write_Log("b", "Start", true));
    EXPECT_FALSE(log.FN_Write_Log("c", "End", true));
    EXPECT_EQ(messages.shown().size(), 3u);
}

} // namespace
} // namespace wizard
