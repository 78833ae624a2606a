// RegFileImportRulesTest.cpp: the import rules of registry files, one table per rule family, each
// case a sample file under tests/data/regfile merged in both forms (regedit4/ and version5/).
#include "platform/RegFile.h"

#include "common/Text.h"
#include "platform/CodePage.h"
#include "tests/platform/FileBytes.h"
#include "tests/platform/TempDir.h"

#include <gtest/gtest.h>

#include <optional>

using namespace platform;

namespace {

const std::filesystem::path kSamples = std::filesystem::path(KESTRO_TEST_DATA) / "regfile";
constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

// A value the case expects after the merge; no type: the value is absent.
struct Expect {
    std::string key; // full path, e.g. "HKEY_CURRENT_USER\\Test"
    std::string name;
    std::optional<RegType> type;
    RegBytes data = {};
};

// Where a case's sample lives. SameText: in both folders, version5/ holding regedit4/'s text in
// UTF-16; Both: in both, with texts of their own; else in one folder only.
enum class Forms { SameText, Both, Regedit4Only, Version5Only };

struct Case {
    const char* file; // the same name in regedit4/ and version5/; a case runs in each folder holding it
    std::vector<Expect> values;
    std::vector<std::size_t> warnedLines = {};
    std::vector<std::string> absentKeys = {}; // below HKEY_CURRENT_USER
    bool rejected = false;                    // not a registry file: BadFormat, nothing changes
    Forms forms = Forms::SameText;
};

// Whether the table says the case has a sample in the folder of `form`.
bool holds(const Case& c, std::string_view form)
{
    return form == "regedit4" ? c.forms != Forms::Version5Only : c.forms != Forms::Regedit4Only;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.file; }

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

const std::string kTest = "HKEY_CURRENT_USER\\Test";

Expect val(std::string name, std::optional<RegType> type, RegBytes data = {})
{
    return Expect{kTest, std::move(name), type, std::move(data)};
}

Expect gone(std::string name) { return val(std::move(name), std::nullopt); }

Expect classes(std::string key, std::optional<RegType> type, RegBytes data = {})
{
    return Expect{"HKEY_CLASSES_ROOT\\" + key, "", type, std::move(data)};
}

const RegType Sz = RegType::Sz;
const RegType Dword = RegType::Dword;
const RegType Binary = RegType::Binary;

class RegFileImportRulesTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { ASSERT_EQ(reg.open(dir.path() / "registry.db"), WinError::Success); }

    // The values and keys that the cases delete or must leave alone.
    void seed()
    {
        RegKey k;
        ASSERT_EQ(reg.createKey(RegRoot::CurrentUser, "Test", k), WinError::Success);
        reg.setValue(k, "old", RegType::Sz, sz("1"));
        reg.setValue(k, "", RegType::Sz, sz("default"));
        RegKey deep;
        reg.createKey(RegRoot::CurrentUser, "Test\\Sub\\Deep", deep);
    }

    std::string exportAll()
    {
        std::string text;
        EXPECT_EQ(exportRegText(reg, "", RegFileFormat::Regedit4, text), WinError::Success);
        return text;
    }

    void check(const Case& c, const char* form)
    {
        const std::filesystem::path file = kSamples / form / c.file;
        // The table says where the samples are: a deleted one fails, a stray one too.
        if (!holds(c, form)) {
            EXPECT_FALSE(std::filesystem::exists(file)) << file << " is no case of the table in this form";
            return;
        }
        ASSERT_TRUE(std::filesystem::exists(file)) << file;
        seed();
        const std::string before = exportAll();
        RegFileMergeReport report;
        const WinError merged = mergeRegText(reg, testutil::readFile(file), report);
        if (c.rejected) {
            EXPECT_EQ(merged, WinError::BadFormat);
            EXPECT_EQ(exportAll(), before);
            return;
        }
        ASSERT_EQ(merged, WinError::Success) << report.message;
        std::vector<std::size_t> warned;
        for (const RegFileWarning& w : report.warnings)
            warned.push_back(w.line);
        EXPECT_EQ(warned, c.warnedLines);
        for (const Expect& e : c.values) {
            RegRoot root{};
            std::string sub;
            ASSERT_TRUE(splitRegPath(e.key, root, sub)) << e.key;
            RegKey k;
            const WinError opened = reg.openKey(root, sub, k);
            RegValue v;
            if (!e.type) {
                if (opened == WinError::Success) {
                    EXPECT_EQ(reg.queryValue(k, e.name, v), WinError::FileNotFound)
                        << e.key << ": value \"" << e.name << "\" should be absent";
                }
                continue;
            }
            ASSERT_EQ(opened, WinError::Success) << e.key;
            ASSERT_EQ(reg.queryValue(k, e.name, v), WinError::Success) << "value \"" << e.name << "\"";
            EXPECT_EQ(v.type, *e.type) << "value \"" << e.name << "\"";
            EXPECT_EQ(v.data, e.data) << "value \"" << e.name << "\"";
        }
        for (const std::string& key : c.absentKeys) {
            RegKey k;
            EXPECT_EQ(reg.openKey(RegRoot::CurrentUser, key, k), WinError::FileNotFound) << key;
        }
    }

    testutil::TempDir dir;
    Registry reg;
};

TEST_P(RegFileImportRulesTest, AsRegedit4) { check(GetParam(), "regedit4"); }

TEST_P(RegFileImportRulesTest, AsVersion5) { check(GetParam(), "version5"); }

// The two folders hold one test: the version 5 sample is the REGEDIT4 one in UTF-16 with the other
// header, so editing one alone shows here.
TEST_P(RegFileImportRulesTest, BothFormsHoldTheSameLines)
{
    const Case& c = GetParam();
    const auto file4 = kSamples / "regedit4" / c.file;
    const auto file5 = kSamples / "version5" / c.file;
    EXPECT_EQ(std::filesystem::exists(file4), holds(c, "regedit4")) << file4;
    EXPECT_EQ(std::filesystem::exists(file5), holds(c, "version5")) << file5;
    if (c.forms != Forms::SameText)
        return;
    const std::string wide = testutil::readFile(file5);
    ASSERT_EQ(wide.substr(0, 2), "\xFF\xFE");
    std::string text = utf16leToCp1252(wide.substr(2));
    if (const auto at = text.find(kHeader5); at != std::string::npos)
        text.replace(at, kHeader5.size(), kHeader4);
    EXPECT_EQ(text, testutil::readFile(file4));
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string name;
    for (const char* p = info.param.file; *p && *p != '.'; ++p)
        name += common::isAsciiAlnum(*p) ? *p : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(LineEnds, RegFileImportRulesTest,
    ::testing::Values(Case{"01-line-ends.reg",
                          {val("a", Sz, sz("1")), val("b", Sz, sz("2")), val("c", Sz, sz("3")),
                              val("d", Dword, regDwordData(4))}},
        // The file ends inside f's list: the bytes read are kept, with a warning.
        Case{"01-lone-cr.reg", {val("e", Binary, bytes({1, 2})), val("f", Binary, bytes({3}))}, {5}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Blanks, RegFileImportRulesTest,
    ::testing::Values(Case{"02-blanks.reg",
                          {val("a", Sz, sz("x")), val("", Sz, sz("def")), val("n", Dword, regDwordData(10)),
                              val("h", Binary, bytes({1, 2})), val("h2", Binary, bytes({1, 2, 3})),
                              val(" sp ", Sz, sz("v")), gone("bad"), gone("bad2")},
                          {11, 12}},
        Case{"02-header-trailing-blank.reg", {}, {}, {}, true},
        Case{"02-header-other-text.reg", {}, {}, {}, true},
        Case{"02-header-after-blank-line.reg", {}, {}, {}, true},
        Case{"02-header-split.reg", {}, {}, {}, true, Forms::Regedit4Only}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Comments, RegFileImportRulesTest,
    ::testing::Values(Case{"03-comments.reg",
        {val("a", Sz, sz("x")), val("b", Sz, sz("y")), gone("c"), val("d", Dword, regDwordData(1)), gone("e"),
            val("f", Binary, bytes({3})), gone("g"), gone("h"), gone("i"), gone("j"),
            val("k", Sz, sz("semi;colon#hash")), gone("l")},
        {8, 10, 12, 13, 14, 15, 17}}),
    caseName);

// After a value's data only ";" begins a comment: a "#" there makes the line invalid, a deletion too.
INSTANTIATE_TEST_SUITE_P(HashAfterData, RegFileImportRulesTest,
    ::testing::Values(Case{"10-hash-after-data.reg",
        {gone("a"), gone("b"), gone("c"), val("old", Sz, sz("1")), gone("d"), gone("e"),
            val("f", Sz, sz("v")), gone("")},
        {3, 4, 5, 6, 7, 8}}),
    caseName);

// A hex value may hold only its type and "\" on its own line, the bytes on the next lines.
INSTANTIATE_TEST_SUITE_P(HexTypeThenContinuation, RegFileImportRulesTest,
    ::testing::Values(Case{"11-hex-type-then-continuation.reg",
        {val("a", RegType::ExpandSz, bytes({'a', 0})), val("b", Binary, bytes({1, 2, 3})),
            val("c", RegType::None, bytes({0x0a, 0x0b})), gone("d"), val("f", Sz, sz("y"))},
        {11}}),
    caseName);

// No terminator is added to an empty hex(2) or hex(7); an empty hex(1) still gets one. A list the
// file ends inside keeps what was read (here nothing), with a warning.
INSTANTIATE_TEST_SUITE_P(EmptyStringsInHex, RegFileImportRulesTest,
    ::testing::Values(Case{"12-empty-strings-in-hex.reg",
        {val("e", RegType::ExpandSz, {}), val("m", RegType::MultiSz, {}), val("z", Sz, bytes({0})),
            val("s", RegType::ExpandSz, bytes({0})), val("n", RegType::MultiSz, {})},
        {7}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(HexContinuation, RegFileImportRulesTest,
    ::testing::Values(Case{"04-continuation.reg",
                          {val("a", Binary, bytes({1, 2, 3, 4, 5})), val("b", Binary, bytes({1, 2, 3})),
                              val("c", Binary, bytes({1, 2})), val("d", Binary, {}),
                              val("e", Binary, bytes({0x0a, 0x0b}))}},
        Case{"04-continuation-invalid.reg",
            {gone("a"), gone("b"), val("c", Sz, sz("y")), gone("d"), val("e", Sz, sz("y")), gone("f"),
                val("g", Sz, sz("y")), gone("h"), val("i", Sz, sz("y")), gone("j"), gone("k"), gone("l"),
                gone("m"), gone("n"), gone("o"), gone("p"), val("q", Sz, sz("y")), val("old", Sz, sz("1")),
                val("r", Sz, sz("y")), gone("s"), gone("t")},
            {3, 6, 9, 11, 14, 15, 16, 17, 18, 19, 20, 22, 24, 27}, {"Other"}},
        // The file ends inside the list: the bytes read are kept, with a warning.
        Case{"04-continuation-at-end.reg", {val("a", Binary, bytes({1, 2}))}, {3}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(HexTypes, RegFileImportRulesTest,
    ::testing::Values(Case{"05-hex-types.reg",
        {val("none", RegType::None, bytes({1, 2})), val("empty", RegType::None, {}),
            val("big", static_cast<RegType>(0x100), bytes({0xff})),
            val("q", static_cast<RegType>(11), bytes({1, 2, 3, 4, 5, 6, 7, 8})),
            val("d", Dword, regDwordData(42)), val("B", Binary, bytes({0})),
            val("link", static_cast<RegType>(6), bytes({0x41, 0})),
            val("ten", static_cast<RegType>(10), bytes({1})), gone("bad"), gone("bad2"), gone("bad3"),
            gone("bad4"), gone("bad5")},
        {11, 12, 13, 14, 15}}),
    caseName);

// The terminator follows the header, not the file's encoding: "-utf16" is a REGEDIT4 file in
// UTF-16, "-ansi" a version 5 file in the code page.
const std::vector<Expect> kStrings4 = {val("s", Sz, sz("ab")), val("e", RegType::ExpandSz, sz("a")),
    val("m", RegType::MultiSz, bytes({'a', 0, 0})), val("z", Sz, bytes({0})),
    val("c", RegType::ExpandSz, sz("ab"))};
const std::vector<Expect> kStrings5 = {val("s", Sz, sz("ab")), val("e", RegType::ExpandSz, sz("a")),
    val("m", RegType::MultiSz, bytes({'a', 0, 0})), val("z", Sz, bytes({0})),
    val("c", RegType::ExpandSz, sz("ab")), val("o", Sz, sz("ab")), val("acc", Sz, bytes({0xe9, 0}))};

INSTANTIATE_TEST_SUITE_P(StringTypesInHex, RegFileImportRulesTest,
    ::testing::Values(Case{"06-strings-in-hex.reg", kStrings4, {}, {}, false, Forms::Both},
        Case{"06-strings-in-hex-utf16.reg", kStrings4, {}, {}, false, Forms::Regedit4Only},
        Case{"06-strings-in-hex-ansi.reg", kStrings5, {}, {}, false, Forms::Version5Only}),
    caseName);

// version5/06-strings-in-hex.reg holds its own bytes: one case for that folder alone.
TEST(RegFileStringTypesInHexTest, Version5SampleAddsAZeroCharacter)
{
    testutil::TempDir dir;
    Registry reg;
    ASSERT_EQ(reg.open(dir.path() / "registry.db"), WinError::Success);
    const std::string wide = testutil::readFile(kSamples / "version5" / "06-strings-in-hex.reg");
    const std::string ansi = testutil::readFile(kSamples / "version5" / "06-strings-in-hex-ansi.reg");
    EXPECT_EQ(utf16leToCp1252(wide.substr(2)), ansi);
    RegFileMergeReport report;
    ASSERT_EQ(mergeRegText(reg, wide, report), WinError::Success) << report.message;
    EXPECT_TRUE(report.warnings.empty());
    RegKey k;
    ASSERT_EQ(reg.openKey(RegRoot::CurrentUser, "Test", k), WinError::Success);
    for (const Expect& e : kStrings5) {
        RegValue v;
        ASSERT_EQ(reg.queryValue(k, e.name, v), WinError::Success) << e.name;
        EXPECT_EQ(v.type, *e.type) << e.name;
        EXPECT_EQ(v.data, e.data) << e.name;
    }
}

INSTANTIATE_TEST_SUITE_P(QuotedStrings, RegFileImportRulesTest,
    ::testing::Values(Case{"07-quoted-strings.reg",
        {val("a", Sz, sz("C:\\Windows\\")), val("b", Sz, sz("say \"hi\"")), val("c\\d", Sz, sz("1")),
            val("e", Sz, sz("")), val("", Sz, sz("empty name")), gone("f"), gone("g"), gone("h"),
            gone("i\\q"), gone("iq"), gone("j"), val("l", Sz, sz("ok"))},
        {8, 9, 10, 11, 12}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(Deleting, RegFileImportRulesTest,
    ::testing::Values(Case{"08-deleting.reg",
        {gone("old"), gone(""), gone("x"), val("n2", Sz, sz("keep")), val("n3", Sz, sz("gone")),
            gone("orphan")},
        {8, 9, 11}, {"Test\\Sub", "Test\\Sub\\Deep", "Test\\Missing"}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(InvalidLines, RegFileImportRulesTest,
    ::testing::Values(Case{"09-invalid-lines.reg",
        {gone("early"), gone("a"), val("b", Dword, regDwordData(5)), gone("c"), val("d", Sz, sz("fine")),
            gone("e"), gone("f"), gone("g"), val("h", Sz, sz("back")), val("old", Sz, sz("1"))},
        {2, 4, 5, 6, 7, 9, 10, 12}}),
    caseName);

INSTANTIATE_TEST_SUITE_P(OldForm, RegFileImportRulesTest,
    ::testing::Values(Case{"old-form.reg",
        {classes(".kx", Sz, sz("kxfile")), classes("kxfile\\shell\\open", Sz, sz("")),
            classes(".lead", std::nullopt), classes(".two", Sz, sz(" two")), classes(".trail", Sz, sz("t ")),
            classes(".noeq", Sz, sz("value")), classes(".empty", Sz, sz(""))},
        {4, 5, 9}, {"x"}}),
    caseName);

} // namespace
