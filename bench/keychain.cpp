// Keychain: set (add), set (update), get, contains and allKeys() over 1,000 items, beside raw
// SQLite statements doing the same row work with the same durability (WAL,
// synchronous=FULL, BEGIN IMMEDIATE per write, prepared statements) and the same sealing
// and opening of secrets with AES-256-GCM. The difference is the store's own cost:
// dictionary composition, validation, statement lookup and the result shapes. Writes report
// items per second (durable writes per second).
#include "Compare.h"

#include <QVToolbox/keychain/Keychain.h>

#include <openssl/evp.h>
#include <openssl/rand.h>
#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using QVToolbox::Keychain;
using platform::Data;

// The peer's sealing: AES-256-GCM as the store does it (random 12-byte nonce, a 21-byte
// associated data binding the row, 16-byte tag), on one context keyed once, as any careful
// direct use of OpenSSL would.
class Sealer {
public:
    Sealer() {
        RAND_bytes(key_.data(), static_cast<int>(key_.size()));
        EVP_EncryptInit_ex(sealer_, EVP_aes_256_gcm(), nullptr, key_.data(), nullptr);
        EVP_DecryptInit_ex(opener_, EVP_aes_256_gcm(), nullptr, key_.data(), nullptr);
    }
    ~Sealer() {
        EVP_CIPHER_CTX_free(sealer_);
        EVP_CIPHER_CTX_free(opener_);
    }
    Sealer(const Sealer&) = delete;
    Sealer& operator=(const Sealer&) = delete;

    std::string seal(const std::string& plain, const std::string& uuid) {
        std::string out(kNonce + plain.size() + kTag, '\0');
        auto* bytes = reinterpret_cast<unsigned char*>(out.data());
        RAND_bytes(bytes, kNonce);
        const std::string aad = binding(uuid);
        int length = 0;
        EVP_EncryptInit_ex(sealer_, nullptr, nullptr, nullptr, bytes);
        EVP_EncryptUpdate(sealer_, nullptr, &length, reinterpret_cast<const unsigned char*>(aad.data()),
                          static_cast<int>(aad.size()));
        EVP_EncryptUpdate(sealer_, bytes + kNonce, &length, reinterpret_cast<const unsigned char*>(plain.data()),
                          static_cast<int>(plain.size()));
        EVP_EncryptFinal_ex(sealer_, bytes + kNonce + length, &length);
        EVP_CIPHER_CTX_ctrl(sealer_, EVP_CTRL_GCM_GET_TAG, kTag, bytes + kNonce + plain.size());
        return out;
    }
    // The plaintext; aborts when the sealed bytes do not authenticate.
    std::string open(const unsigned char* sealed, std::size_t size, const std::string& uuid) {
        if (size < kNonce + kTag) std::abort();
        std::string out(size - kNonce - kTag, '\0');
        unsigned char tag[kTag];
        std::memcpy(tag, sealed + size - kTag, kTag);
        const std::string aad = binding(uuid);
        int length = 0;
        const bool ok =
            EVP_DecryptInit_ex(opener_, nullptr, nullptr, nullptr, sealed) == 1 &&
            EVP_DecryptUpdate(opener_, nullptr, &length, reinterpret_cast<const unsigned char*>(aad.data()),
                              static_cast<int>(aad.size())) == 1 &&
            EVP_DecryptUpdate(opener_, reinterpret_cast<unsigned char*>(out.data()), &length, sealed + kNonce,
                              static_cast<int>(out.size())) == 1 &&
            EVP_CIPHER_CTX_ctrl(opener_, EVP_CTRL_GCM_SET_TAG, kTag, tag) == 1 &&
            EVP_DecryptFinal_ex(opener_, reinterpret_cast<unsigned char*>(out.data()) + length, &length) == 1;
        if (!ok) std::abort();
        return out;
    }

private:
    static constexpr int kNonce = 12;
    static constexpr int kTag = 16;
    static std::string binding(const std::string& uuid) { return "QVKCg" + uuid; }

    std::array<unsigned char, 32> key_{};
    EVP_CIPHER_CTX* sealer_ = EVP_CIPHER_CTX_new();
    EVP_CIPHER_CTX* opener_ = EVP_CIPHER_CTX_new();
};

// The peer: one table shaped like the store's (a row identifier, the sealed secret, the
// user-presence flag, an index leading with service and account), on one connection with
// prepared statements, sealing and opening secrets as the store does.
class RawStore {
public:
    explicit RawStore(const std::filesystem::path& path) {
        sqlite3_open(path.c_str(), &db_);
        sqlite3_busy_timeout(db_, 10000);
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("CREATE TABLE IF NOT EXISTS items(id INTEGER PRIMARY KEY, uuid BLOB NOT NULL UNIQUE, svce NOT NULL, "
             "acct NOT NULL, sync INTEGER NOT NULL DEFAULT 0, auth INTEGER NOT NULL DEFAULT 0, pdmn, labl, "
             "cdat REAL, mdat REAL, data BLOB, UNIQUE(svce, acct, sync))");
        exec("CREATE INDEX IF NOT EXISTS items_lookup ON items(svce, acct)");
        probe_ = prepare("SELECT id, auth, uuid FROM items WHERE svce = ? AND acct = ? ORDER BY id LIMIT 1");
        insert_ = prepare(
            "INSERT INTO items(uuid, svce, acct, pdmn, cdat, mdat, data) VALUES(?, ?, ?, 'ck', 1.0, 1.0, ?)");
        // The modification date changes with every write, as the store's does (and an update
        // that changes no byte would not be written at all).
        update_ = prepare("UPDATE items SET data = ?, pdmn = 'ck', mdat = mdat + 1 WHERE id = ?");
        read_ = prepare("SELECT id, auth, uuid, data FROM items WHERE svce = ? AND acct = ? ORDER BY id LIMIT 1");
        list_ = prepare("SELECT id, auth, acct FROM items WHERE svce = ? ORDER BY id");
        erase_ = prepare("DELETE FROM items WHERE svce = ?");
    }
    ~RawStore() {
        for (sqlite3_stmt* s : {probe_, insert_, update_, read_, list_, erase_}) sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    RawStore(const RawStore&) = delete;
    RawStore& operator=(const RawStore&) = delete;

    // The same row work as Keychain::set: probe, then insert or update, in one transaction,
    // the secret sealed for the row's identifier.
    void set(const std::string& service, const std::string& key, const std::string& value) {
        const auto found = find(service, key);
        exec("BEGIN IMMEDIATE");
        if (found) {
            bindBlob(update_, 1, sealer_.seal(value, found->second));
            sqlite3_bind_int64(update_, 2, found->first);
            check(sqlite3_step(update_));
            sqlite3_reset(update_);
        } else {
            std::string uuid(16, '\0');
            RAND_bytes(reinterpret_cast<unsigned char*>(uuid.data()), 16);
            bindBlob(insert_, 1, uuid);
            bindText(insert_, 2, service);
            bindText(insert_, 3, key);
            bindBlob(insert_, 4, sealer_.seal(value, uuid));
            check(sqlite3_step(insert_));
            sqlite3_reset(insert_);
        }
        exec("COMMIT");
    }
    bool exists(const std::string& service, const std::string& key) {
        bindText(probe_, 1, service);
        bindText(probe_, 2, key);
        const bool found = sqlite3_step(probe_) == SQLITE_ROW && sqlite3_column_int(probe_, 1) == 0;
        sqlite3_reset(probe_);
        return found;
    }
    std::string get(const std::string& service, const std::string& key) {
        bindText(read_, 1, service);
        bindText(read_, 2, key);
        std::string out;
        if (sqlite3_step(read_) == SQLITE_ROW && sqlite3_column_int(read_, 1) == 0) {
            const std::string uuid(static_cast<const char*>(sqlite3_column_blob(read_, 2)),
                                   static_cast<std::size_t>(sqlite3_column_bytes(read_, 2)));
            out = sealer_.open(static_cast<const unsigned char*>(sqlite3_column_blob(read_, 3)),
                               static_cast<std::size_t>(sqlite3_column_bytes(read_, 3)), uuid);
        }
        sqlite3_reset(read_);
        return out;
    }
    std::vector<std::string> keys(const std::string& service) {
        bindText(list_, 1, service);
        std::vector<std::string> keys;
        while (sqlite3_step(list_) == SQLITE_ROW) {
            if (sqlite3_column_int(list_, 1) != 0) continue;
            keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list_, 2)),
                              static_cast<std::size_t>(sqlite3_column_bytes(list_, 2)));
        }
        sqlite3_reset(list_);
        return keys;
    }
    void removeAll(const std::string& service) {
        exec("BEGIN IMMEDIATE");
        bindText(erase_, 1, service);
        check(sqlite3_step(erase_));
        sqlite3_reset(erase_);
        exec("COMMIT");
    }

private:
    // The id and identifier of the oldest row of `service` and `key`.
    std::optional<std::pair<std::int64_t, std::string>> find(const std::string& service, const std::string& key) {
        bindText(probe_, 1, service);
        bindText(probe_, 2, key);
        std::optional<std::pair<std::int64_t, std::string>> found;
        if (sqlite3_step(probe_) == SQLITE_ROW) {
            found.emplace(sqlite3_column_int64(probe_, 0),
                          std::string(static_cast<const char*>(sqlite3_column_blob(probe_, 2)),
                                      static_cast<std::size_t>(sqlite3_column_bytes(probe_, 2))));
        }
        sqlite3_reset(probe_);
        return found;
    }
    void exec(const char* sql) { check(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr)); }
    void check(int rc) {
        if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
            std::fprintf(stderr, "peer: %s\n", sqlite3_errmsg(db_));
            std::abort();
        }
    }
    sqlite3_stmt* prepare(const char* sql) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db_, sql, -1, &s, nullptr) != SQLITE_OK) check(SQLITE_ERROR);
        return s;
    }
    static void bindText(sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_text(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    static void bindBlob(sqlite3_stmt* s, int i, const std::string& v) {
        sqlite3_bind_blob(s, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }

    sqlite3* db_ = nullptr;
    sqlite3_stmt *probe_ = nullptr, *insert_ = nullptr, *update_ = nullptr, *read_ = nullptr, *list_ = nullptr,
                 *erase_ = nullptr;
    Sealer sealer_;
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
    store.removeAll("bench.add");
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
    if (store.keys("bench.list").size() < 1000) {
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
