// WinError.cpp: symbolic names of the Win32-style result codes.
#include "platform/WinError.h"

namespace platform {

std::string_view winErrorName(WinError e)
{
    switch (e) {
    case WinError::Success: return "ERROR_SUCCESS";
    case WinError::InvalidFunction: return "ERROR_INVALID_FUNCTION";
    case WinError::FileNotFound: return "ERROR_FILE_NOT_FOUND";
    case WinError::PathNotFound: return "ERROR_PATH_NOT_FOUND";
    case WinError::TooManyOpenFiles: return "ERROR_TOO_MANY_OPEN_FILES";
    case WinError::AccessDenied: return "ERROR_ACCESS_DENIED";
    case WinError::InvalidHandle: return "ERROR_INVALID_HANDLE";
    case WinError::NotEnoughMemory: return "ERROR_NOT_ENOUGH_MEMORY";
    case WinError::BadFormat: return "ERROR_BAD_FORMAT";
    case WinError::InvalidData: return "ERROR_INVALID_DATA";
    case WinError::OutOfMemory: return "ERROR_OUTOFMEMORY";
    case WinError::InvalidDrive: return "ERROR_INVALID_DRIVE";
    case WinError::CurrentDirectory: return "ERROR_CURRENT_DIRECTORY";
    case WinError::NotSameDevice: return "ERROR_NOT_SAME_DEVICE";
    case WinError::NoMoreFiles: return "ERROR_NO_MORE_FILES";
    case WinError::WriteProtect: return "ERROR_WRITE_PROTECT";
    case WinError::NotReady: return "ERROR_NOT_READY";
    case WinError::WriteFault: return "ERROR_WRITE_FAULT";
    case WinError::ReadFault: return "ERROR_READ_FAULT";
    case WinError::GenFailure: return "ERROR_GEN_FAILURE";
    case WinError::SharingViolation: return "ERROR_SHARING_VIOLATION";
    case WinError::LockViolation: return "ERROR_LOCK_VIOLATION";
    case WinError::HandleEof: return "ERROR_HANDLE_EOF";
    case WinError::NotSupported: return "ERROR_NOT_SUPPORTED";
    case WinError::RemNotList: return "ERROR_REM_NOT_LIST";
    case WinError::DupName: return "ERROR_DUP_NAME";
    case WinError::BadNetPath: return "ERROR_BAD_NETPATH";
    case WinError::NetworkBusy: return "ERROR_NETWORK_BUSY";
    case WinError::DevNotExist: return "ERROR_DEV_NOT_EXIST";
    case WinError::BadNetResp: return "ERROR_BAD_NET_RESP";
    case WinError::UnexpNetErr: return "ERROR_UNEXP_NET_ERR";
    case WinError::NetNameDeleted: return "ERROR_NETNAME_DELETED";
    case WinError::NetworkAccessDenied: return "ERROR_NETWORK_ACCESS_DENIED";
    case WinError::BadDevType: return "ERROR_BAD_DEV_TYPE";
    case WinError::BadNetName: return "ERROR_BAD_NET_NAME";
    case WinError::FileExists: return "ERROR_FILE_EXISTS";
    case WinError::CannotMake: return "ERROR_CANNOT_MAKE";
    case WinError::AlreadyAssigned: return "ERROR_ALREADY_ASSIGNED";
    case WinError::InvalidPassword: return "ERROR_INVALID_PASSWORD";
    case WinError::InvalidParameter: return "ERROR_INVALID_PARAMETER";
    case WinError::BrokenPipe: return "ERROR_BROKEN_PIPE";
    case WinError::DiskFull: return "ERROR_DISK_FULL";
    case WinError::CallNotImplemented: return "ERROR_CALL_NOT_IMPLEMENTED";
    case WinError::InsufficientBuffer: return "ERROR_INSUFFICIENT_BUFFER";
    case WinError::InvalidName: return "ERROR_INVALID_NAME";
    case WinError::DirNotEmpty: return "ERROR_DIR_NOT_EMPTY";
    case WinError::BadPathname: return "ERROR_BAD_PATHNAME";
    case WinError::Busy: return "ERROR_BUSY";
    case WinError::AlreadyExists: return "ERROR_ALREADY_EXISTS";
    case WinError::BadExeFormat: return "ERROR_BAD_EXE_FORMAT";
    case WinError::FilenameExcedRange: return "ERROR_FILENAME_EXCED_RANGE";
    case WinError::MoreData: return "ERROR_MORE_DATA";
    case WinError::NoMoreItems: return "ERROR_NO_MORE_ITEMS";
    case WinError::Directory: return "ERROR_DIRECTORY";
    case WinError::BadDb: return "ERROR_BADDB";
    case WinError::BadKey: return "ERROR_BADKEY";
    case WinError::CantOpen: return "ERROR_CANTOPEN";
    case WinError::CantRead: return "ERROR_CANTREAD";
    case WinError::CantWrite: return "ERROR_CANTWRITE";
    case WinError::RegistryCorrupt: return "ERROR_REGISTRY_CORRUPT";
    case WinError::RegistryIoFailed: return "ERROR_REGISTRY_IO_FAILED";
    case WinError::KeyDeleted: return "ERROR_KEY_DELETED";
    case WinError::BadDevice: return "ERROR_BAD_DEVICE";
    case WinError::ConnectionUnavail: return "ERROR_CONNECTION_UNAVAIL";
    case WinError::DeviceAlreadyRemembered: return "ERROR_DEVICE_ALREADY_REMEMBERED";
    case WinError::NoNetOrBadPath: return "ERROR_NO_NET_OR_BAD_PATH";
    case WinError::BadProvider: return "ERROR_BAD_PROVIDER";
    case WinError::CannotOpenProfile: return "ERROR_CANNOT_OPEN_PROFILE";
    case WinError::BadProfile: return "ERROR_BAD_PROFILE";
    case WinError::ExtendedError: return "ERROR_EXTENDED_ERROR";
    case WinError::SessionCredentialConflict: return "ERROR_SESSION_CREDENTIAL_CONFLICT";
    case WinError::NoNetwork: return "ERROR_NO_NETWORK";
    case WinError::Cancelled: return "ERROR_CANCELLED";
    case WinError::NoSuchPrivilege: return "ERROR_NO_SUCH_PRIVILEGE";
    case WinError::PrivilegeNotHeld: return "ERROR_PRIVILEGE_NOT_HELD";
    case WinError::LogonFailure: return "ERROR_LOGON_FAILURE";
    case WinError::NotConnected: return "ERROR_NOT_CONNECTED";
    case WinError::OpenFiles: return "ERROR_OPEN_FILES";
    case WinError::DeviceInUse: return "ERROR_DEVICE_IN_USE";
    }
    return "ERROR_UNKNOWN";
}

} // namespace platform
