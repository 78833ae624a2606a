// Registry.h: the registry of an emulated machine, kept in its SQLite database (registry.db) and
// reached through calls shaped like the Win32 registry calls, with Win32 result codes.
#pragma once

#include "platform/WinError.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Value types with their Win32 numbers. Any other number may be stored too (a registry file's
// hex(N) form), so a RegType is compared and printed as a number where needed.
enum class RegType : std::uint32_t {
    None = 0,     // REG_NONE
    Sz = 1,       // REG_SZ
    ExpandSz = 2, // REG_EXPAND_SZ
    Binary = 3,   // REG_BINARY
    Dword = 4,    // REG_DWORD (little-endian)
    DwordBigEndian = 5,
    Link = 6,
    MultiSz = 7, // REG_MULTI_SZ
    ResourceList = 8,
    FullResourceDescriptor = 9,
    ResourceRequirementsList = 10,
    Qword = 11,
};

// The predefined root keys with the 32-bit handle values of the platform.
enum class RegRoot : std::uint32_t {
    ClassesRoot = 0x80000000,   // HKEY_CLASSES_ROOT: a view of HKEY_LOCAL_MACHINE\SOFTWARE\Classes
    CurrentUser = 0x80000001,   // HKEY_CURRENT_USER
    LocalMachine = 0x80000002,  // HKEY_LOCAL_MACHINE
    Users = 0x80000003,         // HKEY_USERS
    CurrentConfig = 0x80000005, // HKEY_CURRENT_CONFIG
};

// "HKEY_LOCAL_MACHINE" and so on.
std::string_view regRootName(RegRoot root);

// The root named by a long ("HKEY_CURRENT_USER") or short ("HKCU", "HKLM", "HKCR", "HKU", "HKCC")
// name, without regard to case; nothing for any other text.
std::optional<RegRoot> parseRegRoot(std::string_view name);

// Splits a full key path ("HKLM\Software\X", "HKEY_CLASSES_ROOT") into its root and the path below
// it ("Software\X", ""). False when the first component names no root.
bool splitRegPath(std::string_view fullPath, RegRoot& root, std::string& subKey);

// Longest key name component, in characters (as on Windows).
inline constexpr std::uint32_t kMaxKeyNameLength = 255;
// Longest value name, in characters (as on Windows).
inline constexpr std::uint32_t kMaxValueNameLength = 16383;
// Keys nest at most this many levels below their hive; a deeper key cannot be made.
inline constexpr std::uint32_t kMaxKeyDepth = 512;

// Value data exactly as stored: strings are Windows-1252 bytes with their terminating zero.
using RegBytes = std::vector<std::uint8_t>;

struct RegValue {
    std::string name; // UTF-8; empty for the key's unnamed (default) value
    RegType type = RegType::None;
    RegBytes data;
};

// Figures of RegQueryInfoKey. Lengths count characters without the terminating zero.
struct RegKeyInfo {
    std::uint32_t subKeys = 0;
    std::uint32_t maxSubKeyLength = 0;
    std::uint32_t values = 0;
    std::uint32_t maxValueNameLength = 0;
    std::uint32_t maxValueDataSize = 0; // bytes
};

// Builders and readers of value data.
RegBytes regStringData(std::string_view utf8); // Windows-1252 + zero (REG_SZ/REG_EXPAND_SZ)
RegBytes regDwordData(std::uint32_t value);    // four bytes, little-endian
RegBytes regMultiStringData(const std::vector<std::string>& utf8); // each + zero, then one more zero
std::string regDataText(const RegBytes& data);                     // up to the first zero, as UTF-8
std::optional<std::uint32_t> regDataDword(const RegBytes& data);   // nothing unless exactly four bytes

// A key handle: cheap to copy; may be empty (isValid() false). A root converts to a handle, like
// the predefined HKEYs. A handle stays usable until its key is deleted; calls on it then give
// KeyDeleted. Handles belong to the Registry that gave them out.
class RegKey {
public:
    RegKey() = default;
    RegKey(RegRoot root)
        : m_root(root)
        , m_isRoot(true)
    {} // NOLINT: converts like a predefined HKEY

    bool isValid() const { return m_isRoot || m_id != 0; }
    bool isRoot() const { return m_isRoot; }

private:
    friend class Registry;
    std::int64_t m_id = 0;
    RegRoot m_root = RegRoot::LocalMachine;
    bool m_isRoot = false;
};

// A sub-key with its stored name, as listed by Registry::listSubKeys.
struct RegSubKey {
    std::string name;
    RegKey key;
};

// One machine's registry. Not copyable; one object per thread. Several processes may use one
// database at once: every change runs in a transaction, the database is in WAL mode and a
// connection waits up to busyTimeoutMs for another's write to finish (then: Busy).
//
// Names are UTF-8. Key and value names compare without regard to case (CodePage.h's foldCase) and
// keep the case they were created with; sub-keys enumerate in case-insensitive name order, values
// in the order they were created (setting an existing value keeps its place).
//
// Results common to every call: InvalidHandle for an empty handle or a closed registry,
// KeyDeleted when the handle's key has been deleted, Busy when another process held the database
// too long, RegistryIoFailed for a database failure, NotEnoughMemory. No call throws.
class Registry {
public:
    enum class OpenMode { OpenExisting, CreateIfMissing };

    Registry();
    ~Registry();
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // Opens (or, with CreateIfMissing, creates) a registry database. Success; FileNotFound
    // (OpenExisting and no such file); AccessDenied (cannot be opened); InvalidData (the file is not
    // a registry database); Busy; RegistryIoFailed. *message names the file on failure.
    // A new database holds the four hives and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    WinError open(const std::filesystem::path& dbFile, OpenMode mode = OpenMode::CreateIfMissing,
        std::string* message = nullptr, int busyTimeoutMs = 10000);
    void close();
    bool isOpen() const;
    const std::filesystem::path& file() const;

    // RegOpenKeyEx: opens parent\subKey ("A\B\C"; empty: parent itself). Empty components (doubled
    // or trailing backslashes) are ignored. FileNotFound when a key on the way does not exist.
    WinError openKey(const RegKey& parent, std::string_view subKey, RegKey& out);

    // RegCreateKeyEx: opens parent\subKey, creating every missing key on the way with the case
    // given. *created (when given) tells whether the last key was new. InvalidParameter for a
    // component longer than kMaxKeyNameLength.
    WinError createKey(const RegKey& parent, std::string_view subKey, RegKey& out, bool* created = nullptr);

    // RegDeleteKey (Windows NT rule): deletes parent\subKey when it has no sub-keys (its values go
    // with it). FileNotFound; AccessDenied when it has sub-keys or names a root (empty subKey on a root).
    WinError deleteKey(const RegKey& parent, std::string_view subKey);

    // RegDeleteTree: deletes parent\subKey with all its values and sub-keys. An empty subKey
    // deletes everything below parent (its values and sub-keys) and keeps parent itself.
    // FileNotFound when subKey does not exist.
    WinError deleteTree(const RegKey& parent, std::string_view subKey);

    // RegEnumKeyEx: the index-th sub-key's name (0-based, case-insensitive name order).
    // NoMoreItems past the last; MoreData when the name needs nameCapacity characters or more
    // (nameCapacity counts the terminating zero, as the Win32 buffer length does; name then still
    // holds the whole name).
    WinError enumKey(const RegKey& key, std::uint32_t index, std::string& name,
        std::uint32_t nameCapacity = kMaxKeyNameLength + 1);

    // RegEnumValue: the index-th value (0-based, creation order), data included.
    // NoMoreItems past the last; MoreData when its name needs nameCapacity characters or more
    // (out is then still filled).
    WinError enumValue(const RegKey& key, std::uint32_t index, RegValue& out,
        std::uint32_t nameCapacity = kMaxValueNameLength + 1);

    // RegQueryInfoKey.
    WinError queryInfo(const RegKey& key, RegKeyInfo& out);

    // RegQueryValueEx with buffers: *type (when given) receives the type; with data null only the
    // size is reported (Success); with a buffer smaller than the data: MoreData, nothing copied;
    // otherwise the data is copied. *size is always set to the data's size when the value exists.
    // FileNotFound when there is no such value (an empty name is the unnamed value).
    WinError queryValue(
        const RegKey& key, std::string_view name, RegType* type, std::uint8_t* data, std::uint32_t* size);

    // RegQueryValueEx into a RegValue (name as stored). FileNotFound when missing.
    WinError queryValue(const RegKey& key, std::string_view name, RegValue& out);

    // RegSetValueEx: stores data as given (a string's terminating zero is the caller's; see
    // regStringData). Creates the value at the end of the value order or replaces one of the
    // same name in place (the stored name keeps its case). InvalidParameter for a name longer
    // than kMaxValueNameLength.
    WinError setValue(const RegKey& key, std::string_view name, RegType type, const RegBytes& data);

    // RegDeleteValue. FileNotFound when there is no such value.
    WinError deleteValue(const RegKey& key, std::string_view name);

    // Every sub-key (case-insensitive name order) or every value (creation order) of a key at once.
    WinError listSubKeys(const RegKey& key, std::vector<RegSubKey>& out);
    WinError listValues(const RegKey& key, std::vector<RegValue>& out);

    // Convenience: a value as UTF-8 text (REG_SZ/REG_EXPAND_SZ data up to its first zero;
    // InvalidData for other types) and writing one as REG_SZ (or another string type).
    WinError queryString(const RegKey& key, std::string_view name, std::string& utf8);
    WinError setString(
        const RegKey& key, std::string_view name, std::string_view utf8, RegType type = RegType::Sz);
    // REG_DWORD read (InvalidData unless a four-byte REG_DWORD) and write.
    WinError queryDword(const RegKey& key, std::string_view name, std::uint32_t& value);
    WinError setDword(const RegKey& key, std::string_view name, std::uint32_t value);

    // Groups changes into one transaction: nothing of it is visible to other processes before
    // commit, and a rollback, a crash or a kill leaves the registry as it was before. Transactions
    // nest (inner ones are savepoints). The outer begin waits for other writers (Busy on timeout).
    WinError beginTransaction();
    WinError commitTransaction();
    WinError rollbackTransaction();
    bool inTransaction() const;

    // Gives the room of deleted keys and values back to the file system when it is a sizeable
    // part of the database (a quarter or more): the file is rewritten to what its keys need.
    // The write-ahead log is emptied in any case. Outside a transaction only; waits for other
    // writers like a transaction does.
    WinError giveBackSpace();

private:
    friend class WriteScope;
    void noteChange();

    struct Impl;
    std::unique_ptr<Impl> m;
};

// Runs a transaction for its scope: rolls back unless commit() was called and succeeded.
class RegTransaction {
public:
    explicit RegTransaction(Registry& registry)
        : m_registry(registry)
        , m_result(registry.beginTransaction())
    {}
    ~RegTransaction()
    {
        if (m_result == WinError::Success && !m_done)
            m_registry.rollbackTransaction();
    }
    RegTransaction(const RegTransaction&) = delete;
    RegTransaction& operator=(const RegTransaction&) = delete;

    // The result of beginning the transaction.
    WinError status() const { return m_result; }
    WinError commit()
    {
        if (m_result != WinError::Success || m_done)
            return m_result == WinError::Success ? WinError::InvalidFunction : m_result;
        m_done = true;
        return m_registry.commitTransaction();
    }

private:
    Registry& m_registry;
    WinError m_result;
    bool m_done = false;
};

} // namespace platform
