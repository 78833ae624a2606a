// MassDestinationCheck.cpp: machine snapshots, the expected destination of a mass migration and
// their comparison.
#include "tests/wizard/integration/MassDestinationCheck.h"

#include "platform/Machine.h"
#include "platform/MachineConfig.h"

#include <fstream>
#include <sstream>

namespace masscheck {
namespace {

namespace fs = std::filesystem;

std::uint64_t fnv1a(const std::string& bytes)
{
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char ch : bytes) {
        h ^= ch;
        h *= 1099511628211ull;
    }
    return h;
}

void snapshotDrive(const fs::path& driveFolder, char letter, Snapshot& out)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(driveFolder, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::string relative = fs::relative(it->path(), driveFolder).string();
        std::string windows = std::string(1, letter) + ":\\" + relative;
        for (char& ch : windows)
            if (ch == '/')
                ch = '\\';
        // Host links and special files (a hostile source's pipes) are no part of a drive: the
        // copy never takes them, and reading a pipe here would wait for ever.
        const fs::file_status st = it->symlink_status(ec);
        if (fs::is_symlink(st) || (!fs::is_directory(st) && !fs::is_regular_file(st))) {
            ec.clear();
            continue;
        }
        if (fs::is_directory(st)) {
            out.folders[upper(windows)] = windows;
            continue;
        }
        // The attribute sidecars are the file layer's bookkeeping; its partial files must not stay.
        if (name.rfind(":partial", 0) == 0)
            out.partialFiles.push_back(windows);
        if (name.find(':') != std::string::npos)
            continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string data = bytes.str();
        out.files[upper(windows)] = FileState{windows, data.size(), fnv1a(data)};
    }
}

void snapshotKey(platform::Registry& reg, const platform::RegKey& key, const std::string& path, Keys& out)
{
    KeyState& state = out[upper(path)];
    state.path = path;
    std::vector<platform::RegValue> values;
    reg.listValues(key, values);
    for (const platform::RegValue& v : values)
        state.values[upper(v.name)] = ValueState{v.name, v.type, v.data};
    std::vector<platform::RegSubKey> subKeys;
    reg.listSubKeys(key, subKeys);
    for (const platform::RegSubKey& s : subKeys)
        snapshotKey(reg, s.key, path + "\\" + s.name, out);
}

// True when `path` is `prefix` or lies below it (both upper-cased).
bool within(const std::string& path, const std::string& prefix)
{
    return path.size() >= prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
        (path.size() == prefix.size() || path[prefix.size()] == '\\' || prefix.back() == '\\');
}

std::vector<std::string> components(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char ch : path) {
        if (ch == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += ch;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::string withSeparator(std::string path)
{
    if (path.empty() || path.back() != '\\')
        path += '\\';
    return path;
}

// Replaces `pattern` where a path component ends after it (a separator or the text's end).
std::string replaceComponent(const std::string& text, const std::string& pattern, const std::string& by)
{
    if (pattern.empty() || pattern == by)
        return text;
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(pattern); at != std::string::npos; at = text.find(pattern, at)) {
        const std::size_t end = at + pattern.size();
        if (end < text.size() && text[end] != '\\') {
            ++at;
            continue;
        }
        out += text.substr(from, at - from) + by;
        from = at = end;
    }
    return out + text.substr(from);
}

// A path's last component as written: names keep their spelling where they are not renamed.
std::string leafOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

std::string describe(const ValueState& v)
{
    std::string data = platform::regDataText(v.data);
    if (v.type != platform::RegType::Sz && v.type != platform::RegType::ExpandSz)
        data = std::to_string(v.data.size()) + " bytes";
    return "type " + std::to_string(static_cast<int>(v.type)) + " \"" + data + "\"";
}

void compareKey(const std::string& path, const KeyState* want, const KeyState* have, Differences& d)
{
    if (!have) {
        d.lines.push_back("key missing: " + want->path);
        return;
    }
    if (!want) {
        d.lines.push_back("key unexplained: " + have->path);
        return;
    }
    for (const auto& [name, value] : want->values) {
        ++d.valuesCompared;
        const auto found = have->values.find(name);
        if (found == have->values.end())
            d.lines.push_back("value missing: " + path + " \"" + value.name + "\"");
        else if (!(found->second == value))
            d.lines.push_back("value differs: " + path + " \"" + value.name + "\": want " + describe(value) +
                ", have " + describe(found->second));
    }
    for (const auto& [name, value] : have->values)
        if (!want->values.count(name))
            d.lines.push_back("value unexplained: " + path + " \"" + value.name + "\" = " + describe(value));
}

} // namespace

std::string upper(std::string text)
{
    for (char& ch : text)
        if (ch >= 'a' && ch <= 'z')
            ch = static_cast<char>(ch - 'a' + 'A');
    return text;
}

void disconnectDrives(Snapshot& destination, const std::vector<char>& letters)
{
    for (char letter : letters)
        destination.keys.erase(upper("HKEY_CURRENT_USER\\Network\\" + std::string(1, letter)));
}

Snapshot snapshotMachine(const fs::path& machineFolder)
{
    Snapshot out;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        const fs::path drive = platform::driveFolder(machineFolder, letter);
        std::error_code ec;
        if (fs::is_directory(drive, ec))
            snapshotDrive(drive, letter, out);
    }
    platform::Registry reg;
    if (reg.open(machineFolder / platform::Machine::kRegistryFileName,
            platform::Registry::OpenMode::OpenExisting) != platform::WinError::Success)
        return out;
    // HKEY_CLASSES_ROOT is a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes and comes with it.
    for (platform::RegRoot root : {platform::RegRoot::LocalMachine, platform::RegRoot::CurrentUser,
             platform::RegRoot::Users, platform::RegRoot::CurrentConfig})
        snapshotKey(reg, platform::RegKey(root), std::string(platform::regRootName(root)), out.keys);
    return out;
}

std::string textValue(const Keys& keys, const std::string& key, const std::string& name)
{
    const auto k = keys.find(upper(key));
    if (k == keys.end())
        return {};
    const auto v = k->second.values.find(upper(name));
    return v == k->second.values.end() ? std::string() : platform::regDataText(v->second.data);
}

std::optional<std::string> treeTarget(
    const std::string& relative, const std::string& to, const TreeRules& rules)
{
    std::vector<std::string> parts = components(relative);
    if (parts.empty())
        return std::nullopt;
    const std::string file = upper(parts.back());
    if (file == "PAGEFILE.SYS" || file == "FOLDER.HTT" || file == "DESKTOP.INI" || file == "HIBERFIL.SYS")
        return std::nullopt;
    const std::string windows = upper(rules.sourceWindows);
    const bool inWindows =
        rules.driveRoot && !windows.empty() && parts.size() > 1 && upper(parts[0]) == windows;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        const std::string name = upper(parts[i]);
        if (name == "SYSTEM VOLUME INFORMATION")
            return std::nullopt;
        if (i == 1 && inWindows && rules.keepDestSystem && (name == "SYSTEM" || name == "SYSTEM32"))
            return std::nullopt;
        if (i == 1 && inWindows && rules.systemToSystem32 && name == "SYSTEM")
            parts[i] = "System32";
    }
    if (inWindows && !rules.destWindows.empty())
        parts[0] = rules.destWindows;
    std::string target = withSeparator(to);
    for (std::size_t i = 0; i < parts.size(); ++i)
        target += (i ? "\\" : "") + parts[i];
    return target;
}

std::optional<std::string> treeFolderTarget(
    const std::string& relative, const std::string& to, const TreeRules& rules)
{
    const auto inside = treeTarget(relative + "\\-", to, rules);
    if (!inside)
        return std::nullopt;
    return inside->substr(0, inside->size() - 2);
}

std::string TextRewrite::apply(const std::string& text) const
{
    if (sourceRoot.empty() || destRoot.empty())
        return text;
    std::string out = replaceComponent(text, sourceRoot, destRoot);
    if (systemToSystem32)
        out = replaceComponent(out, destRoot + "\\SYSTEM", destRoot + "\\SYSTEM32");
    return out;
}

Expectation::Expectation(const Snapshot& destinationBefore, const Snapshot& source)
    : files(destinationBefore.files)
    , folders(destinationBefore.folders)
    , keys(destinationBefore.keys)
    , m_source(source)
{}

void Expectation::put(const std::string& target, const FileState& state, bool overwrite)
{
    const std::string key = upper(target);
    if (inKeptFolder(target))
        return;
    auto found = files.find(key);
    if (found != files.end() && !overwrite)
        return;
    FileState copy = state;
    copy.path = found != files.end() ? found->second.path : target;
    files[key] = copy;
    addFolder(target.substr(0, target.rfind('\\')));
}

void Expectation::addFolder(const std::string& folder)
{
    for (std::string f = folder; f.size() > 3; f = f.substr(0, f.rfind('\\')))
        folders.emplace(upper(f), f);
}

void Expectation::copyFolders(
    const Folders& tree, const std::string& from, const std::string& to, const TreeRules& rules)
{
    const std::string prefix = withSeparator(upper(from));
    if (from.size() > 3 && !tree.count(upper(from)))
        return; // nothing is made for a folder the source lacks
    addFolder(to);
    std::vector<std::string> made;
    for (const auto& [path, stored] : tree)
        if (path.rfind(prefix, 0) == 0)
            if (const auto target = treeFolderTarget(stored.substr(prefix.size()), to, rules))
                made.push_back(*target);
    for (const std::string& folder : made)
        if (!inKeptFolder(folder))
            addFolder(folder);
}

bool Expectation::inKeptFolder(const std::string& path) const
{
    if (keptFolder.empty())
        return false;
    // The destination's hives and its drive roots' start-up files are its own too.
    const std::string p = upper(path);
    const std::string leaf = p.substr(p.rfind('\\') + 1);
    const bool atRoot = p.find('\\') == 2 && p.rfind('\\') == 2;
    return p.rfind(withSeparator(upper(keptFolder)), 0) == 0 || leaf == "NTUSER.DAT" ||
        leaf == "USRCLASS.DAT" || (atRoot && (leaf == "BOOT.INI" || leaf == "IO.SYS" || leaf == "MSDOS.SYS"));
}

void Expectation::copyTree(
    const std::string& from, const std::string& to, bool overwrite, const TreeRules& rules)
{
    copyFolders(m_source.folders, from, to, rules);
    const std::string prefix = withSeparator(upper(from));
    for (const auto& [path, state] : m_source.files) {
        if (path.rfind(prefix, 0) != 0)
            continue;
        if (const auto target = treeTarget(state.path.substr(prefix.size()), to, rules))
            put(*target, state, overwrite);
    }
}

void Expectation::copyOwnTree(const std::string& from, const std::string& to, bool overwrite)
{
    const Folders own = folders;
    copyFolders(own, from, to, TreeRules{});
    const std::string prefix = withSeparator(upper(from));
    std::vector<std::pair<std::string, FileState>> copies;
    for (const auto& [path, state] : files)
        if (path.rfind(prefix, 0) == 0)
            if (const auto target = treeTarget(state.path.substr(prefix.size()), to, TreeRules{}))
                copies.emplace_back(*target, state);
    for (const auto& [target, state] : copies)
        put(target, state, overwrite);
}

void Expectation::copyFile(const std::string& from, const std::string& to, bool overwrite)
{
    const auto found = m_source.files.find(upper(from));
    if (found != m_source.files.end())
        put(to, found->second, overwrite);
}

void Expectation::removeFiles(const std::string& prefix)
{
    const std::string p = upper(prefix);
    for (auto it = files.begin(); it != files.end();)
        it = it->first.rfind(p, 0) == 0 ? files.erase(it) : std::next(it);
}

void Expectation::removeFolder(const std::string& folder)
{
    const std::string p = upper(folder);
    removeFiles(withSeparator(p));
    for (auto it = folders.begin(); it != folders.end();)
        it = within(it->first, p) ? folders.erase(it) : std::next(it);
}

void Expectation::mergeKeys(const Keys& from, const std::string& fromPrefix, const std::string& toPrefix,
    const TextRewrite& rewrite, const std::function<std::string(const std::string&)>& renameKey)
{
    const std::string prefix = upper(fromPrefix);
    for (const auto& [path, state] : from) {
        if (!within(path, prefix))
            continue;
        std::string target = toPrefix + state.path.substr(prefix.size());
        if (renameKey)
            target = renameKey(target);
        KeyState& key = keys[upper(target)];
        if (key.path.empty())
            key.path = target;
        for (const auto& [name, value] : state.values) {
            ValueState v = value;
            v.name = rewrite.apply(value.name);
            // Only plain text travels as text through the registry files; other types go as hex.
            if (v.type == platform::RegType::Sz)
                v.data = platform::regStringData(rewrite.apply(platform::regDataText(value.data)));
            key.values[upper(v.name)] = v;
        }
    }
}

void Expectation::removeKeys(const std::string& prefix)
{
    const std::string p = upper(prefix);
    for (auto it = keys.begin(); it != keys.end();)
        it = within(it->first, p) ? keys.erase(it) : std::next(it);
}

Differences compare(const Expectation& expected, const Snapshot& after,
    const std::function<bool(const std::string&)>& excused)
{
    Differences d;
    for (const auto& [path, want] : expected.files) {
        if (excused(path))
            continue;
        ++d.filesCompared;
        const auto have = after.files.find(path);
        if (have == after.files.end())
            d.lines.push_back("file missing: " + want.path);
        else if (!(have->second == want))
            d.lines.push_back("file differs: " + want.path + " (want " + std::to_string(want.size) +
                " bytes, have " + std::to_string(have->second.size) + ")");
        else if (leafOf(have->second.path) != leafOf(want.path))
            d.lines.push_back("file renamed: " + want.path + " is now " + have->second.path);
    }
    for (const auto& [path, have] : after.files)
        if (!excused(path) && !expected.files.count(path))
            d.lines.push_back("file unexplained: " + have.path);
    for (const auto& [path, want] : expected.folders)
        if (!excused(path) && !after.folders.count(path))
            d.lines.push_back("folder missing: " + want);
    for (const auto& [path, have] : after.folders)
        if (!excused(path) && !expected.folders.count(path))
            d.lines.push_back("folder unexplained: " + have);
    for (const auto& [path, want] : expected.keys)
        if (!excused(path)) {
            const auto have = after.keys.find(path);
            compareKey(path, &want, have == after.keys.end() ? nullptr : &have->second, d);
        }
    for (const auto& [path, have] : after.keys)
        if (!excused(path) && !expected.keys.count(path))
            compareKey(path, nullptr, &have, d);
    for (const std::string& partial : after.partialFiles)
        d.lines.push_back("half-written file left: " + partial);
    return d;
}

} // namespace masscheck
