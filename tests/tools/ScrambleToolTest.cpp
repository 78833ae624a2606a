// ScrambleToolTest.cpp: build/bin/scramble's output unscrambles line by line to the plain input.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wizard/core/ScriptDecryptor.h"

namespace {

class ScrambleToolTest : public ::testing::Test {
protected:
    ScrambleToolTest()
    {
        char pattern[] = "/tmp/kestro-scramble-XXXXXX";
        const char* made = mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        m_dir = made ? made : "/tmp";
    }
    ~ScrambleToolTest() override
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }

    int run(const std::string& plain, std::string& scrambled)
    {
        {
            std::ofstream in(m_dir / "in.xml", std::ios::binary);
            in << plain;
        }
        const std::string command = std::string(SCRAMBLE_EXE) + " '" + (m_dir / "in.xml").string() + "' '" +
            (m_dir / "out.wkx").string() + "' 2>/dev/null";
        const int rc = std::system(command.c_str());
        std::ifstream out(m_dir / "out.wkx", std::ios::binary);
        scrambled.assign(std::istreambuf_iterator<char>(out), std::istreambuf_iterator<char>());
        return rc;
    }

    static std::vector<std::string> lines(const std::string& crlfText)
    {
        std::vector<std::string> out;
        std::size_t start = 0;
        while (start < crlfText.size()) {
            std::size_t end = crlfText.find("\r\n", start);
            EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
            if (end == std::string::npos)
                break;
            out.push_back(crlfText.substr(start, end - start));
            start = end + 2;
        }
        return out;
    }

    std::filesystem::path m_dir;
};

TEST_F(ScrambleToolTest, OutputUnscramblesToTheInput)
{
    const std::string longLine(2000, 'a'); // its own length would shift letters past 255
    const std::string plain =
        "\xEF\xBB\xBF<script>\r\n\n  <performaction><name>Caf\xC3\xA9</name></performaction>\n" + longLine +
        "\n</script>\n";
    std::string scrambled;
    ASSERT_EQ(run(plain, scrambled), 0);
    const std::vector<std::string> got = lines(scrambled);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_NE(got[0], "<script>");
    EXPECT_EQ(wizard::unscrambleLine(got[0]), "<script>");
    EXPECT_EQ(wizard::unscrambleLine(got[1]), "");
    EXPECT_EQ(wizard::unscrambleLine(got[2]), "  <performaction><name>Caf\xE9</name></performaction>");
    // Padded with a blank to a length whose shift fits.
    EXPECT_EQ(wizard::unscrambleLine(got[3]), longLine + " ");
    EXPECT_EQ(wizard::unscrambleLine(got[4]), "</script>");
}

TEST_F(ScrambleToolTest, RefusesAMissingInput)
{
    const std::string command = std::string(SCRAMBLE_EXE) + " '" + (m_dir / "nothing.xml").string() + "' '" +
        (m_dir / "out.wkx").string() + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "out.wkx"));
}

} // namespace
