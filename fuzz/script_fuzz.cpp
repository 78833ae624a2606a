// script_fuzz.cpp: arbitrary bytes as a scrambled script. They are unscrambled the way the engine
// does it (into "Dec_<name>.xml"), the plain text is parsed and its steps collected as the engine
// collects them; each plain line that scrambles back must unscramble to itself.
#include "wizard/core/CoreFiles.h"
#include "wizard/core/ScriptDecryptor.h"
#include "wizard/core/TextUtil.h"

#include <pugixml.hpp>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>

namespace {

// The script folder in memory: no machine is needed to unscramble.
class MemoryFiles : public wizard::CoreFiles {
public:
    std::map<std::string, std::string> files;

    bool fileExists(const std::string& path) override { return files.count(path) != 0; }
    bool readFile(const std::string& path, std::string& bytes) override
    {
        auto found = files.find(path);
        if (found == files.end())
            return false;
        bytes = found->second;
        return true;
    }
    bool writeFile(const std::string& path, const std::string& bytes) override
    {
        files[path] = bytes;
        return true;
    }
    bool appendFile(const std::string& path, const std::string& bytes) override
    {
        files[path] += bytes;
        return true;
    }
    bool readAt(const std::string& path, std::uint64_t offset, std::size_t size, std::string& bytes) override
    {
        auto found = files.find(path);
        if (found == files.end())
            return false;
        bytes = offset < found->second.size() ? found->second.substr(offset, size) : std::string();
        return true;
    }
    bool writeAt(const std::string& path, std::uint64_t offset, const std::string& bytes) override
    {
        std::string& file = files[path];
        if (file.size() < offset + bytes.size())
            file.resize(offset + bytes.size(), '\0');
        file.replace(offset, bytes.size(), bytes);
        return true;
    }
    bool removeFile(const std::string& path) override { return files.erase(path) != 0; }
};

void checkLineRoundTrips(const std::string& plain)
{
    std::size_t start = 0;
    while (start < plain.size()) {
        std::size_t end = plain.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = plain.size();
        const std::string line = plain.substr(start, end - start);
        if (const auto scrambled = wizard::scrambleLine(line)) {
            if (wizard::unscrambleLine(*scrambled) != line)
                std::abort();
        }
        start = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    MemoryFiles files;
    const std::string input(reinterpret_cast<const char*>(data), size);
    files.files["C:\\K\\WKXFiles\\Fuzz.wkx"] = input;
    wizard::ScriptDecryptor decryptor(files);
    const std::string output = decryptor.Decrypt_Script_File("C:\\K\\WKXFiles\\Fuzz.xml");
    if (output.empty())
        std::abort(); // the scrambled file exists, so its plain form must be written
    std::string plain;
    if (!files.readFile(output, plain))
        std::abort();
    checkLineRoundTrips(plain);

    // The engine's load: ANSI to UTF-8, parsed, every step found.
    const std::string utf8 = wizard::coretext::fromAnsi(plain);
    pugi::xml_document document;
    if (document.load_buffer(utf8.data(), utf8.size(), pugi::parse_default, pugi::encoding_utf8)) {
        std::size_t steps = 0;
        for (pugi::xpath_node found : document.select_nodes("//performaction"))
            steps += found.node().attribute("name").empty() ? 0 : 1;
        (void)steps;
    }
    // The scrambled lines of the input, one by one, as the build's tool would read them.
    checkLineRoundTrips(input);
    return 0;
}
