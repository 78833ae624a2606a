// Registry.cpp: the emulated registry on SQLite: keys and values tables, Win32-shaped calls,
// transactions that several processes can share through WAL and a busy timeout.
#include "platform/Registry.h"

#include "platform/CodePage.h"
#include "platform/Guarded.h"
#include "platform/RegistryStore.h"
#include "platform/RegistryVfs.h"

#include <string>
#include <system_error>

namespace platform {

using regstore::kSchemaVersion;

namespace {

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

// What a database file holds: its schema version, its tables and how many of them are ours.
struct SchemaInfo {
    int version = 0;
    int tables = 0;
    int ours = 0;
};

// Reads the schema of an open database; SQLITE_OK or the error of the first access.
int readSchemaInfo(sqlite3* db, SchemaInfo& out)
{
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db,
        "SELECT (SELECT user_version FROM pragma_user_version), "
        "(SELECT count(*) FROM sqlite_master WHERE type = 'table'), "
        "(SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('keys', 'vals'))",
        -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            out.version = sqlite3_column_int(stmt, 0);
            out.tables = sqlite3_column_int(stmt, 1);
            out.ours = sqlite3_column_int(stmt, 2);
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

// Creates the tables and the stored hives in one transaction; SQLITE_OK, or the error with its
// text in `error` (nothing is left behind).
int createSchema(sqlite3* db, std::string& error)
{
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
    char* text = nullptr;
    const int rc = sqlite3_exec(db, schema, nullptr, nullptr, &text);
    if (rc != SQLITE_OK) {
        error = text ? text : sqlite3_errstr(rc);
        sqlite3_free(text);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return rc;
}

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
        // A link (into another machine, say) or a pipe planted as registry.db is never opened.
        const std::filesystem::file_status st = std::filesystem::symlink_status(dbFile, ec);
        if (std::filesystem::is_symlink(st) || (exists && !std::filesystem::is_regular_file(st)))
            return fail(WinError::AccessDenied, "registry database " + dbFile.string() + " is not a file");
        int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
        if (mode == OpenMode::CreateIfMissing)
            flags |= SQLITE_OPEN_CREATE;
        const int rc = sqlite3_open_v2(dbFile.c_str(), &m->db, flags, registryVfsName());
        if (rc != SQLITE_OK)
            return fail(fromSqlite(rc),
                "cannot open registry database " + dbFile.string() + ": " +
                    (m->db ? sqlite3_errmsg(m->db) : sqlite3_errstr(rc)));
        m->file = dbFile;
        sqlite3_busy_timeout(m->db, busyTimeoutMs);
        sqlite3_extended_result_codes(m->db, 0);

        // Reading the schema version is the first real access: a file that is not a database fails here.
        SchemaInfo schema;
        const int src = readSchemaInfo(m->db, schema);
        if (src == SQLITE_NOTADB || src == SQLITE_CORRUPT)
            return fail(WinError::InvalidData, dbFile.string() + " is not a registry database");
        if (src != SQLITE_OK)
            return fail(fromSqlite(src),
                "cannot read registry database " + dbFile.string() + ": " + sqlite3_errmsg(m->db));
        if (schema.version > kSchemaVersion || (schema.tables > 0 && schema.ours != 2))
            return fail(WinError::InvalidData, dbFile.string() + " is not a registry database");

        if (m->exec("PRAGMA journal_mode = WAL") != WinError::Success)
            return fail(WinError::RegistryIoFailed,
                "cannot set up registry database " + dbFile.string() + ": " + sqlite3_errmsg(m->db));
        m->exec("PRAGMA synchronous = NORMAL");

        if (schema.version < kSchemaVersion) {
            std::string error;
            if (const int xrc = createSchema(m->db, error); xrc != SQLITE_OK)
                return fail(
                    fromSqlite(xrc), "cannot set up registry database " + dbFile.string() + ": " + error);
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

WinError Registry::giveBackSpace()
{
    return guarded([&] {
        if (!m->db)
            return WinError::InvalidHandle;
        if (m->depth > 0)
            return WinError::InvalidFunction;
        const auto pragma = [this](const char* sql) {
            sqlite3_stmt* s = nullptr;
            std::int64_t value = 0;
            if (sqlite3_prepare_v2(m->db, sql, -1, &s, nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
                value = sqlite3_column_int64(s, 0);
            sqlite3_finalize(s);
            return value;
        };
        const std::int64_t pages = pragma("PRAGMA page_count");
        const std::int64_t free = pragma("PRAGMA freelist_count");
        if (free > 0 && free * 4 >= pages) {
            // The statements hold no transaction open; VACUUM needs none to be.
            if (const WinError e = m->exec("VACUUM"); e != WinError::Success)
                return e;
            ++m->writes;
        }
        return m->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    });
}

void Registry::noteChange() { ++m->writes; }

} // namespace platform
