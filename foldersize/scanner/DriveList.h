// DriveList.h: the host's mounted file systems as the folder combo's "drives", each with a drive
// type derived from its file-system type. Pseudo and runtime file systems are left out.
#pragma once

#include <string>
#include <vector>

#include <QString>

namespace foldersize {

enum class DriveType { Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct DriveInfo {
    std::string root;   // mount point with a trailing "/"
    std::string fsType; // as the kernel names it ("ext4", "nfs4", "tmpfs", ...)
    std::string device; // mount source ("/dev/sda1", "server:/export", ...)
    DriveType type = DriveType::Fixed;
    QString label;       // volume label, "" when unknown
    bool floppy = false; // a floppy device (/dev/fd*)
};

// Where the lists are read from; tests point these at files of their own.
struct DriveSources {
    std::string mountInfo = "/proc/self/mountinfo";
    std::string sysBlock = "/sys/block";
    std::string byLabel = "/dev/disk/by-label";
};

// Mounted file systems a user keeps files on (isUserFileSystem), in mount-point order; a mount
// point mounted over keeps its last mount.
std::vector<DriveInfo> GetAllDrives(const DriveSources& sources = DriveSources());

// Drive type of a file-system type (and device, for removable media).
DriveType driveTypeOf(
    const std::string& fsType, const std::string& device, const std::string& sysBlock = "/sys/block");

// True for proc, sysfs, cgroup and the other kernel file systems that hold no user data.
bool isPseudoFileSystemType(const std::string& fsType);

// True for a mount a user keeps files on. Pseudo file systems are not, nor is anything mounted
// below /proc, /sys, /dev or /run (runtime and kernel mounts such as /dev/shm, /run/lock,
// /sys/fs/cgroup that measure as nothing), except removable media below /run/media.
bool isUserFileSystem(const std::string& mountPoint, const std::string& fsType);

// Combo picture for a drive: 1 floppy, 6 removable, 3 fixed, 5 network, 4 CD-ROM, 7 RAM disk.
int driveImage(const DriveInfo& d);

// Combo text for a drive: the mount point, then " [label]" when there is a label.
QString driveText(const DriveInfo& d);

// True when text names a mount point of the list (with or without its trailing "/").
bool xExistDrive(const std::string& text, const std::vector<DriveInfo>& drives);

} // namespace foldersize
