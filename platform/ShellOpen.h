// ShellOpen.h: the shell's "open" verb for web addresses, mail addresses and files.
#pragma once

#include "common/Service.h"

#include <string>

namespace platform {

// Results as the shell gives them: a value above 32 means the target was opened.
inline constexpr int kShellOpened = 42;
inline constexpr int kShellFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr int kShellNoAssociation = 31; // SE_ERR_NOASSOC

// Opens `target` with the shell's "open" verb: "http:", "https:", "ftp:" and "mailto:" targets
// go to the user's browser or mail program; anything else is a Windows path of the running
// machine ("C:\Setup.exe"), started if it is a program and else opened with its viewer.
// `parameters` are handed to a started program.
class ShellService {
public:
    virtual ~ShellService() = default;
    virtual int open(const std::string& target, const std::string& parameters = {}) = 0;
};

// True for the targets that go to a browser or mail program rather than to a file.
bool isUrlTarget(const std::string& target);

} // namespace platform

// Without an installed service, a headless default opens nothing and answers kShellNoAssociation.
template <> platform::ShellService& common::Service<platform::ShellService>::fallback();

namespace platform {

// The installed shell service (common::Service<ShellService> replaces it).
inline ShellService& shellService() { return common::Service<ShellService>::instance(); }

} // namespace platform
