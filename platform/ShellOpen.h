// ShellOpen.h: the shell's "open" verb for web addresses, mail addresses and files, with a
// recording test double.
#pragma once

#include <string>
#include <vector>

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

// The installed service; without one, a headless fallback opens nothing and answers
// kShellNoAssociation.
ShellService& shellService();
// Installs a service (not owned; nullptr restores the fallback). Returns the previous one.
ShellService* setShellService(ShellService* service);

// True for the targets that go to a browser or mail program rather than to a file.
bool isUrlTarget(const std::string& target);

// Test double: records each request and answers with `result`.
class RecordingShellService : public ShellService {
public:
    struct Request {
        std::string target;
        std::string parameters;
    };
    int open(const std::string& target, const std::string& parameters) override
    {
        m_requests.push_back({target, parameters});
        return result;
    }
    const std::vector<Request>& requests() const { return m_requests; }
    int result = kShellOpened;

private:
    std::vector<Request> m_requests;
};

} // namespace platform
