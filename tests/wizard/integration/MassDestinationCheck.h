// MassDestinationCheck.h: what a destination PC must hold after a mass migration, computed from the
// source PC, the destination before the run and the mass steps' copying and rewriting rules, and the
// comparison with what it holds afterwards, file by file and value by value.
#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace masscheck {

// One file: its Windows path as stored, size and a hash of its bytes.
struct FileState {
    std::string path;
    std::uint64_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const FileState& o) const { return size == o.size && hash == o.hash; }
};
// Files by upper-cased Windows path ("C:\WINDOWS\WIN.INI").
using Files = std::map<std::string, FileState>;

struct ValueState {
    std::string name; // as stored; empty for the unnamed value
    platform::RegType type = platform::RegType::None;
    platform::RegBytes data;
    bool operator==(const ValueState& o) const { return type == o.type && data == o.data; }
};
struct KeyState {
    std::string path;                         // full path as first seen ("HKEY_LOCAL_MACHINE\SOFTWARE\X")
    std::map<std::string, ValueState> values; // by upper-cased name
};
// Keys by upper-cased full path; every key is listed, also those without values.
using Keys = std::map<std::string, KeyState>;

// Folders below the drive roots: upper-cased Windows path to the path as stored.
using Folders = std::map<std::string, std::string>;

// One machine: every file and folder of every drive and every key and value of its hives.
struct Snapshot {
    Files files;
    Folders folders;
    Keys keys;
    std::vector<std::string> partialFiles; // the copy layer's own half-written files (none expected)
};

// Reads the machine folder's drives and registry (its own connection; others may be open).
Snapshot snapshotMachine(const std::filesystem::path& machineFolder);

// `destination` as the wizard's exit routine leaves it when the program ends: the drives it
// connected to the source (`letters`) disconnected, their HKEY_CURRENT_USER\Network keys gone.
void disconnectDrives(Snapshot& destination, const std::vector<char>& letters);

std::string upper(std::string text);
// The value of a text (REG_SZ) value, empty when the key or value is missing.
std::string textValue(const Keys& keys, const std::string& key, const std::string& name);

// The renaming and leaving-out rules of one tree copy (as the mass copy applies them).
struct TreeRules {
    bool driveRoot = false;        // the copy starts at a drive's root: its Windows folder is renamed
    std::string sourceWindows;     // "WINDOWS"
    std::string destWindows;       // "WINNT"
    bool keepDestSystem = false;   // an XP destination: the Windows folder's SYSTEM and SYSTEM32 stay out
    bool systemToSystem32 = false; // a 95/98/ME source onto 2000: SYSTEM arrives as System32
};

// The path below `to` where the file at `relative` (below the copied folder, "WINDOWS\SYSTEM\A.DLL")
// lands; nothing when the copy leaves it out.
std::optional<std::string> treeTarget(
    const std::string& relative, const std::string& to, const TreeRules& rules);
// The same for a folder at `relative`.
std::optional<std::string> treeFolderTarget(
    const std::string& relative, const std::string& to, const TreeRules& rules);

// How registry text moves from the source's Windows folder to the destination's.
struct TextRewrite {
    std::string sourceRoot;
    std::string destRoot;
    bool systemToSystem32 = false;
    std::string apply(const std::string& text) const;
};

// The destination as the rules say it must be, built step by step from the snapshots.
class Expectation {
public:
    Expectation(const Snapshot& destinationBefore, const Snapshot& source);

    // Every source file below `from` ("C:\WINDOWS\Profiles\Jo") copied below `to` on the
    // destination; an existing file is replaced only with `overwrite`.
    void copyTree(const std::string& from, const std::string& to, bool overwrite, const TreeRules& rules);
    // Every destination file below the folder `from` (a file of the destination before the run,
    // such as a shipped folder) copied below `to` likewise.
    void copyOwnTree(const std::string& from, const std::string& to, bool overwrite);
    // One source file copied to the destination path `to`.
    void copyFile(const std::string& from, const std::string& to, bool overwrite);
    // Removes the files whose upper-cased path starts with the upper-cased `prefix`.
    void removeFiles(const std::string& prefix);
    // Removes a folder with everything below it.
    void removeFolder(const std::string& folder);
    bool hasFile(const std::string& path) const { return files.count(upper(path)) != 0; }

    // Every source key below `from` merged below `to` on the destination, names and text data
    // rewritten; `renameKey` may change a destination key path further.
    void mergeKeys(const Keys& from, const std::string& fromPrefix, const std::string& toPrefix,
        const TextRewrite& rewrite, const std::function<std::string(const std::string&)>& renameKey = {});
    // Removes a key with everything below it.
    void removeKeys(const std::string& prefix);

    Files files;
    Folders folders;
    Keys keys;
    // The destination's own folder (the wizard's): no copy from the source puts a file in it, nor
    // a profile's hive or a drive root's start-up file anywhere.
    std::string keptFolder;

private:
    bool inKeptFolder(const std::string& path) const;
    void put(const std::string& target, const FileState& state, bool overwrite);
    // Adds the folder and those above it up to the drive's root.
    void addFolder(const std::string& folder);
    // The folders below `from` in `tree`, created below `to` (and `to` itself).
    void copyFolders(
        const Folders& tree, const std::string& from, const std::string& to, const TreeRules& rules);
    const Snapshot& m_source;
};

// What the comparison found: one line per difference.
struct Differences {
    std::vector<std::string> lines;
    std::size_t filesCompared = 0;
    std::size_t valuesCompared = 0;
};

// Compares the expectation with the destination after the run. Paths for which `excused(upperPath)`
// is true (files and keys whose change the mass steps are meant to make but which are not modelled
// here) are left out of the comparison.
Differences compare(const Expectation& expected, const Snapshot& after,
    const std::function<bool(const std::string&)>& excused);

} // namespace masscheck

namespace masscheck {

// The two PCs of a mass migration as the expectation needs them.
struct MassPcs {
    const Snapshot* source = nullptr;
    const Snapshot* destination = nullptr; // before the run
    std::vector<char> copiedDrives;        // the source drives mapped for the copy ('C', 'D')
    std::string appPath;                   // the wizard's folder on the destination
    std::string destUser;                  // the user logged on at the destination
    std::string logonUser;                 // the source account the wizard logged on with (2000/XP sources)
    std::filesystem::path templates;       // the host folder holding the shipped registry templates
    std::filesystem::path scratch;         // a host folder for a scratch registry
};

// The destination after a mass migration onto a Windows 2000 or XP destination, by the mass steps'
// rules:
// the drives copied with their renaming rules, the profiles, installer cache, Office icon folders
// and fonts; the source's vendor keys, installed-program keys, current user and classes merged
// with their paths rewritten (the destination's own classes kept, its user's shell folders,
// certificates and installer data kept beside the source's); the four Office installer keys
// deleted, the Office and class-root templates merged, the mirror and the working folders removed.
Expectation expectMassMigration(const MassPcs& pcs);

// The demo network's pair of a mass migration: drives C: and D: copied, the wizard in its demo
// folder, the shipped templates, a scratch registry in `network`\scratch (made here).
MassPcs demoMassPcs(const Snapshot& source, const Snapshot& before, const std::string& destUser,
    const std::filesystem::path& network);

} // namespace masscheck
