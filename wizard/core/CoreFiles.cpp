// CoreFiles.cpp: the wizard core's file calls on the machine named by WINENV_MACHINE, through the
// platform's file-system object.
#include "wizard/core/CoreFiles.h"

#include <cstdlib>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/Machine.h"
#include "platform/RandomFile.h"

namespace wizard {
namespace {

class MachineFiles : public CoreFiles {
public:
    bool fileExists(const std::string& path) override
    {
        platform::FileSystem* fs = current();
        return fs && fs->fileExists(path);
    }
    bool readFile(const std::string& path, std::string& bytes) override
    {
        platform::FileSystem* fs = current();
        return fs && fs->readFile(path, bytes) == platform::FsError::None;
    }
    bool writeFile(const std::string& path, const std::string& bytes) override
    {
        platform::FileSystem* fs = current();
        return fs && fs->writeFile(path, bytes) == platform::FsError::None;
    }
    bool appendFile(const std::string& path, const std::string& bytes) override
    {
        platform::FileSystem* fs = current();
        return fs && fs->appendFile(path, bytes) == platform::FsError::None;
    }
    bool readAt(const std::string& path, std::uint64_t offset, std::size_t size, std::string& bytes) override
    {
        platform::FileSystem* fs = current();
        return fs && platform::readFileAt(*fs, path, offset, size, bytes) == platform::FsError::None;
    }
    bool writeAt(const std::string& path, std::uint64_t offset, const std::string& bytes) override
    {
        platform::FileSystem* fs = current();
        return fs && platform::writeFileAt(*fs, path, offset, bytes) == platform::FsError::None;
    }
    bool removeFile(const std::string& path) override
    {
        platform::FileSystem* fs = current();
        return fs && fs->deleteFile(path) == platform::FsError::None;
    }

private:
    // The machine is opened on first use and again whenever WINENV_MACHINE names another one.
    platform::FileSystem* current()
    {
        const char* env = std::getenv(platform::Machine::kEnvironmentVariable);
        const std::string name = env ? env : "";
        if (!m_files || name != m_openedFor) {
            m_files.reset();
            m_openedFor = name;
            platform::Machine machine;
            if (machine.openCurrentOrDefault() == platform::WinError::Success)
                m_files.emplace(machine.fileSystem());
        }
        return m_files ? &*m_files : nullptr;
    }

    std::optional<platform::FileSystem> m_files;
    std::string m_openedFor;
};

} // namespace

CoreFiles& machineFiles()
{
    static MachineFiles files;
    return files;
}

} // namespace wizard
