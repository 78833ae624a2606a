// WinError.h: Win32-style result codes with their real numeric values, shared by every
// platform service. Expected failures are returned as these values; no exception leaves platform/.
#pragma once

#include <cstdint>
#include <string_view>

namespace platform {

enum class WinError : std::uint32_t {
    Success = 0,                      // ERROR_SUCCESS
    InvalidFunction = 1,              // ERROR_INVALID_FUNCTION
    FileNotFound = 2,                 // ERROR_FILE_NOT_FOUND
    PathNotFound = 3,                 // ERROR_PATH_NOT_FOUND
    TooManyOpenFiles = 4,             // ERROR_TOO_MANY_OPEN_FILES
    AccessDenied = 5,                 // ERROR_ACCESS_DENIED
    InvalidHandle = 6,                // ERROR_INVALID_HANDLE
    NotEnoughMemory = 8,              // ERROR_NOT_ENOUGH_MEMORY
    BadFormat = 11,                   // ERROR_BAD_FORMAT
    InvalidData = 13,                 // ERROR_INVALID_DATA
    OutOfMemory = 14,                 // ERROR_OUTOFMEMORY
    InvalidDrive = 15,                // ERROR_INVALID_DRIVE
    CurrentDirectory = 16,            // ERROR_CURRENT_DIRECTORY
    NotSameDevice = 17,               // ERROR_NOT_SAME_DEVICE
    NoMoreFiles = 18,                 // ERROR_NO_MORE_FILES
    WriteProtect = 19,                // ERROR_WRITE_PROTECT
    NotReady = 21,                    // ERROR_NOT_READY
    WriteFault = 29,                  // ERROR_WRITE_FAULT
    ReadFault = 30,                   // ERROR_READ_FAULT
    GenFailure = 31,                  // ERROR_GEN_FAILURE
    SharingViolation = 32,            // ERROR_SHARING_VIOLATION
    LockViolation = 33,               // ERROR_LOCK_VIOLATION
    HandleEof = 38,                   // ERROR_HANDLE_EOF
    NotSupported = 50,                // ERROR_NOT_SUPPORTED
    RemNotList = 51,                  // ERROR_REM_NOT_LIST
    DupName = 52,                     // ERROR_DUP_NAME
    BadNetPath = 53,                  // ERROR_BAD_NETPATH
    NetworkBusy = 54,                 // ERROR_NETWORK_BUSY
    DevNotExist = 55,                 // ERROR_DEV_NOT_EXIST
    BadNetResp = 58,                  // ERROR_BAD_NET_RESP
    UnexpNetErr = 59,                 // ERROR_UNEXP_NET_ERR
    NetNameDeleted = 64,              // ERROR_NETNAME_DELETED
    NetworkAccessDenied = 65,         // ERROR_NETWORK_ACCESS_DENIED
    BadDevType = 66,                  // ERROR_BAD_DEV_TYPE
    BadNetName = 67,                  // ERROR_BAD_NET_NAME
    FileExists = 80,                  // ERROR_FILE_EXISTS
    CannotMake = 82,                  // ERROR_CANNOT_MAKE
    AlreadyAssigned = 85,             // ERROR_ALREADY_ASSIGNED
    InvalidPassword = 86,             // ERROR_INVALID_PASSWORD
    InvalidParameter = 87,            // ERROR_INVALID_PARAMETER
    BrokenPipe = 109,                 // ERROR_BROKEN_PIPE
    DiskFull = 112,                   // ERROR_DISK_FULL
    CallNotImplemented = 120,         // ERROR_CALL_NOT_IMPLEMENTED
    InsufficientBuffer = 122,         // ERROR_INSUFFICIENT_BUFFER
    InvalidName = 123,                // ERROR_INVALID_NAME
    DirNotEmpty = 145,                // ERROR_DIR_NOT_EMPTY
    BadPathname = 161,                // ERROR_BAD_PATHNAME
    Busy = 170,                       // ERROR_BUSY
    AlreadyExists = 183,              // ERROR_ALREADY_EXISTS
    BadExeFormat = 193,               // ERROR_BAD_EXE_FORMAT
    FilenameExcedRange = 206,         // ERROR_FILENAME_EXCED_RANGE
    MoreData = 234,                   // ERROR_MORE_DATA
    NoMoreItems = 259,                // ERROR_NO_MORE_ITEMS
    Directory = 267,                  // ERROR_DIRECTORY
    BadDb = 1009,                     // ERROR_BADDB
    BadKey = 1010,                    // ERROR_BADKEY
    CantOpen = 1011,                  // ERROR_CANTOPEN
    CantRead = 1012,                  // ERROR_CANTREAD
    CantWrite = 1013,                 // ERROR_CANTWRITE
    RegistryCorrupt = 1015,           // ERROR_REGISTRY_CORRUPT
    RegistryIoFailed = 1016,          // ERROR_REGISTRY_IO_FAILED
    KeyDeleted = 1018,                // ERROR_KEY_DELETED
    BadDevice = 1200,                 // ERROR_BAD_DEVICE
    ConnectionUnavail = 1201,         // ERROR_CONNECTION_UNAVAIL
    DeviceAlreadyRemembered = 1202,   // ERROR_DEVICE_ALREADY_REMEMBERED
    NoNetOrBadPath = 1203,            // ERROR_NO_NET_OR_BAD_PATH
    BadProvider = 1204,               // ERROR_BAD_PROVIDER
    CannotOpenProfile = 1205,         // ERROR_CANNOT_OPEN_PROFILE
    BadProfile = 1206,                // ERROR_BAD_PROFILE
    ExtendedError = 1208,             // ERROR_EXTENDED_ERROR
    SessionCredentialConflict = 1219, // ERROR_SESSION_CREDENTIAL_CONFLICT
    NoNetwork = 1222,                 // ERROR_NO_NETWORK
    Cancelled = 1223,                 // ERROR_CANCELLED
    NoSuchPrivilege = 1313,           // ERROR_NO_SUCH_PRIVILEGE
    PrivilegeNotHeld = 1314,          // ERROR_PRIVILEGE_NOT_HELD
    LogonFailure = 1326,              // ERROR_LOGON_FAILURE
    NotConnected = 2250,              // ERROR_NOT_CONNECTED
    OpenFiles = 2401,                 // ERROR_OPEN_FILES
    DeviceInUse = 2404,               // ERROR_DEVICE_IN_USE
};

// The numeric value, as GetLastError() would give it.
constexpr std::uint32_t winErrorCode(WinError e) { return static_cast<std::uint32_t>(e); }

// The symbolic Win32 name ("ERROR_FILE_NOT_FOUND"); a value not listed above gives "ERROR_UNKNOWN".
std::string_view winErrorName(WinError e);

} // namespace platform
