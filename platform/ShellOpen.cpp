// ShellOpen.cpp: the shell service selection and the URL test.
#include "platform/ShellOpen.h"

#include <cctype>
#include <utility>

namespace platform {
namespace {

class FallbackShellService : public ShellService {
public:
    int open(const std::string&, const std::string&) override { return kShellNoAssociation; }
};

ShellService*& installed()
{
    static ShellService* service = nullptr;
    return service;
}

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

ShellService& shellService()
{
    static FallbackShellService fallback;
    return installed() ? *installed() : static_cast<ShellService&>(fallback);
}

ShellService* setShellService(ShellService* service) { return std::exchange(installed(), service); }

} // namespace platform
