// ShellOpen.cpp: the shell service's headless default and the URL test.
#include "platform/ShellOpen.h"

#include "common/Text.h"

namespace platform {
namespace {

class FallbackShellService : public ShellService {
public:
    int open(const std::string&, const std::string&) override { return kShellNoAssociation; }
};

} // namespace

bool isUrlTarget(const std::string& target)
{
    for (const char* scheme : {"http:", "https:", "ftp:", "mailto:", "www."}) {
        if (common::startsWithNoCaseAscii(target, scheme))
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
