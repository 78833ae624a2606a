// FileVersionTest.cpp: reading version resources of PE images, and the image writer.
#include "platform/FileVersion.h"

#include <gtest/gtest.h>

using platform::buildVersionedPe;
using platform::peFileVersion;

TEST(FileVersionTest, ReadsTheVersionTheWriterStored)
{
    EXPECT_EQ(peFileVersion(buildVersionedPe(5, 1, 2600, 0)), "5.1.2600.0");
    EXPECT_EQ(peFileVersion(buildVersionedPe(65535, 0, 1, 65535)), "65535.0.1.65535");
}

TEST(FileVersionTest, NonImagesAndDamagedImagesGiveEmptyText)
{
    EXPECT_EQ(peFileVersion(""), "");
    EXPECT_EQ(peFileVersion("MZ"), "");
    EXPECT_EQ(peFileVersion("plain text file, not an executable at all........................"), "");
    std::string image = buildVersionedPe(1, 2, 3, 4);
    // Every truncation must be refused quietly, never read past the end.
    // (The image ends in zero padding after the version data, at 0x2B4.)
    for (std::size_t size = 0; size < 0x2B4; size += 7)
        EXPECT_EQ(peFileVersion(image.substr(0, size)), "") << size;
}

TEST(FileVersionTest, ImageWithoutVersionResourceGivesEmptyText)
{
    std::string image = buildVersionedPe(1, 2, 3, 4);
    // Turn the type of the only resource from RT_VERSION (16) into RT_ICON (3).
    image[0x200 + 16] = 3;
    EXPECT_EQ(peFileVersion(image), "");
    image = buildVersionedPe(1, 2, 3, 4);
    // Break the fixed-info signature.
    image[0x200 + 0x58 + 40] = 0;
    EXPECT_EQ(peFileVersion(image), "");
}

TEST(FileVersionTest, OutOfRangeOffsetsAreRefused)
{
    std::string image = buildVersionedPe(1, 2, 3, 4);
    // e_lfanew pointing far beyond the file.
    image[0x3C] = '\xFF';
    image[0x3F] = '\x7F';
    EXPECT_EQ(peFileVersion(image), "");
}

TEST(FileVersionTest, SixtyFourBitImagesAreReadToo)
{
    // Rewrite the 32-bit image as a PE32+ one: a longer optional header whose data directories
    // start 16 bytes later, and the section table moved behind it.
    std::string image = buildVersionedPe(10, 0, 19041, 1);
    const std::size_t opt = 0x40 + 4 + 20;
    const std::string section = image.substr(opt + 0xE0, 40);
    const std::string resourceDir = image.substr(opt + 96 + 16, 8);
    image.replace(opt + 96, 0xE0 - 96, std::string(0xE0 - 96, '\0'));
    image[0x40 + 4 + 16] = static_cast<char>(0xF0);
    image[opt] = 0x0B;
    image[opt + 1] = 0x02;
    image[opt + 108] = 16;
    image.replace(opt + 112 + 16, 8, resourceDir);
    image.replace(opt + 0xF0, 40, section);
    EXPECT_EQ(peFileVersion(image), "10.0.19041.1");
    // The same bytes read with the 32-bit layout find no resource directory.
    image[opt] = 0x0B;
    image[opt + 1] = 0x01;
    EXPECT_EQ(peFileVersion(image), "");
}

TEST(FileVersionTest, CorruptedImagesGiveAVersionOrNothing)
{
    const std::string good = buildVersionedPe(1, 2, 3, 4);
    std::uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    int versions = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string image = good;
        for (int n = 0; n < 4; ++n)
            image[next() % 0x2B4] = static_cast<char>(next() & 0xFF);
        const std::string v = peFileVersion(image);
        if (v.empty())
            continue;
        ++versions;
        // Whatever survives the damage is still four dotted numbers.
        int dots = 0;
        for (char c : v) {
            ASSERT_TRUE(c == '.' || (c >= '0' && c <= '9')) << v;
            dots += c == '.';
        }
        EXPECT_EQ(dots, 3) << v;
    }
    EXPECT_GT(versions, 0);
}
