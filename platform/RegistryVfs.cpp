// RegistryVfs.cpp: SQLite's default file layer wrapped, so that a test's injected host faults reach
// the registry database's reads, writes, truncations and flushes as SQLite's own I/O errors.
#include "platform/RegistryVfs.h"

#include "common/HostCalls.h"

#include <sqlite3.h>

#include <cerrno>
#include <mutex>

namespace platform {
namespace {

using common::hostcalls::Call;
using common::hostcalls::injectedFault;

// One open file: our methods in front, SQLite's own file right behind it in the same allocation.
struct ShimFile {
    sqlite3_file base;
    sqlite3_file* real;
};

sqlite3_vfs* realVfs(sqlite3_vfs* vfs) { return static_cast<sqlite3_vfs*>(vfs->pAppData); }
sqlite3_file* real(sqlite3_file* f) { return reinterpret_cast<ShimFile*>(f)->real; }

// SQLite's answer to an injected fault: a full disk for ENOSPC, else the I/O error of the call.
int faulted(int error, int ioError) { return error == ENOSPC ? SQLITE_FULL : ioError; }

int shimClose(sqlite3_file* f) { return real(f)->pMethods->xClose(real(f)); }
int shimRead(sqlite3_file* f, void* out, int amount, sqlite3_int64 offset)
{
    if (const int e = injectedFault(Call::Read))
        return faulted(e, SQLITE_IOERR_READ);
    return real(f)->pMethods->xRead(real(f), out, amount, offset);
}
int shimWrite(sqlite3_file* f, const void* in, int amount, sqlite3_int64 offset)
{
    if (const int e = injectedFault(Call::Write))
        return faulted(e, SQLITE_IOERR_WRITE);
    return real(f)->pMethods->xWrite(real(f), in, amount, offset);
}
int shimTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (const int e = injectedFault(Call::Write))
        return faulted(e, SQLITE_IOERR_TRUNCATE);
    return real(f)->pMethods->xTruncate(real(f), size);
}
int shimSync(sqlite3_file* f, int flags)
{
    if (const int e = injectedFault(Call::Sync))
        return faulted(e, SQLITE_IOERR_FSYNC);
    return real(f)->pMethods->xSync(real(f), flags);
}
int shimFileSize(sqlite3_file* f, sqlite3_int64* size) { return real(f)->pMethods->xFileSize(real(f), size); }
int shimLock(sqlite3_file* f, int level) { return real(f)->pMethods->xLock(real(f), level); }
int shimUnlock(sqlite3_file* f, int level) { return real(f)->pMethods->xUnlock(real(f), level); }
int shimCheckReservedLock(sqlite3_file* f, int* out)
{
    return real(f)->pMethods->xCheckReservedLock(real(f), out);
}
int shimFileControl(sqlite3_file* f, int op, void* arg)
{
    return real(f)->pMethods->xFileControl(real(f), op, arg);
}
int shimSectorSize(sqlite3_file* f) { return real(f)->pMethods->xSectorSize(real(f)); }
int shimDeviceCharacteristics(sqlite3_file* f) { return real(f)->pMethods->xDeviceCharacteristics(real(f)); }
int shimShmMap(sqlite3_file* f, int page, int size, int extend, void volatile** out)
{
    return real(f)->pMethods->xShmMap(real(f), page, size, extend, out);
}
int shimShmLock(sqlite3_file* f, int offset, int n, int flags)
{
    return real(f)->pMethods->xShmLock(real(f), offset, n, flags);
}
void shimShmBarrier(sqlite3_file* f) { real(f)->pMethods->xShmBarrier(real(f)); }
int shimShmUnmap(sqlite3_file* f, int deleteFlag)
{
    return real(f)->pMethods->xShmUnmap(real(f), deleteFlag);
}
int shimFetch(sqlite3_file* f, sqlite3_int64 offset, int amount, void** out)
{
    return real(f)->pMethods->xFetch(real(f), offset, amount, out);
}
int shimUnfetch(sqlite3_file* f, sqlite3_int64 offset, void* p)
{
    return real(f)->pMethods->xUnfetch(real(f), offset, p);
}

const sqlite3_io_methods kMethods = {3, shimClose, shimRead, shimWrite, shimTruncate, shimSync, shimFileSize,
    shimLock, shimUnlock, shimCheckReservedLock, shimFileControl, shimSectorSize, shimDeviceCharacteristics,
    shimShmMap, shimShmLock, shimShmBarrier, shimShmUnmap, shimFetch, shimUnfetch};
// For a file whose own methods are of the first version (no shared memory, no mapping).
const sqlite3_io_methods kMethodsV1 = {1, shimClose, shimRead, shimWrite, shimTruncate, shimSync,
    shimFileSize, shimLock, shimUnlock, shimCheckReservedLock, shimFileControl, shimSectorSize,
    shimDeviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};

int shimOpen(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* shim = reinterpret_cast<ShimFile*>(f);
    shim->real = reinterpret_cast<sqlite3_file*>(shim + 1);
    shim->base.pMethods = nullptr;
    const int rc = realVfs(vfs)->xOpen(realVfs(vfs), name, shim->real, flags, outFlags);
    // Ours only where SQLite's file has methods (it is then closed through them), of its version.
    if (shim->real->pMethods)
        shim->base.pMethods = shim->real->pMethods->iVersion >= 3 ? &kMethods : &kMethodsV1;
    return rc;
}

sqlite3_vfs g_vfs{};

} // namespace

const char* registryVfsName()
{
    static std::once_flag once;
    static bool registered = false;
    std::call_once(once, [] {
        sqlite3_vfs* base = sqlite3_vfs_find(nullptr);
        if (!base || base->iVersion < 1)
            return;
        g_vfs = *base; // the base's own calls for everything but opening a file
        g_vfs.szOsFile = static_cast<int>(sizeof(ShimFile)) + base->szOsFile;
        g_vfs.zName = "kestro-hostcalls";
        g_vfs.pNext = nullptr;
        g_vfs.pAppData = base;
        g_vfs.xOpen = shimOpen;
        registered = sqlite3_vfs_register(&g_vfs, 0) == SQLITE_OK;
    });
    return registered ? g_vfs.zName : nullptr;
}

} // namespace platform
