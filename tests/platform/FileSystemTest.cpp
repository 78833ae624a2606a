// FileSystemTest.cpp: the file-system object's operations and error numbers on a test machine.
#include "platform/FileSystem.h"

#include "platform/FileVersion.h"

#include "tests/platform/TestMachine.h"
#include "tests/support/platform/FullDisk.h"

#include <gtest/gtest.h>

#include <iterator>

using namespace platform;
namespace fs = std::filesystem;

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest()
    {
        t.put("Data/a.txt", "alpha");
        t.put("Data/b.txt", "beta");
        t.put("Data/c.doc", "gamma");
        t.put("Data/Sub/d.txt", "delta");
    }
    testutil::TestMachine t;
    FileSystem fso = t.fileSystem();
};

TEST_F(FileSystemTest, ExistenceTellsFilesFromFolders)
{
    EXPECT_TRUE(fso.fileExists("c:\\data\\A.TXT"));
    EXPECT_FALSE(fso.fileExists("C:\\Data"));
    EXPECT_FALSE(fso.fileExists("C:\\Data\\a.txt\\"));
    EXPECT_TRUE(fso.folderExists("C:\\DATA\\sub\\"));
    EXPECT_FALSE(fso.folderExists("C:\\Data\\a.txt"));
    EXPECT_FALSE(fso.fileExists("Data\\a.txt"));
    EXPECT_FALSE(fso.fileExists("C:\\..\\machine.ini"));
    EXPECT_TRUE(fso.driveExists("C:"));
    EXPECT_TRUE(fso.driveExists("c"));
    EXPECT_FALSE(fso.driveExists("Q:"));
}

TEST_F(FileSystemTest, ListFolderGivesNamesAndPathsInOrder)
{
    std::vector<FileEntry> folders, files;
    ASSERT_EQ(fso.listFolder("c:\\data", folders, files), FsError::None);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].path, "C:\\Data\\Sub");
    EXPECT_TRUE(folders[0].attributes & attr::Directory);
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].name, "a.txt");
    EXPECT_EQ(files[2].path, "C:\\Data\\c.doc");
    EXPECT_EQ(files[1].size, 4u);
    EXPECT_EQ(fso.listFolder("C:\\Nothing", folders, files), FsError::PathNotFound);
}

TEST_F(FileSystemTest, CreateFolderMakesOneLevel)
{
    EXPECT_EQ(fso.createFolder("C:\\Data\\New"), FsError::None);
    EXPECT_TRUE(fs::is_directory(t.host("Data/New")));
    EXPECT_EQ(fso.createFolder("C:\\data\\NEW"), FsError::FileExists);
    EXPECT_EQ(fso.createFolder("C:\\Data\\a.txt"), FsError::FileExists);
    EXPECT_EQ(fso.createFolder("C:\\Missing\\Child"), FsError::PathNotFound);
    EXPECT_FALSE(fs::exists(t.host("Missing")));
    EXPECT_EQ(fso.createFolder("Relative"), FsError::BadFileName);
    EXPECT_EQ(fso.createFolder("Q:\\x"), FsError::DeviceUnavailable);
}

TEST_F(FileSystemTest, MakeSurePathExistsStopsAtTheLastSeparator)
{
    EXPECT_EQ(fso.makeSurePathExists("C:\\One\\Two\\Three\\"), WinError::Success);
    EXPECT_TRUE(fs::is_directory(t.host("One/Two/Three")));
    EXPECT_EQ(fso.makeSurePathExists("C:\\Four\\Five"), WinError::Success);
    EXPECT_TRUE(fs::is_directory(t.host("Four")));
    EXPECT_FALSE(fs::exists(t.host("Four/Five")));
    // Existing levels keep their spelling; new ones are created as written.
    EXPECT_EQ(fso.makeSurePathExists("C:\\DATA\\sub\\Deeper\\"), WinError::Success);
    EXPECT_TRUE(fs::is_directory(t.host("Data/Sub/Deeper")));
    EXPECT_EQ(fso.makeSurePathExists("C:\\Data\\a.txt\\x\\"), WinError::AlreadyExists);
    EXPECT_EQ(fso.makeSurePathExists("C:\\..\\outside\\"), WinError::PathNotFound);
}

TEST_F(FileSystemTest, DeleteFileWithWildcardsAndReadOnlyRules)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\b.txt", attr::ReadOnly), FsError::None);
    // A read-only match stops the whole deletion before anything is removed.
    EXPECT_EQ(fso.deleteFile("C:\\Data\\*.txt"), FsError::PermissionDenied);
    EXPECT_TRUE(fs::exists(t.host("Data/a.txt")));
    EXPECT_EQ(fso.deleteFile("C:\\Data\\*.txt", true), FsError::None);
    EXPECT_FALSE(fs::exists(t.host("Data/a.txt")));
    EXPECT_FALSE(fs::exists(t.host("Data/b.txt")));
    EXPECT_TRUE(fs::exists(t.host("Data/c.doc")));
    EXPECT_TRUE(fs::exists(t.host("Data/Sub/d.txt")));
    EXPECT_EQ(fso.deleteFile("C:\\Data\\*.txt"), FsError::FileNotFound);
    EXPECT_EQ(fso.deleteFile("C:\\Data\\Sub"), FsError::FileNotFound);
    EXPECT_EQ(fso.deleteFile("C:\\Nope\\x.txt"), FsError::PathNotFound);
}

TEST_F(FileSystemTest, FilesInUseCannotBeDeletedCopiedOrMoved)
{
    FileLock lock = fso.lockFile("C:\\Data\\a.txt");
    ASSERT_TRUE(lock.isLocked());
    EXPECT_TRUE(fso.isInUse("c:\\data\\a.txt"));
    EXPECT_FALSE(fso.lockFile("C:\\Data\\a.txt").isLocked());
    EXPECT_EQ(fso.deleteFile("C:\\Data\\a.txt", true), FsError::PermissionDenied);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\Data\\copy.txt"), FsError::PermissionDenied);
    EXPECT_EQ(fso.copyFile("C:\\Data\\b.txt", "C:\\Data\\a.txt"), FsError::PermissionDenied);
    EXPECT_EQ(fso.moveFile("C:\\Data\\a.txt", "C:\\Data\\a.txt"), FsError::PermissionDenied);
    EXPECT_EQ(fso.deleteFolder("C:\\Data", true), FsError::PermissionDenied);
    std::string bytes;
    EXPECT_EQ(fso.readFile("C:\\Data\\a.txt", bytes), FsError::PermissionDenied);
    EXPECT_TRUE(fs::exists(t.host("Data/a.txt")));
    lock.release();
    EXPECT_FALSE(fso.isInUse("C:\\Data\\a.txt"));
    EXPECT_EQ(fso.moveFile("C:\\Data\\a.txt", "C:\\Data\\a.txt"), FsError::None);
    EXPECT_EQ(fso.deleteFile("C:\\Data\\a.txt"), FsError::None);
}

TEST_F(FileSystemTest, DeleteFolderIsRecursiveAndHonoursForce)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\Sub\\d.txt", attr::ReadOnly | attr::Archive), FsError::None);
    EXPECT_EQ(fso.deleteFolder("C:\\Data"), FsError::PermissionDenied);
    EXPECT_TRUE(fs::exists(t.host("Data/a.txt")));
    EXPECT_EQ(fso.deleteFolder("C:\\data", true), FsError::None);
    EXPECT_FALSE(fs::exists(t.host("Data")));
    EXPECT_EQ(fso.deleteFolder("C:\\Data"), FsError::PathNotFound);
    EXPECT_EQ(fso.deleteFolder("C:\\"), FsError::PermissionDenied);
}

TEST_F(FileSystemTest, CopyFileOverwriteAndDestinationForms)
{
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\Data\\Sub\\"), FsError::None);
    EXPECT_EQ(t.read("Data/Sub/a.txt"), "alpha");
    EXPECT_EQ(fso.copyFile("C:\\Data\\b.txt", "C:\\Data\\Sub\\renamed.txt"), FsError::None);
    EXPECT_EQ(t.read("Data/Sub/renamed.txt"), "beta");
    EXPECT_EQ(fso.copyFile("C:\\Data\\b.txt", "C:\\Data\\Sub\\A.TXT", false), FsError::FileExists);
    EXPECT_EQ(t.read("Data/Sub/a.txt"), "alpha");
    EXPECT_EQ(fso.copyFile("C:\\Data\\b.txt", "C:\\Data\\Sub\\A.TXT", true), FsError::None);
    EXPECT_EQ(t.read("Data/Sub/a.txt"), "beta");
    EXPECT_FALSE(fs::exists(t.host("Data/Sub/A.TXT")));
    EXPECT_EQ(fso.copyFile("C:\\Data\\zzz.txt", "C:\\Data\\Sub\\"), FsError::FileNotFound);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\NoFolder\\"), FsError::PathNotFound);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\NoFolder\\x.txt"), FsError::PathNotFound);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\Data\\Sub"), FsError::PermissionDenied);
    EXPECT_EQ(fso.copyFile("C:\\Data\\*.doc", "C:\\Data\\Sub"), FsError::None);
    EXPECT_EQ(t.read("Data/Sub/c.doc"), "gamma");
}

TEST_F(FileSystemTest, CopiesCarryAttributesAndTime)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\a.txt", attr::Hidden | attr::ReadOnly), FsError::None);
    const auto when = std::chrono::system_clock::time_point(std::chrono::seconds(1000000000));
    ASSERT_EQ(fso.setFileTime("C:\\Data\\a.txt", when), FsError::None);
    ASSERT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\Data\\Sub\\"), FsError::None);
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Data\\Sub\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Hidden | attr::ReadOnly | attr::Archive);
    std::chrono::system_clock::time_point copied;
    ASSERT_EQ(fso.fileTime("C:\\Data\\Sub\\a.txt", copied), FsError::None);
    EXPECT_EQ(
        std::chrono::duration_cast<std::chrono::seconds>(copied.time_since_epoch()).count(), 1000000000);
    // The read-only copy is not overwritten, even with overwrite on.
    EXPECT_EQ(fso.copyFile("C:\\Data\\b.txt", "C:\\Data\\Sub\\a.txt"), FsError::PermissionDenied);
    EXPECT_EQ(t.read("Data/Sub/a.txt"), "alpha");
}

TEST_F(FileSystemTest, MoveFileRenamesAndCarriesAttributes)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\a.txt", attr::System), FsError::None);
    EXPECT_EQ(fso.moveFile("C:\\Data\\a.txt", "C:\\Data\\Sub\\"), FsError::None);
    EXPECT_FALSE(fs::exists(t.host("Data/a.txt")));
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Data\\Sub\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::System);
    EXPECT_EQ(fso.moveFile("C:\\Data\\b.txt", "C:\\Data\\Sub\\D.TXT"), FsError::FileExists);
    EXPECT_EQ(fso.moveFile("C:\\Data\\b.txt", "C:\\Data\\B.TXT"), FsError::None);
    EXPECT_TRUE(fs::exists(t.host("Data/B.TXT")));
    EXPECT_FALSE(fs::exists(t.host("Data/b.txt")));
    EXPECT_EQ(fso.moveFile("C:\\Data\\none.txt", "C:\\Data\\Sub\\"), FsError::FileNotFound);
    // A target differing only in case is the same file name: never a second file beside it.
    t.put("Data/Sub/C.DOC", "other");
    EXPECT_EQ(fso.moveFile("C:\\Data\\c.doc", "C:\\Data\\Sub\\"), FsError::FileExists);
    EXPECT_TRUE(fs::exists(t.host("Data/c.doc")));
    EXPECT_FALSE(fs::exists(t.host("Data/Sub/c.doc")));
    EXPECT_EQ(fso.moveFile("C:\\Data\\c.doc", "C:\\Missing\\"), FsError::PathNotFound);
}

TEST_F(FileSystemTest, CopyFolderMergesAndChecksConflictsFirst)
{
    t.put("Target/Sub/d.txt", "old");
    t.put("Target/keep.txt", "keep");
    // Without overwrite the existing d.txt stops the copy before anything is written.
    EXPECT_EQ(fso.copyFolder("C:\\Data", "C:\\Target", false), FsError::FileExists);
    EXPECT_FALSE(fs::exists(t.host("Target/a.txt")));
    EXPECT_EQ(fso.copyFolder("C:\\Data", "C:\\target", true), FsError::None);
    EXPECT_EQ(t.read("Target/a.txt"), "alpha");
    EXPECT_EQ(t.read("Target/Sub/d.txt"), "delta");
    EXPECT_EQ(t.read("Target/keep.txt"), "keep");
    // A trailing separator copies the folder into the destination under its own name.
    EXPECT_EQ(fso.copyFolder("C:\\Data\\Sub", "C:\\Target\\"), FsError::None);
    EXPECT_EQ(t.read("Target/Sub/d.txt"), "delta");
    EXPECT_EQ(fso.copyFolder("C:\\Data", "C:\\Fresh\\"), FsError::None);
    EXPECT_EQ(t.read("Fresh/Data/Sub/d.txt"), "delta");
    EXPECT_EQ(fso.copyFolder("C:\\Data", "C:\\Data\\Sub\\Inside"), FsError::PermissionDenied);
    EXPECT_EQ(fso.copyFolder("C:\\None", "C:\\Target"), FsError::PathNotFound);
}

TEST_F(FileSystemTest, MoveFolderNeedsAFreeDestination)
{
    t.put("Other/x.txt");
    EXPECT_EQ(fso.moveFolder("C:\\Data", "C:\\Other"), FsError::FileExists);
    t.put("Else/DATA/y.txt");
    EXPECT_EQ(fso.moveFolder("C:\\Data", "C:\\Else\\"), FsError::FileExists);
    EXPECT_TRUE(fs::exists(t.host("Data/a.txt")));
    EXPECT_EQ(fso.moveFolder("C:\\Data", "C:\\Other\\"), FsError::None);
    EXPECT_EQ(t.read("Other/Data/Sub/d.txt"), "delta");
    EXPECT_FALSE(fs::exists(t.host("Data")));
}

TEST_F(FileSystemTest, DirFiltersByAttributeMask)
{
    ASSERT_EQ(fso.setAttributes("C:\\Data\\b.txt", attr::Hidden), FsError::None);
    ASSERT_EQ(fso.setAttributes("C:\\Data\\c.doc", attr::System | attr::ReadOnly), FsError::None);
    std::vector<std::string> names;
    ASSERT_EQ(fso.dir("C:\\Data\\*.*", attr::Normal, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt"}));
    ASSERT_EQ(fso.dir("C:\\Data\\", attr::Hidden | attr::System, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{"a.txt", "b.txt", "c.doc"}));
    ASSERT_EQ(fso.dir("C:\\Data\\*", attr::Directory, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", "a.txt", "Sub"}));
    ASSERT_EQ(fso.dir("C:\\*", attr::Directory, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{"Data"}));
    ASSERT_EQ(fso.dir("c:\\data\\C.DOC", attr::System, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{"c.doc"}));
    ASSERT_EQ(fso.dir("C:\\Nowhere\\*.*", attr::Normal, names), FsError::None);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(fso.dir("Q:\\*.*", attr::Normal, names), FsError::BadFileName);
    EXPECT_EQ(fso.dir("\\\\NOPC\\C$\\", attr::Directory, names), FsError::BadFileName);
}

TEST_F(FileSystemTest, AttributeDefaultsAndErrors)
{
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Data\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Archive);
    ASSERT_EQ(fso.getAttributes("C:\\Data\\Sub", bits), FsError::None);
    EXPECT_EQ(bits, attr::Directory);
    ASSERT_EQ(fso.setAttributes("C:\\Data\\Sub", attr::Hidden | attr::Directory), FsError::None);
    ASSERT_EQ(fso.getAttributes("C:\\Data\\Sub", bits), FsError::None);
    EXPECT_EQ(bits, attr::Hidden | attr::Directory);
    EXPECT_EQ(fso.getAttributes("C:\\Data\\none", bits), FsError::FileNotFound);
    EXPECT_EQ(fso.setAttributes("C:\\Data\\none", 0), FsError::FileNotFound);
    // Deleting a file forgets its attributes: a new file of that name starts plain.
    ASSERT_EQ(fso.setAttributes("C:\\Data\\a.txt", attr::Hidden), FsError::None);
    ASSERT_EQ(fso.deleteFile("C:\\Data\\a.txt"), FsError::None);
    t.put("Data/a.txt");
    ASSERT_EQ(fso.getAttributes("C:\\Data\\a.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Archive);
}

TEST_F(FileSystemTest, TextIsStoredInTheAnsiCodePage)
{
    ASSERT_EQ(fso.writeText("C:\\Data\\t.txt", "Caf\xC3\xA9\r\n"), FsError::None);
    EXPECT_EQ(t.read("Data/t.txt"), "Caf\xE9\r\n");
    ASSERT_EQ(fso.appendFile("C:\\Data\\t.txt", "\x80"), FsError::None);
    EXPECT_EQ(t.read("Data/t.txt"), "Caf\xE9\r\n\x80");
    std::string text;
    ASSERT_EQ(fso.readText("c:\\DATA\\T.TXT", text), FsError::None);
    EXPECT_EQ(text, "Caf\xC3\xA9\r\n\xE2\x82\xAC");
    EXPECT_EQ(fso.readText("C:\\Data\\none.txt", text), FsError::FileNotFound);
    EXPECT_EQ(fso.readText("C:\\Data\\Sub", text), FsError::PathFileAccess);
    EXPECT_EQ(fso.writeText("C:\\Nowhere\\t.txt", "x"), FsError::PathNotFound);
    ASSERT_EQ(fso.setAttributes("C:\\Data\\t.txt", attr::ReadOnly), FsError::None);
    EXPECT_EQ(fso.writeText("C:\\Data\\t.txt", "y"), FsError::PermissionDenied);
    EXPECT_EQ(t.read("Data/t.txt"), "Caf\xE9\r\n\x80");
}

TEST_F(FileSystemTest, LengthAndVersion)
{
    std::uint64_t bytes = 0;
    ASSERT_EQ(fso.fileLength("C:\\Data\\a.txt", bytes), FsError::None);
    EXPECT_EQ(bytes, 5u);
    EXPECT_EQ(fso.fileLength("C:\\Data\\Sub", bytes), FsError::FileNotFound);
    ASSERT_EQ(fso.writeFile("C:\\Data\\app.exe", buildVersionedPe(6, 0, 2800, 1106)), FsError::None);
    EXPECT_EQ(fso.getFileVersion("C:\\Data\\APP.EXE"), "6.0.2800.1106");
    EXPECT_EQ(fso.getFileVersion("C:\\Data\\a.txt"), "");
    EXPECT_EQ(fso.getFileVersion("C:\\Data\\missing.exe"), "");
}

TEST_F(FileSystemTest, BadPathsChangeNothing)
{
    EXPECT_EQ(fso.writeFile("C:\\..\\..\\escape.txt", "x"), FsError::PathNotFound);
    EXPECT_EQ(fso.writeFile("escape.txt", "x"), FsError::BadFileName);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "C:\\..\\x.txt"), FsError::PathNotFound);
    EXPECT_EQ(fso.deleteFolder("C:\\..\\drives"), FsError::PathNotFound);
    EXPECT_EQ(fso.copyFile("C:\\Data\\a.txt", "\\\\NOPC\\C$\\"), FsError::PathNotFound);
    EXPECT_FALSE(fs::exists(t.folder() / "drives/escape.txt"));
    EXPECT_FALSE(fs::exists(t.folder() / "escape.txt"));
    EXPECT_TRUE(fs::exists(t.folder() / "drives/C/Data/a.txt"));
}

TEST_F(FileSystemTest, CopiesReachOtherMachinesThroughSharesAndMappedLetters)
{
    MachineConfig source;
    applyOsDefaults("win98", source);
    source.computerName = "OLDPC";
    source.drives.push_back({'C', DriveType::Fixed, std::nullopt, std::nullopt});
    source.shares.push_back({"C", "C:\\"});
    const auto oldpc = t.addMachine(source);
    fs::create_directories(oldpc / "drives/C/My Documents");
    std::ofstream(oldpc / "drives/C/My Documents/letter.doc") << "dear";
    t.map('F', "\\\\OLDPC\\C");
    FileSystem withMapping = t.fileSystem();

    EXPECT_EQ(withMapping.copyFile("\\\\oldpc\\c\\MY DOCUMENTS\\letter.doc", "C:\\Data\\"), FsError::None);
    EXPECT_EQ(t.read("Data/letter.doc"), "dear");
    EXPECT_EQ(withMapping.copyFolder("F:\\My Documents", "C:\\Mirror"), FsError::None);
    EXPECT_EQ(t.read("Mirror/letter.doc"), "dear");
    EXPECT_EQ(withMapping.copyFile("C:\\Data\\a.txt", "F:\\MYDOCU~1\\"), FsError::None);
    std::ifstream in(oldpc / "drives/C/My Documents/a.txt");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "alpha");
    EXPECT_EQ(withMapping.moveFile("F:\\My Documents\\letter.doc", "C:\\Data\\Sub\\"), FsError::None);
    EXPECT_FALSE(fs::exists(oldpc / "drives/C/My Documents/letter.doc"));
    EXPECT_EQ(t.read("Data/Sub/letter.doc"), "dear");
    EXPECT_EQ(withMapping.copyFile("C:\\Data\\a.txt", "G:\\"), FsError::DeviceUnavailable);
}

TEST_F(FileSystemTest, DirAcceptsShortNamesAndFolderCopiesKeepAttributes)
{
    t.put("Long Folder Name/Readme First.txt", "r");
    std::vector<std::string> names;
    ASSERT_EQ(fso.dir("C:\\LONGFO~1\\README~1.TXT", attr::Normal, names), FsError::None);
    EXPECT_EQ(names, (std::vector<std::string>{"Readme First.txt"}));
    ASSERT_EQ(fso.setAttributes("C:\\Long Folder Name\\Readme First.txt", attr::Hidden | attr::ReadOnly),
        FsError::None);
    ASSERT_EQ(fso.setAttributes("C:\\Long Folder Name", attr::System), FsError::None);
    ASSERT_EQ(fso.copyFolder("C:\\Long Folder Name", "C:\\Copy"), FsError::None);
    unsigned bits = 0;
    ASSERT_EQ(fso.getAttributes("C:\\Copy\\Readme First.txt", bits), FsError::None);
    EXPECT_EQ(bits, attr::Hidden | attr::ReadOnly | attr::Archive);
    ASSERT_EQ(fso.getAttributes("C:\\Copy", bits), FsError::None);
    EXPECT_EQ(bits, attr::System | attr::Directory);
    // Copying again without force meets the read-only copy and changes nothing.
    EXPECT_EQ(fso.copyFolder("C:\\Long Folder Name", "C:\\Copy"), FsError::PermissionDenied);
}

// The drive fills up in the middle of a copy (a file-size limit in a child process stands in for
// a full disk): the copy answers Disk full, no file is left under the target's name, an earlier
// target keeps its contents and the layer's own partial file is gone.
TEST_F(FileSystemTest, ACopyThatDoesNotFitLeavesNothingHalfWritten)
{
    t.put("Data/big.bin", std::string(256 * 1024, 'b'));
    t.put("Data/Old/big.bin", "earlier");
    fs::create_directories(t.host("Data/New"));
    const std::string answers = testsupport::onFullDisk(64 * 1024, [&] {
        std::string fresh(fsErrorText(fso.copyFile("C:\\Data\\big.bin", "C:\\Data\\New\\")));
        return fresh + " / " + std::string(fsErrorText(fso.copyFile("C:\\Data\\big.bin", "C:\\Data\\Old\\")));
    });
    EXPECT_EQ(answers, "Disk full / Disk full");
    EXPECT_FALSE(fs::exists(t.host("Data/New/big.bin")));
    EXPECT_EQ(t.read("Data/Old/big.bin"), "earlier");
    std::vector<FileEntry> folders, files;
    ASSERT_EQ(fso.listFolder("C:\\Data\\Old", folders, files), FsError::None);
    ASSERT_EQ(files.size(), 1U);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.host("Data/New")), fs::directory_iterator()), 0);
    EXPECT_EQ(fsErrorText(FsError::DiskFull), "Disk full");
}
