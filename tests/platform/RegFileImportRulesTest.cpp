// RegFileImportRulesTest.cpp: the import rules of registry files, one table per rule family, each
// case merged as REGEDIT4 text and as a UTF-16 "Windows Registry Editor Version 5.00" file.
#include "platform/RegFile.h"

#include "platform/CodePage.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <optional>

using namespace platform;

namespace {

enum class Forms { Both, Regedit4Only, Version5Only };

// A value the case expects in HKEY_CURRENT_USER\Test after the merge; no type: the value is absent.
struct Expect {
    std::string name;
    std::optional<RegType> type;
    RegBytes data = {};
};

struct Case {
    const char* title;
    std::string body; // the lines after the header
    std::vector<Expect> values;
    std::vector<std::size_t> warnedLines = {};
    Forms forms = Forms::Both;
    std::string afterHeader = "\r\n";
    std::vector<std::string> absentKeys = {}; // below HKEY_CURRENT_USER
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.title; }

RegBytes sz(const std::string& text)
{
    RegBytes b(text.begin(), text.end());
    b.push_back(0);
    return b;
}

RegBytes bytes(std::initializer_list<int> list)
{
    RegBytes b;
    for (int v : list)
        b.push_back(static_cast<std::uint8_t>(v));
    return b;
}

const std::string kKey = "[HKEY_CURRENT_USER\\Test]\r\n";

class RegFileImportRulesTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { ASSERT_EQ(reg.open(dir.path() / "registry.db"), WinError::Success); }

    // Values that the deleting cases remove.
    void seed()
    {
        RegKey k;
        ASSERT_EQ(reg.createKey(RegRoot::CurrentUser, "Test", k), WinError::Success);
        reg.setValue(k, "old", RegType::Sz, sz("1"));
        reg.setValue(k, "", RegType::Sz, sz("default"));
        RegKey deep;
        reg.createKey(RegRoot::CurrentUser, "Test\\Sub\\Deep", deep);
    }

    void check(const Case& c, bool version5)
    {
        seed();
        const std::string header = version5 ? "Windows Registry Editor Version 5.00" : "REGEDIT4";
        const std::string text = header + c.afterHeader + c.body;
        const std::string file = version5 ? std::string("\xFF\xFE") + cp1252ToUtf16le(text) : text;
        RegFileMergeReport report;
        ASSERT_EQ(mergeRegText(reg, file, report), WinError::Success) << report.message;
        std::vector<std::size_t> warned;
        for (const RegFileWarning& w : report.warnings)
            warned.push_back(w.line);
        EXPECT_EQ(warned, c.warnedLines);
        RegKey k;
        ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Test", k), WinError::Success);
        for (const Expect& e : c.values) {
            RegValue v;
            const WinError found = reg.queryValue(k, e.name, v);
            if (!e.type) {
                EXPECT_EQ(found, WinError::FileNotFound) << "value \"" << e.name << "\" should be absent";
                continue;
            }
            ASSERT_EQ(found, WinError::Success) << "value \"" << e.name << "\"";
            EXPECT_EQ(v.type, *e.type) << "value \"" << e.name << "\"";
            EXPECT_EQ(v.data, e.data) << "value \"" << e.name << "\"";
        }
        for (const std::string& key : c.absentKeys) {
            RegKey gone;
            EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, key, gone), WinError::FileNotFound) << key;
        }
    }

    testutil::TempDir dir;
    Registry reg;
};

TEST_P(RegFileImportRulesTest, AsRegedit4)
{
    if (GetParam().forms != Forms::Version5Only)
        check(GetParam(), false);
}

TEST_P(RegFileImportRulesTest, AsVersion5)
{
    if (GetParam().forms != Forms::Regedit4Only)
        check(GetParam(), true);
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = info.param.title; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p)))
            name += *p;
    return name;
}

const RegType Sz = RegType::Sz;
const RegType Dword = RegType::Dword;
const RegType Binary = RegType::Binary;

INSTANTIATE_TEST_SUITE_P(LineEnds, RegFileImportRulesTest,
    ::testing::Values(Case{"Mixed CR LF, LF and lone CR",
                          "[HKEY_CURRENT_USER\\Test]\n\"a\"=\"1\"\r\"b\"=\"2\"\r\n\"c\"=\"3\"\n",
                          {{"a", Sz, sz("1")}, {"b", Sz, sz("2")}, {"c", Sz, sz("3")}}},
        Case{"No final line end", kKey + "\"a\"=dword:00000002", {{"a", Dword, regDwordData(2)}}},
        Case{"Lone CR after the header", kKey + "\"a\"=\"x\"", {{"a", Sz, sz("x")}}, {}, Forms::Both, "\r"}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Blanks, RegFileImportRulesTest,
    ::testing::Values(Case{"Blanks before key and value lines",
                          " \t[HKEY_CURRENT_USER\\Test]\r\n \t\"a\"=\"x\"\r\n\t@=\"def\"\r\n",
                          {{"a", Sz, sz("x")}, {"", Sz, sz("def")}}},
        Case{"Blanks around the equals sign and after the data",
            kKey +
                "\"a\" \t= \t\"x\" \t\r\n@ = \"d\"\r\n\"n\" = dword: \t0000000a \t\r\n\"h\" = hex: 01,02 "
                "\t\r\n",
            {{"a", Sz, sz("x")}, {"", Sz, sz("d")}, {"n", Dword, regDwordData(10)},
                {"h", Binary, bytes({1, 2})}}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Comments, RegFileImportRulesTest,
    ::testing::Values(
        Case{"Comment lines", "; first\r\n  # second\r\n" + kKey + "\t; third\r\n\"a\"=\"x\"\r\n",
            {{"a", Sz, sz("x")}}},
        Case{"Comments after complete values",
            kKey +
                "\"a\"=\"x\" ; c\r\n\"b\"=\"y\";c\r\n\"c\"=\"z\"#c\r\n\"d\"=dword:00000001;c\r\n"
                "\"e\"=hex:01,02 #c\r\n\"f\"=hex:03,;c\r\n",
            {{"a", Sz, sz("x")}, {"b", Sz, sz("y")}, {"c", Sz, sz("z")}, {"d", Dword, regDwordData(1)},
                {"e", Binary, bytes({1, 2})}, {"f", Binary, bytes({3})}}},
        Case{"Other text after a complete value",
            kKey + "\"a\"=\"x\" junk\r\n\"b\"=dword:00000001 junk\r\n\"c\"=hex:01 junk\r\n\"d\"=\"ok\"\r\n",
            {{"a", std::nullopt}, {"b", std::nullopt}, {"c", std::nullopt}, {"d", Sz, sz("ok")}}, {3, 4, 5}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(HexContinuation, RegFileImportRulesTest,
    ::testing::Values(Case{"A list over several lines", kKey + "\"a\"=hex:01,02,\\\r\n  03,04,\\\r\n  05\r\n",
                          {{"a", Binary, bytes({1, 2, 3, 4, 5})}}},
        Case{"Blank and comment lines inside a list, a comment after the backslash",
            kKey + "\"a\"=hex:01,\\ ; more follows\r\n\r\n; between\r\n  02,\\\r\n03 ; done\r\n",
            {{"a", Binary, bytes({1, 2, 3})}}},
        Case{"A continuation that is no hex run uses up its line",
            kKey + "\"a\"=hex:01,\\\r\n\"b\"=\"x\"\r\n\"c\"=\"y\"\r\n",
            {{"a", std::nullopt}, {"b", std::nullopt}, {"c", Sz, sz("y")}}, {3}},
        Case{"A hash line inside a list is no comment", kKey + "\"a\"=hex:01,\\\r\n#02\r\n\"b\"=\"y\"\r\n",
            {{"a", std::nullopt}, {"b", Sz, sz("y")}}, {3}},
        Case{"A backslash not after a comma", kKey + "\"a\"=hex:01\\\r\n\"b\"=\"y\"\r\n",
            {{"a", std::nullopt}, {"b", Sz, sz("y")}}, {3}},
        Case{"A continuation starting with a comma", kKey + "\"a\"=hex:01,\\\r\n,02\r\n\"b\"=\"y\"\r\n",
            {{"a", std::nullopt}, {"b", Sz, sz("y")}}, {3}},
        Case{"A byte split over two lines", kKey + "\"a\"=hex:01,0\\\r\n2\r\n\"b\"=\"y\"\r\n",
            {{"a", std::nullopt}, {"b", Sz, sz("y")}}, {3, 4}},
        Case{"A non-hex byte or a backslash inside the list",
            kKey + "\"a\"=hex:01,zz\r\n\"b\"=hex:01,\\02\r\n\"c\"=hex:01,,02\r\n\"d\"=hex:123\r\n",
            {{"a", std::nullopt}, {"b", std::nullopt}, {"c", std::nullopt}, {"d", std::nullopt}},
            {3, 4, 5, 6}},
        Case{"A trailing comma", kKey + "\"a\"=hex:01,02,\r\n", {{"a", Binary, bytes({1, 2})}}},
        Case{"The end of the file inside a list keeps the bytes read", kKey + "\"a\"=hex:01,02,\\\r\n",
            {{"a", Binary, bytes({1, 2})}}},
        Case{"An empty list", kKey + "\"a\"=hex:\r\n", {{"a", Binary, {}}}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(HexTypes, RegFileImportRulesTest,
    ::testing::Values(Case{"Every type number in hex keeps its bytes",
        kKey +
            "\"none\"=hex(0):01,02\r\n\"big\"=hex(100):ff\r\n\"q\"=hex(b):01,02,03,04,05,06,07,08\r\n"
            "\"d\"=hex(4):2a,00,00,00\r\n\"B\"=hex(3):00\r\n",
        {{"none", RegType::None, bytes({1, 2})}, {"big", static_cast<RegType>(0x100), bytes({0xff})},
            {"q", static_cast<RegType>(11), bytes({1, 2, 3, 4, 5, 6, 7, 8})}, {"d", Dword, regDwordData(42)},
            {"B", Binary, bytes({0})}}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(StringTypesInHex, RegFileImportRulesTest,
    ::testing::Values(
        Case{"A terminator is added once in REGEDIT4",
            kKey + "\"s\"=hex(1):61,62\r\n\"e\"=hex(2):61,00\r\n\"m\"=hex(7):61,00,00\r\n\"z\"=hex(1):\r\n",
            {{"s", Sz, sz("ab")}, {"e", RegType::ExpandSz, sz("a")},
                {"m", RegType::MultiSz, bytes({'a', 0, 0})}, {"z", Sz, bytes({0})}},
            {}, Forms::Regedit4Only},
        Case{"A zero character is added once in version 5",
            kKey +
                "\"s\"=hex(1):61,00,62,00\r\n\"e\"=hex(2):61,00,00,00\r\n\"m\"=hex(7):61,00,00,00,00,00\r\n",
            {{"s", Sz, sz("ab")}, {"e", RegType::ExpandSz, sz("a")},
                {"m", RegType::MultiSz, bytes({'a', 0, 0})}},
            {}, Forms::Version5Only}),
    caseName);

INSTANTIATE_TEST_SUITE_P(QuotedStrings, RegFileImportRulesTest,
    ::testing::Values(
        Case{"The two escapes",
            kKey + "\"a\"=\"C:\\\\Windows\\\\\"\r\n\"b\"=\"say \\\"hi\\\"\"\r\n\"c\\\\d\"=\"1\"\r\n",
            {{"a", Sz, sz("C:\\Windows\\")}, {"b", Sz, sz("say \"hi\"")}, {"c\\d", Sz, sz("1")}}},
        Case{"Any other backslash or an open string",
            kKey + "\"a\"=\"bad\\0\"\r\n\"b\"=\"C:\\Windows\"\r\n\"c\"=\"open\r\n\"d\"=\"ok\"\r\n",
            {{"a", std::nullopt}, {"b", std::nullopt}, {"c", std::nullopt}, {"d", Sz, sz("ok")}}, {3, 4, 5}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Deleting, RegFileImportRulesTest,
    ::testing::Values(Case{"Values deleted with blanks and a comment", kKey + "\"old\" = - ; gone\r\n@=-\r\n",
                          {{"old", std::nullopt}, {"", std::nullopt}}},
        Case{"Anything else after the minus", kKey + "\"old\"=-x\r\n\"old\"=- 1\r\n", {{"old", Sz, sz("1")}},
            {3, 4}},
        Case{"A key deleted with everything below it",
            "[-HKEY_CURRENT_USER\\Test\\Sub]\r\n" + kKey + "\"a\"=\"1\"\r\n", {{"a", Sz, sz("1")}}, {},
            Forms::Both, "\r\n", {"Test\\Sub", "Test\\Sub\\Deep"}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(InvalidLines, RegFileImportRulesTest,
    ::testing::Values(Case{"Invalid lines are passed over and the rest imports",
        kKey + "garbage\r\n\"a\"\r\n\"b\"=dword:123456789\r\n\"c\"=qword:1\r\n\"d\"=\"fine\"\r\n",
        {{"b", std::nullopt}, {"d", Sz, sz("fine")}}, {3, 4, 5, 6}}),
    caseName);

class RegFileOldFormTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(reg.open(dir.path() / "registry.db"), WinError::Success); }
    testutil::TempDir dir;
    Registry reg;
};

TEST_F(RegFileOldFormTest, ClassesRootLinesSetDefaultValues)
{
    RegFileMergeReport report;
    ASSERT_EQ(
        mergeRegText(reg,
            "REGEDIT\r\nHKEY_CLASSES_ROOT\\.txt = txtfile\r\nHKEY_CLASSES_ROOT\\txtfile\\shell\\open\r\n"
            "HKEY_CURRENT_USER\\x = y\r\n",
            report),
        WinError::Success)
        << report.message;
    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::LocalMachine, "SOFTWARE\\Classes\\.txt", k), WinError::Success);
    std::string text;
    ASSERT_EQ(reg.queryString(k, "", text), WinError::Success);
    EXPECT_EQ(text, "txtfile");
    EXPECT_EQ(
        reg.openKey(RegRoot::LocalMachine, "SOFTWARE\\Classes\\txtfile\\shell\\open", k), WinError::Success);
    ASSERT_EQ(report.warnings.size(), 1u);
    EXPECT_EQ(report.warnings[0].line, 4u);
}

TEST_F(RegFileOldFormTest, BlanksBeforeTheHeaderAndAnUnknownHeader)
{
    RegFileMergeReport report;
    EXPECT_EQ(mergeRegText(reg, " \tREGEDIT4\r\n[HKEY_CURRENT_USER\\T]\r\n", report), WinError::Success);
    EXPECT_EQ(report.keysOpened, 1u);
    EXPECT_EQ(mergeRegText(reg, "REGEDIT5\r\n[HKEY_CURRENT_USER\\U]\r\n", report), WinError::BadFormat);
    RegKey k;
    EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, "U", k), WinError::FileNotFound);
}

} // namespace
