// RegeditToolTest.cpp: build/bin/regedit run as a process on a temporary machine folder.
#include "platform/CodePage.h"
#include "platform/Machine.h"
#include "platform/Registry.h"

#include "tests/platform/FileBytes.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using testutil::readFile;
using testutil::writeFile;

namespace {

struct ToolRun {
    int exitCode = -1;
    std::string errors;
};

// Runs the tool with WINENV_MACHINE set to machineFolder, capturing stderr.
ToolRun runRegeditTool(const std::filesystem::path& machineFolder, const std::vector<std::string>& args)
{
    ToolRun run;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return run;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], 2);
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        // Keep the tool away from the real home folder whatever it does.
        const std::string home = machineFolder.parent_path().string();
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
        ::setenv(Machine::kEnvironmentVariable, machineFolder.c_str(), 1);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(REGEDIT_PROGRAM));
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(REGEDIT_PROGRAM, argv.data());
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    char buf[4096];
    ssize_t n;
    while ((n = ::read(pipeFds[0], buf, sizeof buf)) > 0)
        run.errors.append(buf, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace

class RegeditToolTest : public ::testing::Test {
protected:
    void makeMachine(OsCode os)
    {
        Machine m;
        std::string message;
        ASSERT_EQ(m.create(machine, os, &message), WinError::Success) << message;
        Registry reg;
        ASSERT_EQ(reg.open(m.registryPath(), Registry::OpenMode::OpenExisting), WinError::Success);
        RegKey k;
        ASSERT_EQ(reg.createKey(RegRoot::CurrentUser, "Control Panel\\Desktop", k), WinError::Success);
        ASSERT_EQ(reg.setString(k, "Wallpaper", "C:\\WINDOWS\\Clouds.bmp"), WinError::Success);
        ASSERT_EQ(
            reg.createKey(RegRoot::LocalMachine, "SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\Software\\Vendor", k),
            WinError::Success);
        ASSERT_EQ(reg.setDword(k, "Installed", 1), WinError::Success);
    }

    std::string registryText()
    {
        Registry reg;
        EXPECT_EQ(reg.open(machine / "registry.db", Registry::OpenMode::OpenExisting), WinError::Success);
        std::vector<RegSubKey> subs;
        std::string all;
        // A cheap fingerprint: every value of the two test hives, in order.
        for (const RegRoot root : {RegRoot::CurrentUser, RegRoot::LocalMachine}) {
            std::vector<std::pair<RegKey, std::string>> todo{{root, std::string(regRootName(root))}};
            while (!todo.empty()) {
                auto [key, path] = todo.back();
                todo.pop_back();
                all += "[" + path + "]";
                std::vector<RegValue> values;
                reg.listValues(key, values);
                for (const RegValue& v : values)
                    all += v.name + "=" + std::string(v.data.begin(), v.data.end()) + ";";
                reg.listSubKeys(key, subs);
                for (const RegSubKey& s : subs)
                    todo.push_back({s.key, path + "\\" + s.name});
            }
        }
        return all;
    }

    testutil::TempDir dir;
    std::filesystem::path machine = dir / "PC";
};

TEST_F(RegeditToolTest, SilentMergeWritesIntoTheMachineRegistry)
{
    makeMachine(OsCode::WinXp);
    writeFile(dir / "in.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n\"Wallpaper\"=\"C:\\\\new.bmp\"\r\n");
    const ToolRun run = runRegeditTool(machine, {"/s", (dir / "in.reg").string()});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(run.errors.empty()) << run.errors;
    Registry reg;
    ASSERT_EQ(reg.open(machine / "registry.db"), WinError::Success);
    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Control Panel\\Desktop", k), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(k, "Wallpaper", text), WinError::Success);
    EXPECT_EQ(text, "C:\\new.bmp");
}

TEST_F(RegeditToolTest, ExportFormatFollowsTheOptionAndTheMachine)
{
    makeMachine(OsCode::WinXp);
    const auto a = dir / "a.reg";
    const auto e = dir / "e.reg";
    ASSERT_EQ(runRegeditTool(machine, {"/a", a.string(), "HKCU\\control panel"}).exitCode, 0);
    ASSERT_EQ(runRegeditTool(machine, {"/E", e.string(), "HKEY_CURRENT_USER\\Control Panel"}).exitCode, 0);
    const std::string ansi = readFile(a);
    EXPECT_EQ(ansi,
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\control panel]\r\n\r\n"
        "[HKEY_CURRENT_USER\\control "
        "panel\\Desktop]\r\n\"Wallpaper\"=\"C:\\\\WINDOWS\\\\Clouds.bmp\"\r\n\r\n");
    const std::string wide = readFile(e);
    ASSERT_GE(wide.size(), 2u);
    EXPECT_EQ(wide.substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(utf16leToCp1252(wide.substr(2)).substr(0, 38), "Windows Registry Editor Version 5.00\r\n");
}

TEST_F(RegeditToolTest, Windows98ExportsRegedit4WithSlashE)
{
    makeMachine(OsCode::Win98);
    const auto out = dir / "HKLM.reg";
    const ToolRun run = runRegeditTool(machine, {"/s", "/E", out.string(), "HKEY_LOCAL_MACHINE"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string text = readFile(out);
    EXPECT_EQ(text.substr(0, 10), "REGEDIT4\r\n");
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QZ\\HKEY_LOCAL_MACHINE\\Software\\Vendor]"
                        "\r\n\"Installed\"=dword:00000001\r\n"),
        std::string::npos);
}

TEST_F(RegeditToolTest, ExportWithoutKeyWritesTheWholeRegistryAndReimportsUnchanged)
{
    makeMachine(OsCode::Win2k);
    const auto out = dir / "all.reg";
    ASSERT_EQ(runRegeditTool(machine, {"/e", out.string()}).exitCode, 0);
    const std::string first = readFile(out);
    ASSERT_EQ(runRegeditTool(machine, {"/s", out.string()}).exitCode, 0);
    ASSERT_EQ(runRegeditTool(machine, {"/e", out.string()}).exitCode, 0);
    EXPECT_EQ(readFile(out), first);
    EXPECT_NE(utf16leToCp1252(first).find("[HKEY_CURRENT_USER\\Control Panel\\Desktop]"), std::string::npos);
}

TEST_F(RegeditToolTest, MissingKeyWritesNoFileAndFails)
{
    makeMachine(OsCode::WinXp);
    const auto out = dir / "none.reg";
    const ToolRun run = runRegeditTool(machine, {"/a", out.string(), "HKLM\\SOFTWARE\\Nothing Here"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("Nothing Here"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RegeditToolTest, BadFilesAreRejectedByNameAndChangeNothing)
{
    makeMachine(OsCode::WinXp);
    const std::string before = registryText();
    writeFile(dir / "notreg.txt", "[HKEY_CURRENT_USER\\Evil]\r\n\"x\"=\"y\"\r\n");
    ToolRun run = runRegeditTool(machine, {"/s", (dir / "notreg.txt").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("notreg.txt"), std::string::npos);
    run = runRegeditTool(machine, {"/s", (dir / "missing.reg").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("missing.reg"), std::string::npos);
    EXPECT_EQ(registryText(), before);
}

TEST_F(RegeditToolTest, MalformedLinesAreReportedWithLineNumbersAndTheRestIsMerged)
{
    makeMachine(OsCode::WinXp);
    writeFile(dir / "mixed.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Mixed]\r\n\"good\"=\"1\"\r\nnot a "
        "value\r\n\"also\"=dword:00000002\r\n");
    const ToolRun run = runRegeditTool(machine, {"/s", (dir / "mixed.reg").string()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("mixed.reg:5:"), std::string::npos) << run.errors;
    Registry reg;
    ASSERT_EQ(reg.open(machine / "registry.db"), WinError::Success);
    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Mixed", k), WinError::Success);
    RegKeyInfo info;
    ASSERT_EQ(reg.queryInfo(k, info), WinError::Success);
    EXPECT_EQ(info.values, 2u);
}

TEST_F(RegeditToolTest, MachineProblemsAreReportedClearly)
{
    ToolRun run = runRegeditTool(machine, {"/s", (dir / "x.reg").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("PC"), std::string::npos);
    std::filesystem::create_directories(machine);
    run = runRegeditTool(machine, {"/s", (dir / "x.reg").string()});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("machine.ini"), std::string::npos);
    writeFile(machine / "machine.ini", "[Machine]\r\nOS=winxp\r\n");
    writeFile(machine / "registry.db", std::string(4096, 'x'));
    run = runRegeditTool(machine, {"/a", (dir / "x.reg").string(), "HKLM"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("registry.db"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.reg"));
}

TEST_F(RegeditToolTest, AMachineWithoutARegistryGetsAnEmptyOneWithTheFourHives)
{
    std::filesystem::create_directories(machine);
    writeFile(machine / "machine.ini", "[Machine]\r\nOS=winxp\r\n");
    writeFile(dir / "in.reg", "REGEDIT4\r\n[HKEY_CURRENT_USER\\Fresh]\r\n\"v\"=\"1\"\r\n");
    ToolRun run = runRegeditTool(machine, {"/s", (dir / "in.reg").string()});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_TRUE(std::filesystem::exists(machine / "registry.db"));
    run = runRegeditTool(machine, {"/a", (dir / "all.reg").string()});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(readFile(dir / "all.reg"),
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE]\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]\r\n\r\n[HKEY_CURRENT_USER]\r\n\r\n"
        "[HKEY_CURRENT_USER\\Fresh]\r\n\"v\"=\"1\"\r\n\r\n[HKEY_USERS]\r\n\r\n[HKEY_CURRENT_CONFIG]\r\n\r\n");
}

TEST_F(RegeditToolTest, WindowsPathsResolveOnTheMachinesDrives)
{
    makeMachine(OsCode::WinXp);
    Machine m;
    ASSERT_EQ(m.open(machine), WinError::Success);
    const std::filesystem::path drive = m.driveFolder('C');
    std::filesystem::create_directories(drive / "QZImpTemp");
    writeFile(drive / "QZImpTemp" / "Temp.reg",
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\FromDrive]\r\n\"v\"=\"1\"\r\n");
    ToolRun run = runRegeditTool(machine, {"/s", "c:\\qzimptemp\\TEMP.REG"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    run = runRegeditTool(machine, {"/a", "C:\\QZImpTemp\\Out.reg", "HKEY_CURRENT_USER\\FromDrive"});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(readFile(drive / "QZImpTemp" / "Out.reg"),
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\FromDrive]\r\n\"v\"=\"1\"\r\n\r\n");
    // A relative name is never looked up in some working folder.
    run = runRegeditTool(machine, {"/a", "Out.reg", "HKCU"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("Out.reg"), std::string::npos);
    // A drive the machine does not have.
    run = runRegeditTool(machine, {"/s", "Q:\\x.reg"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_NE(run.errors.find("Q:"), std::string::npos);
}

TEST_F(RegeditToolTest, WrongCommandLinesFail)
{
    makeMachine(OsCode::WinXp);
    EXPECT_NE(runRegeditTool(machine, {}).exitCode, 0);
    EXPECT_NE(runRegeditTool(machine, {"/x", "f.reg"}).exitCode, 0);
    EXPECT_NE(runRegeditTool(machine, {"/e", "/a", (dir / "f.reg").string()}).exitCode, 0);
    EXPECT_NE(runRegeditTool(machine, {"/e", (dir / "f.reg").string(), "HKLM", "extra"}).exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "f.reg"));
}
