// RegeditCommandTest.cpp: the registry editor's command line run in-process on a temporary machine.
#include "platform/RegeditCommand.h"

#include "platform/CodePage.h"
#include "platform/Registry.h"
#include "tests/platform/FileBytes.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

using namespace platform;
using testutil::readFile;
using testutil::writeFile;

class RegeditCommandTest : public ::testing::Test {
protected:
    void makeMachine(OsCode os)
    {
        std::string message;
        ASSERT_EQ(machine.create(dir / "PC", os, &message), WinError::Success) << message;
    }

    int run(const std::vector<std::string>& args)
    {
        errors.clear();
        return runRegedit(args, machine, hostPathResolver, errors);
    }

    testutil::TempDir dir;
    Machine machine;
    std::string errors;
};

TEST_F(RegeditCommandTest, SlashEWritesTheFormatOfTheMachinesWindows)
{
    for (const OsCode os : {OsCode::Win95, OsCode::Win98, OsCode::WinMe, OsCode::Win2k, OsCode::WinXp}) {
        makeMachine(os);
        const auto out = dir / "e.reg";
        ASSERT_EQ(run({"-E", out.string(), "HKCU"}), 0) << errors;
        const std::string bytes = readFile(out);
        if (isWin9x(os))
            EXPECT_EQ(bytes.substr(0, 10), "REGEDIT4\r\n") << osCodeText(os);
        else
            EXPECT_EQ(bytes.substr(0, 4),
                std::string("\xFF\xFE"
                            "W\0",
                    4))
                << osCodeText(os);
        ASSERT_EQ(run({"/a", out.string(), "HKCU"}), 0) << errors;
        EXPECT_EQ(readFile(out), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER]\r\n\r\n") << osCodeText(os);
    }
}

TEST_F(RegeditCommandTest, EveryFileOfASilentMergeIsTriedAndFailuresCount)
{
    makeMachine(OsCode::WinXp);
    writeFile(dir / "good.reg", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Good]\r\n\"v\"=\"1\"\r\n");
    EXPECT_EQ(run({"/s", (dir / "absent.reg").string(), (dir / "good.reg").string()}), 1);
    EXPECT_NE(errors.find("absent.reg"), std::string::npos);
    const std::string notes = (dir / "notes.reg").string();
    writeFile(notes, "hello\r\n");
    EXPECT_EQ(run({"/s", notes}), 1);
    EXPECT_EQ(errors.find(notes), errors.rfind(notes)) << "the file is named once: " << errors;
    EXPECT_NE(errors.find("not a registry file"), std::string::npos) << errors;
    Registry reg;
    ASSERT_EQ(reg.open(machine.registryPath()), WinError::Success);
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Good", k), WinError::Success);
}

TEST_F(RegeditCommandTest, ArgumentsThatDoNotMakeACommandAreRefused)
{
    makeMachine(OsCode::WinXp);
    EXPECT_EQ(run({"/s"}), 1);
    EXPECT_NE(errors.find("usage"), std::string::npos);
    EXPECT_EQ(run({(dir / "plain.reg").string()}), 1); // merging without /s
    EXPECT_NE(errors.find("/s"), std::string::npos);
    EXPECT_EQ(run({"/e"}), 1);
    EXPECT_EQ(run({"/q", (dir / "x.reg").string()}), 1);
    EXPECT_NE(errors.find("/q"), std::string::npos);
}

TEST_F(RegeditCommandTest, MachineResolverTakesWindowsAndAbsoluteHostPathsOnly)
{
    makeMachine(OsCode::WinXp);
    const RegeditPathResolver resolve = machinePathResolver(machine);
    std::filesystem::path host;
    std::string message;
    ASSERT_EQ(resolve("C:\\Temp.reg", host, message), WinError::Success) << message;
    EXPECT_EQ(host.filename(), "Temp.reg");
    EXPECT_EQ(host.parent_path(), machine.driveFolder('C'));
    ASSERT_EQ(resolve("/tmp/x.reg", host, message), WinError::Success);
    EXPECT_EQ(host, std::filesystem::path("/tmp/x.reg"));
    EXPECT_EQ(resolve("x.reg", host, message), WinError::InvalidName);
    EXPECT_EQ(resolve("..\\x.reg", host, message), WinError::InvalidName);
    EXPECT_NE(resolve("C:\\..\\..\\x.reg", host, message), WinError::Success);
}

TEST_F(RegeditCommandTest, AHexListTheFileEndsInsideKeepsTheBytesRead)
{
    makeMachine(OsCode::WinXp);
    const auto file = dir / "cut.reg";
    const auto out = dir / "out.reg";
    for (const bool wide : {false, true}) {
        for (const std::string type : {"hex(0)", "hex", "hex(4)", "hex(100)"}) {
            // The value's line, cut off after its "\", is the file's last line.
            const std::string text = std::string(wide ? "Windows Registry Editor Version 5.00" : "REGEDIT4") +
                "\r\n\r\n[HKEY_CURRENT_USER\\Cut]\r\n\"v\"=" + type + ":11,22,33,44,55,\\";
            writeFile(file, wide ? "\xFF\xFE" + cp1252ToUtf16le(text) : text);
            ASSERT_EQ(run({"/s", file.string()}), 0) << errors;
            EXPECT_NE(errors.find("cut.reg:4: value kept cut short"), std::string::npos) << errors;
            ASSERT_EQ(run({"/a", out.string(), "HKEY_CURRENT_USER\\Cut"}), 0) << errors;
            EXPECT_EQ(readFile(out),
                "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Cut]\r\n\"v\"=" + type + ":11,22,33,44,55\r\n\r\n")
                << type << (wide ? " (version 5)" : " (REGEDIT4)");
        }
    }
}

// A string list the file ends inside is finished as a complete one: its terminator is added (two
// bytes in the Unicode form), and the warning still says it was kept cut short.
TEST_F(RegeditCommandTest, AStringListTheFileEndsInsideGetsItsTerminator)
{
    makeMachine(OsCode::WinXp);
    const auto file = dir / "cut.reg";
    const auto out = dir / "out.reg";
    struct Text {
        std::string type, narrow, wide, exported;
    };
    const Text texts[] = {
        {"hex(2)", "25,50,41,54,48,25", "25,00,50,00,41,00,54,00,48,00,25,00", "hex(2):25,50,41,54,48,25,00"},
        {"hex(7)", "61,00,62", "61,00,00,00,62,00", "hex(7):61,00,62,00"}};
    for (const bool wide : {false, true}) {
        for (const Text& t : texts) {
            const std::string text = std::string(wide ? "Windows Registry Editor Version 5.00" : "REGEDIT4") +
                "\r\n\r\n[HKEY_CURRENT_USER\\Cut]\r\n\"Cut\"=" + t.type + ":" + (wide ? t.wide : t.narrow) +
                ",\\";
            writeFile(file, wide ? "\xFF\xFE" + cp1252ToUtf16le(text) : text);
            ASSERT_EQ(run({"/s", file.string()}), 0) << errors;
            EXPECT_NE(errors.find("cut.reg:4: value kept cut short"), std::string::npos) << errors;
            ASSERT_EQ(run({"/a", out.string(), "HKEY_CURRENT_USER\\Cut"}), 0) << errors;
            EXPECT_EQ(readFile(out),
                "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Cut]\r\n\"Cut\"=" + t.exported + "\r\n\r\n")
                << t.type << (wide ? " (version 5)" : " (REGEDIT4)");
        }
    }
}
