#include <QVPlatform/security/detail/Database.h>

#include <fcntl.h>
#include <unistd.h>

namespace platform::detail {

namespace {

// How long a call waits for another connection's write lock before answering
// errSecDatabaseLocked.
constexpr int kBusyTimeoutMilliseconds = 10000;

// The most statements a connection keeps prepared. Callers choose the attributes they search
// by, so the shapes are many in principle; the working set of an application is small.
constexpr std::size_t kMaximumStatements = 64;

}  // namespace

OSStatus statusOfSqlite(int code) {
    switch (code & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return errSecSuccess;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return errSecDatabaseLocked;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT: return errSecInvalidKeychain;
    case SQLITE_CONSTRAINT: return errSecDuplicateItem;
    case SQLITE_NOMEM: return errSecAllocate;
    case SQLITE_FULL: return -34;  // disk full
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY: return errSecNotAvailable;
    default: return errSecIO;
    }
}

OSStatus Database::open(const std::filesystem::path& path, std::unique_ptr<Database>& out) {
    // Create the file first so that it (and the -wal and -shm files SQLite derives from it)
    // gets mode 0600 whatever the umask.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return errSecNotAvailable;
    ::close(fd);
    sqlite3* db = nullptr;
    const int opened = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::unique_ptr<Database> made(new Database(db));
    if (opened != SQLITE_OK) return statusOfSqlite(opened);
    sqlite3_busy_timeout(db, kBusyTimeoutMilliseconds);
    sqlite3_extended_result_codes(db, 1);
    // Switching to WAL reads the header: a file that is not a database fails here, unchanged.
    sqlite3_stmt* mode = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA journal_mode=WAL", -1, &mode, nullptr);
    if (rc == SQLITE_OK) rc = sqlite3_step(mode);
    const bool wal = rc == SQLITE_ROW &&
                     std::string(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0))) == "wal";
    sqlite3_finalize(mode);
    if (rc != SQLITE_ROW) return statusOfSqlite(rc);
    if (!wal) return errSecInvalidKeychain;
    if (OSStatus s = made->exec("PRAGMA synchronous=FULL"); s != errSecSuccess) return s;
    out = std::move(made);
    return errSecSuccess;
}

Database::~Database() {
    if (!db_) return;
    finalizeAll();
    sqlite3_close_v2(db_);
}

void Database::finalizeAll() {
    for (auto& [shape, statement] : statements_) sqlite3_finalize(statement);
    statements_.clear();
}

sqlite3_stmt* Database::prepareNew(std::string shape, const std::string& sql, OSStatus& status) {
    sqlite3_stmt* statement = nullptr;
    const int rc = sqlite3_prepare_v3(db_, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
    if (rc != SQLITE_OK) {
        status = statusOfSqlite(rc);
        return nullptr;
    }
    // A full cache starts over: no statement handed out earlier is in use any more.
    if (statements_.size() >= kMaximumStatements) finalizeAll();
    statements_.emplace(std::move(shape), statement);
    return statement;
}

OSStatus Database::exec(const char* sql) {
    return statusOfSqlite(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr));
}

bool bindValue(sqlite3_stmt* statement, int index, const Any& value, sqlite3_destructor_type lifetime) {
    switch (value.kind()) {
    case Any::Kind::text: {
        const std::string& text = value.string();
        return sqlite3_bind_text(statement, index, text.data(), static_cast<int>(text.size()), lifetime) ==
               SQLITE_OK;
    }
    case Any::Kind::data: {
        const Data& data = *value.asData();
        // An empty blob bound from a null pointer would read back as NULL.
        if (data.empty()) return sqlite3_bind_zeroblob(statement, index, 0) == SQLITE_OK;
        return sqlite3_bind_blob(statement, index, data.bytes(), static_cast<int>(data.count()), lifetime) ==
               SQLITE_OK;
    }
    case Any::Kind::boolean: return sqlite3_bind_int(statement, index, value.boolValue() ? 1 : 0) == SQLITE_OK;
    case Any::Kind::integer: return sqlite3_bind_int64(statement, index, value.integerValue()) == SQLITE_OK;
    case Any::Kind::date:
        return sqlite3_bind_double(statement, index, value.asDate()->timeIntervalSince1970()) == SQLITE_OK;
    default: return false;
    }
}

Transaction::Transaction(Database& db, bool write) : db_(db) {
    status_ = db_.exec(write ? "BEGIN IMMEDIATE" : "BEGIN");
    open_ = status_ == errSecSuccess;
}

Transaction::~Transaction() {
    if (open_) db_.exec("ROLLBACK");
}

OSStatus Transaction::commit() {
    if (!open_) return status_;
    status_ = db_.exec("COMMIT");
    if (status_ == errSecSuccess) open_ = false;
    return status_;
}

}  // namespace platform::detail
