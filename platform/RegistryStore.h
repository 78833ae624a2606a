// RegistryStore.h: the SQLite store behind Registry (Registry.cpp, RegistryKeys.cpp,
// RegistryValues.cpp): prepared statements, key walks, transactions. Used inside platform/ only.
#pragma once

#include "platform/Registry.h"

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {
namespace regstore {

// Fixed ids of the four stored hives.
inline constexpr std::int64_t kLocalMachineId = 1;
inline constexpr std::int64_t kCurrentUserId = 2;
inline constexpr std::int64_t kUsersId = 3;
inline constexpr std::int64_t kCurrentConfigId = 4;

inline constexpr int kSchemaVersion = 1;

// The Win32 code of an SQLite result.
WinError fromSqlite(int rc);
// Characters of a UTF-8 text (continuation bytes not counted).
std::uint32_t charCount(std::string_view utf8);
// The non-empty components of a backslash-separated key path.
std::vector<std::string_view> splitPath(std::string_view path);
// Whether a key name component is short enough to be made (kMaxKeyNameLength characters).
bool keyNameFits(std::string_view part);
// Whether createKey could make root\subKey in a registry that does not hold it yet: no component
// too long (keyNameFits) and no key deeper than kMaxKeyDepth below its hive (HKEY_CLASSES_ROOT's
// keys lie two levels down in HKEY_LOCAL_MACHINE).
bool keyPathFits(RegRoot root, std::string_view subKey);

// A prepared statement in use: bound, stepped and reset on scope exit.
class Query {
public:
    explicit Query(sqlite3_stmt* s)
        : m_s(s)
    {}
    ~Query()
    {
        if (m_s) {
            sqlite3_reset(m_s);
            sqlite3_clear_bindings(m_s);
        }
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    bool ok() const { return m_s != nullptr; }
    Query& bind(int i, std::int64_t v)
    {
        sqlite3_bind_int64(m_s, i, v);
        return *this;
    }
    Query& bind(int i, std::string_view text)
    {
        sqlite3_bind_text(
            m_s, i, text.data() ? text.data() : "", static_cast<int>(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Query& bindBlob(int i, const RegBytes& data)
    {
        // A null pointer would bind NULL; an empty blob needs a valid one.
        static const std::uint8_t kEmpty = 0;
        sqlite3_bind_blob(
            m_s, i, data.empty() ? &kEmpty : data.data(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
        return *this;
    }
    int step() { return sqlite3_step(m_s); }
    std::int64_t int64(int col) const { return sqlite3_column_int64(m_s, col); }
    std::string text(int col) const
    {
        const auto* p = sqlite3_column_text(m_s, col);
        return p ? std::string(reinterpret_cast<const char*>(p),
                       static_cast<std::size_t>(sqlite3_column_bytes(m_s, col)))
                 : std::string();
    }
    RegBytes blob(int col) const
    {
        const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_s, col));
        const int n = sqlite3_column_bytes(m_s, col);
        return p ? RegBytes(p, p + n) : RegBytes();
    }

private:
    sqlite3_stmt* m_s;
};

} // namespace regstore

using regstore::fromSqlite;
using regstore::Query;

struct Registry::Impl {
    sqlite3* db = nullptr;
    std::filesystem::path file;
    int depth = 0;
    std::unordered_map<const char*, sqlite3_stmt*> statements;

    // Index-based enumeration walks a key's children once and keeps the list while nothing
    // changes: `writes` counts this connection's changes, PRAGMA data_version moves when another
    // connection commits. Without it, enumerating n children would cost n^2 steps.
    struct EnumCache {
        std::int64_t key = -1;
        std::uint64_t writes = 0;
        std::int64_t dataVersion = -1;
        std::vector<std::string> names; // sub-keys
        std::vector<std::int64_t> ids;  // values
    };
    std::uint64_t writes = 0;
    EnumCache subKeyCache;
    // Inside one transaction no other connection can delete a key, so a key found once stays
    // until this connection deletes something: merges skip the existence check per value.
    std::uint64_t transactions = 0;
    std::uint64_t deletions = 0;
    // Depths of keys below their hive, known from earlier walks (see depthOf).
    std::unordered_map<std::int64_t, int> depths;
    std::uint64_t depthsDeletions = 0;
    struct Verified {
        std::int64_t id = 0;
        std::uint64_t transaction = 0;
        std::uint64_t deletions = 0;
    } verified;
    EnumCache valueCache;

    // The database's PRAGMA data_version (-2 when it cannot be read).
    std::int64_t dataVersion();
    // True while `c` still holds the list of `key` (nothing written here or elsewhere since).
    bool fresh(const EnumCache& c, std::int64_t key, std::int64_t version) const;

    // Hands each row of `sql`, whose only parameter is the key's id, to `row`.
    template <typename Row> WinError eachRow(const char* sql, std::int64_t key, Row&& row)
    {
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, key);
        int rc;
        while ((rc = q.step()) == SQLITE_ROW)
            row(q);
        return rc == SQLITE_DONE ? WinError::Success : fromSqlite(rc);
    }

    // Refills `cache` for `key` unless it is still fresh: `add` takes each row of `sql`.
    // On failure the cache is left empty.
    template <typename Add> WinError refresh(EnumCache& cache, std::int64_t key, const char* sql, Add&& add)
    {
        const std::int64_t version = dataVersion();
        if (fresh(cache, key, version))
            return WinError::Success;
        cache = EnumCache{};
        if (const WinError e = eachRow(sql, key, add); e != WinError::Success) {
            cache = EnumCache{};
            return e;
        }
        cache.key = key;
        cache.writes = writes;
        cache.dataVersion = version;
        return WinError::Success;
    }

    ~Impl() { close(); }

    // Finalises the statements and closes the database; an open transaction is rolled back.
    void close();

    // Statements are cached by the address of their (static) SQL text.
    sqlite3_stmt* prepare(const char* sql);

    WinError exec(const char* sql) { return fromSqlite(sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

    // Transactions nest: the outermost is a transaction, the inner ones are savepoints.
    WinError begin();
    WinError commit();
    WinError rollback();

    // Finds a child by name; FileNotFound when there is none.
    WinError child(std::int64_t parent, std::string_view name, std::int64_t& id);
    // Adds a child key; its id in `id`.
    WinError insertChild(std::int64_t parent, std::string_view name, std::int64_t& id);
    // Success while the key exists, else KeyDeleted.
    WinError keyExists(std::int64_t id);

    // The id of a handle's key. A HKEY_CLASSES_ROOT handle resolves to
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes, which is made again when create is set and it is gone.
    WinError resolve(const RegKey& key, bool create, std::int64_t& id);

    // The number of keys between a key and its hive (a hive itself is at depth 0).
    WinError depthOf(std::int64_t id, int& depth);

    // The key at `path` below `start`. With create, missing keys are made (FileNotFound without
    // it), refused with InvalidParameter beyond kMaxKeyDepth levels or kMaxKeyNameLength
    // characters; `created` tells whether the last key was made.
    WinError walk(std::int64_t start, std::string_view path, bool create, std::int64_t& id, bool* created);

    // The existing key at `path` below a handle's key (resolve, then walk without creating).
    WinError find(const RegKey& parent, std::string_view path, std::int64_t& id);

    // Deletes the values and keys of a subtree; withRoot false keeps the top key (values removed).
    WinError deleteSubtree(std::int64_t id, bool withRoot);

    // The value `name` (any case) of a key; FileNotFound when there is none.
    WinError findValue(std::int64_t key, std::string_view name, RegValue& out);
};

// Makes one call's changes atomic: its own transaction, or inside the caller's a savepoint when
// the call runs several statements that must not be left half done. Calls whose partial work is
// harmless skip the savepoint, which keeps large merges fast.
class WriteScope {
public:
    enum class Nested { Savepoint, Plain };
    explicit WriteScope(Registry& r, Nested nested = Nested::Savepoint)
        : m_registry(r)
        , m_active(!r.inTransaction() || nested == Nested::Savepoint)
        , m_status(m_active ? r.beginTransaction() : WinError::Success)
    {
        r.noteChange();
    }
    ~WriteScope()
    {
        if (m_active && m_status == WinError::Success && !m_done)
            m_registry.rollbackTransaction();
    }
    WinError status() const { return m_status; }
    WinError finish(WinError result)
    {
        m_done = true;
        if (!m_active)
            return result;
        if (result != WinError::Success) {
            m_registry.rollbackTransaction();
            return result;
        }
        return m_registry.commitTransaction();
    }

private:
    Registry& m_registry;
    bool m_active;
    WinError m_status;
    bool m_done = false;
};

} // namespace platform
