// confinement_fuzz.cpp: arbitrary text as a path a source PC's value names, on the demo network's
// NEWPC (XP, the running machine) with OLDPC (98) mapped at G:. The first byte picks how the path
// starts (this PC's C:, the mapped G:, OLDPC's or NEWPC's share, or the text alone). The
// confinement's verdict on it, as a folder copied whole and as a file written there, must agree
// with where the path resolves on the host: every spelling of a guarded place is refused, and a
// path the text rules let through that resolves anywhere else is not.
#include "platform/PathConfinement.h"
#include "tools/demo-network/DemoNetwork.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kApp = "C:\\Program Files\\Kestro";

struct Network {
    fs::path folder;
    platform::PathResolver resolver;
};

void removeNetwork();

const Network& network()
{
    static const Network n = [] {
        Network made;
        std::string pattern = (fs::temp_directory_path() / "confinement-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        made.folder = pattern;
        std::string error;
        if (!demo::buildSourcePc98(made.folder, error) ||
            !demo::buildDestinationPc(made.folder, demo::DemoOptions{}, error))
            std::abort();
        platform::MachineConfig config;
        if (!platform::loadMachineConfig(made.folder / demo::kDestinationPc, config, error))
            std::abort();
        made.resolver = platform::PathResolver(
            made.folder / demo::kDestinationPc, config, [](char letter) -> std::optional<std::string> {
                if (letter == 'G' || letter == 'g')
                    return std::string("\\\\OLDPC\\C$");
                return std::nullopt;
            });
        std::atexit(removeNetwork);
        return made;
    }();
    return n;
}

void removeNetwork()
{
    std::error_code ec;
    fs::remove_all(network().folder, ec);
}

std::string lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool atOrBelow(const std::string& key, const std::string& folder)
{
    return key == folder || (key.size() > folder.size() && key.rfind(folder + "/", 0) == 0);
}

std::string parentOf(const std::string& key)
{
    return key.substr(0, key.rfind('/') == std::string::npos ? 0 : key.rfind('/'));
}

// Whether a folder copy must refuse the host path `key` (below its machine folder, lower case):
// the drive roots, the Windows folder and its system folders, Program Files itself, the profiles
// folders and each profile's own, the wizard's folder with what is below it.
bool guardedFolder(const std::string& key)
{
    const std::string windows = "drives/c/windows";
    if (key.rfind("drives/", 0) == 0 && key.find('/', 7) == std::string::npos)
        return true;
    if (key == windows || atOrBelow(key, windows + "/system") || atOrBelow(key, windows + "/system32"))
        return true;
    if (key == "drives/c/program files" || atOrBelow(key, "drives/c/program files/kestro"))
        return true;
    for (const std::string& profiles :
        {std::string("drives/c/documents and settings"), windows + "/profiles"})
        if (key == profiles || parentOf(key) == profiles)
            return true;
    return false;
}

// Whether a folder copy a source value steers must refuse `key` as its destination: a guarded
// folder, a profile's Startup folder (a 98 PC's in its Windows folder too), the Tasks folder or what
// is below them, and for an application anything in the Windows folder.
bool steeredGuarded(const std::string& key, bool application)
{
    const std::string windows = "drives/c/windows";
    if (guardedFolder(key) || atOrBelow(key, windows + "/tasks") ||
        (application && key.rfind(windows + "/", 0) == 0))
        return true;
    const std::string startup = "/start menu/programs/startup";
    for (const std::string& profiles :
        {std::string("drives/c/documents and settings"), windows + "/profiles"}) {
        const std::size_t slash =
            key.rfind(profiles + "/", 0) == 0 ? key.find('/', profiles.size() + 1) : std::string::npos;
        if (slash != std::string::npos && atOrBelow(key.substr(slash), startup))
            return true;
    }
    return atOrBelow(key, windows + startup) || atOrBelow(key, windows + "/all users" + startup);
}

// Whether nothing from another PC may be written at `key` on NEWPC: the wizard's folder, a
// profile's hive, a drive root's start-up file.
bool keptFile(const std::string& key)
{
    const std::string leaf = key.substr(key.rfind('/') + 1);
    for (const char* hive : {"ntuser.dat", "ntuser.dat.log", "ntuser.dat.log1", "ntuser.dat.log2",
             "ntuser.man", "usrclass.dat", "usrclass.dat.log", "usrclass.dat.log1", "usrclass.dat.log2"})
        if (leaf == hive)
            return true;
    static constexpr std::array<std::string_view, 8> kRoot = {"boot.ini", "ntldr", "ntdetect.com",
        "bootfont.bin", "io.sys", "msdos.sys", "pagefile.sys", "hiberfil.sys"};
    for (std::string_view name : kRoot)
        if (leaf == name && parentOf(key).rfind("drives/", 0) == 0 &&
            parentOf(key).find('/', 7) == std::string::npos)
            return true;
    return atOrBelow(key, "drives/c/program files/kestro");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::array<std::string_view, 5> kStarts = {
        "C:\\", "G:\\", "\\\\OLDPC\\C$\\", "\\\\NEWPC\\C$\\", ""};
    if (size == 0)
        return 0;
    const std::string path = std::string(kStarts[data[0] % kStarts.size()]) +
        std::string(reinterpret_cast<const char*>(data) + 1, size - 1);
    const Network& n = network();
    const std::string text = platform::pathTextRefusal(path);
    const std::string folder = platform::folderCopyRefusal(n.resolver, path, kApp);
    const std::string kept = platform::keptPlaceRefusal(n.resolver, path, kApp);
    const platform::ResolvedPath r = n.resolver.resolve(path);
    if (!text.empty() && folder != text)
        std::abort();
    if (!r.ok()) {
        if (folder != text || !kept.empty())
            std::abort();
        return 0;
    }
    const std::string key =
        lower(r.host.lexically_normal().lexically_relative(r.machineFolder).generic_string());
    const bool onNewPc = r.machineFolder == n.folder / demo::kDestinationPc;
    if (text.empty() && guardedFolder(key) != !folder.empty())
        std::abort();
    for (const bool application : {true, false}) {
        const auto kind =
            application ? platform::SteeredFolder::Application : platform::SteeredFolder::Profile;
        if (text.empty() &&
            steeredGuarded(key, application) !=
                !platform::steeredFolderRefusal(n.resolver, path, kind, kApp).empty())
            std::abort();
    }
    if (onNewPc && keptFile(key) != !kept.empty())
        std::abort();
    // A file written there: refused whenever nothing may be written there.
    if (onNewPc && keptFile(key) &&
        platform::fileWriteRefusal(n.resolver, path, platform::SteeredFile::Wallpaper, kApp).empty())
        std::abort();
    return 0;
}
