// HeldFolder.h: one folder of a machine resolved once and held open, so that many of its entries
// can be looked at by their stored names without resolving the folder's path again.
#pragma once

#include "platform/FileSystem.h"

#include <string>
#include <string_view>

namespace platform {

class HeldFolder {
public:
    enum class Kind { Missing, File, Folder };

    HeldFolder() = default;
    ~HeldFolder();
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // Resolves the Windows path `folder` on `fileSystem` and opens it (never through a host link);
    // false, with nothing held, when it names no existing folder.
    bool open(const FileSystem& fileSystem, std::string_view folder);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    // What the entry spelled exactly `name` is. Missing also for a host link, for the layer's own
    // files and for a name that is equal to an entry's only without regard to case (the
    // file-system object answers for those), and when nothing is held.
    Kind kindOf(const std::string& name) const;

private:
    int m_fd = -1;
};

} // namespace platform
