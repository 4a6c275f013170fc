#include <QVPlatform/security/detail/ItemStore.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/security/SecItem.h>

#include <pthread.h>
#include <unistd.h>

#include <atomic>

#include <system_error>

namespace platform::detail {

namespace {

constexpr int kSchemaVersion = 1;

// Attribute columns have no declared type, so a text stays a text and data stays data:
// matching is exact, by kind and by bytes. Unique columns default to '' / 0 so that an
// absent attribute takes part in the uniqueness rule.
constexpr const char* kSchema = R"sql(
CREATE TABLE genp(
  id INTEGER PRIMARY KEY, uuid BLOB NOT NULL UNIQUE,
  agrp NOT NULL DEFAULT '', svce NOT NULL DEFAULT '', acct NOT NULL DEFAULT '', sync INTEGER NOT NULL DEFAULT 0,
  pdmn, acl INTEGER, auth INTEGER NOT NULL DEFAULT 0,
  labl, desc, icmt, crtr, type, gena, invi, nega, cdat REAL NOT NULL, mdat REAL NOT NULL, data BLOB,
  UNIQUE(agrp, svce, acct, sync));
CREATE TABLE inet(
  id INTEGER PRIMARY KEY, uuid BLOB NOT NULL UNIQUE,
  agrp NOT NULL DEFAULT '', srvr NOT NULL DEFAULT '', port INTEGER NOT NULL DEFAULT 0, ptcl NOT NULL DEFAULT '',
  atyp NOT NULL DEFAULT '', path NOT NULL DEFAULT '', sdmn NOT NULL DEFAULT '', acct NOT NULL DEFAULT '',
  sync INTEGER NOT NULL DEFAULT 0,
  pdmn, acl INTEGER, auth INTEGER NOT NULL DEFAULT 0,
  labl, desc, icmt, crtr, type, invi, nega, cdat REAL NOT NULL, mdat REAL NOT NULL, data BLOB,
  UNIQUE(agrp, srvr, port, ptcl, atyp, path, sdmn, acct, sync));
CREATE TABLE swc(
  id INTEGER PRIMARY KEY, uuid BLOB NOT NULL UNIQUE, domain TEXT NOT NULL, account TEXT NOT NULL,
  data BLOB NOT NULL, UNIQUE(domain, account));
CREATE TABLE meta(name TEXT PRIMARY KEY, value);
PRAGMA user_version = 1;
)sql";

OSStatus readInteger(Database& db, const char* sql, std::int64_t& out) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(sql, status);
    if (!statement) return status;
    StatementUse use(statement);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW) return statusOfSqlite(rc);
    out = sqlite3_column_int64(statement, 0);
    return errSecSuccess;
}

// The key identifier recorded in the database, empty when none.
OSStatus readRecordedKey(Database& db, std::string& out) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare("SELECT value FROM meta WHERE name = 'key'", status);
    if (!statement) return status;
    StatementUse use(statement);
    const int rc = sqlite3_step(statement);
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        out = text ? text : "";
        return errSecSuccess;
    }
    return rc == SQLITE_DONE ? errSecSuccess : statusOfSqlite(rc);
}

OSStatus recordKey(Database& db, const std::string& identifier) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare("INSERT OR REPLACE INTO meta(name, value) VALUES('key', ?)", status);
    if (!statement) return status;
    StatementUse use(statement);
    sqlite3_bind_text(statement, 1, identifier.c_str(), -1, SQLITE_TRANSIENT);
    return statusOfSqlite(sqlite3_step(statement));
}

// Lookups name the service (or server) and usually the account; without these indexes each
// would scan the table, since the uniqueness indexes lead with the access group. Made on
// every open when missing: a database of an earlier build gains them, and a build without
// them reads the database unchanged, so the schema version stays.
constexpr const char* kLookupIndexes = R"sql(
CREATE INDEX IF NOT EXISTS genp_lookup ON genp(svce, acct);
CREATE INDEX IF NOT EXISTS inet_lookup ON inet(srvr, acct);
)sql";

OSStatus makeSchema(Database& db) {
    std::int64_t version = 0;
    if (OSStatus s = readInteger(db, "PRAGMA user_version", version); s != errSecSuccess) return s;
    if (version == 0) {
        if (OSStatus s = db.exec(kSchema); s != errSecSuccess) return s;
    } else if (version != kSchemaVersion) {
        return errSecInvalidKeychain;  // a newer or unknown layout: leave it alone
    }
    return db.exec(kLookupIndexes);
}

// Loads the key, or makes it when no sealed secret depends on an earlier one. A missing or
// different key while sealed secrets exist answers errSecInvalidKeychain: a silently new key
// would make every stored secret unreadable.
OSStatus loadKey(Database& db, const std::filesystem::path& keyPath, std::shared_ptr<const StoreKey>& key) {
    std::string recorded;
    if (OSStatus s = readRecordedKey(db, recorded); s != errSecSuccess) return s;
    std::int64_t sealed = 0;
    if (OSStatus s = readInteger(db,
                                 "SELECT (SELECT count(*) FROM genp WHERE data IS NOT NULL) + "
                                 "(SELECT count(*) FROM inet WHERE data IS NOT NULL) + (SELECT count(*) FROM swc)",
                                 sealed);
        s != errSecSuccess) {
        return s;
    }
    OSStatus status = readKeyFile(keyPath, key);
    if (status == errSecItemNotFound) {
        if (!recorded.empty() && sealed > 0) return errSecInvalidKeychain;
        status = createKeyFile(keyPath, key);
    }
    if (status != errSecSuccess) return status;
    if (recorded == key->identifier()) return errSecSuccess;
    if (!recorded.empty() && sealed > 0) return errSecInvalidKeychain;
    return recordKey(db, key->identifier());
}

// Forks seen by this process and its ancestors since the store was first used: a child
// finds a count its connection was not opened under. (Cheaper than getpid(), a system call,
// on every call.)
std::atomic<unsigned> forkCount{0};

}  // namespace

ItemStore& ItemStore::shared() {
    static ItemStore* store = [] {
        ::pthread_atfork(nullptr, nullptr, [] { forkCount.fetch_add(1, std::memory_order_relaxed); });
        return new ItemStore;  // lives until exit; callers may run during teardown
    }();
    return *store;
}

OSStatus ItemStore::ensureOpen() {
    if (database_ && forks_ != forkCount.load(std::memory_order_relaxed)) {
        // A forked child must not use (or close) the parent's connection.
        database_->abandon();
        database_.reset();
    }
    // Compared in place on every call; the home text is only copied when it changed.
    if (database_ && Host::isHomeDirectoryText(home_)) return errSecSuccess;
    std::string home = Host::homeDirectoryText();
    database_.reset();
    key_.reset();
    const OSStatus status = openAt(std::move(home));
    if (status != errSecSuccess) {
        database_.reset();
        key_.reset();
    }
    return status;
}

OSStatus ItemStore::openAt(std::string home) {
    const std::filesystem::path folder = SecKeychainFolder(home);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return errSecNotAvailable;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, error);
    if (OSStatus s = Database::open(folder / "keychain.db", database_); s != errSecSuccess) return s;
    Transaction transaction(*database_, true);
    if (transaction.status() != errSecSuccess) return transaction.status();
    if (OSStatus s = makeSchema(*database_); s != errSecSuccess) return s;
    if (OSStatus s = loadKey(*database_, folder / "keychain.key", key_); s != errSecSuccess) return s;
    if (OSStatus s = transaction.commit(); s != errSecSuccess) return s;
    home_ = std::move(home);
    forks_ = forkCount.load(std::memory_order_relaxed);
    return errSecSuccess;
}

}  // namespace platform::detail
