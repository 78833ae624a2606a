// RegistryKeys.cpp: the registry's key calls: open, create, delete, enumerate, query.
#include "platform/Registry.h"

#include "platform/Guarded.h"
#include "platform/RegistryStore.h"

namespace platform {

using regstore::charCount;
using regstore::kCurrentConfigId;
using regstore::splitPath;

WinError Registry::openKey(const RegKey& parent, std::string_view subKey, RegKey& out)
{
    return guarded([&] {
        std::int64_t id = 0;
        if (const WinError e = m->find(parent, subKey, id); e != WinError::Success)
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
        std::int64_t id = 0;
        WinError e = m->find(parent, subKey, id);
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
        std::int64_t id = 0;
        WinError e = m->find(parent, subKey, id);
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

} // namespace platform
