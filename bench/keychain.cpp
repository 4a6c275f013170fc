// Keychain: set (add), set (update), get, contains and allKeys() over 1,000 items, beside raw
// SQLite statements doing the same row work with the same durability (WAL,
// synchronous=FULL, BEGIN IMMEDIATE per write, prepared statements). The difference is the
// store's own cost: dictionary composition, validation, sealing with AES-256-GCM and the
// result shapes. Writes report items per second (durable writes per second).
#include "Compare.h"

#include <QVToolbox/keychain/Keychain.h>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using QVToolbox::Keychain;
using platform::Data;

// The peer: one table shaped like the store's, on one connection with prepared statements.
class RawStore {
public:
    explicit RawStore(const std::filesystem::path& path) {
        sqlite3_open(path.c_str(), &db_);
        sqlite3_busy_timeout(db_, 10000);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("CREATE TABLE IF NOT EXISTS items(id INTEGER PRIMARY KEY, svce NOT NULL, acct NOT NULL, "
             "sync INTEGER NOT NULL DEFAULT 0, pdmn, labl, cdat REAL, mdat REAL, data BLOB, UNIQUE(svce, acct, sync))");
        probe_ = prepare("SELECT id FROM items WHERE svce = ? AND acct = ? ORDER BY id LIMIT 1");
        insert_ = prepare("INSERT INTO items(svce, acct, pdmn, cdat, mdat, data) VALUES(?, ?, 'ck', 1.0, 1.0, ?)");
        // The modification date changes with every write, as the store's does (and an update
        // that changes no byte would not be written at all).
        update_ = prepare("UPDATE items SET data = ?, pdmn = 'ck', mdat = mdat + 1 WHERE svce = ? AND acct = ?");
        read_ = prepare("SELECT data FROM items WHERE svce = ? AND acct = ? AND sync = 0 ORDER BY id LIMIT 1");
        list_ = prepare("SELECT id, svce, acct, sync, pdmn, labl, cdat, mdat, data FROM items WHERE svce = ? ORDER BY id");
    }
    ~RawStore() {
        for (sqlite3_stmt* s : {probe_, insert_, update_, read_, list_}) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    RawStore(const RawStore&) = delete;
    RawStore& operator=(const RawStore&) = delete;

    // The same row work as Keychain::set: probe, then insert or update, in one transaction.
    void set(const std::string& service, const std::string& key, const std::string& value) {
        const bool found = exists(service, key);
        exec("BEGIN IMMEDIATE");
        if (found) {
            bindBlob(update_, 1, value);
            bindText(update_, 2, service);
            bindText(update_, 3, key);
            check(sqlite3_step(update_));
            sqlite3_reset(update_);
        } else {
            bindText(insert_, 1, service);
            bindText(insert_, 2, key);
            bindBlob(insert_, 3, value);
            check(sqlite3_step(insert_));
            sqlite3_reset(insert_);
        }
        exec("COMMIT");
    }
    bool exists(const std::string& service, const std::string& key) {
        bindText(probe_, 1, service);
        bindText(probe_, 2, key);
        const bool found = sqlite3_step(probe_) == SQLITE_ROW;
        sqlite3_reset(probe_);
        return found;
    }
    std::string get(const std::string& service, const std::string& key) {
        bindText(read_, 1, service);
        bindText(read_, 2, key);
        std::string out;
        if (sqlite3_step(read_) == SQLITE_ROW) {
            out.assign(static_cast<const char*>(sqlite3_column_blob(read_, 0)), sqlite3_column_bytes(read_, 0));
        }
        sqlite3_reset(read_);
        return out;
    }
    std::size_t keys(const std::string& service) {
        bindText(list_, 1, service);
        std::size_t count = 0;
        while (sqlite3_step(list_) == SQLITE_ROW) {
            std::string key(reinterpret_cast<const char*>(sqlite3_column_text(list_, 2)));
            benchmark::DoNotOptimize(key);
            ++count;
        }
        sqlite3_reset(list_);
        return count;
    }

private:
    void exec(const char* sql) { check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }
    void check(int rc) {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
            std::fprintf(stderr, "peer: %s\n", sqlite3_errmsg(db_));
            std::abort();
        }
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &s, nullptr);
        return s;
    }
    static void bindText(sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    static void bindBlob(sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_blob(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt *probe_ = nullptr, *insert_ = nullptr, *update_ = nullptr, *read_ = nullptr, *list_ = nullptr;
};

std::filesystem::path peerPath() { return std::filesystem::path(std::getenv("QV_HOME")) / "peer.db"; }

const std::string kValue = "correct-horse-battery-staple";

void BM_SetAdd_ours(benchmark::State& state) {
    auto keychain = Keychain::make("bench.add");
    std::int64_t i = 0;
    for (auto _ : state) keychain->set(kValue, "key" + std::to_string(i++));
    state.SetItemsProcessed(state.iterations());
    keychain->removeAll();
}
void BM_SetAdd_peer(benchmark::State& state) {
    RawStore store(peerPath());
    std::int64_t i = 0;
    for (auto _ : state) store.set("bench.add", "key" + std::to_string(i++), kValue);
    state.SetItemsProcessed(state.iterations());
}

void BM_SetUpdate_ours(benchmark::State& state) {
    auto keychain = Keychain::make("bench.update");
    keychain->set(kValue, "key");
    for (auto _ : state) keychain->set(kValue, "key");
    state.SetItemsProcessed(state.iterations());
}
void BM_SetUpdate_peer(benchmark::State& state) {
    RawStore store(peerPath());
    store.set("bench.update", "key", kValue);
    for (auto _ : state) store.set("bench.update", "key", kValue);
    state.SetItemsProcessed(state.iterations());
}

void BM_Get_ours(benchmark::State& state) {
    auto keychain = Keychain::make("bench.read");
    keychain->set(kValue, "key");
    for (auto _ : state) benchmark::DoNotOptimize(keychain->getData("key"));
}
void BM_Get_peer(benchmark::State& state) {
    RawStore store(peerPath());
    store.set("bench.read", "key", kValue);
    for (auto _ : state) benchmark::DoNotOptimize(store.get("bench.read", "key"));
}

void BM_Contains_ours(benchmark::State& state) {
    auto keychain = Keychain::make("bench.read");
    keychain->set(kValue, "key");
    for (auto _ : state) benchmark::DoNotOptimize(keychain->contains("key"));
}
void BM_Contains_peer(benchmark::State& state) {
    RawStore store(peerPath());
    store.set("bench.read", "key", kValue);
    for (auto _ : state) benchmark::DoNotOptimize(store.exists("bench.read", "key"));
}

void BM_AllKeys_ours(benchmark::State& state) {
    auto keychain = Keychain::make("bench.list");
    if (keychain->allKeys().size() < 1000) {
        for (int i = 0; i < 1000; ++i) keychain->set(kValue, "key" + std::to_string(i));
    }
    for (auto _ : state) benchmark::DoNotOptimize(keychain->allKeys());
}
void BM_AllKeys_peer(benchmark::State& state) {
    RawStore store(peerPath());
    if (store.keys("bench.list") < 1000) {
        for (int i = 0; i < 1000; ++i) store.set("bench.list", "key" + std::to_string(i), kValue);
    }
    for (auto _ : state) benchmark::DoNotOptimize(store.keys("bench.list"));
}

}  // namespace

BENCHMARK(BM_SetAdd_ours)->Name("keychain_set_add/ours");
BENCHMARK(BM_SetAdd_peer)->Name("keychain_set_add/peer");
BENCHMARK(BM_SetUpdate_ours)->Name("keychain_set_update/ours");
BENCHMARK(BM_SetUpdate_peer)->Name("keychain_set_update/peer");
BENCHMARK(BM_Get_ours)->Name("keychain_get/ours");
BENCHMARK(BM_Get_peer)->Name("keychain_get/peer");
BENCHMARK(BM_Contains_ours)->Name("keychain_contains/ours");
BENCHMARK(BM_Contains_peer)->Name("keychain_contains/peer");
BENCHMARK(BM_AllKeys_ours)->Name("keychain_allKeys_1000/ours");
BENCHMARK(BM_AllKeys_peer)->Name("keychain_allKeys_1000/peer");

int main(int argc, char** argv) {
    // A private home folder, so the benchmark never touches a real keychain.
    char pattern[] = "/tmp/qv-bench-keychain-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (!home) return 1;
    setenv("QV_HOME", home, 1);
    const int status = qvbench::run(argc, argv);
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
