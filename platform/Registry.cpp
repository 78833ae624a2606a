// Registry.cpp: the emulated registry on SQLite: keys and values tables, Win32-shaped calls,
// transactions that several processes can share through WAL and a busy timeout.
#include "platform/Registry.h"

#include "platform/CodePage.h"
#include "platform/Guarded.h"

#include <sqlite3.h>

#include <cstring>
#include <new>
#include <string>
#include <system_error>
#include <unordered_map>

namespace platform {
namespace {

// Fixed ids of the four stored hives.
constexpr std::int64_t kLocalMachineId = 1;
constexpr std::int64_t kCurrentUserId = 2;
constexpr std::int64_t kUsersId = 3;
constexpr std::int64_t kCurrentConfigId = 4;

constexpr int kSchemaVersion = 1;

struct RootName {
    RegRoot root;
    std::string_view longName;
    std::string_view shortName;
};
constexpr RootName kRoots[] = {
    {RegRoot::ClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {RegRoot::CurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {RegRoot::LocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {RegRoot::Users, "HKEY_USERS", "HKU"},
    {RegRoot::CurrentConfig, "HKEY_CURRENT_CONFIG", "HKCC"},
};

WinError fromSqlite(int rc)
{
    switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return WinError::Success;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return WinError::Busy;
    case SQLITE_NOMEM: return WinError::NotEnoughMemory;
    case SQLITE_FULL: return WinError::DiskFull;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN: return WinError::AccessDenied;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return WinError::RegistryCorrupt;
    default: return WinError::RegistryIoFailed;
    }
}

// Characters of a UTF-8 text (continuation bytes not counted).
std::uint32_t charCount(std::string_view utf8)
{
    std::uint32_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

// The non-empty components of a backslash-separated key path.
std::vector<std::string_view> splitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    std::size_t pos = 0;
    while (pos <= path.size()) {
        auto end = path.find('\\', pos);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > pos)
            parts.push_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return parts;
}

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

} // namespace

std::string_view regRootName(RegRoot root)
{
    for (const RootName& r : kRoots)
        if (r.root == root)
            return r.longName;
    return {};
}

std::optional<RegRoot> parseRegRoot(std::string_view name)
{
    for (const RootName& r : kRoots)
        if (equalsNoCase(name, r.longName) || equalsNoCase(name, r.shortName))
            return r.root;
    return std::nullopt;
}

std::optional<RegRoot> regRootFromHandle(std::uint32_t handle)
{
    for (const RootName& r : kRoots)
        if (static_cast<std::uint32_t>(r.root) == handle)
            return r.root;
    return std::nullopt;
}

bool splitRegPath(std::string_view fullPath, RegRoot& root, std::string& subKey)
{
    const auto slash = fullPath.find('\\');
    const std::optional<RegRoot> r = parseRegRoot(fullPath.substr(0, slash));
    if (!r)
        return false;
    root = *r;
    subKey = slash == std::string_view::npos ? std::string() : std::string(fullPath.substr(slash + 1));
    return true;
}

RegBytes regStringData(std::string_view utf8)
{
    const std::string bytes = utf8ToCp1252(utf8);
    RegBytes data(bytes.begin(), bytes.end());
    data.push_back(0);
    return data;
}

RegBytes regDwordData(std::uint32_t value)
{
    return RegBytes{static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

RegBytes regMultiStringData(const std::vector<std::string>& utf8)
{
    RegBytes data;
    for (const std::string& s : utf8) {
        const std::string bytes = utf8ToCp1252(s);
        data.insert(data.end(), bytes.begin(), bytes.end());
        data.push_back(0);
    }
    data.push_back(0);
    return data;
}

std::string regDataText(const RegBytes& data)
{
    std::size_t n = 0;
    while (n < data.size() && data[n] != 0)
        ++n;
    return cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data.data()), n));
}

std::optional<std::uint32_t> regDataDword(const RegBytes& data)
{
    if (data.size() != 4)
        return std::nullopt;
    return static_cast<std::uint32_t>(data[0]) | (static_cast<std::uint32_t>(data[1]) << 8) |
        (static_cast<std::uint32_t>(data[2]) << 16) | (static_cast<std::uint32_t>(data[3]) << 24);
}

std::vector<std::string> regDataMultiString(const RegBytes& data)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t end = start;
        while (end < data.size() && data[end] != 0)
            ++end;
        if (end == start)
            break;
        out.push_back(
            cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(data.data()) + start, end - start)));
        start = end + 1;
    }
    return out;
}

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

    std::int64_t dataVersion()
    {
        static const char* const sql = "PRAGMA data_version";
        Query q(prepare(sql));
        return q.ok() && q.step() == SQLITE_ROW ? q.int64(0) : -2;
    }

    bool fresh(const EnumCache& c, std::int64_t key, std::int64_t version) const
    {
        return c.key == key && c.writes == writes && c.dataVersion == version && version >= 0;
    }

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

    void close()
    {
        subKeyCache = EnumCache{};
        valueCache = EnumCache{};
        for (auto& [sql, stmt] : statements)
            sqlite3_finalize(stmt);
        statements.clear();
        if (db) {
            if (depth > 0)
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(db);
        }
        db = nullptr;
        depth = 0;
    }

    // Statements are cached by the address of their (static) SQL text.
    sqlite3_stmt* prepare(const char* sql)
    {
        auto it = statements.find(sql);
        if (it != statements.end())
            return it->second;
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK)
            return nullptr;
        statements.emplace(sql, stmt);
        return stmt;
    }

    WinError exec(const char* sql) { return fromSqlite(sqlite3_exec(db, sql, nullptr, nullptr, nullptr)); }

    WinError begin()
    {
        if (!db)
            return WinError::InvalidHandle;
        ++writes;
        if (depth == 0)
            ++transactions;
        const WinError e =
            depth == 0 ? exec("BEGIN IMMEDIATE") : exec(("SAVEPOINT s" + std::to_string(depth)).c_str());
        if (e == WinError::Success)
            ++depth;
        return e;
    }

    WinError commit()
    {
        if (!db || depth == 0)
            return WinError::InvalidFunction;
        if (depth == 1) {
            const WinError e = exec("COMMIT");
            if (e != WinError::Success)
                exec("ROLLBACK");
            depth = 0;
            return e;
        }
        --depth;
        return exec(("RELEASE s" + std::to_string(depth)).c_str());
    }

    WinError rollback()
    {
        if (!db || depth == 0)
            return WinError::InvalidFunction;
        ++writes;
        ++deletions; // a rollback may take away keys created since
        if (depth == 1) {
            depth = 0;
            return exec("ROLLBACK");
        }
        --depth;
        const std::string name = "s" + std::to_string(depth);
        const WinError e = exec(("ROLLBACK TO " + name).c_str());
        exec(("RELEASE " + name).c_str());
        return e;
    }

    // Finds a child by name; FileNotFound when there is none.
    WinError child(std::int64_t parent, std::string_view name, std::int64_t& id)
    {
        static const char* const sql = "SELECT id FROM keys WHERE parent = ?1 AND fold = ?2";
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, parent).bind(2, foldCase(name));
        const int rc = q.step();
        if (rc == SQLITE_ROW) {
            id = q.int64(0);
            return WinError::Success;
        }
        return rc == SQLITE_DONE ? WinError::FileNotFound : fromSqlite(rc);
    }

    WinError insertChild(std::int64_t parent, std::string_view name, std::int64_t& id)
    {
        static const char* const sql = "INSERT INTO keys(parent, name, fold) VALUES(?1, ?2, ?3)";
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, parent).bind(2, name).bind(3, foldCase(name));
        const int rc = q.step();
        if (rc != SQLITE_DONE)
            return fromSqlite(rc);
        id = sqlite3_last_insert_rowid(db);
        return WinError::Success;
    }

    WinError keyExists(std::int64_t id)
    {
        static const char* const sql = "SELECT 1 FROM keys WHERE id = ?1";
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, id);
        const int rc = q.step();
        if (rc == SQLITE_ROW)
            return WinError::Success;
        return rc == SQLITE_DONE ? WinError::KeyDeleted : fromSqlite(rc);
    }

    // The id of a handle's key. A HKEY_CLASSES_ROOT handle resolves to
    // HKEY_LOCAL_MACHINE\SOFTWARE\Classes, which is made again when create is set and it is gone.
    WinError resolve(const RegKey& key, bool create, std::int64_t& id)
    {
        if (!db)
            return WinError::InvalidHandle;
        if (!key.isValid())
            return WinError::InvalidHandle;
        if (!key.m_isRoot) {
            id = key.m_id;
            if (depth > 0 && verified.id == id && verified.transaction == transactions &&
                verified.deletions == deletions)
                return WinError::Success;
            const WinError e = keyExists(id);
            if (e == WinError::Success && depth > 0)
                verified = Verified{id, transactions, deletions};
            return e;
        }
        switch (key.m_root) {
        case RegRoot::LocalMachine: id = kLocalMachineId; return WinError::Success;
        case RegRoot::CurrentUser: id = kCurrentUserId; return WinError::Success;
        case RegRoot::Users: id = kUsersId; return WinError::Success;
        case RegRoot::CurrentConfig: id = kCurrentConfigId; return WinError::Success;
        case RegRoot::ClassesRoot: return walk(kLocalMachineId, "SOFTWARE\\Classes", create, id, nullptr);
        }
        return WinError::InvalidHandle;
    }

    // The number of keys between a key and its hive (a hive itself is at depth 0).
    WinError depthOf(std::int64_t id, int& depth)
    {
        // Known depths stay right until a key is deleted (ids can then be used again).
        if (depthsDeletions != deletions) {
            depths.clear();
            depthsDeletions = deletions;
        }
        if (const auto it = depths.find(id); it != depths.end()) {
            depth = it->second;
            return WinError::Success;
        }
        static const char* const sql =
            "WITH RECURSIVE a(id, p, d) AS (SELECT id, parent, 0 FROM keys WHERE id = ?1 "
            "UNION ALL SELECT k.id, k.parent, a.d + 1 FROM keys k JOIN a ON k.id = a.p) SELECT max(d) FROM a";
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, id);
        if (q.step() != SQLITE_ROW)
            return WinError::RegistryIoFailed;
        depth = static_cast<int>(q.int64(0));
        depths[id] = depth;
        return WinError::Success;
    }

    WinError walk(std::int64_t start, std::string_view path, bool create, std::int64_t& id, bool* created)
    {
        std::int64_t current = start;
        bool made = false;
        const std::vector<std::string_view> parts = splitPath(path);
        int depth = -1; // found out at the first key that has to be made
        for (std::size_t i = 0; i < parts.size(); ++i) {
            const std::string_view part = parts[i];
            if (charCount(part) > kMaxKeyNameLength)
                return create ? WinError::InvalidParameter : WinError::FileNotFound;
            std::int64_t next = 0;
            WinError e = child(current, part, next);
            made = false;
            if (e == WinError::FileNotFound && create) {
                // As the real registry: no key deeper than kMaxKeyDepth levels below its hive.
                if (depth < 0 && (e = depthOf(current, depth)) != WinError::Success)
                    return e;
                if (depth + static_cast<int>(parts.size() - i) > static_cast<int>(kMaxKeyDepth))
                    return WinError::InvalidParameter;
                e = insertChild(current, part, next);
                made = true;
                if (e == WinError::Success)
                    depths[next] = ++depth;
            }
            if (e != WinError::Success)
                return e;
            if (!made && depth >= 0)
                ++depth;
            current = next;
        }
        id = current;
        if (created)
            *created = made;
        return WinError::Success;
    }

    // Deletes the values and keys of a subtree; withRoot false keeps the top key (values removed).
    WinError deleteSubtree(std::int64_t id, bool withRoot)
    {
        ++deletions;
        static const char* const valsWith =
            "WITH RECURSIVE t(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM keys k JOIN t ON k.parent = t.id) "
            "DELETE FROM vals WHERE key IN (SELECT id FROM t)";
        static const char* const keysWith =
            "WITH RECURSIVE t(id) AS (SELECT ?1 UNION ALL SELECT k.id FROM keys k JOIN t ON k.parent = t.id) "
            "DELETE FROM keys WHERE id IN (SELECT id FROM t) AND (?2 OR id <> ?1)";
        for (const char* sql : {valsWith, keysWith}) {
            Query q(prepare(sql));
            if (!q.ok())
                return WinError::RegistryIoFailed;
            q.bind(1, id).bind(2, static_cast<std::int64_t>(withRoot ? 1 : 0));
            const int rc = q.step();
            if (rc != SQLITE_DONE)
                return fromSqlite(rc);
        }
        return WinError::Success;
    }

    WinError findValue(std::int64_t key, std::string_view name, RegValue& out)
    {
        static const char* const sql = "SELECT name, type, data FROM vals WHERE key = ?1 AND fold = ?2";
        Query q(prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, key).bind(2, foldCase(name));
        const int rc = q.step();
        if (rc == SQLITE_ROW) {
            out.name = q.text(0);
            out.type = static_cast<RegType>(q.int64(1));
            out.data = q.blob(2);
            return WinError::Success;
        }
        return rc == SQLITE_DONE ? WinError::FileNotFound : fromSqlite(rc);
    }
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

Registry::Registry()
    : m(std::make_unique<Impl>())
{}

Registry::~Registry() = default;

WinError Registry::open(
    const std::filesystem::path& dbFile, OpenMode mode, std::string* message, int busyTimeoutMs)
{
    return guarded([&] {
        close();
        auto fail = [&](WinError e, const std::string& text) {
            if (message)
                *message = text;
            m->close();
            return e;
        };
        std::error_code ec;
        const bool exists = std::filesystem::exists(dbFile, ec);
        if (!exists && mode == OpenMode::OpenExisting)
            return fail(WinError::FileNotFound, "registry database " + dbFile.string() + " does not exist");
        if (exists && !std::filesystem::is_regular_file(dbFile, ec))
            return fail(WinError::AccessDenied, "registry database " + dbFile.string() + " is not a file");
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
        if (mode == OpenMode::CreateIfMissing)
            flags |= SQLITE_OPEN_CREATE;
        const int rc = sqlite3_open_v2(dbFile.c_str(), &m->db, flags, nullptr);
        if (rc != SQLITE_OK)
            return fail(fromSqlite(rc),
                "cannot open registry database " + dbFile.string() + ": " +
                    (m->db ? sqlite3_errmsg(m->db) : sqlite3_errstr(rc)));
        m->file = dbFile;
        sqlite3_busy_timeout(m->db, busyTimeoutMs);
        sqlite3_extended_result_codes(m->db, 0);

        // Reading the schema version is the first real access: a file that is not a database fails here.
        sqlite3_stmt* stmt = nullptr;
        int version = 0;
        int tables = 0;
        int ours = 0;
        int src = sqlite3_prepare_v2(m->db,
            "SELECT (SELECT user_version FROM pragma_user_version), "
            "(SELECT count(*) FROM sqlite_master WHERE type = 'table'), "
            "(SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('keys', 'vals'))",
            -1, &stmt, nullptr);
        if (src == SQLITE_OK) {
            src = sqlite3_step(stmt);
            if (src == SQLITE_ROW) {
                version = sqlite3_column_int(stmt, 0);
                tables = sqlite3_column_int(stmt, 1);
                ours = sqlite3_column_int(stmt, 2);
                src = SQLITE_OK;
            }
        }
        sqlite3_finalize(stmt);
        if (src == SQLITE_NOTADB || src == SQLITE_CORRUPT)
            return fail(WinError::InvalidData, dbFile.string() + " is not a registry database");
        if (src != SQLITE_OK)
            return fail(fromSqlite(src),
                "cannot read registry database " + dbFile.string() + ": " + sqlite3_errmsg(m->db));
        if (version > kSchemaVersion || (tables > 0 && ours != 2))
            return fail(WinError::InvalidData, dbFile.string() + " is not a registry database");

        if (m->exec("PRAGMA journal_mode = WAL") != WinError::Success)
            return fail(WinError::RegistryIoFailed,
                "cannot set up registry database " + dbFile.string() + ": " + sqlite3_errmsg(m->db));
        m->exec("PRAGMA synchronous = NORMAL");

        if (version < kSchemaVersion) {
            const char* const schema =
                "BEGIN IMMEDIATE;"
                "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY, parent INTEGER NOT NULL, "
                "  name TEXT NOT NULL, fold TEXT NOT NULL, UNIQUE(parent, fold));"
                "CREATE TABLE IF NOT EXISTS vals(id INTEGER PRIMARY KEY, key INTEGER NOT NULL, "
                "  name TEXT NOT NULL, fold TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL, "
                "UNIQUE(key, fold));"
                "CREATE INDEX IF NOT EXISTS vals_by_key ON vals(key);"
                "INSERT OR IGNORE INTO keys(id, parent, name, fold) VALUES"
                "  (1, 0, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),"
                "  (2, 0, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER'),"
                "  (3, 0, 'HKEY_USERS', 'HKEY_USERS'),"
                "  (4, 0, 'HKEY_CURRENT_CONFIG', 'HKEY_CURRENT_CONFIG');"
                "INSERT OR IGNORE INTO keys(parent, name, fold) VALUES (1, 'SOFTWARE', 'SOFTWARE');"
                "INSERT OR IGNORE INTO keys(parent, name, fold) "
                "  SELECT id, 'Classes', 'CLASSES' FROM keys WHERE parent = 1 AND fold = 'SOFTWARE';"
                "PRAGMA user_version = 1;"
                "COMMIT;";
            char* error = nullptr;
            const int xrc = sqlite3_exec(m->db, schema, nullptr, nullptr, &error);
            if (xrc != SQLITE_OK) {
                const std::string text = error ? error : sqlite3_errstr(xrc);
                sqlite3_free(error);
                sqlite3_exec(m->db, "ROLLBACK", nullptr, nullptr, nullptr);
                return fail(
                    fromSqlite(xrc), "cannot set up registry database " + dbFile.string() + ": " + text);
            }
        }
        return WinError::Success;
    });
}

void Registry::close()
{
    m->close();
    m->file.clear();
}

bool Registry::isOpen() const { return m->db != nullptr; }

const std::filesystem::path& Registry::file() const { return m->file; }

WinError Registry::openKey(const RegKey& parent, std::string_view subKey, RegKey& out)
{
    return guarded([&] {
        std::int64_t start = 0;
        if (const WinError e = m->resolve(parent, false, start); e != WinError::Success)
            return e;
        std::int64_t id = 0;
        if (const WinError e = m->walk(start, subKey, false, id, nullptr); e != WinError::Success)
            return e;
        // Opening a root with no path gives the root handle back, as Windows does.
        if (parent.m_isRoot && splitPath(subKey).empty()) {
            out = parent;
            return WinError::Success;
        }
        out = RegKey();
        out.m_id = id;
        return WinError::Success;
    });
}

WinError Registry::createKey(const RegKey& parent, std::string_view subKey, RegKey& out, bool* created)
{
    return guarded([&] {
        if (created)
            *created = false;
        WriteScope scope(*this, WriteScope::Nested::Plain);
        if (scope.status() != WinError::Success)
            return scope.status();
        std::int64_t start = 0;
        WinError e = m->resolve(parent, true, start);
        std::int64_t id = 0;
        bool made = false;
        if (e == WinError::Success)
            e = m->walk(start, subKey, true, id, &made);
        e = scope.finish(e);
        if (e != WinError::Success)
            return e;
        if (created)
            *created = made;
        if (parent.m_isRoot && splitPath(subKey).empty()) {
            out = parent;
        } else {
            out = RegKey();
            out.m_id = id;
        }
        return WinError::Success;
    });
}

WinError Registry::deleteKey(const RegKey& parent, std::string_view subKey)
{
    return guarded([&] {
        if (parent.isRoot() && splitPath(subKey).empty())
            return WinError::AccessDenied;
        WriteScope scope(*this);
        if (scope.status() != WinError::Success)
            return scope.status();
        std::int64_t start = 0;
        std::int64_t id = 0;
        WinError e = m->resolve(parent, false, start);
        if (e == WinError::Success)
            e = m->walk(start, subKey, false, id, nullptr);
        if (e == WinError::Success && id <= kCurrentConfigId)
            e = WinError::AccessDenied;
        if (e == WinError::Success) {
            static const char* const sql = "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1";
            Query q(m->prepare(sql));
            q.bind(1, id);
            const int rc = q.step();
            if (rc == SQLITE_ROW)
                e = WinError::AccessDenied;
            else if (rc != SQLITE_DONE)
                e = fromSqlite(rc);
        }
        if (e == WinError::Success)
            e = m->deleteSubtree(id, true);
        return scope.finish(e);
    });
}

WinError Registry::deleteTree(const RegKey& parent, std::string_view subKey)
{
    return guarded([&] {
        WriteScope scope(*this);
        if (scope.status() != WinError::Success)
            return scope.status();
        std::int64_t start = 0;
        std::int64_t id = 0;
        WinError e = m->resolve(parent, false, start);
        if (e == WinError::Success)
            e = m->walk(start, subKey, false, id, nullptr);
        if (e == WinError::Success)
            e = m->deleteSubtree(id, !splitPath(subKey).empty() && id > kCurrentConfigId);
        return scope.finish(e);
    });
}

WinError Registry::enumKey(
    const RegKey& key, std::uint32_t index, std::string& name, std::uint32_t nameCapacity)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        Impl::EnumCache& cache = m->subKeyCache;
        static const char* const sql = "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold";
        if (const WinError e =
                m->refresh(cache, id, sql, [&](Query& q) { cache.names.push_back(q.text(0)); });
            e != WinError::Success)
            return e;
        if (index >= cache.names.size())
            return WinError::NoMoreItems;
        name = cache.names[index];
        return charCount(name) >= nameCapacity ? WinError::MoreData : WinError::Success;
    });
}

WinError Registry::enumValue(
    const RegKey& key, std::uint32_t index, RegValue& out, std::uint32_t nameCapacity)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        Impl::EnumCache& cache = m->valueCache;
        static const char* const list = "SELECT id FROM vals WHERE key = ?1 ORDER BY id";
        if (const WinError e =
                m->refresh(cache, id, list, [&](Query& q) { cache.ids.push_back(q.int64(0)); });
            e != WinError::Success)
            return e;
        if (index >= cache.ids.size())
            return WinError::NoMoreItems;
        static const char* const sql = "SELECT name, type, data FROM vals WHERE id = ?1";
        Query q(m->prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, cache.ids[index]);
        const int rc = q.step();
        if (rc != SQLITE_ROW)
            return rc == SQLITE_DONE ? WinError::NoMoreItems : fromSqlite(rc);
        out.name = q.text(0);
        out.type = static_cast<RegType>(q.int64(1));
        out.data = q.blob(2);
        return charCount(out.name) >= nameCapacity ? WinError::MoreData : WinError::Success;
    });
}

WinError Registry::queryInfo(const RegKey& key, RegKeyInfo& out)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        static const char* const sql = "SELECT (SELECT count(*) FROM keys WHERE parent = ?1), "
                                       "(SELECT coalesce(max(length(name)), 0) FROM keys WHERE parent = ?1), "
                                       "(SELECT count(*) FROM vals WHERE key = ?1), "
                                       "(SELECT coalesce(max(length(name)), 0) FROM vals WHERE key = ?1), "
                                       "(SELECT coalesce(max(length(data)), 0) FROM vals WHERE key = ?1)";
        Query q(m->prepare(sql));
        if (!q.ok())
            return WinError::RegistryIoFailed;
        q.bind(1, id);
        const int rc = q.step();
        if (rc != SQLITE_ROW)
            return fromSqlite(rc);
        out.subKeys = static_cast<std::uint32_t>(q.int64(0));
        out.maxSubKeyLength = static_cast<std::uint32_t>(q.int64(1));
        out.values = static_cast<std::uint32_t>(q.int64(2));
        out.maxValueNameLength = static_cast<std::uint32_t>(q.int64(3));
        out.maxValueDataSize = static_cast<std::uint32_t>(q.int64(4));
        return WinError::Success;
    });
}

WinError Registry::queryValue(
    const RegKey& key, std::string_view name, RegType* type, std::uint8_t* data, std::uint32_t* size)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        if (data && !size)
            return WinError::InvalidParameter;
        RegValue v;
        if (const WinError e = m->findValue(id, name, v); e != WinError::Success)
            return e;
        if (type)
            *type = v.type;
        const auto needed = static_cast<std::uint32_t>(v.data.size());
        WinError result = WinError::Success;
        if (data) {
            if (*size < needed)
                result = WinError::MoreData;
            else if (needed > 0)
                std::memcpy(data, v.data.data(), needed);
        }
        if (size)
            *size = needed;
        return result;
    });
}

WinError Registry::queryValue(const RegKey& key, std::string_view name, RegValue& out)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        return m->findValue(id, name, out);
    });
}

WinError Registry::setValue(const RegKey& key, std::string_view name, RegType type, const RegBytes& data)
{
    return guarded([&] {
        if (charCount(name) > kMaxValueNameLength)
            return WinError::InvalidParameter;
        WriteScope scope(*this, WriteScope::Nested::Plain);
        if (scope.status() != WinError::Success)
            return scope.status();
        std::int64_t id = 0;
        WinError e = m->resolve(key, true, id);
        if (e == WinError::Success) {
            static const char* const sql =
                "INSERT INTO vals(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data";
            Query q(m->prepare(sql));
            if (!q.ok()) {
                e = WinError::RegistryIoFailed;
            } else {
                q.bind(1, id)
                    .bind(2, name)
                    .bind(3, foldCase(name))
                    .bind(4, static_cast<std::int64_t>(type))
                    .bindBlob(5, data);
                const int rc = q.step();
                if (rc != SQLITE_DONE)
                    e = fromSqlite(rc);
            }
        }
        return scope.finish(e);
    });
}

WinError Registry::deleteValue(const RegKey& key, std::string_view name)
{
    return guarded([&] {
        WriteScope scope(*this, WriteScope::Nested::Plain);
        if (scope.status() != WinError::Success)
            return scope.status();
        std::int64_t id = 0;
        WinError e = m->resolve(key, false, id);
        if (e == WinError::Success) {
            static const char* const sql = "DELETE FROM vals WHERE key = ?1 AND fold = ?2";
            Query q(m->prepare(sql));
            if (!q.ok()) {
                e = WinError::RegistryIoFailed;
            } else {
                q.bind(1, id).bind(2, foldCase(name));
                const int rc = q.step();
                if (rc != SQLITE_DONE)
                    e = fromSqlite(rc);
                else if (sqlite3_changes(m->db) == 0)
                    e = WinError::FileNotFound;
            }
        }
        return scope.finish(e);
    });
}

WinError Registry::listSubKeys(const RegKey& key, std::vector<RegSubKey>& out)
{
    return guarded([&] {
        out.clear();
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        static const char* const sql = "SELECT id, name FROM keys WHERE parent = ?1 ORDER BY fold";
        return m->eachRow(sql, id, [&](Query& q) {
            RegSubKey sub;
            sub.key.m_id = q.int64(0);
            sub.name = q.text(1);
            out.push_back(std::move(sub));
        });
    });
}

WinError Registry::listValues(const RegKey& key, std::vector<RegValue>& out)
{
    return guarded([&] {
        out.clear();
        std::int64_t id = 0;
        if (const WinError e = m->resolve(key, false, id); e != WinError::Success)
            return e;
        static const char* const sql = "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id";
        return m->eachRow(sql, id, [&](Query& q) {
            out.push_back(RegValue{q.text(0), static_cast<RegType>(q.int64(1)), q.blob(2)});
        });
    });
}

WinError Registry::queryString(const RegKey& key, std::string_view name, std::string& utf8)
{
    RegValue v;
    if (const WinError e = queryValue(key, name, v); e != WinError::Success)
        return e;
    if (v.type != RegType::Sz && v.type != RegType::ExpandSz)
        return WinError::InvalidData;
    return guarded([&] {
        utf8 = regDataText(v.data);
        return WinError::Success;
    });
}

WinError Registry::setString(const RegKey& key, std::string_view name, std::string_view utf8, RegType type)
{
    return guarded([&] { return setValue(key, name, type, regStringData(utf8)); });
}

WinError Registry::queryDword(const RegKey& key, std::string_view name, std::uint32_t& value)
{
    RegValue v;
    if (const WinError e = queryValue(key, name, v); e != WinError::Success)
        return e;
    const std::optional<std::uint32_t> d = regDataDword(v.data);
    if (v.type != RegType::Dword || !d)
        return WinError::InvalidData;
    value = *d;
    return WinError::Success;
}

WinError Registry::setDword(const RegKey& key, std::string_view name, std::uint32_t value)
{
    return guarded([&] { return setValue(key, name, RegType::Dword, regDwordData(value)); });
}

WinError Registry::beginTransaction()
{
    return guarded([&] { return m->begin(); });
}

WinError Registry::commitTransaction()
{
    return guarded([&] { return m->commit(); });
}

WinError Registry::rollbackTransaction()
{
    return guarded([&] { return m->rollback(); });
}

bool Registry::inTransaction() const { return m->depth > 0; }

void Registry::noteChange() { ++m->writes; }

} // namespace platform
