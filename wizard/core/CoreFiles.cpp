// CoreFiles.cpp: the wizard core's file calls on the machine folder named by WINENV_MACHINE.
#include "wizard/core/CoreFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "wizard/core/TextUtil.h"

namespace fs = std::filesystem;

namespace wizard {
namespace {

// Resolves "X:\a\b" to <machine>/drives/X/a/b, matching existing components without regard to
// case. Relative paths and paths outside a drive are refused.
bool resolve(const std::string& winPath, fs::path& out)
{
    const char* machine = std::getenv("WINENV_MACHINE");
    if (!machine || !*machine)
        return false;
    if (winPath.size() < 2 || winPath[1] != ':')
        return false;
    char letter = winPath[0];
    if (letter >= 'a' && letter <= 'z')
        letter = static_cast<char>(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z')
        return false;
    std::string rest = winPath.substr(2);
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/')
        return false;
    fs::path p = fs::path(machine) / "drives" / std::string(1, letter);
    for (char& c : rest)
        if (c == '/')
            c = '\\';
    for (const std::string& part : coretext::splitAll(rest, '\\')) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return false;
        std::error_code ec;
        fs::path found;
        if (fs::is_directory(p, ec)) {
            for (const auto& entry : fs::directory_iterator(p, ec)) {
                if (coretext::equalsNoCase(entry.path().filename().string(), part)) {
                    found = entry.path();
                    break;
                }
            }
        }
        p = found.empty() ? p / part : found;
    }
    out = p;
    return true;
}

class MachineFolderFiles : public CoreFiles {
public:
    bool fileExists(const std::string& path) override
    {
        fs::path p;
        std::error_code ec;
        return resolve(path, p) && fs::is_regular_file(p, ec);
    }
    bool readFile(const std::string& path, std::string& bytes) override
    {
        fs::path p;
        std::error_code ec;
        if (!resolve(path, p) || !fs::is_regular_file(p, ec))
            return false;
        std::ifstream in(p, std::ios::binary);
        if (!in)
            return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !in.bad();
    }
    bool writeFile(const std::string& path, const std::string& bytes) override
    {
        fs::path p;
        if (!resolve(path, p))
            return false;
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    bool appendFile(const std::string& path, const std::string& bytes) override
    {
        fs::path p;
        if (!resolve(path, p))
            return false;
        std::ofstream out(p, std::ios::binary | std::ios::app);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(out);
    }
    bool readAt(const std::string& path, std::uint64_t offset, std::size_t size, std::string& bytes) override
    {
        fs::path p;
        std::error_code ec;
        if (!resolve(path, p) || !fs::is_regular_file(p, ec))
            return false;
        std::ifstream in(p, std::ios::binary);
        if (!in)
            return false;
        bytes.assign(size, '\0');
        in.seekg(static_cast<std::streamoff>(offset));
        in.read(bytes.data(), static_cast<std::streamsize>(size));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
        return true;
    }
    bool writeAt(const std::string& path, std::uint64_t offset, const std::string& bytes) override
    {
        fs::path p;
        std::error_code ec;
        if (!resolve(path, p))
            return false;
        if (!fs::exists(p, ec)) {
            std::ofstream create(p, std::ios::binary);
            if (!create)
                return false;
        }
        std::fstream io(p, std::ios::binary | std::ios::in | std::ios::out);
        if (!io)
            return false;
        io.seekp(static_cast<std::streamoff>(offset));
        io.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return static_cast<bool>(io);
    }
    bool removeFile(const std::string& path) override
    {
        fs::path p;
        std::error_code ec;
        return resolve(path, p) && fs::is_regular_file(p, ec) && fs::remove(p, ec);
    }
};

} // namespace

CoreFiles& machineFiles()
{
    static MachineFolderFiles files;
    return files;
}

} // namespace wizard
