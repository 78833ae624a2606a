// WindowsNameTest.cpp: the names a listing of an emulated machine hands out, and what it reports.
#include "platform/WindowsName.h"
#include "platform/TreeCopyWalk.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

using namespace platform;
namespace fs = std::filesystem;

namespace {

TEST(WindowsNameTest, EachFaultOfANameIsFound)
{
    const struct {
        std::string name;
        NameFault fault;
    } cases[] = {
        {"Letter.txt", NameFault::None},
        {"caf\xC3\xA9 \xE2\x82\xAC.doc", NameFault::None},
        {"..\\WINDOWS", NameFault::BadCharacter},
        {"sub\\..\\..\\..", NameFault::BadCharacter},
        {"a/b", NameFault::BadCharacter},
        {"what?", NameFault::BadCharacter},
        {"a<b", NameFault::BadCharacter},
        {"a>b", NameFault::BadCharacter},
        {"a|b", NameFault::BadCharacter},
        {"c:x", NameFault::BadCharacter},
        {"st*r", NameFault::BadCharacter},
        {"say \"hi\"", NameFault::BadCharacter},
        {"tab\there", NameFault::BadCharacter},
        {"CON", NameFault::DeviceName},
        {"nul.txt", NameFault::DeviceName},
        {"COM1", NameFault::DeviceName},
        {"lpt9.log", NameFault::DeviceName},
        {"COM10", NameFault::None},
        {"COM\xC2\xB9", NameFault::DeviceName}, // superscript one, two, three
        {"lpt\xC2\xB2.txt", NameFault::DeviceName},
        {"LPT\xC2\xB3", NameFault::DeviceName},
        {"COM\xC2\xB4", NameFault::None}, // an acute accent, no superscript
        {"conin$", NameFault::DeviceName},
        {"CONOUT$.log", NameFault::DeviceName},
        {"CONIN", NameFault::None},
        {"trailing.", NameFault::TrailingDotOrBlank},
        {"trailing ", NameFault::TrailingDotOrBlank},
        {".", NameFault::DotName},
        {"..", NameFault::DotName},
        {"", NameFault::DotName},
        {".profile", NameFault::None},
        {"bad\xFFtext", NameFault::InvalidText},
        {"\xC0\xAF", NameFault::InvalidText},     // an overlong "/"
        {"\xED\xA0\x80", NameFault::InvalidText}, // a surrogate
        {std::string(255, 'a'), NameFault::None},
        {std::string(256, 'a'), NameFault::TooLong},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(windowsNameFault(c.name), c.fault) << printableName(c.name);
        EXPECT_EQ(isWindowsName(c.name), c.fault == NameFault::None) << printableName(c.name);
    }
    EXPECT_EQ(printableName("bad\xFF\x01"), "bad\\xFF\\x01");
}

// A source folder holding every kind of name a host may have but Windows may not, and twins.
class HostileListingTest : public ::testing::Test {
protected:
    HostileListingTest()
    {
        for (const char* name : {"good.txt", "FILE.TXT", "File.txt", "file.txt", "what?.txt", "CON", "end.",
                 "ctl\x01", "bad\xFF", "sub\\..\\..\\..\\x.txt"})
            t.put(std::string("Src/") + name, name);
        t.put("Src/..\\WINDOWS/WIN.INI", "planted");
        t.put("Src/Docs/inner.txt", "inner");
        t.put("Src/DOCS/lost.txt", "twin folder");
        fs::create_directories(t.host("Out"));
    }
    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(HostileListingTest, ListingsHandOutOnlyWindowsNamesAndTheFirstOfTwins)
{
    std::vector<FileEntry> folders, files;
    std::vector<LeftOutName> leftOut;
    ASSERT_EQ(fso.listFolder("C:\\Src", folders, files, &leftOut), FsError::None);
    std::vector<std::string> names;
    for (const auto* list : {&folders, &files})
        for (const auto& e : *list)
            names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DOCS", "FILE.TXT", "good.txt"}));
    EXPECT_EQ(leftOut.size(), 10u);
    std::size_t twins = 0;
    for (const auto& l : leftOut)
        twins += l.fault == NameFault::CaseTwin;
    EXPECT_EQ(twins, 3u) << "File.txt, file.txt and Docs";
}

TEST_F(HostileListingTest, TheTreeCopyTakesOnlyWhatTheListingHandsOut)
{
    t.put("WINDOWS/WIN.INI", "destination's own");
    TreeCopyOptions options;
    options.recurse = false;
    TreeCopyWalk walk(options);
    ASSERT_EQ(walk.open(fso, "C:\\Src", "C:\\Out"), FsError::None);
    std::size_t copied = 0, leftOut = 0;
    for (TreeStep s = walk.step(); s.kind != TreeStepKind::Done; s = walk.step()) {
        copied += s.kind == TreeStepKind::FileCopied;
        leftOut += s.kind == TreeStepKind::LeftOut;
    }
    EXPECT_EQ(copied, 2u);
    EXPECT_EQ(leftOut, 10u);
    EXPECT_EQ(t.read("Out/FILE.TXT"), "FILE.TXT");
    EXPECT_EQ(t.read("WINDOWS/WIN.INI"), "destination's own");
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(t.host("Out")))
        entries += e.path().filename().string()[0] != ':';
    EXPECT_EQ(entries, 2u);
}

} // namespace
