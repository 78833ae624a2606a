// ShellOpen.cpp: the shell service's headless default and the URL test.
#include "platform/ShellOpen.h"

#include <cctype>

namespace platform {
namespace {

class FallbackShellService : public ShellService {
public:
    int open(const std::string&, const std::string&) override { return kShellNoAssociation; }
};

bool startsWithNoCase(const std::string& text, const std::string& prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    }
    return true;
}

} // namespace

bool isUrlTarget(const std::string& target)
{
    for (const char* scheme : {"http:", "https:", "ftp:", "mailto:", "www."}) {
        if (startsWithNoCase(target, scheme))
            return true;
    }
    return false;
}

} // namespace platform

template <> platform::ShellService& common::Service<platform::ShellService>::fallback()
{
    static platform::FallbackShellService fallback;
    return fallback;
}
