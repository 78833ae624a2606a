// ZipDirectoryTest.cpp: the local-header walk over archives written by libzip and by hand.
#include "wizard/zip/ZipDirectory.h"

#include "tests/wizard/zip/ZipArchives.h"

#include <gtest/gtest.h>

using namespace wizard;
using namespace ziptest;

namespace {

std::vector<std::string> names(const ZipListing& l)
{
    std::vector<std::string> out;
    for (const auto& h : l.headers)
        out.push_back(h.name);
    return out;
}

} // namespace

TEST(ZipDirectoryTest, StoredAndDeflatedEntriesFromLibzip)
{
    const std::string big(5000, 'w');
    const std::string bytes = libzipArchive(
        {{"a.txt", "alpha"}, {"sub/b.lnk", big, true}, {"sub/", ""}, {"c.bin", std::string(3, '\0')}});
    const ZipListing l = readLocalHeaders(bytes);
    ASSERT_FALSE(l.error) << l.error.message;
    EXPECT_EQ(names(l), (std::vector<std::string>{"a.txt", "sub/b.lnk", "sub/", "c.bin"}));
    EXPECT_EQ(l.headers[0].method, 0);
    EXPECT_EQ(l.headers[0].compressedSize, 5u);
    EXPECT_EQ(l.headers[0].crc, crc32(0, reinterpret_cast<const Bytef*>("alpha"), 5));
    EXPECT_EQ(l.headers[1].method, 8);
    EXPECT_EQ(l.headers[1].uncompressedSize, 5000u);
    EXPECT_LT(l.headers[1].compressedSize, 5000u);
    EXPECT_EQ(l.headers[0].offset, 0u);
}

TEST(ZipDirectoryTest, DataDescriptorEntriesDoNotHideTheEntriesAfterThem)
{
    // Data lengths that are no multiple of 4, so that a walk in steps of 4 would miss the next
    // header.
    const std::string bytes =
        rawArchive({{"one.txt", "12345", 8}, {"two.txt", "abcdefg", 8}, {"three.txt", "xyz"}});
    const ZipListing l = readLocalHeaders(bytes);
    ASSERT_FALSE(l.error);
    EXPECT_EQ(names(l), (std::vector<std::string>{"one.txt", "two.txt", "three.txt"}));
    EXPECT_EQ(l.headers[0].compressedSize, 0u); // the header's own (zero) sizes are kept
    EXPECT_EQ(l.headers[0].flags & 8, 8);
}

TEST(ZipDirectoryTest, Zip64SizesAreReadOrRefusedWithAMessage)
{
    const ZipListing small =
        readLocalHeaders(rawArchive({{"small.txt", "data!", 0, true}, {"next.txt", "n"}}));
    ASSERT_FALSE(small.error);
    EXPECT_EQ(names(small), (std::vector<std::string>{"small.txt", "next.txt"}));
    EXPECT_EQ(small.headers[0].compressedSize, 5u);
    EXPECT_EQ(small.headers[0].uncompressedSize, 5u);

    const ZipListing huge =
        readLocalHeaders(rawArchive({{"huge.bin", "x", 0, true, 5ull << 30}}), "C:\\big.zip");
    ASSERT_TRUE(huge.error);
    EXPECT_EQ(huge.error.failure, ZipFailure::Unsupported);
    EXPECT_NE(huge.error.message.find("C:\\big.zip"), std::string::npos);
    EXPECT_NE(huge.error.message.find("huge.bin"), std::string::npos);
    EXPECT_TRUE(huge.headers.empty());
}

TEST(ZipDirectoryTest, EmptyForeignAndTruncatedFiles)
{
    EXPECT_TRUE(readLocalHeaders(std::string()).headers.empty());
    // Bytes that are none of the signatures are passed over 4 at a time.
    EXPECT_TRUE(readLocalHeaders(std::string(1000, 'Q')).headers.empty());
    EXPECT_TRUE(readLocalHeaders(std::string("This is not a zip archive at all.\n")).headers.empty());
    // A local header found at a position of the 4-byte walk is read.
    const std::string archive = libzipArchive({{"x.txt", "x"}});
    EXPECT_EQ(names(readLocalHeaders("QQQQ" + archive)), (std::vector<std::string>{"x.txt"}));
    EXPECT_TRUE(readLocalHeaders("QQ" + archive).headers.empty());

    // Cut inside the second header: only the first entry is listed.
    const std::string two = libzipArchive({{"first.txt", "1111"}, {"second.txt", "2222"}});
    const std::size_t second = findSignature(two, 0x04034B50, 1);
    EXPECT_EQ(names(readLocalHeaders(two.substr(0, second + 20))), (std::vector<std::string>{"first.txt"}));
    EXPECT_EQ(names(readLocalHeaders(two.substr(0, second + 33))), (std::vector<std::string>{"first.txt"}));
}

TEST(ZipDirectoryTest, LyingSizesNeverMoveTheWalkBackwards)
{
    std::string bytes = libzipArchive({{"a.txt", "aaaa"}, {"b.txt", "bbbb"}, {"c.txt", "cccc"}});
    // The first header claims more data than the file holds: the walk ends after it.
    std::string past = bytes;
    set32(past, 18, 0x7FFFFFF0);
    EXPECT_EQ(names(readLocalHeaders(past)), (std::vector<std::string>{"a.txt"}));
    // A size too short lands inside the data; the walk goes on in steps of 4 from there.
    std::string short1 = bytes;
    set32(short1, 18, 1);
    const ZipListing l = readLocalHeaders(short1);
    ASSERT_FALSE(l.headers.empty());
    EXPECT_EQ(l.headers.front().name, "a.txt");
    for (std::size_t i = 1; i < l.headers.size(); ++i)
        EXPECT_GT(l.headers[i].offset, l.headers[i - 1].offset);
    // Sizes of 2 GB or more cannot be held by the entry list.
    std::string huge = bytes;
    set32(huge, 22, 0x80000000);
    EXPECT_EQ(readLocalHeaders(huge).error.failure, ZipFailure::Unsupported);
}

TEST(ZipDirectoryTest, SixtyFiveThousandFiveHundredThirtySixEntries)
{
    std::vector<Entry> entries;
    for (int i = 0; i < 65536; ++i)
        entries.push_back({"f" + std::to_string(i) + ".txt", ""});
    const std::string bytes = libzipArchive(entries);
    const ZipListing l = readLocalHeaders(bytes);
    ASSERT_FALSE(l.error);
    ASSERT_EQ(l.headers.size(), 65536u);
    EXPECT_EQ(l.headers.back().name, "f65535.txt");
}

TEST(ZipDirectoryTest, FileErrorsOfTheSourceEndTheReading)
{
    const ZipReadAt failing = [](std::uint64_t offset, std::size_t, std::string& bytes) {
        bytes.clear();
        return offset == 0 ? platform::FsError::PermissionDenied : platform::FsError::None;
    };
    const ZipListing l = readLocalHeaders(failing, "C:\\locked.zip");
    EXPECT_EQ(l.error.failure, ZipFailure::FileError);
    EXPECT_EQ(l.error.fileError, platform::FsError::PermissionDenied);
}
