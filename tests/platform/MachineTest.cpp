// MachineTest.cpp: a machine folder, its machine.ini and WINENV_MACHINE.
#include "platform/Machine.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace platform;

namespace {

void writeFile(const std::filesystem::path& p, const std::string& text)
{
    std::ofstream out(p, std::ios::binary);
    out << text;
}

}  // namespace

class MachineTest : public ::testing::Test {
protected:
    testutil::TempDir dir;
};

TEST_F(MachineTest, OpensAFolderWithMachineIni)
{
    writeFile(dir / "machine.ini", "; test\r\n[Machine]\r\nOS = Win98\r\nComputerName=OLDPC\r\n");
    Machine m;
    std::string message;
    ASSERT_EQ(m.open(dir.path(), &message), WinError::Success) << message;
    EXPECT_TRUE(m.isValid());
    EXPECT_EQ(m.os(), OsCode::Win98);
    EXPECT_TRUE(isWin9x(m.os()));
    EXPECT_EQ(m.registryPath(), dir.path() / "registry.db");
    EXPECT_EQ(m.ini().value("machine", "computername"), "OLDPC");
}

TEST_F(MachineTest, FolderWithoutMachineIniIsNotAMachine)
{
    Machine m;
    std::string message;
    EXPECT_EQ(m.open(dir.path(), &message), WinError::FileNotFound);
    EXPECT_FALSE(m.isValid());
    EXPECT_NE(message.find("machine.ini"), std::string::npos);
    EXPECT_EQ(m.open(dir / "nothing", &message), WinError::PathNotFound);
}

TEST_F(MachineTest, UnknownOsCodeIsRejected)
{
    writeFile(dir / "machine.ini", "[Machine]\r\nOS=winnt4\r\n");
    Machine m;
    std::string message;
    EXPECT_EQ(m.open(dir.path(), &message), WinError::InvalidData);
    EXPECT_NE(message.find("winnt4"), std::string::npos);
    writeFile(dir / "machine.ini", "[Other]\r\nOS=winxp\r\n");
    EXPECT_EQ(m.open(dir.path(), &message), WinError::InvalidData);
}

TEST_F(MachineTest, CreateWritesOsAndKeepsOtherEntries)
{
    writeFile(dir / "machine.ini", "[Machine]\r\nComputerName=NEWPC\r\nOS=win98\r\n");
    Machine m;
    ASSERT_EQ(m.create(dir.path(), OsCode::WinXp), WinError::Success);
    EXPECT_EQ(m.os(), OsCode::WinXp);
    Machine again;
    ASSERT_EQ(again.open(dir.path()), WinError::Success);
    EXPECT_EQ(again.os(), OsCode::WinXp);
    EXPECT_EQ(again.ini().value("Machine", "ComputerName"), "NEWPC");
}

TEST_F(MachineTest, CurrentMachineComesFromTheEnvironment)
{
    Machine made;
    ASSERT_EQ(made.create(dir / "pc", OsCode::Win2k), WinError::Success);
    ::setenv(Machine::kEnvironmentVariable, (dir / "pc").c_str(), 1);
    Machine m;
    EXPECT_EQ(m.openCurrent(), WinError::Success);
    EXPECT_EQ(m.os(), OsCode::Win2k);
    ::unsetenv(Machine::kEnvironmentVariable);
    std::string message;
    EXPECT_EQ(m.openCurrent(&message), WinError::FileNotFound);
    EXPECT_NE(message.find("WINENV_MACHINE"), std::string::npos);
}

TEST_F(MachineTest, OsCodesParseWithoutCase)
{
    EXPECT_EQ(parseOsCode("WINME"), OsCode::WinMe);
    EXPECT_EQ(osCodeText(OsCode::Win2k), "win2k");
    EXPECT_FALSE(parseOsCode("win10").has_value());
    EXPECT_FALSE(isWin9x(OsCode::WinXp));
}
