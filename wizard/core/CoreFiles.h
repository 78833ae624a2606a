// CoreFiles.h: the file calls of the wizard core (scripts, variables file, log) on Windows paths of
// the machine the wizard runs on.
#pragma once

#include <cstdint>
#include <string>

namespace wizard {

// Every path is a Windows path ("C:\Program Files\Kestro\WKXFiles\Kestro.wkx"); bytes are the
// file's bytes (text in the machine's ANSI code page). No call throws; false means the call
// failed and changed nothing it could avoid changing.
class CoreFiles {
public:
    virtual ~CoreFiles() = default;

    // True when a file (not a folder) of that path exists.
    virtual bool fileExists(const std::string& path) = 0;
    // Reads the whole file.
    virtual bool readFile(const std::string& path, std::string& bytes) = 0;
    // Creates or empties the file and writes `bytes`; the folder must exist.
    virtual bool writeFile(const std::string& path, const std::string& bytes) = 0;
    // Appends to the file, creating it when missing; the folder must exist.
    virtual bool appendFile(const std::string& path, const std::string& bytes) = 0;
    // Reads up to `size` bytes at `offset`; fewer (or none) at the end of the file.
    virtual bool readAt(
        const std::string& path, std::uint64_t offset, std::size_t size, std::string& bytes) = 0;
    // Writes `bytes` at `offset`, creating the file when missing; a gap before `offset` reads
    // as zero bytes.
    virtual bool writeAt(const std::string& path, std::uint64_t offset, const std::string& bytes) = 0;
    // Deletes the file.
    virtual bool removeFile(const std::string& path) = 0;
};

// The file calls on the machine named by WINENV_MACHINE, through the platform layer. The object
// lives for the whole program.
CoreFiles& machineFiles();

} // namespace wizard
