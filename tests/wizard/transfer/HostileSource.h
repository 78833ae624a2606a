// HostileSource.h: a source folder holding what a host folder may hold but a Windows drive may not
// (names with "\" and "?", device names, trailing dots, invalid text, names equal but for case, a
// path longer than Windows allows, a pipe and a link to a device), what a copy of it must deliver,
// and a snapshot of a whole host drive for comparing a destination before and after.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include <sys/stat.h>

namespace transfertest {

// Relative host path ('/' between folders) to content, of every regular file below `root`.
inline std::map<std::string, std::string> hostFiles(const std::filesystem::path& root)
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        if (!e.is_regular_file() || e.is_symlink() || e.path().filename().string().front() == ':')
            continue;
        std::ifstream in(e.path(), std::ios::binary);
        files[fs::relative(e.path(), root).generic_string()] =
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return files;
}

// Plants the hostile entries in `folder` (a host folder of the source) and returns what a copy of
// that folder must deliver: relative path below the copy's target to content.
inline std::map<std::string, std::string> plantHostileSource(const std::filesystem::path& folder)
{
    namespace fs = std::filesystem;
    const auto put = [&](const fs::path& relative, const std::string& content) {
        fs::create_directories((folder / relative).parent_path());
        std::ofstream(folder / relative, std::ios::binary) << content;
    };
    put(fs::path("..\\WINDOWS") / "WIN.INI", "planted");
    put(fs::path("..\\..\\..\\WINDOWS") / "WIN.INI", "planted deeper");
    put(fs::path("sub\\..\\..\\..") / "x.txt", "escape");
    for (const char* name : {"what?.txt", "a<b>.txt", "pipe|d", "c:x", "st*r", "say\"hi\"", "ctl\x01", "CON",
             "nul.txt", "COM1", "end.", "end ", "bad\xFF.txt"})
        put(name, "bad name");
    put("FILE.TXT", "FILE.TXT");
    put("File.txt", "File.txt");
    put("file.txt", "file.txt");
    put("DOCS/kept.txt", "DOCS");
    put("Docs/inner.txt", "Docs");
    const std::string longName(100, 'L');
    put(fs::path(longName) / longName / longName / "deep.txt", "too long");
    put("good.txt", "good");
    ::mkfifo((folder / "pipe").c_str(), 0644);
    fs::create_symlink("/dev/zero", folder / "zero");
    return {{"FILE.TXT", "FILE.TXT"}, {"DOCS/kept.txt", "DOCS"}, {"good.txt", "good"}};
}

} // namespace transfertest
