// One SQLite connection with a cache of prepared statements, a transaction guard and the
// mapping of SQLite results to store result codes. Used under the item store's lock only.
//
// The cache is keyed by a short text naming the statement's shape (or by the SQL text
// itself), so a caller that knows the shape finds its statement without building any SQL.
// It holds a bounded number of statements: a statement handed out stays valid until the
// next `prepare` on the same connection.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/SecBase.h>

#include <sqlite3.h>

#include <filesystem>
#include <unordered_map>
#include <memory>
#include <string>
#include <string_view>

namespace platform::detail {

// The store result code of an SQLite result code.
OSStatus statusOfSqlite(int code);

class Database {
public:
    // Opens (creating with mode 0600) the database at `path` in WAL mode with
    // synchronous=FULL and a busy timeout. A file that is not a database answers
    // errSecInvalidKeychain and is left untouched.
    static OSStatus open(const std::filesystem::path& path, std::unique_ptr<Database>& out);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return db_; }
    // A prepared statement for `sql`, kept in the cache and reset before it is handed out
    // again; null on failure (the status in `status`).
    sqlite3_stmt* prepare(const std::string& sql, OSStatus& status) {
        return prepare(sql, [&] { return sql; }, status);
    }
    // The cached statement for `shape`, or, on a miss, the one `makeSql()` gives (prepared and
    // cached under `shape`). A shape must name one SQL text for the life of the process.
    template <class MakeSql>
    sqlite3_stmt* prepare(std::string_view shape, MakeSql&& makeSql, OSStatus& status) {
        status = errSecSuccess;
        if (auto found = statements_.find(shape); found != statements_.end()) return found->second;
        return prepareNew(std::string(shape), makeSql(), status);
    }
    OSStatus exec(const char* sql);
    // Leaves the handle open without closing it: for a child process that inherited it,
    // where closing would touch the parent's locks.
    void abandon() { db_ = nullptr; }

private:
    // Hashes texts and text views alike, so a lookup by view makes no string.
    struct ShapeHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    explicit Database(sqlite3* db) : db_(db) {}
    sqlite3_stmt* prepareNew(std::string shape, const std::string& sql, OSStatus& status);
    void finalizeAll();

    sqlite3* db_;
    std::unordered_map<std::string, sqlite3_stmt*, ShapeHash, std::equal_to<>> statements_;
};

// Binds an Any (text, data, integer, bool, date) at 1-based `index`; false for other kinds.
// Texts and data are copied, unless `lifetime` is SQLITE_STATIC: then they are borrowed and
// must outlive the statement's use.
bool bindValue(sqlite3_stmt* statement, int index, const Any& value,
               sqlite3_destructor_type lifetime = SQLITE_TRANSIENT);

// A transaction on `db`: BEGIN IMMEDIATE for writes, BEGIN for reads; rolled back unless
// committed.
class Transaction {
public:
    Transaction(Database& db, bool write);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    OSStatus status() const { return status_; }
    OSStatus commit();

private:
    Database& db_;
    OSStatus status_;
    bool open_ = false;
};

// Resets a statement (and clears its bindings) when the scope ends.
class StatementUse {
public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        if (statement_) {
            sqlite3_reset(statement_);
            sqlite3_clear_bindings(statement_);
        }
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

private:
    sqlite3_stmt* statement_;
};

}  // namespace platform::detail
