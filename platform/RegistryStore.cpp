// RegistryStore.cpp: the SQLite store behind Registry: statement cache, transactions and
// savepoints, key lookup and creation along a path, subtree deletion.
#include "platform/RegistryStore.h"

#include "platform/CodePage.h"

#include <algorithm>

namespace platform {
namespace regstore {

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

std::uint32_t charCount(std::string_view utf8)
{
    std::uint32_t n = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80)
            ++n;
    return n;
}

bool keyNameFits(std::string_view part) { return charCount(part) <= kMaxKeyNameLength; }

bool keyPathFits(RegRoot root, std::string_view subKey)
{
    const std::vector<std::string_view> parts = splitPath(subKey);
    const std::size_t hiveDepth = root == RegRoot::ClassesRoot ? 2 : 0;
    if (hiveDepth + parts.size() > kMaxKeyDepth)
        return false;
    return std::all_of(parts.begin(), parts.end(), keyNameFits);
}

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

} // namespace regstore

using regstore::charCount;
using regstore::kCurrentConfigId;
using regstore::kCurrentUserId;
using regstore::kLocalMachineId;
using regstore::kUsersId;
using regstore::splitPath;

std::int64_t Registry::Impl::dataVersion()
{
    static const char* const sql = "PRAGMA data_version";
    Query q(prepare(sql));
    return q.ok() && q.step() == SQLITE_ROW ? q.int64(0) : -2;
}

bool Registry::Impl::fresh(const EnumCache& c, std::int64_t key, std::int64_t version) const
{
    return c.key == key && c.writes == writes && c.dataVersion == version && version >= 0;
}

void Registry::Impl::close()
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

sqlite3_stmt* Registry::Impl::prepare(const char* sql)
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

WinError Registry::Impl::begin()
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

WinError Registry::Impl::commit()
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

WinError Registry::Impl::rollback()
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

WinError Registry::Impl::child(std::int64_t parent, std::string_view name, std::int64_t& id)
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

WinError Registry::Impl::insertChild(std::int64_t parent, std::string_view name, std::int64_t& id)
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

WinError Registry::Impl::keyExists(std::int64_t id)
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

WinError Registry::Impl::resolve(const RegKey& key, bool create, std::int64_t& id)
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

WinError Registry::Impl::depthOf(std::int64_t id, int& depth)
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

WinError Registry::Impl::find(const RegKey& parent, std::string_view path, std::int64_t& id)
{
    std::int64_t start = 0;
    if (const WinError e = resolve(parent, false, start); e != WinError::Success)
        return e;
    return walk(start, path, false, id, nullptr);
}

WinError Registry::Impl::walk(
    std::int64_t start, std::string_view path, bool create, std::int64_t& id, bool* created)
{
    std::int64_t current = start;
    bool made = false;
    const std::vector<std::string_view> parts = splitPath(path);
    int depth = -1; // found out at the first key that has to be made
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = parts[i];
        if (!regstore::keyNameFits(part))
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

WinError Registry::Impl::deleteSubtree(std::int64_t id, bool withRoot)
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

WinError Registry::Impl::findValue(std::int64_t key, std::string_view name, RegValue& out)
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

} // namespace platform
