// RegistryValues.cpp: the registry's value calls: enumerate, query, set and delete values, and
// the string and DWORD forms on top.
#include "platform/Registry.h"

#include "platform/CodePage.h"
#include "platform/Guarded.h"
#include "platform/RegistryStore.h"

#include <cstring>

namespace platform {

using regstore::charCount;

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

} // namespace platform
