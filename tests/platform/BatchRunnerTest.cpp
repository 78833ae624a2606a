// BatchRunnerTest.cpp: running batch files on a machine: echo, md, copy, programs through the
// process runner, unknown commands, and the batch going on after a failure.
#include "platform/BatchRunner.h"
#include "platform/CodePage.h"
#include "platform/EventLog.h"
#include "platform/Machine.h"
#include "platform/ProcessRunner.h"
#include "tests/support/platform/RecordingProcessLauncher.h"

#include <gtest/gtest.h>

#include <sstream>
#include <unistd.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

class BatchRunnerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_net = fs::temp_directory_path() / ("batchtest-" + std::to_string(::getpid()));
        fs::remove_all(m_net);
        MachineConfig config;
        applyOsDefaults("win98", config);
        config.os = "win98";
        config.computerName = "OLDPC";
        config.address = "192.168.0.10";
        DriveEntry c;
        c.letter = 'C';
        config.drives = {c};
        std::string message;
        ASSERT_EQ(m_machine.create(m_net / "oldpc", config, &message), WinError::Success) << message;
        m_files.emplace(m_machine.fileSystem());
        ASSERT_EQ(m_files->makeSurePathExists("C:\\KestroBatch\\"), WinError::Success);
    }
    void TearDown() override
    {
        common::Service<ProcessLauncher>::replace(nullptr);
        fs::remove_all(m_net);
    }
    // Writes a batch file as the wizard does: Windows-1252, CR LF.
    void writeBatch(const std::string& path, const std::string& utf8Lines)
    {
        std::string crlf;
        for (char ch : utf8Lines) {
            if (ch == '\n')
                crlf += '\r';
            crlf += ch;
        }
        ASSERT_EQ(m_files->writeFile(path, utf8ToCp1252(crlf)), FsError::None);
    }
    WinError run(const std::string& path)
    {
        BatchRunner runner(m_machine.folder(), *m_files, m_out, m_err);
        const WinError e = runner.runFile(path);
        m_level = runner.errorLevel();
        return e;
    }

    fs::path m_net;
    Machine m_machine;
    std::optional<FileSystem> m_files;
    std::ostringstream m_out, m_err;
    int m_level = -1;
};

TEST_F(BatchRunnerTest, EchoOffHidesCommandsAndEchoPrintsText)
{
    writeBatch("C:\\KestroBatch\\Temp.bat",
        "@echo Processing,Please wait...This window will be closed automatically\n"
        "rem nothing\n"
        "@echo off\n"
        "echo Caf\xC3\xA9 ready\n"
        "echo.\n"
        "echo\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    EXPECT_EQ(m_out.str(),
        "Processing,Please wait...This window will be closed automatically\n"
        "C:\\KestroBatch>rem nothing\n"
        "Caf\xC3\xA9 ready\n"
        "\n"
        "ECHO is off.\n");
    EXPECT_EQ(m_err.str(), "");
}

TEST_F(BatchRunnerTest, MdCreatesFoldersAndComplainsAboutExistingOnes)
{
    writeBatch("C:\\KestroBatch\\Temp.bat", "@echo off\nmd C:\\Data\\Deep\\Er\nMKDIR sub\nmd sub\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    EXPECT_TRUE(m_files->folderExists("C:\\Data\\Deep\\Er"));
    EXPECT_TRUE(m_files->folderExists("C:\\KestroBatch\\sub"));
    EXPECT_EQ(m_err.str(), "A subdirectory or file sub already exists.\n");
    EXPECT_EQ(m_level, 1);
}

TEST_F(BatchRunnerTest, CopyWorksInTheBatchFolderAndAFailureDoesNotStopTheBatch)
{
    ASSERT_EQ(m_files->writeFile("C:\\KestroBatch\\regexp.bat", "@echo hello\r\n"), FsError::None);
    writeBatch("C:\\KestroBatch\\Temp.bat",
        "@echo off\n"
        "copy regexp.bat Kestro.txt\n"
        "copy missing.bat other.txt\n"
        "copy /y \"C:\\KestroBatch\\regexp.bat\" C:\\\n"
        "md after\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    std::string copied;
    ASSERT_EQ(m_files->readFile("C:\\KestroBatch\\Kestro.txt", copied), FsError::None);
    EXPECT_EQ(copied, "@echo hello\r\n");
    EXPECT_TRUE(m_files->fileExists("C:\\regexp.bat"));
    EXPECT_FALSE(m_files->fileExists("C:\\KestroBatch\\other.txt"));
    EXPECT_EQ(
        m_out.str(), "        1 file(s) copied.\n        0 file(s) copied.\n        1 file(s) copied.\n");
    EXPECT_EQ(m_err.str(), "The system cannot find the file specified.\n");
    EXPECT_TRUE(m_files->folderExists("C:\\KestroBatch\\after"));
    EXPECT_EQ(m_level, 0);
}

TEST_F(BatchRunnerTest, ProgramsRunOnThisMachineAndWholeLinesReachThem)
{
    testsupport::RecordingProcessLauncher launcher;
    launcher.exitCode = 0;
    common::Service<ProcessLauncher>::replace(&launcher);
    writeBatch("C:\\KestroBatch\\Temp.bat",
        "@echo off\n"
        "regedit.exe /s /E C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"\n"
        "cacls c:\\windows /t /e /g everyone:f\n"
        "CLS\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    ASSERT_EQ(launcher.starts().size(), 2u);
    EXPECT_EQ(launcher.starts()[0].commandLine,
        "regedit.exe /s /E C:\\KestroBatch\\HKLM.reg \"HKEY_LOCAL_MACHINE\"");
    EXPECT_EQ(launcher.starts()[0].options.machineFolder, m_machine.folder());
    EXPECT_EQ(launcher.starts()[1].commandLine, "cacls c:\\windows /t /e /g everyone:f");
}

// Starts batch files the way winbatch would, in this process (the depth travels in the
// environment as it does to a child process).
class NestingLauncher : public ProcessLauncher {
public:
    NestingLauncher(const fs::path& machine, FileSystem& files)
        : m_machine(machine)
        , m_files(files)
    {}
    WinError start(const std::string& commandLine, const StartOptions&, Process& out) override
    {
        ++runs;
        BatchRunner nested(m_machine, m_files, m_out, err);
        nested.runFile(commandLine);
        out = Process::finished(static_cast<std::uint32_t>(nested.errorLevel()));
        return WinError::Success;
    }
    int runs = 0;
    std::ostringstream err;

private:
    fs::path m_machine;
    FileSystem& m_files;
    std::ostringstream m_out;
};

TEST_F(BatchRunnerTest, ABatchFileThatRunsItselfStopsAtTheNestingLimit)
{
    NestingLauncher launcher(m_machine.folder(), *m_files);
    common::Service<ProcessLauncher>::replace(&launcher);
    writeBatch("C:\\KestroBatch\\Self.bat", "@echo off\nC:\\KestroBatch\\Self.bat\n");
    run("C:\\KestroBatch\\Self.bat");
    EXPECT_EQ(launcher.runs, BatchRunner::kMaxNesting);
    EXPECT_NE(launcher.err.str().find("nest too deeply"), std::string::npos) << launcher.err.str();
    EXPECT_EQ(std::getenv(BatchRunner::kNestingVariable), nullptr) << "the depth is not left behind";
}

TEST_F(BatchRunnerTest, UnknownCommandIsReportedAndTheBatchGoesOn)
{
    writeBatch("C:\\KestroBatch\\Temp.bat", "@echo off\nformat c: /q\necho still here\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    EXPECT_EQ(m_err.str(),
        "'format' is not recognized as an internal or external command,\n"
        "operable program or batch file.\n");
    EXPECT_EQ(m_out.str(), "still here\n");
}

TEST_F(BatchRunnerTest, CaclsThroughTheDefaultRunnerIsRecordedOnTheMachine)
{
    writeBatch("C:\\KestroBatch\\Temp.bat", "@echo off\ncacls c:\\progra~1 /t /e /g everyone:f\n");
    ASSERT_EQ(run("C:\\KestroBatch\\Temp.bat"), WinError::Success);
    const auto events = readMachineEvents(m_machine.folder());
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, "cacls");
    EXPECT_EQ(events[0].text, "c:\\progra~1 /t /e /g everyone:f");
}

TEST_F(BatchRunnerTest, MissingBatchFileRunsNothing)
{
    EXPECT_EQ(run("C:\\KestroBatch\\Nothing.bat"), WinError::FileNotFound);
    EXPECT_EQ(run("Q:\\Temp.bat"), WinError::FileNotFound);
    EXPECT_EQ(m_out.str(), "");
    EXPECT_FALSE(m_err.str().empty());
}

TEST_F(BatchRunnerTest, RelativePathsFollowTheCurrentFolder)
{
    BatchRunner runner(m_machine.folder(), *m_files, m_out, m_err);
    runner.runText("", "C:\\KestroBatch");
    EXPECT_EQ(runner.absolutePath("x.reg"), "C:\\KestroBatch\\x.reg");
    EXPECT_EQ(runner.absolutePath("\\top.txt"), "C:\\top.txt");
    EXPECT_EQ(runner.absolutePath("D:x"), "D:\\x");
    EXPECT_EQ(runner.absolutePath("\\\\OLDPC\\C$\\y"), "\\\\OLDPC\\C$\\y");
    EXPECT_EQ(runner.absolutePath("E:\\z"), "E:\\z");
}

} // namespace
