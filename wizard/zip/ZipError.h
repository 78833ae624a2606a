// ZipError.h: how an archive operation of the archive control failed, with a message for the user.
#pragma once

#include "platform/FileSystem.h"

#include <string>

namespace wizard {

enum class ZipFailure {
    None,
    FileError,   // the machine's file system refused (fileError holds the runtime's number)
    Damaged,     // truncated or corrupt archive, or one whose headers disagree
    Unsupported, // an archive the control cannot describe (entries of 2 GB or more, ...)
};

struct ZipError {
    ZipFailure failure = ZipFailure::None;
    platform::FsError fileError = platform::FsError::None;
    std::string message; // names the archive and what is wrong; "" for None

    explicit operator bool() const { return failure != ZipFailure::None; }

    static ZipError file(platform::FsError error, const std::string& path)
    {
        return {ZipFailure::FileError, error, std::string(platform::fsErrorText(error)) + ": " + path};
    }
    static ZipError damaged(const std::string& path, const std::string& why)
    {
        return {
            ZipFailure::Damaged, platform::FsError::None, "The archive \"" + path + "\" is damaged: " + why};
    }
};

} // namespace wizard
