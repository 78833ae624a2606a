// CommandLineTest.cpp: splitting and quoting Windows command lines.
#include "platform/CommandLine.h"

#include <gtest/gtest.h>

using namespace platform;
using Args = std::vector<std::string>;

namespace {

class CommandLineTest : public ::testing::Test {};

TEST_F(CommandLineTest, QuotedPathsWithBlanksStayWhole)
{
    EXPECT_EQ(
        splitCommandLine(
            R"(regedit.exe /a "C:\Program Files\Kestro\Temp\x.reg" "HKEY_LOCAL_MACHINE\SYSTEM\Hardware Profiles\Current")"),
        (Args{"regedit.exe", "/a", R"(C:\Program Files\Kestro\Temp\x.reg)",
            R"(HKEY_LOCAL_MACHINE\SYSTEM\Hardware Profiles\Current)"}));
}

TEST_F(CommandLineTest, BatchExportLineKeepsTrailingBlankOut)
{
    EXPECT_EQ(splitCommandLine(R"(regedit.exe /s /E C:\KestroBatch\HKLM.reg "HKEY_LOCAL_MACHINE")"),
        (Args{"regedit.exe", "/s", "/E", R"(C:\KestroBatch\HKLM.reg)", "HKEY_LOCAL_MACHINE"}));
    EXPECT_EQ(splitCommandLine("  cacls\tc:\\windows  /t /e /g everyone:f  "),
        (Args{"cacls", "c:\\windows", "/t", "/e", "/g", "everyone:f"}));
    EXPECT_TRUE(splitCommandLine("   ").empty());
}

TEST_F(CommandLineTest, BackslashesBeforeQuotes)
{
    // 2n backslashes + quote: n backslashes, the quote delimits.
    EXPECT_EQ(splitCommandLine(R"("C:\dir\\" next)"), (Args{R"(C:\dir\)", "next"}));
    // 2n+1 backslashes + quote: n backslashes and a literal quote.
    EXPECT_EQ(splitCommandLine(R"(a\"b c)"), (Args{R"(a"b)", "c"}));
    EXPECT_EQ(splitCommandLine(R"(a\\\"b)"), (Args{R"(a\"b)"}));
    // Backslashes not before a quote are literal, however many.
    EXPECT_EQ(splitCommandLine(R"(\\OLDPC\C$\x)"), (Args{R"(\\OLDPC\C$\x)"}));
}

TEST_F(CommandLineTest, QuotesInsideArguments)
{
    EXPECT_EQ(splitCommandLine(R"(ab"c d"e f)"), (Args{"abc de", "f"}));
    EXPECT_EQ(splitCommandLine(R"("say ""hi""" x)"), (Args{R"(say "hi")", "x"}));
    EXPECT_EQ(splitCommandLine(R"("" x)"), (Args{"", "x"}));
}

TEST_F(CommandLineTest, QuoteRoundTrips)
{
    const Args args{"regedit.exe", "/a", R"(C:\Program Files\a.reg)", R"(C:\dir with blank\)", "",
        R"(say "hi")", R"(\\PC\C$)", "plain"};
    EXPECT_EQ(splitCommandLine(joinCommandLine(args)), args);
    EXPECT_EQ(quoteArgument("plain"), "plain");
    EXPECT_EQ(quoteArgument(""), "\"\"");
    EXPECT_EQ(quoteArgument(R"(C:\a b\)"), R"("C:\a b\\")");
}

TEST_F(CommandLineTest, ProgramNameDropsFolderAndExtension)
{
    EXPECT_EQ(programName("regedit.exe"), "regedit");
    EXPECT_EQ(programName(R"(C:\WINDOWS\REGEDIT.EXE)"), "regedit");
    EXPECT_EQ(programName("hh"), "hh");
    EXPECT_EQ(programName(R"(C:\KestroBatch\Temp.bat)"), "temp");
    EXPECT_EQ(programName("setup.exe.txt"), "setup.exe.txt");
    EXPECT_EQ(programName(".exe"), ".exe");
}

} // namespace
