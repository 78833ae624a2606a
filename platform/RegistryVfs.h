// RegistryVfs.h (internal to platform/): the file layer the registry's SQLite database is opened
// with: SQLite's own, its reads, writes, truncations and flushes made through the host-call seam's
// faults (common/HostCalls.h), so that tests can fail them as they fail the rest of platform/'s
// host calls. Without a test's faults it is SQLite's default layer and changes nothing.
#pragma once

namespace platform {

// The name to pass to sqlite3_open_v2, registered on first use; nullptr (SQLite's default layer)
// when it could not be registered.
const char* registryVfsName();

} // namespace platform
