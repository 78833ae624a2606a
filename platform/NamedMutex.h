// NamedMutex.h: a named mutex of the machine the program runs on, as CreateMutex gives one: the
// first holder owns it, later ones learn that it already exists; it goes when its holder ends.
#pragma once

#include <filesystem>
#include <string>

namespace platform {

class NamedMutex {
public:
    NamedMutex() = default;
    NamedMutex(NamedMutex&& other) noexcept;
    NamedMutex& operator=(NamedMutex&& other) noexcept;
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    ~NamedMutex();

    // Creates or opens the mutex `name` of the machine whose folder is `machineFolder`.
    // owned() tells whether this call created it (no other holder, in this process or another);
    // alreadyExists() that another holder has it. Both false when it could not be created at all
    // (the folder cannot be written). A holder that ends, even by a crash, releases it.
    static NamedMutex create(const std::filesystem::path& machineFolder, const std::string& name);

    bool owned() const { return m_fd >= 0; }
    bool alreadyExists() const { return m_exists; }
    void release();

private:
    int m_fd = -1;
    bool m_exists = false;
};

} // namespace platform
