// RegFileTest.cpp: registry files in both formats: exact export text, wrapping, round trips,
// merging with passed-over lines, rejected files and all-or-nothing merges.
#include "platform/RegFile.h"

#include "platform/CodePage.h"
#include "tests/platform/FileBytes.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

using namespace platform;
using testutil::readFile;
using testutil::writeFile;

namespace {

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find("\r\n", pos);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return out;
}

} // namespace

class RegFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(reg.open(dir / "registry.db"), WinError::Success); }

    RegKey create(RegKey parent, const std::string& path)
    {
        RegKey k;
        EXPECT_EQ(reg.createKey(parent, path, k), WinError::Success);
        return k;
    }

    std::string exported(
        std::string_view key, RegFileFormat format = RegFileFormat::Regedit4, Registry* from = nullptr)
    {
        std::string bytes;
        std::string message;
        EXPECT_EQ(exportRegText(from ? *from : reg, key, format, bytes, &message), WinError::Success)
            << message;
        return bytes;
    }

    // Fills a key with one value of every kind the format knows.
    void fillSample()
    {
        const RegKey app = create(RegRoot::CurrentUser, "Software\\Vendor\\App");
        reg.setString(app, "", "default text");
        reg.setString(app, "Path", "C:\\Program Files\\App\\app.exe");
        reg.setString(app, "Quote", "say \"hi\"");
        reg.setString(app, "Accent", "Caf\u00E9 \u20AC");
        reg.setDword(app, "Count", 0x400);
        reg.setValue(app, "Blob", RegType::Binary, RegBytes{0x00, 0x7f, 0xff});
        reg.setString(app, "Exp", "%SystemRoot%", RegType::ExpandSz);
        reg.setValue(app, "Multi", RegType::MultiSz, regMultiStringData({"one", "two"}));
        reg.setValue(app, "Nothing", RegType::None, RegBytes{});
        reg.setValue(app, "Qword", RegType::Qword, RegBytes{1, 2, 3, 4, 5, 6, 7, 8});
        reg.setValue(app, "Odd\"Name\\", RegType::Sz, regStringData("x"));
        reg.setValue(app, "NoZero", RegType::Sz, RegBytes{'a', 'b'});
        reg.setValue(app, "Lines", RegType::Sz, regStringData("a\r\nb"));
        create(app, "zeta");
        create(app, "Alpha\\Deep");
    }

    testutil::TempDir dir;
    Registry reg;
};

TEST_F(RegFileTest, Regedit4ExportIsWrittenAsTheEditorWritesIt)
{
    fillSample();
    const std::string text = exported("hkcu\\software\\vendor\\APP");
    const std::string expected = "REGEDIT4\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\software\\vendor\\APP]\r\n"
                                 "@=\"default text\"\r\n"
                                 "\"Path\"=\"C:\\\\Program Files\\\\App\\\\app.exe\"\r\n"
                                 "\"Quote\"=\"say \\\"hi\\\"\"\r\n"
                                 "\"Accent\"=\"Caf\xE9 \x80\"\r\n"
                                 "\"Count\"=dword:00000400\r\n"
                                 "\"Blob\"=hex:00,7f,ff\r\n"
                                 "\"Exp\"=hex(2):25,53,79,73,74,65,6d,52,6f,6f,74,25,00\r\n"
                                 "\"Multi\"=hex(7):6f,6e,65,00,74,77,6f,00,00\r\n"
                                 "\"Nothing\"=hex(0):\r\n"
                                 "\"Qword\"=hex(b):01,02,03,04,05,06,07,08\r\n"
                                 "\"Odd\\\"Name\\\\\"=\"x\"\r\n"
                                 "\"NoZero\"=hex(1):61,62\r\n"
                                 "\"Lines\"=hex(1):61,0d,0a,62,00\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\software\\vendor\\APP\\Alpha]\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\software\\vendor\\APP\\Alpha\\Deep]\r\n"
                                 "\r\n"
                                 "[HKEY_CURRENT_USER\\software\\vendor\\APP\\zeta]\r\n"
                                 "\r\n";
    EXPECT_EQ(text, expected);
}

TEST_F(RegFileTest, Version5ExportIsUtf16WithWideStringData)
{
    const RegKey k = create(RegRoot::LocalMachine, "Software\\V5");
    reg.setString(k, "Name", "\u00E9");
    reg.setString(k, "Exp", "%A%", RegType::ExpandSz);
    const std::string bytes = exported("HKEY_LOCAL_MACHINE\\Software\\V5", RegFileFormat::Version5);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
    const std::string text = utf16leToCp1252(bytes.substr(2));
    EXPECT_EQ(text,
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\V5]\r\n"
        "\"Name\"=\"\xE9\"\r\n"
        "\"Exp\"=hex(2):25,00,41,00,25,00,00,00\r\n"
        "\r\n");
}

TEST_F(RegFileTest, LongHexListsWrapAtEightyColumnsWithTwoBlankIndent)
{
    const RegKey k = create(RegRoot::CurrentUser, "Wrap");
    RegBytes data(100);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i);
    reg.setValue(k, "ShellState", RegType::Binary, data);
    const std::vector<std::string> ls = lines(exported("HKCU\\Wrap"));
    ASSERT_GE(ls.size(), 7u);
    // 17 characters of prefix, then 20 bytes; 25 bytes on each full continuation line.
    EXPECT_EQ(ls[3].substr(0, 17), "\"ShellState\"=hex:");
    EXPECT_EQ(ls[3].size(), 17u + 20 * 3 + 1);
    EXPECT_EQ(ls[3].back(), '\\');
    EXPECT_EQ(ls[4].substr(0, 2), "  ");
    EXPECT_EQ(ls[4].size(), 2u + 25 * 3 + 1);
    EXPECT_EQ(ls[4].substr(2, 3), "14,"); // byte 20 starts the second line
    EXPECT_EQ(ls[7], "  5f,60,61,62,63"); // 20 + 25 + 25 + 25 = 95, then the last 5 bytes
    for (const std::string& l : ls)
        EXPECT_LE(l.size(), 80u);
}

TEST_F(RegFileTest, ExportImportExportIsByteIdenticalInBothFormats)
{
    fillSample();
    const RegKey big = create(RegRoot::LocalMachine, "SOFTWARE\\Big");
    RegBytes blob(300, 0xAB);
    blob.push_back(0);
    // A string without its terminator comes back terminated (see the test below); here every
    // string is whole.
    RegKey app;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Software\\Vendor\\App", app), WinError::Success);
    reg.setValue(app, "NoZero", RegType::Sz, RegBytes{'a', 'b', 0});
    reg.setValue(
        big, "a very long value name that pushes the hex list far to the right", RegType::ExpandSz, blob);
    for (const RegFileFormat format : {RegFileFormat::Regedit4, RegFileFormat::Version5}) {
        const std::string first = exported("", format);
        Registry fresh;
        const auto file = dir / (format == RegFileFormat::Regedit4 ? "fresh4.db" : "fresh5.db");
        ASSERT_EQ(fresh.open(file), WinError::Success);
        RegFileMergeReport report;
        ASSERT_EQ(mergeRegText(fresh, first, report), WinError::Success) << report.message;
        EXPECT_TRUE(report.warnings.empty())
            << report.warnings.front().line << ": " << report.warnings.front().text;
        EXPECT_EQ(exported("", format, &fresh), first);
    }
}

TEST_F(RegFileTest, AStringWithoutItsTerminatorIsExportedInHexAndImportedTerminated)
{
    const RegKey k = create(RegRoot::CurrentUser, "Raw");
    reg.setValue(k, "NoZero", RegType::Sz, RegBytes{'a', 'b'});
    const std::string text = exported("HKEY_CURRENT_USER\\Raw");
    EXPECT_NE(text.find("\"NoZero\"=hex(1):61,62\r\n"), std::string::npos);
    Registry fresh;
    ASSERT_EQ(fresh.open(dir / "raw.db"), WinError::Success);
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(fresh, text, report), WinError::Success) << report.message;
    RegKey back;
    ASSERT_EQ(fresh.openKey(RegRoot::CurrentUser, "Raw", back), WinError::Success);
    RegValue v;
    ASSERT_EQ(fresh.queryValue(back, "NoZero", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{'a', 'b', 0}));
}

TEST_F(RegFileTest, TheRegistrysLimitsHoldOnEveryWriteAndDeepKeysExport)
{
    // One merged line 25,000 levels deep: refused with a short warning, nothing made.
    std::string deep = "REGEDIT4\r\n[HKEY_CURRENT_USER\\Deep";
    for (int i = 0; i < 25000; ++i)
        deep += "\\a";
    deep += "]\r\n\"v\"=\"1\"\r\n";
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(reg, deep, report), WinError::Success) << report.message;
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].line, 2u);
    EXPECT_LT(report.warnings[0].text.size(), 300u) << "a long line is cut in its warning";
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Deep", k), WinError::FileNotFound);

    // 512 levels are allowed, the 513th is not; names up to their lengths.
    std::string path = "Deep";
    for (int i = 1; i < 512; ++i)
        path += "\\a";
    EXPECT_EQ(reg.createKey(RegRoot::CurrentUser, path, k), WinError::Success);
    RegKey deeper;
    EXPECT_EQ(reg.createKey(k, "b", deeper), WinError::InvalidParameter);
    EXPECT_EQ(reg.createKey(RegRoot::CurrentUser, std::string(256, 'k'), deeper), WinError::InvalidParameter);
    EXPECT_EQ(reg.createKey(RegRoot::CurrentUser, std::string(255, 'k'), deeper), WinError::Success);
    EXPECT_EQ(reg.setValue(deeper, std::string(16384, 'v'), RegType::Sz, {0}), WinError::InvalidParameter);
    EXPECT_EQ(reg.setValue(deeper, std::string(16383, 'v'), RegType::Sz, {0}), WinError::Success);

    // The deepest tree exports, and its export merges back unchanged.
    const std::string text = exported("HKEY_CURRENT_USER\\Deep");
    EXPECT_NE(text.find(path.substr(5)), std::string::npos);
    Registry fresh;
    ASSERT_EQ(fresh.open(dir / "deep.db"), WinError::Success);
    ASSERT_EQ(mergeRegText(fresh, text, report), WinError::Success);
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(exported("HKEY_CURRENT_USER\\Deep", RegFileFormat::Regedit4, &fresh), text);
}

TEST_F(RegFileTest, MergeCreatesKeysSetsAndDeletesValues)
{
    const RegKey old = create(RegRoot::CurrentUser, "Software\\Old\\Sub");
    reg.setString(old, "x", "y");
    const RegKey keep = create(RegRoot::CurrentUser, "Software\\Keep");
    reg.setString(keep, "gone", "1");
    reg.setString(keep, "", "default");
    reg.setString(keep, "stays", "2");
    const std::string file = "REGEDIT4\r\n\r\n"
                             "; a comment\r\n"
                             "[-HKEY_CURRENT_USER\\Software\\Old]\r\n"
                             "\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Keep]\r\n"
                             "\"gone\"=-\r\n"
                             "@=-\r\n"
                             "\"new\"=\"C:\\\\Windows\\\\\"\r\n"
                             "  \"indented\" = dword:0000ffff\r\n"
                             "\"bin\"=hex:01,02,\\\r\n"
                             "  03,04\r\n"
                             "[HKCR\\.txt]\r\n"
                             "@=\"txtfile\"\r\n";
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(reg, file, report), WinError::Success) << report.message;
    EXPECT_TRUE(report.warnings.empty());
    EXPECT_EQ(report.keysDeleted, 1u);
    EXPECT_EQ(report.valuesDeleted, 2u);
    EXPECT_EQ(report.valuesSet, 4u);

    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Software\\Old", k), WinError::FileNotFound);
    RegValue v;
    EXPECT_EQ(reg.queryValue(keep, "gone", v), WinError::FileNotFound);
    EXPECT_EQ(reg.queryValue(keep, "", v), WinError::FileNotFound);
    std::string text;
    ASSERT_EQ(reg.queryString(keep, "new", text), WinError::Success);
    EXPECT_EQ(text, "C:\\Windows\\");
    std::uint32_t d = 0;
    ASSERT_EQ(reg.queryDword(keep, "indented", d), WinError::Success);
    EXPECT_EQ(d, 0xffffu);
    ASSERT_EQ(reg.queryValue(keep, "bin", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{1, 2, 3, 4}));
    ASSERT_EQ(reg.openKey(RegRoot::LocalMachine, "SOFTWARE\\Classes\\.txt", k), WinError::Success);
    ASSERT_EQ(reg.queryString(k, "", text), WinError::Success);
    EXPECT_EQ(text, "txtfile");
}

TEST_F(RegFileTest, MalformedLinesAndUnknownRootsArePassedOverWithTheirLineNumbers)
{
    const std::string file = "REGEDIT4\r\n"                 // 1
                             "\"early\"=\"no key yet\"\r\n" // 2: value outside any key
                             "[HKEY_CURRENT_USER\\Control Panel\\Screen Saver.3DText]\r\n" // 3
                             "\"Size\"=\"10\"\r\n"                                         // 4
                             "\"a\"=\"b\"=\"c\"\r\n"                           // 5: text after the string
                             "\"NoEquals\"\r\n"                                // 6
                             "garbage line\r\n"                                // 7
                             "\"d\"=dword:xyz\r\n"                             // 8
                             "\"h\"=hex:1,zz\r\n"                              // 9
                             "[HKEY_DYN_DATA\\PerfStats]\r\n"                  // 10: unknown root
                             "\"quiet\"=\"skipped with its section\"\r\n"      // 11
                             "[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n" // 12
                             "\"Path\"=\"C:\\WINDOWS\\x.scr\"\r\n"             // 13: an unknown escape
                             "[HKEY_CURRENT_USER\\Unclosed\r\n"                // 14
                             "\"lost\"=\"1\"\r\n"                              // 15
                             "[HKEY_CURRENT_USER\\Cut]\r\n"                    // 16
                             "\"cut\"=hex:01,02,\\\r\n"                        // 17: the file ends inside
                             "\r\n";
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(reg, file, report), WinError::Success) << report.message;
    std::vector<std::size_t> warned;
    for (const RegFileWarning& w : report.warnings)
        warned.push_back(w.line);
    EXPECT_EQ(warned, (std::vector<std::size_t>{2, 5, 6, 7, 8, 9, 10, 13, 14, 17}));

    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Control Panel\\Screen Saver.3DText", k), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(k, "Size", text), WinError::Success);
    EXPECT_EQ(text, "10");
    RegKeyInfo info;
    ASSERT_EQ(reg.queryInfo(k, info), WinError::Success);
    EXPECT_EQ(info.values, 1u);
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Control Panel\\Desktop", k), WinError::Success);
    EXPECT_EQ(reg.queryString(k, "Path", text), WinError::FileNotFound) << "\\W and \\x are no escapes";
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Unclosed", k), WinError::FileNotFound);
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Cut", k), WinError::Success);
    RegValue cut;
    ASSERT_EQ(reg.queryValue(k, "cut", cut), WinError::Success) << "the bytes read are kept";
    EXPECT_EQ(cut.data, (RegBytes{1, 2}));
    EXPECT_TRUE(report.warnings.back().kept);
    EXPECT_FALSE(report.warnings.front().kept);
}

TEST_F(RegFileTest, FilesWithoutHeaderAreRejectedAndChangeNothing)
{
    const RegKey k = create(RegRoot::CurrentUser, "Before");
    reg.setString(k, "v", "1");
    const std::string before = exported("");
    for (const std::string& bad : {std::string("[HKEY_CURRENT_USER\\X]\r\n\"a\"=\"b\"\r\n"),
             std::string("REGEDIT5\r\n[HKEY_CURRENT_USER\\X]\r\n"), std::string(),
             std::string("\r\nREGEDIT4\r\n[HKEY_CURRENT_USER\\X]\r\n")}) {
        RegFileMergeReport report;
        EXPECT_EQ(mergeRegText(reg, bad, report), WinError::BadFormat);
        EXPECT_FALSE(report.message.empty());
    }
    writeFile(dir / "notes.txt", "hello\r\n[HKEY_CURRENT_USER\\X]\r\n");
    RegFileMergeReport report;
    EXPECT_EQ(mergeRegFile(reg, dir / "notes.txt", report), WinError::BadFormat);
    EXPECT_NE(report.message.find("notes.txt"), std::string::npos);
    EXPECT_EQ(mergeRegFile(reg, dir / "missing.reg", report), WinError::FileNotFound);
    EXPECT_NE(report.message.find("missing.reg"), std::string::npos);
    std::filesystem::create_directories(dir / "folder.reg");
    EXPECT_EQ(mergeRegFile(reg, dir / "folder.reg", report), WinError::AccessDenied);
    EXPECT_NE(report.message.find("folder.reg"), std::string::npos);
    EXPECT_EQ(exported(""), before);
}

TEST_F(RegFileTest, Version5FilesMergeFromUtf16)
{
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\W]\r\n\"N\"=\"\xE9t\xE9\"\r\n"
        "\"E\"=hex(2):41,00,42,00,00,00\r\n";
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(reg, "\xFF\xFE" + cp1252ToUtf16le(text), report), WinError::Success)
        << report.message;
    EXPECT_EQ(report.format, RegFileFormat::Version5);
    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "W", k), WinError::Success);
    std::string s;
    ASSERT_EQ(reg.queryString(k, "N", s), WinError::Success);
    EXPECT_EQ(s, "\u00E9t\u00E9");
    RegValue v;
    ASSERT_EQ(reg.queryValue(k, "E", v), WinError::Success);
    EXPECT_EQ(v.data, (RegBytes{'A', 'B', 0})); // stored narrow
}

TEST_F(RegFileTest, AMergeKilledHalfwayLeavesTheRegistryAsItWas)
{
    const RegKey k = create(RegRoot::LocalMachine, "Stable");
    reg.setString(k, "v", "before");
    const std::string before = exported("");
    std::string file = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Stable]\r\n\"v\"=\"after\"\r\n";
    for (int i = 0; i < 5000; ++i)
        file += "[HKEY_LOCAL_MACHINE\\Stable\\K" + std::to_string(i) + "]\r\n\"n\"=dword:00000001\r\n";
    reg.close();

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Registry r;
        if (r.open(dir / "registry.db") != WinError::Success)
            ::_exit(3);
        RegFileMergeOptions options;
        options.yieldEvery = 4000; // well inside the file
        options.yield = [] { ::raise(SIGKILL); };
        RegFileMergeReport report;
        mergeRegText(r, file, report, options);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    ASSERT_EQ(reg.open(dir / "registry.db"), WinError::Success);
    EXPECT_EQ(exported(""), before);
    // The registry is not left locked either.
    RegFileMergeReport report;
    EXPECT_EQ(mergeRegText(reg, file, report), WinError::Success);
    RegKey stable;
    ASSERT_EQ(reg.openKey(RegRoot::LocalMachine, "Stable", stable), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(stable, "v", text), WinError::Success);
    EXPECT_EQ(text, "after");
}

TEST_F(RegFileTest, AnotherProcessSeesAMergeWholeOrNotAtAll)
{
    create(RegRoot::LocalMachine, "SOFTWARE\\Seen");
    const std::string before = exported("HKLM\\SOFTWARE\\Seen");
    std::string file = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Seen]\r\n";
    for (int i = 0; i < 20000; ++i)
        file += "\"v" + std::to_string(i) + "\"=dword:00000001\r\n";
    reg.close();
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Registry r;
        if (r.open(dir / "registry.db") != WinError::Success)
            ::_exit(3);
        RegFileMergeOptions options;
        options.yieldEvery = 10;
        bool told = false;
        options.yield = [&] {
            if (!told && ::write(ready[1], "x", 1) == 1)
                told = true;
        };
        RegFileMergeReport report;
        ::_exit(mergeRegText(r, file, report, options) == WinError::Success ? 0 : 4);
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1); // the merge is under way now
    ::close(ready[0]);
    Registry watcher;
    ASSERT_EQ(watcher.open(dir / "registry.db"), WinError::Success);
    std::string during;
    ASSERT_EQ(
        exportRegText(watcher, "HKLM\\SOFTWARE\\Seen", RegFileFormat::Regedit4, during), WinError::Success);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    std::string after;
    ASSERT_EQ(
        exportRegText(watcher, "HKLM\\SOFTWARE\\Seen", RegFileFormat::Regedit4, after), WinError::Success);
    EXPECT_NE(after, before);
    EXPECT_TRUE(during == before || during == after) << "an export saw part of a merge";
}

TEST_F(RegFileTest, MergeWhileAnotherProcessHoldsTheRegistryFailsWithoutChanges)
{
    Registry holder;
    ASSERT_EQ(holder.open(dir / "registry.db"), WinError::Success);
    ASSERT_EQ(holder.beginTransaction(), WinError::Success);
    Registry impatient;
    ASSERT_EQ(impatient.open(dir / "registry.db", Registry::OpenMode::OpenExisting, nullptr, 50),
        WinError::Success);
    RegFileMergeReport report;
    EXPECT_EQ(
        mergeRegText(impatient, "REGEDIT4\r\n[HKEY_CURRENT_USER\\Blocked]\r\n", report), WinError::Busy);
    EXPECT_FALSE(report.message.empty());
    ASSERT_EQ(holder.rollbackTransaction(), WinError::Success);
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "Blocked", k), WinError::FileNotFound);
}

TEST_F(RegFileTest, ExportOfAMissingKeyWritesNoFile)
{
    std::string message;
    EXPECT_EQ(exportRegFile(reg, dir / "out.reg", "HKLM\\No\\Such", RegFileFormat::Regedit4, &message),
        WinError::FileNotFound);
    EXPECT_NE(message.find("HKLM\\No\\Such"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.reg"));
    EXPECT_EQ(exportRegFile(reg, dir / "out.reg", "HKEY_NOWHERE\\x", RegFileFormat::Regedit4, &message),
        WinError::FileNotFound);
    EXPECT_EQ(exportRegFile(reg, dir / "nofolder" / "out.reg", "HKLM", RegFileFormat::Regedit4, &message),
        WinError::PathNotFound);
    EXPECT_FALSE(std::filesystem::exists(dir / "nofolder"));
    ASSERT_EQ(
        exportRegFile(reg, dir / "out.reg", "HKCR", RegFileFormat::Regedit4, &message), WinError::Success);
    EXPECT_EQ(readFile(dir / "out.reg"), "REGEDIT4\r\n\r\n[HKEY_CLASSES_ROOT]\r\n\r\n");
}

TEST_F(RegFileTest, WholeRegistryExportListsTheFourHivesInOrder)
{
    create(RegRoot::CurrentConfig, "Display");
    create(RegRoot::Users, ".DEFAULT");
    std::vector<std::string> headers;
    for (const std::string& l : lines(exported("")))
        if (!l.empty() && l.front() == '[')
            headers.push_back(l);
    EXPECT_EQ(headers,
        (std::vector<std::string>{"[HKEY_LOCAL_MACHINE]", "[HKEY_LOCAL_MACHINE\\SOFTWARE]",
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes]", "[HKEY_CURRENT_USER]", "[HKEY_USERS]",
            "[HKEY_USERS\\.DEFAULT]", "[HKEY_CURRENT_CONFIG]", "[HKEY_CURRENT_CONFIG\\Display]"}));
}

TEST_F(RegFileTest, MergeStoppedPartWayChangesNothingAndSaysWhere)
{
    create(RegRoot::LocalMachine, "SOFTWARE\\Kept");
    std::string file = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kept]\r\n";
    for (int i = 0; i < 300; ++i)
        file += "\"v" + std::to_string(i) + "\"=dword:00000001\r\n";
    RegFileMergeOptions options;
    options.yieldEvery = 100;
    int asked = 0;
    options.stop = [&] { return ++asked == 2; }; // the second turn: line 201 of 303
    RegFileMergeReport report;
    EXPECT_EQ(mergeRegText(reg, file, report, options), WinError::Cancelled);
    EXPECT_EQ(asked, 2);
    EXPECT_NE(report.message.find("line 201"), std::string::npos) << report.message;
    RegKey kept;
    ASSERT_EQ(reg.openKey(RegKey(RegRoot::LocalMachine), "SOFTWARE\\Kept", kept), WinError::Success);
    RegValue v;
    EXPECT_EQ(reg.queryValue(kept, "v0", v), WinError::FileNotFound) << "a stopped merge left values";

    options.stop = [] { return false; };
    EXPECT_EQ(mergeRegText(reg, file, report, options), WinError::Success);
    EXPECT_EQ(report.valuesSet, 300u);
}

// A check reads a file without a registry: it must pass over exactly the lines a merge into an
// empty registry passes over, the registry's limits on names and depth included.
TEST_F(RegFileTest, ACheckPassesOverTheLinesAnEmptyRegistryRefuses)
{
    std::string deep;
    for (int i = 0; i < 511; ++i)
        deep += "\\k";
    const std::string file = "REGEDIT4\r\n\r\n"
                             "[HKEY_CURRENT_USER\\" +
        std::string(256, 'n') + "]\r\n\"a\"=\"1\"\r\n" + "[HKEY_CURRENT_USER\\" + std::string(255, 'n') +
        "]\r\n\"" + std::string(16384, 'v') + "\"=\"2\"\r\n\"" + std::string(16383, 'v') + "\"=\"3\"\r\n" +
        "[HKEY_CURRENT_USER" + deep + "\\last\\over]\r\n\"b\"=\"4\"\r\n" + "[HKEY_CURRENT_USER" + deep +
        "\\last]\r\n" + "[HKEY_CLASSES_ROOT" + deep + "]\r\n" + "[HKEY_CLASSES_ROOT" + deep.substr(2) +
        "]\r\n" + "[-HKEY_CURRENT_USER\\Gone]\r\n";
    Registry empty;
    ASSERT_EQ(empty.open(":memory:"), WinError::Success);
    RegFileMergeReport merged;
    ASSERT_EQ(mergeRegText(empty, file, merged), WinError::Success) << merged.message;
    RegFileMergeReport checked;
    ASSERT_EQ(checkRegText(file, checked), WinError::Success) << checked.message;
    const auto linesOf = [](const RegFileMergeReport& r) {
        std::vector<std::size_t> out;
        for (const RegFileWarning& w : r.warnings)
            out.push_back(w.line);
        return out;
    };
    EXPECT_EQ(linesOf(merged), (std::vector<std::size_t>{3, 6, 8, 11}));
    EXPECT_EQ(linesOf(checked), linesOf(merged));
    EXPECT_EQ(checked.keysOpened, merged.keysOpened);
    EXPECT_EQ(checked.valuesSet, merged.valuesSet);
}
