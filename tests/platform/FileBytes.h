// FileBytes.h: reads and writes a whole file byte for byte, for tests that check exact file text.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testutil {

inline std::string readFile(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFile(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary);
    out << bytes;
}

} // namespace testutil
