// CoreFiles.cpp: the wizard core's file calls on the running machine, through the platform's
// file-system object.
#include "wizard/core/CoreFiles.h"

#include "platform/FileSystem.h"
#include "platform/RandomFile.h"
#include "platform/RunningMachine.h"

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
    static platform::FileSystem* current()
    {
        platform::RunningMachine* machine = platform::RunningMachine::current();
        return machine ? &machine->files() : nullptr;
    }
};

} // namespace

CoreFiles& machineFiles()
{
    static MachineFiles files;
    return files;
}

} // namespace wizard
