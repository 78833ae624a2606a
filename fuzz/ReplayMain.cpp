// ReplayMain.cpp: runs a fuzz target over every file of the folders (or files) it is given, so
// that a normal build replays the committed corpus; exits non-zero when an argument is missing.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

} // namespace

int main(int argc, char* argv[])
{
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path arg(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(arg, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(arg, ec))
                if (entry.is_regular_file()) {
                    replay(entry.path());
                    ++count;
                }
        } else if (std::filesystem::is_regular_file(arg, ec)) {
            replay(arg);
            ++count;
        } else {
            std::cerr << argv[i] << ": no such file or folder\n";
            return 1;
        }
    }
    std::cout << count << " inputs replayed\n";
    return 0;
}
