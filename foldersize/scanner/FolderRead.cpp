// FolderRead.cpp: the kernel file systems that scans pass over.
#include "foldersize/scanner/FolderRead.h"

#include <linux/magic.h>
#include <sys/vfs.h>

namespace foldersize {

bool isPseudoFileSystem(int fd)
{
    struct statfs sfs {};
    if (::fstatfs(fd, &sfs) != 0)
        return false;
    switch (static_cast<unsigned long>(sfs.f_type)) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case 0x19800202: // mqueue
    case BINFMTFS_MAGIC:
    case EFIVARFS_MAGIC:
    case SELINUX_MAGIC:
    case NSFS_MAGIC:
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
        return true;
    default: return false;
    }
}

} // namespace foldersize
