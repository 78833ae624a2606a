// ProcessRunnerTest.cpp: starting tools with intact arguments on a given machine, the
// in-process cacls and hh, and the failures of unknown programs.
#include "platform/ProcessRunner.h"
#include "platform/EventLog.h"
#include "platform/HelpViewer.h"
#include "tests/support/platform/RecordingHelpService.h"
#include "tests/support/platform/RecordingProcessLauncher.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class ProcessRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("proctest-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "tools");
        fs::create_directories(m_dir / "PC1");
        // Fake tools: write their arguments, one per line, and the machine they were given.
        for (const char* name : {"regedit", "winbatch"}) {
            const auto script = m_dir / "tools" / name;
            std::ofstream(script) << "#!/bin/sh\n"
                                  << "out=\"" << (m_dir / name).string() << ".out\"\n"
                                  << ": > \"$out\"\n"
                                  << "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$out\"; done\n"
                                  << "printf 'machine=%s\\n' \"$WINENV_MACHINE\" >> \"$out\"\n"
                                  << "[ -n \"$SLOW\" ] && sleep 0.3\n"
                                  << "exit 3\n";
            fs::permissions(script, fs::perms::owner_all);
        }
        ::setenv("WINENV_TOOLS", (m_dir / "tools").c_str(), 1);
        ::setenv("WINENV_MACHINE", (m_dir / "PC1").c_str(), 1);
    }
    void TearDown() override
    {
        ::unsetenv("WINENV_TOOLS");
        ::unsetenv("WINENV_MACHINE");
        ::unsetenv("SLOW");
        common::Service<HelpService>::replace(nullptr);
        common::Service<ProcessLauncher>::replace(nullptr);
        fs::remove_all(m_dir);
    }
    std::vector<std::string> outputOf(const char* tool)
    {
        std::ifstream in(m_dir / (std::string(tool) + ".out"));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    fs::path m_dir;
};

TEST_F(ProcessRunnerTest, RegeditGetsItsArgumentsWholeAndTheGivenMachine)
{
    fs::create_directories(m_dir / "PC2");
    std::uint32_t code = 0;
    StartOptions options;
    options.machineFolder = m_dir / "PC2";
    ASSERT_EQ(runProcess(
                  R"(regedit.exe /a "C:\Program Files\Kestro\Temp\a b.reg" "HKEY_LOCAL_MACHINE\SOFTWARE\QZ")",
                  options, &code),
        WinError::Success);
    EXPECT_EQ(code, 3u);
    EXPECT_EQ(outputOf("regedit"),
        (std::vector<std::string>{"/a", R"(C:\Program Files\Kestro\Temp\a b.reg)",
            R"(HKEY_LOCAL_MACHINE\SOFTWARE\QZ)", "machine=" + (m_dir / "PC2").string()}));
}

TEST_F(ProcessRunnerTest, WithoutMachineTheRunningOneIsInherited)
{
    std::uint32_t code = 0;
    ASSERT_EQ(runProcess(R"(C:\WINDOWS\REGEDIT.EXE /s "x.reg")", {}, &code), WinError::Success);
    EXPECT_EQ(outputOf("regedit"),
        (std::vector<std::string>{"/s", "x.reg", "machine=" + (m_dir / "PC1").string()}));
}

TEST_F(ProcessRunnerTest, StartDoesNotWaitAndHandleReportsTheEnd)
{
    ::setenv("SLOW", "1", 1);
    Process p;
    ASSERT_EQ(startProcess("regedit /s y.reg", {}, &p), WinError::Success);
    ASSERT_TRUE(p.isValid());
    EXPECT_GT(p.id(), 0);
    EXPECT_TRUE(p.isRunning());
    EXPECT_EQ(p.exitCode(), 259u); // still active
    EXPECT_TRUE(p.wait(5000));
    EXPECT_FALSE(p.isRunning());
    EXPECT_EQ(p.exitCode(), 3u);
}

// The wait in steps: the caller's work runs between steps until the program ends; answering false
// stops the wait, and terminate ends a program that still runs, with a failing exit code.
TEST_F(ProcessRunnerTest, WaitInStepsRunsTheCallersWorkAndCanBeStopped)
{
    ::setenv("SLOW", "1", 1);
    Process p;
    ASSERT_EQ(startProcess("regedit /s y.reg", {}, &p), WinError::Success);
    int steps = 0;
    EXPECT_EQ(waitForEnd(p, 60000, 20, [&] { return ++steps > 0; }), WaitOutcome::Ended);
    EXPECT_GE(steps, 3) << "0.3 s in steps of 20 ms";
    EXPECT_EQ(p.exitCode(), 3u);

    Process q;
    ASSERT_EQ(startProcess("regedit /s y.reg", {}, &q), WinError::Success);
    EXPECT_EQ(waitForEnd(q, 60000, 20, [] { return false; }), WaitOutcome::Stopped);
    EXPECT_TRUE(q.isRunning());
    q.terminate();
    EXPECT_FALSE(q.isRunning());
    EXPECT_NE(q.exitCode(), 0u);
    EXPECT_NE(q.exitCode(), 259u);
    EXPECT_NE(::kill(q.id(), 0), 0) << "the ended program is collected";

    Process r;
    ASSERT_EQ(startProcess("regedit /s y.reg", {}, &r), WinError::Success);
    EXPECT_EQ(waitForEnd(r, 40, 20, [] { return true; }), WaitOutcome::TimedOut);
    r.terminate();
}

TEST_F(ProcessRunnerTest, BatchFilesGoToTheBatchRunner)
{
    std::uint32_t code = 0;
    ASSERT_EQ(runProcess(R"("C:\KestroBatch\Temp.bat")", {}, &code), WinError::Success);
    EXPECT_EQ(outputOf("winbatch"),
        (std::vector<std::string>{R"(C:\KestroBatch\Temp.bat)", "machine=" + (m_dir / "PC1").string()}));
}

TEST_F(ProcessRunnerTest, CaclsRecordsTheGrantOnTheMachine)
{
    std::uint32_t code = 99;
    ASSERT_EQ(runProcess(R"(cacls c:\progra~1\* /t /e /g everyone:f)", {}, &code), WinError::Success);
    EXPECT_EQ(code, 0u);
    const auto events = readMachineEvents(m_dir / "PC1");
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "cacls");
    EXPECT_EQ(events[0].text, R"(c:\progra~1\* /t /e /g everyone:f)");
}

TEST_F(ProcessRunnerTest, MalformedCaclsFailsAndRecordsNothing)
{
    std::uint32_t code = 0;
    ASSERT_EQ(runProcess("cacls /t /e", {}, &code), WinError::Success);
    EXPECT_EQ(code, 87u);
    ASSERT_EQ(runProcess(R"(cacls c:\windows /g everyone)", {}, &code), WinError::Success);
    EXPECT_EQ(code, 87u);
    ASSERT_EQ(runProcess(R"(cacls c:\windows /x)", {}, &code), WinError::Success);
    EXPECT_EQ(code, 87u);
    EXPECT_TRUE(readMachineEvents(m_dir / "PC1").empty());
}

TEST_F(ProcessRunnerTest, HelpProgramOpensTheHelpService)
{
    testsupport::RecordingHelpService help;
    common::Service<HelpService>::replace(&help);
    ASSERT_EQ(runProcess(R"(hh.exe C:\Program Files\Kestro\PRODUCT_HELP.chm)"), WinError::Success);
    ASSERT_EQ(runProcess(R"(hh -mapid 24 "C:\Program Files\Kestro\PRODUCT_HELP.chm")"), WinError::Success);
    ASSERT_EQ(help.requests().size(), 2u);
    // Unquoted, the path with blanks still names one file.
    EXPECT_EQ(help.requests()[0].helpFile, R"(C:\Program Files\Kestro\PRODUCT_HELP.chm)");
    EXPECT_EQ(help.requests()[0].topicId, 0);
    EXPECT_EQ(help.requests()[1].helpFile, R"(C:\Program Files\Kestro\PRODUCT_HELP.chm)");
    EXPECT_EQ(help.requests()[1].topicId, 24);
}

TEST_F(ProcessRunnerTest, UnknownProgramsFailWithFileNotFound)
{
    Process p;
    EXPECT_EQ(startProcess("notepad.exe c:\\x.txt", {}, &p), WinError::FileNotFound);
    EXPECT_FALSE(p.isValid());
    EXPECT_EQ(runProcess(""), WinError::FileNotFound);
    EXPECT_TRUE(findTool("no-such-tool-anywhere").empty());
    EXPECT_EQ(findTool("regedit"), m_dir / "tools" / "regedit");
}

TEST_F(ProcessRunnerTest, RecordingLauncherStandsInForEverything)
{
    testsupport::RecordingProcessLauncher recorder;
    recorder.exitCode = 5;
    common::Service<ProcessLauncher>::replace(&recorder);
    std::uint32_t code = 0;
    ASSERT_EQ(
        runProcess("regedit.exe /s \"C:\\a b.reg\"", {WindowStyle::Hidden, {}}, &code), WinError::Success);
    EXPECT_EQ(code, 5u);
    recorder.result = WinError::FileNotFound;
    EXPECT_EQ(runProcess("other.exe"), WinError::FileNotFound);
    ASSERT_EQ(recorder.starts().size(), 2u);
    EXPECT_EQ(recorder.starts()[0].commandLine, "regedit.exe /s \"C:\\a b.reg\"");
    EXPECT_FALSE(fs::exists(m_dir / "regedit.out"));
}

} // namespace
