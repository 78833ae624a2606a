// TransferText.cpp: text and path helpers of the transfer primitives.
#include "wizard/transfer/TransferText.h"

namespace wizard {
namespace {

bool isDriveAbsolute(std::string_view p)
{
    return p.size() >= 2 && p[1] == ':' && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z'));
}

bool isUnc(std::string_view p) { return p.size() > 2 && p[0] == '\\' && p[1] == '\\'; }

} // namespace

bool rewriteText(std::string& text, std::string_view search, std::string_view replacement, CaseMode mode)
{
    if (search.empty() || replacement.empty())
        return false;
    text = replaceAll(text, search, replacement, mode);
    return true;
}

bool isMirrorKey(std::string_view key)
{
    return key.size() >= kMirrorPrefix.size() &&
        upperAscii(key.substr(0, kMirrorPrefix.size())) == kMirrorPrefix;
}

std::string realKeyOf(std::string_view key) { return trim(replaceAll(key, kMirrorPrefix, "")); }

std::optional<platform::RegRoot> scriptRootOf(std::string_view hiveName)
{
    const auto root = platform::parseRegRoot(hiveName);
    if (!root || upperAscii(hiveName) != platform::regRootName(*root))
        return std::nullopt; // a short name ("HKLM") is not one the scripts write
    switch (*root) {
    case platform::RegRoot::ClassesRoot:
    case platform::RegRoot::CurrentUser:
    case platform::RegRoot::LocalMachine: return root;
    default: return std::nullopt;
    }
}

bool endsWithNoCase(std::string_view text, std::string_view ending)
{
    return text.size() >= ending.size() &&
        upperAnsi(text.substr(text.size() - ending.size())) == upperAnsi(ending);
}

bool containsNoCase(std::string_view text, std::string_view part)
{
    return upperAnsi(text).find(upperAnsi(part)) != std::string::npos;
}

std::string namePartOf(std::string_view path)
{
    const size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash));
}

std::string folderOf(std::string_view path)
{
    const size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(0, slash));
}

std::string fileNameOf(std::string_view path)
{
    const size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string translateDrive(std::string_view path, std::string_view localDrive)
{
    if (path.size() < 2)
        return std::string(path);
    return replaceAll(path, path.substr(0, 2), localDrive);
}

bool isRootPath(std::string_view p)
{
    while (!p.empty() && p.back() == '\\' && !(p.size() == 2 && isUnc(p)))
        p.remove_suffix(1);
    if (isDriveAbsolute(p))
        return p.size() == 2;
    if (isUnc(p)) {
        // \\PC or \\PC\SHARE: no folder below the share.
        const size_t first = p.find('\\', 2);
        if (first == std::string_view::npos)
            return true;
        return p.find('\\', first + 1) == std::string_view::npos;
    }
    return p.empty();
}

std::optional<std::string> folderToEmpty(std::string_view path)
{
    std::string_view p = path;
    if (p.size() >= 3 && p.substr(p.size() - 3) == "*.*")
        p.remove_suffix(3);
    if (!p.empty() && p.back() == '\\')
        p.remove_suffix(1);
    if (!(isDriveAbsolute(p) || isUnc(p)) || isRootPath(p))
        return std::nullopt;
    return std::string(p);
}

bool expandPathTokens(std::string& path, const TokenFolders& folders, bool& unresolved)
{
    const std::string systemDrive = folders.winDir.size() >= 2 ? folders.winDir.substr(0, 2) : std::string();
    const std::string appData =
        folders.userProfile.empty() ? std::string() : folders.userProfile + "\\Application Data";
    const std::pair<std::string_view, const std::string*> tokens[] = {
        {"%windir%", &folders.winDir},
        {"%SystemRoot%", &folders.winDir},
        {"%USERPROFILE%", &folders.userProfile},
        {"%SystemDrive%", &systemDrive},
        {"%APPDATA%", &appData},
    };
    bool expanded = false;
    unresolved = false;
    for (const auto& [token, value] : tokens) {
        if (path.find(token) == std::string::npos)
            continue;
        if (value->empty())
            unresolved = true;
        path = replaceAll(path, token, *value);
        expanded = true;
    }
    return expanded;
}

} // namespace wizard
