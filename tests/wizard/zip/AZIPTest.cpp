// AZIPTest.cpp: the zip archive control on a test machine: the entry list, the events, the
// operations against a scripted library, and extraction of real and hostile archives.
#include "wizard/zip/AZIP.h"

#include "platform/MessageBox.h"
#include "tests/platform/TestMachine.h"
#include "tests/support/platform/ScriptedMessageService.h"
#include "tests/wizard/zip/ZipArchives.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace wizard;
using namespace ziptest;

namespace {

// A library that answers from a script and records its calls.
class ScriptedLibrary : public ZipLibrary {
public:
    std::vector<std::string> calls;
    std::vector<std::int16_t> answers; // one per call, 1 when the script runs out
    std::size_t failAt = static_cast<std::size_t>(-1);

    ZipCall answer(std::string call)
    {
        calls.push_back(std::move(call));
        ZipCall c;
        if (calls.size() - 1 == failAt) {
            c.failure = ZipError::damaged("x", "scripted");
            return c;
        }
        c.result = calls.size() <= answers.size() ? answers[calls.size() - 1] : 1;
        return c;
    }
    ZipCall AddFile(const std::string& archive, const std::string& file, bool storePath, bool dos83,
        std::int16_t action, std::int16_t level) override
    {
        return answer("add " + archive + " " + file + " " + std::to_string(storePath) +
            std::to_string(dos83) + " " + std::to_string(action) + " " + std::to_string(level));
    }
    ZipCall DeleteFile(const std::string& archive, const std::string& entry) override
    {
        return answer("delete " + archive + " " + entry);
    }
    ZipCall ExtractFile(const std::string& archive, const std::string& entry, const std::string& folder,
        bool usePath, bool overwrite, std::int16_t action) override
    {
        return answer("extract " + archive + " " + entry + " " + folder + " " + std::to_string(usePath) +
            std::to_string(overwrite) + " " + std::to_string(action));
    }
};

class AZIPTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        machine.put("Z/.keep", "");
        control.events().OnArchiveUpdate = [this] { log.push_back("update"); };
        control.events().OnUnzipProgress = [this](std::int16_t p, const std::string& f) {
            log.push_back("unzip " + std::to_string(p) + " " + f);
        };
        control.events().OnUnzipComplete = [this](std::int32_t n) {
            log.push_back("unzipped " + std::to_string(n));
        };
        control.events().OnDeleteProgress = [this](std::int16_t p, const std::string& f) {
            log.push_back("delete " + std::to_string(p) + " " + f);
        };
        control.events().OnDeleteComplete = [this](std::int32_t n) {
            log.push_back("deleted " + std::to_string(n));
        };
        control.events().OnZipProgress = [this](std::int16_t p, const std::string& f) {
            log.push_back("zip " + std::to_string(p) + " " + f);
        };
        control.events().OnZipComplete = [this](std::int32_t n) {
            log.push_back("zipped " + std::to_string(n));
        };
    }
    void putArchive(const std::string& bytes, const std::string& name = "Z/a.zip")
    {
        machine.put(name, bytes);
    }
    bool hostExists(const std::string& relative) const
    {
        return std::filesystem::exists(machine.host(relative));
    }
    std::vector<std::string> hostFiles(const std::string& relative) const
    {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::recursive_directory_iterator(machine.host(relative)))
            out.push_back(std::filesystem::relative(e.path(), machine.host(relative)).generic_string());
        std::sort(out.begin(), out.end());
        return out;
    }

    testutil::TestMachine machine;
    std::shared_ptr<ScriptedLibrary> scripted = std::make_shared<ScriptedLibrary>();
    AZIP control;
    std::vector<std::string> log;
};

} // namespace

TEST_F(AZIPTest, SettingFilenameReadsTheEntriesAndRaisesTheUpdateTwice)
{
    putArchive(rawArchive({{"Docs/one.txt", "1"}, {"Docs/", ""}, {"two.lnk", "22"}}));
    EXPECT_FALSE(control.setFilename("C:\\Z\\a.zip"));
    EXPECT_EQ(log, (std::vector<std::string>{"update", "update"}));
    ASSERT_EQ(control.GetEntryNum(), 3);
    const FileDetails* one = control.GetEntry(1);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Filename, "Docs/one.txt");
    EXPECT_EQ(one->Version, 20);
    EXPECT_EQ(one->UncompressedSize, 1);
    EXPECT_EQ(one->FileNameLength, 12);
    EXPECT_EQ(one->FileDateTime, "1/5/2004 9:03:00 AM");
    const FileDetails* folder = control.GetEntry(2);
    EXPECT_EQ(folder->Filename, "");
    EXPECT_EQ(folder->FileNameLength, 0);
    EXPECT_EQ(folder->CRC32, 0);
    EXPECT_EQ(control.GetEntry(0), nullptr);
    EXPECT_EQ(control.GetEntry(4), nullptr);
    EXPECT_TRUE(control.propertyChanged());

    log.clear();
    EXPECT_FALSE(control.setFilename(""));
    EXPECT_EQ(control.GetEntryNum(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"update"}));
}

TEST_F(AZIPTest, MissingArchivesAndFolders)
{
    // A missing file in an existing folder is made empty.
    EXPECT_FALSE(control.setFilename("C:\\Z\\new.zip"));
    EXPECT_TRUE(hostExists("Z/new.zip"));
    EXPECT_EQ(std::filesystem::file_size(machine.host("Z/new.zip")), 0u);
    EXPECT_EQ(control.GetEntryNum(), 0);
    // A missing folder is the file system's error, and the list is empty.
    putArchive(rawArchive({{"x.txt", "x"}}));
    control.setFilename("C:\\Z\\a.zip");
    log.clear();
    const ZipError err = control.setFilename("C:\\Nowhere\\a.zip");
    EXPECT_EQ(err.fileError, platform::FsError::PathNotFound);
    EXPECT_EQ(control.GetEntryNum(), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(control.Filename(), "C:\\Nowhere\\a.zip");
}

TEST_F(AZIPTest, AboutShowsOneInformationBox)
{
    testsupport::ScriptedMessageService boxes;
    boxes.answer(platform::MsgResult::Ok);
    platform::MessageService* previous = common::Service<platform::MessageService>::replace(&boxes);
    control.About();
    common::Service<platform::MessageService>::replace(previous);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0].title, "About AZIP");
    EXPECT_EQ(boxes.shown()[0].icon, platform::MsgIcon::Information);
    EXPECT_TRUE(boxes.unexpected().empty());
}

TEST_F(AZIPTest, PersistsFilenameWithoutReading)
{
    PropertyBag bag{{"Filename", "C:\\Z\\stored.zip"}};
    control.ReadProperties(bag);
    EXPECT_EQ(control.Filename(), "C:\\Z\\stored.zip");
    EXPECT_FALSE(hostExists("Z/stored.zip"));
    EXPECT_TRUE(log.empty());
    control.ReadProperties({});
    EXPECT_EQ(control.Filename(), "");
    PropertyBag saved{{"Filename", "old"}};
    control.WriteProperties(saved);
    EXPECT_TRUE(saved.empty()); // the default "" is not written
}

TEST_F(AZIPTest, ParsePathChangesTheCallersText)
{
    std::string path = "C:\\Data\\X.ZIP";
    EXPECT_EQ(control.ParsePath(path), "c:\\data\\x.zip\\");
    EXPECT_EQ(path, "C:\\Data\\X.ZIP\\");
    EXPECT_EQ(control.ConvertBytesToString(1536), "1.5KB");
}

TEST_F(AZIPTest, ExtractCountsTheLibrarysSuccessesAndReportsProgress)
{
    AZIP c(scripted);
    c.events() = control.events();
    putArchive(rawArchive({{"x/A.LNK", "a"}, {"b.txt", "b"}, {"c.lnk", "c"}}));
    c.setFilename("C:\\Z\\a.zip");
    log.clear();
    scripted->answers = {0, 1};
    const ZipResult r = c.Extract({"*.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(scripted->calls,
        (std::vector<std::string>{
            "extract C:\\Z\\a.zip x/A.LNK C:\\Out 01 1", "extract C:\\Z\\a.zip c.lnk C:\\Out 01 1"}));
    EXPECT_EQ(log, (std::vector<std::string>{"unzip 50 A.LNK", "unzip 100 c.lnk", "unzipped 1"}));
    EXPECT_EQ(c.GetEntryNum(), 3);

    // Patterns keep their order; an entry matching two is asked for twice; nothing matching gives
    // only the completion.
    scripted->calls.clear();
    scripted->answers.clear();
    log.clear();
    EXPECT_EQ(c.Extract({"C.LNK", "*.lnk"}, 1, false, true, "C:\\Out").count, 3);
    EXPECT_EQ(scripted->calls.size(), 3u);
    EXPECT_NE(scripted->calls[0].find(" c.lnk "), std::string::npos);
    log.clear();
    EXPECT_EQ(c.Extract({"word.lnk"}, 1, false, true, "C:\\Out").count, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"unzipped 0"}));

    // A failing call ends the operation without its completion event.
    scripted->calls.clear();
    scripted->failAt = 0;
    log.clear();
    const ZipResult failed = c.Extract({"*"}, 1, false, true, "C:\\Out");
    EXPECT_EQ(failed.error.failure, ZipFailure::Damaged);
    EXPECT_EQ(log, (std::vector<std::string>{"unzip 33 A.LNK"}));
}

TEST_F(AZIPTest, DeleteOfTheLastEntryDeletesTheArchive)
{
    AZIP c(scripted);
    c.events() = control.events();
    putArchive(rawArchive({{"only.txt", "1"}}));
    c.setFilename("C:\\Z\\a.zip");
    log.clear();
    EXPECT_EQ(c.Delete({"only.txt"}).count, 1);
    EXPECT_TRUE(scripted->calls.empty());
    EXPECT_EQ(c.GetEntryNum(), 0);
    EXPECT_EQ(log, (std::vector<std::string>{"delete 100 only.txt", "deleted 1", "update", "update"}));

    // Two entries and a pattern matching both: the library deletes the first, the file goes with
    // the second.
    putArchive(rawArchive({{"a.txt", "1"}, {"b.txt", "2"}}));
    c.setFilename("C:\\Z\\a.zip");
    EXPECT_EQ(c.Delete({"*.txt"}).count, 2);
    EXPECT_EQ(scripted->calls, (std::vector<std::string>{"delete C:\\Z\\a.zip a.txt"}));
    EXPECT_EQ(std::filesystem::file_size(machine.host("Z/a.zip")), 0u); // made again by the reading
}

TEST_F(AZIPTest, AddStartsANewArchiveOverAForeignFile)
{
    AZIP c(scripted);
    c.events() = control.events();
    putArchive("not a zip archive");
    c.setFilename("C:\\Z\\a.zip");
    log.clear();
    scripted->answers = {1};
    EXPECT_EQ(c.Add({"C:\\Data\\one.txt"}, 70000, true, true, false, 9).count, 1);
    EXPECT_EQ(scripted->calls, (std::vector<std::string>{"add C:\\Z\\a.zip C:\\Data\\one.txt 10 4464 5"}));
    EXPECT_EQ(log, (std::vector<std::string>{"zip 100 one.txt", "zipped 1", "update", "update"}));
    // The foreign file was deleted before the call; the reading made it again, empty.
    EXPECT_EQ(std::filesystem::file_size(machine.host("Z/a.zip")), 0u);

    // With entries listed, an empty list only completes.
    putArchive(rawArchive({{"k.txt", "k"}}));
    c.setFilename("C:\\Z\\a.zip");
    log.clear();
    EXPECT_EQ(c.Add({}, 0, false, false, false, 5).count, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"zipped 0"}));
    EXPECT_GT(std::filesystem::file_size(machine.host("Z/a.zip")), 0u);
}

TEST_F(AZIPTest, LibzipAddsDeletesAndExtracts)
{
    machine.put("Data/one.txt", "first file");
    machine.put("Data/Sub/two.txt", std::string(3000, 'z'));
    control.setFilename("C:\\Z\\made.zip");
    EXPECT_EQ(control
                  .Add({"C:\\Data\\one.txt", "C:\\Data\\Sub\\two.txt", "C:\\Data\\none.txt"}, 1, true, false,
                      false, 5)
                  .count,
        2);
    ASSERT_EQ(control.GetEntryNum(), 2);
    EXPECT_EQ(control.GetEntry(1)->Filename, "Data/one.txt");
    EXPECT_EQ(control.GetEntry(2)->Filename, "Data/Sub/two.txt");
    EXPECT_EQ(control.GetEntry(2)->CompressionMethod, 8);

    EXPECT_EQ(control.Extract({"*.txt"}, 1, true, true, "C:\\Out").count, 2);
    EXPECT_EQ(machine.read("Out/Data/Sub/two.txt"), std::string(3000, 'z'));
    EXPECT_EQ(control.Extract({"ONE.TXT"}, 1, false, true, "C:\\Flat").count, 1);
    EXPECT_EQ(machine.read("Flat/one.txt"), "first file");
    // Without Overwrite an existing file stays.
    machine.put("Flat/one.txt", "mine");
    const ZipResult kept = control.Extract({"one.txt"}, 1, false, false, "C:\\Flat");
    EXPECT_EQ(kept.count, 0);
    EXPECT_EQ(kept.refused.size(), 1u);
    EXPECT_EQ(machine.read("Flat/one.txt"), "mine");

    EXPECT_EQ(control.Delete({"one.txt"}).count, 1);
    ASSERT_EQ(control.GetEntryNum(), 1);
    EXPECT_EQ(control.GetEntry(1)->Filename, "Data/Sub/two.txt");
}

TEST_F(AZIPTest, ExtractionNeverWritesOutsideItsFolder)
{
    putArchive(libzipArchive({{"../escape.lnk", "1"}, {"/abs.lnk", "2"}, {"C:evil.lnk", "3"},
        {"a/../../up.lnk", "4"}, {"link.lnk", "../../outside", false, true}, {"ok/fine.lnk", "5"}}));
    control.setFilename("C:\\Z\\a.zip");
    ASSERT_EQ(control.GetEntryNum(), 6);
    const ZipResult r = control.Extract({"*"}, 1, true, true, "C:\\Target\\In");
    EXPECT_FALSE(r.error) << r.error.message;
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.refused.size(), 5u);
    EXPECT_EQ(hostFiles("Target"), (std::vector<std::string>{"In", "In/ok", "In/ok/fine.lnk"}));
    EXPECT_FALSE(hostExists("escape.lnk"));
    EXPECT_FALSE(hostExists("Target/escape.lnk"));
    EXPECT_FALSE(hostExists("up.lnk"));
    EXPECT_FALSE(hostExists("Target/link.lnk"));
    // Without path information the name part is used, and a link is still refused.
    const ZipResult flat = control.Extract({"*"}, 1, false, true, "C:\\Flat");
    EXPECT_EQ(flat.count, 4);
    EXPECT_EQ(hostFiles("Flat"), (std::vector<std::string>{"abs.lnk", "escape.lnk", "fine.lnk", "up.lnk"}));
}

TEST_F(AZIPTest, BackslashesSeparateLikeSlashesInHostileNames)
{
    putArchive(libzipArchive({{"..\\back.lnk", "1"}, {"\\root.lnk", "2"}, {"D:\\drive.lnk", "3"},
        {"sub\\..\\..\\up.lnk", "4"}, {"sub/..\\mixed.lnk", "5"}, {"ok\\deep.lnk", "6"}}));
    control.setFilename("C:\\Z\\a.zip");
    ASSERT_EQ(control.GetEntryNum(), 6);
    const ZipResult r = control.Extract({"*"}, 1, true, true, "C:\\Target\\In");
    EXPECT_FALSE(r.error) << r.error.message;
    EXPECT_EQ(r.count, 1);
    EXPECT_EQ(r.refused.size(), 5u);
    EXPECT_EQ(hostFiles("Target"), (std::vector<std::string>{"In", "In/ok", "In/ok/deep.lnk"}));
    EXPECT_EQ(machine.read("Target/In/ok/deep.lnk"), "6");
    for (const char* outside :
        {"back.lnk", "root.lnk", "drive.lnk", "up.lnk", "mixed.lnk", "Target/back.lnk"})
        EXPECT_FALSE(hostExists(outside)) << outside;
}

TEST_F(AZIPTest, HugeOrAbsurdlyCompressedEntriesAreRefusedBeforeWriting)
{
    std::string declared = libzipArchive({{"big.lnk", "small data"}, {"fine.lnk", "ok"}});
    // Make the first entry declare 3 GB in its local and its central header alike.
    set32(declared, 22, 0xC0000000);
    set32(declared, findSignature(declared, 0x02014B50) + 24, 0xC0000000);
    putArchive(declared, "Z/declared.zip");
    AZIP c;
    // The directory reader cannot hold such an entry and says so.
    EXPECT_EQ(c.setFilename("C:\\Z\\declared.zip").failure, ZipFailure::Unsupported);

    // 100 MB declared alike in both headers: listed, but not extracted.
    std::string hundred = libzipArchive({{"big.lnk", "small data", true}, {"fine.lnk", "ok"}});
    set32(hundred, 22, 100u << 20);
    set32(hundred, findSignature(hundred, 0x02014B50) + 24, 100u << 20);
    putArchive(hundred, "Z/hundred.zip");
    ASSERT_FALSE(c.setFilename("C:\\Z\\hundred.zip"));
    const ZipResult big = c.Extract({"*.lnk"}, 1, false, true, "C:\\Big");
    EXPECT_FALSE(big.error) << big.error.message;
    EXPECT_EQ(big.count, 1);
    ASSERT_EQ(big.refused.size(), 1u);
    EXPECT_NE(big.refused[0].find("declares"), std::string::npos) << big.refused[0];
    EXPECT_EQ(hostFiles("Big"), (std::vector<std::string>{"fine.lnk"}));

    const std::string zeros(8 * 1024 * 1024, '\0');
    putArchive(libzipArchive({{"bomb.lnk", zeros, true}, {"fine.lnk", "ok"}}), "Z/bomb.zip");
    control.setFilename("C:\\Z\\bomb.zip");
    const ZipResult r = control.Extract({"*.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_EQ(r.count, 1);
    ASSERT_EQ(r.refused.size(), 1u);
    EXPECT_NE(r.refused[0].find("bomb.lnk"), std::string::npos);
    EXPECT_EQ(hostFiles("Out"), (std::vector<std::string>{"fine.lnk"}));
}

TEST_F(AZIPTest, DamagedArchivesFailAndLeaveTheTargetAsItWas)
{
    machine.put("Out/keep.lnk", "old");
    const std::string good =
        libzipArchive({{"keep.lnk", "new data for the shortcut", true}, {"two.lnk", "2"}});

    // Cut short: the entries are listed from their local headers, but extraction fails.
    putArchive(good.substr(0, good.size() - 30), "Z/cut.zip");
    control.setFilename("C:\\Z\\cut.zip");
    EXPECT_EQ(control.GetEntryNum(), 2);
    log.clear();
    const ZipResult cut = control.Extract({"*.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_EQ(cut.error.failure, ZipFailure::Damaged);
    EXPECT_NE(cut.error.message.find("C:\\Z\\cut.zip"), std::string::npos);
    EXPECT_EQ(log, (std::vector<std::string>{"unzip 50 keep.lnk"}));

    // A corrupt byte in the data fails the CRC (or the inflation) before anything is written.
    std::string corrupt = good;
    const std::size_t data =
        30 + 8 + (static_cast<unsigned char>(good[28]) | (static_cast<unsigned char>(good[29]) << 8));
    corrupt[data + 3] ^= 0x55;
    putArchive(corrupt, "Z/corrupt.zip");
    control.setFilename("C:\\Z\\corrupt.zip");
    EXPECT_EQ(control.Extract({"keep.lnk"}, 1, false, true, "C:\\Out").error.failure, ZipFailure::Damaged);

    // A local header whose sizes lie disagrees with the central directory.
    std::string lying = good;
    set32(lying, 18, get32(lying, 18) + 7);
    putArchive(lying, "Z/lying.zip");
    control.setFilename("C:\\Z\\lying.zip");
    EXPECT_EQ(control.Extract({"*.lnk"}, 1, false, true, "C:\\Out").error.failure, ZipFailure::Damaged);

    EXPECT_EQ(hostFiles("Out"), (std::vector<std::string>{"keep.lnk"}));
    EXPECT_EQ(machine.read("Out/keep.lnk"), "old");

    // Only the second entry is corrupt: the first is extracted whole; the second fails, its old
    // file stays, and no working file is left behind.
    machine.put("Mixed/second.lnk", "old second");
    std::string mixed =
        libzipArchive({{"first.lnk", "first entry's data"}, {"second.lnk", "second entry's data"}});
    const std::size_t second = findSignature(mixed, 0x04034B50, 1);
    const std::size_t secondData =
        second + 30 + (get32(mixed, second + 26) & 0xFFFF) + (get32(mixed, second + 26) >> 16);
    mixed[secondData + 2] ^= 0x20;
    putArchive(mixed, "Z/mixed.zip");
    control.setFilename("C:\\Z\\mixed.zip");
    log.clear();
    const ZipResult part = control.Extract({"*.lnk"}, 1, false, true, "C:\\Mixed");
    EXPECT_EQ(part.error.failure, ZipFailure::Damaged);
    EXPECT_NE(part.error.message.find("second.lnk"), std::string::npos) << part.error.message;
    EXPECT_EQ(part.count, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"unzip 50 first.lnk", "unzip 100 second.lnk"}));
    EXPECT_EQ(hostFiles("Mixed"), (std::vector<std::string>{"first.lnk", "second.lnk"}));
    EXPECT_EQ(machine.read("Mixed/first.lnk"), "first entry's data");
    EXPECT_EQ(machine.read("Mixed/second.lnk"), "old second");
}

TEST_F(AZIPTest, EmptyAndForeignFilesExtractNothing)
{
    putArchive("", "Z/empty.zip");
    control.setFilename("C:\\Z\\empty.zip");
    EXPECT_EQ(control.Extract({"*"}, 1, false, true, "C:\\Out").count, 0);
    putArchive(std::string(4096, 'n'), "Z/foreign.zip");
    control.setFilename("C:\\Z\\foreign.zip");
    EXPECT_EQ(control.GetEntryNum(), 0);
    EXPECT_EQ(control.Extract({"*"}, 1, false, true, "C:\\Out").count, 0);
    EXPECT_FALSE(hostExists("Out"));
}

TEST_F(AZIPTest, NamesInCodePage437AndUtf8AndDuplicates)
{
    putArchive(rawArchive({{"\x8E"
                            "rger.lnk",
                               "cp437"},
        {"\xC3\x9C"
         "ber.lnk",
            "utf8", 1u << 11}}));
    control.setFilename("C:\\Z\\a.zip");
    ASSERT_EQ(control.GetEntryNum(), 2);
    EXPECT_EQ(control.GetEntry(1)->Filename, "Ärger.lnk");
    EXPECT_EQ(control.GetEntry(2)->Filename, "Über.lnk");
    const ZipResult named = control.Extract({"ärger.lnk", "über.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_FALSE(named.error) << named.error.message;
    EXPECT_EQ(named.count, 2);
    EXPECT_EQ(machine.read("Out/Ärger.lnk"), "cp437");
    EXPECT_EQ(machine.read("Out/Über.lnk"), "utf8");

    // Both duplicates are listed, but tools may disagree on which one a name means: the archive is
    // refused and nothing is written.
    putArchive(rawArchive({{"twice.lnk", "first"}, {"twice.lnk", "second"}}), "Z/twice.zip");
    control.setFilename("C:\\Z\\twice.zip");
    EXPECT_EQ(control.GetEntryNum(), 2);
    const ZipResult twice = control.Extract({"twice.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_EQ(twice.error.failure, ZipFailure::Damaged);
    EXPECT_NE(twice.error.message.find("same name"), std::string::npos) << twice.error.message;
    EXPECT_FALSE(hostExists("Out/twice.lnk"));
}

TEST_F(AZIPTest, DescriptorAndZip64EntriesAreExtracted)
{
    putArchive(rawArchive({{"dd.lnk", "descriptor data", 8}, {"z64.lnk", "zip64 data", 0, true}}));
    control.setFilename("C:\\Z\\a.zip");
    ASSERT_EQ(control.GetEntryNum(), 2);
    EXPECT_EQ(control.GetEntry(2)->UncompressedSize, 10);
    const ZipResult r = control.Extract({"*.lnk"}, 1, false, true, "C:\\Out");
    EXPECT_FALSE(r.error) << r.error.message;
    EXPECT_EQ(r.count, 2);
    EXPECT_EQ(machine.read("Out/dd.lnk"), "descriptor data");
    EXPECT_EQ(machine.read("Out/z64.lnk"), "zip64 data");
}

TEST_F(AZIPTest, AddStoresShortNamesWhenAsked)
{
    machine.put("Data/Long File Name.txt", "long");
    control.setFilename("C:\\Z\\short.zip");
    EXPECT_EQ(control.Add({"C:\\Data\\Long File Name.txt"}, 1, false, false, true, 5).count, 1);
    ASSERT_EQ(control.GetEntryNum(), 1);
    EXPECT_EQ(control.GetEntry(1)->Filename, "LONGFI~1.TXT");
}

TEST_F(AZIPTest, ManyEntries)
{
    std::vector<Entry> entries;
    for (int i = 0; i < 65536; ++i)
        entries.push_back({"e" + std::to_string(i) + ".txt", std::to_string(i)});
    putArchive(libzipArchive(entries));
    ASSERT_FALSE(control.setFilename("C:\\Z\\a.zip"));
    EXPECT_EQ(control.GetEntryNum(), 65536);
    EXPECT_EQ(control.Extract({"e65535.txt"}, 1, false, true, "C:\\Out").count, 1);
    EXPECT_EQ(machine.read("Out/e65535.txt"), "65535");
}
