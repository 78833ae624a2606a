// ShellLinkTest.cpp: shortcut files written and read back, foreign forms and damaged files.
#include "platform/ShellLink.h"

#include "tests/platform/TestMachine.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

void put16(std::string& s, unsigned v)
{
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::string& s, unsigned v)
{
    put16(s, v & 0xFFFF);
    put16(s, v >> 16);
}

// A header as older systems wrote it: ANSI strings, flags as given.
std::string header(unsigned flags)
{
    std::string s;
    put32(s, 0x4C);
    const unsigned char clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    s.append(reinterpret_cast<const char*>(clsid), 16);
    put32(s, flags);
    s.append(0x4C - s.size(), '\0');
    return s;
}

} // namespace

class ShellLinkTest : public ::testing::Test {
protected:
    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(ShellLinkTest, EveryFieldSurvivesARoundTrip)
{
    ShellLinkData link;
    link.targetPath = "C:\\Program Files\\Caf\xC3\xA9\\app.exe";
    link.arguments = "/open \"a b.txt\"";
    link.workingDirectory = "C:\\Program Files\\Caf\xC3\xA9";
    link.iconLocation = "C:\\WINDOWS\\system32\\shell32.dll";
    link.iconIndex = 12;
    link.description = "Start the \xE2\x82\xAC app";
    link.showCommand = 3;
    ShellLinkData back;
    ASSERT_TRUE(decodeShellLink(encodeShellLink(link), back));
    EXPECT_EQ(back.targetPath, link.targetPath);
    EXPECT_EQ(back.arguments, link.arguments);
    EXPECT_EQ(back.workingDirectory, link.workingDirectory);
    EXPECT_EQ(back.iconLocation, link.iconLocation);
    EXPECT_EQ(back.iconIndex, 12);
    EXPECT_EQ(back.description, link.description);
    EXPECT_EQ(back.showCommand, 3u);
    EXPECT_EQ(back.relativePath, "");
}

TEST_F(ShellLinkTest, NetworkTargetsAreStoredAsShareAndSuffix)
{
    ShellLinkData link;
    link.targetPath = "\\\\OLDPC\\C$\\My Documents\\report.doc";
    const std::string bytes = encodeShellLink(link);
    EXPECT_NE(bytes.find("\\\\OLDPC\\C$"), std::string::npos);
    ShellLinkData back;
    ASSERT_TRUE(decodeShellLink(bytes, back));
    EXPECT_EQ(back.targetPath, link.targetPath);
}

TEST_F(ShellLinkTest, TargetsWithAnEmptyServerOrShareNameComeBackWhole)
{
    // Not shares at all: each used to lose a backslash on every save.
    for (const std::string target : {"\\\\\\\\\\", "\\\\\\x\\y", "\\\\PC\\\\x", "\\\\PC\\C$\\\\x"}) {
        ShellLinkData link;
        link.targetPath = target;
        ShellLinkData once;
        ASSERT_TRUE(decodeShellLink(encodeShellLink(link), once)) << target;
        EXPECT_EQ(once.targetPath, target);
        ShellLinkData twice;
        ASSERT_TRUE(decodeShellLink(encodeShellLink(once), twice));
        EXPECT_EQ(twice.targetPath, target);
    }
}

TEST_F(ShellLinkTest, AnsiLinksWithOnlyAnItemListAreRead)
{
    // Item list: My Computer, drive C:\, folder PROGRA~1, file WORD.EXE; then ANSI strings.
    std::string items;
    std::string root = {0x1F, 0x50};
    root.append(16, '\x11');
    put16(items, static_cast<unsigned>(root.size() + 2));
    items += root;
    std::string drive = "\x2F"
                        "C:\\";
    drive.append(20, '\0');
    put16(items, static_cast<unsigned>(drive.size() + 2));
    items += drive;
    for (std::string name : {"PROGRA~1", "WORD.EXE"}) {
        std::string item = name == "WORD.EXE" ? std::string("\x32\0", 2) : std::string("\x31\0", 2);
        item.append(10, '\0');
        item += name;
        item.push_back('\0');
        put16(items, static_cast<unsigned>(item.size() + 2));
        items += item;
    }
    put16(items, 0);
    std::string bytes = header(0x1 | 0x20); // item list, arguments; not Unicode
    put16(bytes, static_cast<unsigned>(items.size()));
    bytes += items;
    put16(bytes, 4);
    bytes += "/n\xE9x";
    put32(bytes, 0);
    ShellLinkData back;
    ASSERT_TRUE(decodeShellLink(bytes, back));
    EXPECT_EQ(back.targetPath, "C:\\PROGRA~1\\WORD.EXE");
    EXPECT_EQ(back.arguments, "/n\xC3\xA9x");
    // The 8.3 form resolves like any other path.
    t.put("Program Files/WORD.EXE");
    EXPECT_TRUE(fso.fileExists(back.targetPath));
}

TEST_F(ShellLinkTest, DamagedBytesAreRefused)
{
    ShellLinkData link;
    link.targetPath = "C:\\a.exe";
    link.description = "desc";
    const std::string bytes = encodeShellLink(link);
    ShellLinkData out;
    out.description = "unchanged";
    for (std::size_t size = 0; size + 4 < bytes.size(); ++size)
        EXPECT_FALSE(decodeShellLink(bytes.substr(0, size), out)) << size;
    EXPECT_EQ(out.description, "unchanged");
    std::string wrongClass = bytes;
    wrongClass[5] = 'x';
    EXPECT_FALSE(decodeShellLink(wrongClass, out));
    EXPECT_FALSE(decodeShellLink("just text", out));
}

TEST_F(ShellLinkTest, AnEmptyNetworkNameWithASuffixIsReadSafely)
{
    ShellLinkData link;
    link.targetPath = "\\\\OLDPC\\C$\\My Documents\\report.doc";
    std::string bytes = encodeShellLink(link);
    const std::size_t name = bytes.find("\\\\OLDPC\\C$");
    ASSERT_NE(name, std::string::npos);
    bytes[name] = '\0'; // the network name is now empty; the suffix stays
    ShellLinkData back;
    back.targetPath = "unchanged";
    EXPECT_FALSE(decodeShellLink(bytes, back)) << "no share: no target to give";
    EXPECT_EQ(back.targetPath, "unchanged");
}

TEST_F(ShellLinkTest, ShortcutObjectLoadsAndSavesOnTheMachine)
{
    ShellLink shortcut;
    ASSERT_EQ(shortcut.load(fso, "C:\\Desktop\\Word.lnk"), FsError::None);
    EXPECT_EQ(shortcut.data().targetPath, "");
    ASSERT_TRUE(std::filesystem::create_directories(t.host("Desktop")));
    shortcut.data().targetPath = "C:\\Program Files\\Office\\WINWORD.EXE";
    shortcut.data().workingDirectory = "C:\\Program Files\\Office";
    ASSERT_EQ(shortcut.save(fso), FsError::None);

    ShellLink again;
    ASSERT_EQ(again.load(fso, "c:\\desktop\\WORD.LNK"), FsError::None);
    EXPECT_EQ(again.data().targetPath, "C:\\Program Files\\Office\\WINWORD.EXE");
    EXPECT_EQ(again.data().workingDirectory, "C:\\Program Files\\Office");

    t.put("Desktop/notalink.lnk", "plain text");
    EXPECT_EQ(again.load(fso, "C:\\Desktop\\notalink.lnk"), FsError::BadFileName);
    EXPECT_EQ(again.load(fso, "Desktop\\x.lnk"), FsError::BadFileName);
    EXPECT_EQ(shortcut.save(fso, "C:\\NoFolder\\x.lnk"), FsError::PathNotFound);
}

TEST_F(ShellLinkTest, CorruptedFilesAreReadOrRefusedWithoutOverreading)
{
    ShellLinkData link;
    link.targetPath = "\\\\OLDPC\\C$\\Program Files\\app.exe";
    link.arguments = "-x";
    link.description = "An application";
    link.iconLocation = "C:\\icons.dll";
    const std::string good = encodeShellLink(link);
    std::uint32_t seed = 777;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        for (int n = 0; n < 3; ++n)
            bytes[next() % bytes.size()] = static_cast<char>(next() & 0xFF);
        ShellLinkData out;
        if (!decodeShellLink(bytes, out))
            continue;
        ++read;
        // Every field comes from inside the file: none can be longer than the file itself.
        for (const std::string* field : {&out.targetPath, &out.arguments, &out.description, &out.iconLocation,
                 &out.workingDirectory, &out.relativePath})
            EXPECT_LE(field->size(), 3 * bytes.size());
    }
    EXPECT_GT(read, 0);
}
