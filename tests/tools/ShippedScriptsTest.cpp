// ShippedScriptsTest.cpp: every plain script in data/WKXFiles is built into a ".wkx" file that
// unscrambles to the same lines and parses with steps, so the wizard can load what it ships.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include "common/Text.h"
#include "platform/CodePage.h"
#include "wizard/core/ScriptDecryptor.h"

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> splitLines(const std::string& text, const std::string& end)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t stop = text.find(end, start);
        if (stop == std::string::npos)
            stop = text.size();
        lines.push_back(text.substr(start, stop - start));
        start = stop + end.size();
    }
    return lines;
}

TEST(ShippedScriptsTest, EveryScriptUnscramblesToItsSourceAndHasSteps)
{
    const fs::path sources = fs::path(DATA_SOURCE_DIR) / "WKXFiles";
    const fs::path built = fs::path(DATA_BUILD_DIR) / "WKXFiles";
    // A missing folder or main script is a fault of the tree, never a reason to pass.
    ASSERT_TRUE(fs::exists(sources / "Kestro.xml")) << sources;
    int scripts = 0;
    for (const auto& entry : fs::recursive_directory_iterator(sources)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".xml")
            continue;
        ++scripts;
        fs::path wkx = built / fs::relative(entry.path(), sources);
        wkx.replace_extension(".wkx");
        ASSERT_TRUE(fs::exists(wkx)) << wkx;

        std::string source = readAll(entry.path());
        if (source.rfind("\xEF\xBB\xBF", 0) == 0)
            source.erase(0, 3);
        const std::vector<std::string> want = splitLines(platform::utf8ToCp1252(source), "\n");
        const std::vector<std::string> got = splitLines(readAll(wkx), "\r\n");
        ASSERT_EQ(got.size(), want.size()) << wkx;
        std::string plain;
        for (std::size_t i = 0; i < got.size(); ++i) {
            const std::string line = wizard::unscrambleLine(got[i]);
            // The scrambler may pad a line with blanks to reach a usable length.
            EXPECT_EQ(common::trimmedRight(line, " \r"), common::trimmedRight(want[i], " \r"))
                << wkx << " line " << i + 1;
            plain += line + "\n";
        }
        pugi::xml_document doc;
        const std::string utf8 = platform::cp1252ToUtf8(plain);
        ASSERT_TRUE(doc.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8))
            << wkx;
        EXPECT_FALSE(doc.select_nodes("//performaction").empty()) << wkx;
    }
    EXPECT_GT(scripts, 1) << "the main script alone: the application and setting scripts are gone";
}

} // namespace
