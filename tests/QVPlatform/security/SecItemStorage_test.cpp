// The item store's files: secrets sealed at rest, file modes, damaged or tampered files,
// several processes at once and processes killed mid-write.
#include "support/KeychainHome.h"

#include <QVPlatform/security/SecItem.h>
#include <QVPlatform/security/SharedWebCredential.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace platform {
namespace {

Any::Dictionary item(const std::string& account) {
    return {{kSecClass, kSecClassGenericPassword}, {kSecAttrService, "svc"}, {kSecAttrAccount, account}};
}
OSStatus put(const std::string& account, const std::string& secret) {
    Any::Dictionary add = item(account);
    add[kSecValueData] = Data::fromString(secret);
    OSStatus s = SecItemAdd(add, nullptr);
    if (s == errSecDuplicateItem) s = SecItemUpdate(item(account), {{kSecValueData, Data::fromString(secret)}});
    return s;
}
std::optional<std::string> get(const std::string& account, OSStatus* status = nullptr) {
    Any::Dictionary query = item(account);
    query[kSecReturnData] = true;
    Any out;
    const OSStatus s = SecItemCopyMatching(query, &out);
    if (status) *status = s;
    if (s != errSecSuccess) return std::nullopt;
    return out.asData()->toString();
}
std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}
// Runs one SQL statement on the database from outside the store.
void sql(const std::filesystem::path& database, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(database.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

TEST(SecItemStorage, NoSecretBytesReachAnyFileAndModesArePrivate) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("alice", "Tr0ub4dor&3-very-secret"), errSecSuccess);
    ASSERT_EQ(put("alice", "correct-horse-battery"), errSecSuccess);
    bool done = false;
    SecAddSharedWebCredential("example.com", "bob", std::string("shared-web-pass"), [&](CFErrorRef) { done = true; });
    for (const auto& entry : std::filesystem::directory_iterator(home.folder())) {
        const std::string contents = readFile(entry.path());
        for (const char* secret : {"Tr0ub4dor&3", "correct-horse", "shared-web-pass"}) {
            EXPECT_EQ(contents.find(secret), std::string::npos) << secret << " in " << entry.path();
        }
        struct stat info {};
        ASSERT_EQ(::stat(entry.path().c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0600u) << entry.path();
    }
    struct stat folder {};
    ASSERT_EQ(::stat(home.folder().c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

TEST(SecItemStorage, TamperedSecretsAnswerDecodeAndNeverAWrongValue) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("a", "secret-a"), errSecSuccess);
    ASSERT_EQ(put("b", "secret-b"), errSecSuccess);
    // One flipped ciphertext byte.
    sql(home.database(),
        "UPDATE genp SET data = CAST(substr(data, 1, 20) || x'00' || substr(data, 22) AS BLOB) WHERE acct = 'a'");
    OSStatus status = 0;
    EXPECT_EQ(get("a", &status), std::nullopt);
    EXPECT_EQ(status, errSecDecode);
    // A sealed value replaced by a text.
    sql(home.database(), "UPDATE genp SET data = 'plain text' WHERE acct = 'a'");
    EXPECT_EQ(get("a", &status), std::nullopt);
    EXPECT_EQ(status, errSecDecode);
    // b's secret copied into a's row.
    sql(home.database(), "UPDATE genp SET data = (SELECT data FROM genp WHERE acct = 'b') WHERE acct = 'a'");
    EXPECT_EQ(get("a", &status), std::nullopt);
    EXPECT_EQ(status, errSecDecode);
    EXPECT_EQ(get("b"), "secret-b");
    // A truncated sealed value.
    sql(home.database(), "UPDATE genp SET data = x'0102' WHERE acct = 'b'");
    EXPECT_EQ(get("b", &status), std::nullopt);
    EXPECT_EQ(status, errSecDecode);
}

TEST(SecItemStorage, AReplacedOrMissingKeyIsRefusedWhileSecretsExist) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("a", "secret-a"), errSecSuccess);
    const std::string key = readFile(home.keyFile());
    std::string other = key;
    other.back() ^= 1;
    writeFile(home.keyFile(), other);
    home.reopen();
    OSStatus status = 0;
    EXPECT_EQ(get("a", &status), std::nullopt);
    EXPECT_EQ(status, errSecInvalidKeychain);
    std::filesystem::remove(home.keyFile());
    home.reopen();
    EXPECT_EQ(get("a", &status), std::nullopt);
    EXPECT_EQ(status, errSecInvalidKeychain);
    EXPECT_FALSE(std::filesystem::exists(home.keyFile()));  // no silently new key
    writeFile(home.keyFile(), key);
    home.reopen();
    EXPECT_EQ(get("a"), "secret-a");
}

TEST(SecItemStorage, ADatabaseWithoutLookupIndexesGainsThemOnOpen) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("a", "secret-a"), errSecSuccess);
    sql(home.database(), "DROP INDEX genp_lookup; DROP INDEX inet_lookup");
    home.reopen();
    EXPECT_EQ(get("a"), "secret-a");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(home.database().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    const char* lookups = "SELECT count(*) FROM sqlite_master WHERE name IN ('genp_lookup', 'inet_lookup')";
    sqlite3_prepare_v2(db, lookups, -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 2);
    sqlite3_finalize(count);
    // The schema version is unchanged: a build without the indexes still opens the file.
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 1);
    sqlite3_finalize(count);
    sqlite3_close(db);
}

TEST(SecItemStorage, DamagedDatabasesAnswerAStatusAndAreNotOverwritten) {
    for (const std::string& garbage : {std::string("this is not a database at all, just text"),
                                       std::string("SQLite format 3\0garbage", 24)}) {
        qvtest::KeychainHome home;
        std::filesystem::create_directories(home.folder());
        writeFile(home.database(), garbage);
        OSStatus status = 0;
        EXPECT_EQ(get("a", &status), std::nullopt);
        EXPECT_EQ(status, errSecInvalidKeychain);
        EXPECT_EQ(put("a", "x"), errSecInvalidKeychain);
        EXPECT_EQ(readFile(home.database()), garbage);
    }
    qvtest::KeychainHome home;
    ASSERT_EQ(put("a", "x"), errSecSuccess);
    const std::string whole = readFile(home.database());
    home.reopen();
    std::filesystem::remove(home.folder() / "keychain.db-wal");
    writeFile(home.database(), whole.substr(0, 100));  // truncated
    home.reopen();
    OSStatus status = 0;
    get("a", &status);
    EXPECT_NE(status, errSecSuccess);
}

TEST(SecItemStorage, ProcessesWritingTheSameStoreLoseNothing) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("warm-up", "x"), errSecSuccess);  // the parent's connection exists before the fork
    constexpr int kChildren = 3;
    constexpr int kWrites = 40;
    std::vector<pid_t> children;
    for (int c = 0; c < kChildren; ++c) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                failures += put("child" + std::to_string(c) + "-" + std::to_string(i), "v" + std::to_string(i)) != 0;
                failures += put("shared", "from child " + std::to_string(c)) != 0;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < kChildren; ++c) {
        for (int i = 0; i < kWrites; ++i) {
            EXPECT_EQ(get("child" + std::to_string(c) + "-" + std::to_string(i)), "v" + std::to_string(i));
        }
    }
    EXPECT_TRUE(get("shared").has_value());
}

// When a value "r<round>-<index>" was written: by round, then by index within the round.
using WriteOrder = std::pair<int, int>;
WriteOrder writeOrder(const std::string& value) {
    WriteOrder order{-1, -1};
    std::sscanf(value.c_str(), "r%d-%d", &order.first, &order.second);
    return order;
}

// A child writes and acknowledges each write through a pipe; the parent kills it at a random
// moment, then every acknowledged value must read back and the database must be sound.
void killMidWriteRounds(int rounds) {
    qvtest::KeychainHome home;
    ASSERT_EQ(put("warm-up", "x"), errSecSuccess);
    std::mt19937 random(12345);
    std::map<std::string, std::string> acknowledged;
    for (int round = 0; round < rounds; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            for (int i = 0;; ++i) {
                const std::string account = "k" + std::to_string(i % 7);
                const std::string value = "r" + std::to_string(round) + "-" + std::to_string(i);
                if (const OSStatus s = put(account, value); s != errSecSuccess) {
                    std::fprintf(stderr, "child: writing %s answered %d\n", account.c_str(), static_cast<int>(s));
                    ::_exit(2);
                }
                const std::string line = account + "=" + value + "\n";
                if (::write(fds[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) ::_exit(3);
            }
        }
        ::close(fds[1]);
        // Read a random number of acknowledgements, then kill while the child is writing.
        const int wanted = 1 + static_cast<int>(random() % 20);
        std::string pending;
        int seen = 0;
        char buffer[256];
        // Records every whole "account=value" line received so far.
        auto takeLines = [&] {
            std::size_t newline;
            while ((newline = pending.find('\n')) != std::string::npos) {
                const std::string line = pending.substr(0, newline);
                pending.erase(0, newline + 1);
                const auto eq = line.find('=');
                acknowledged[line.substr(0, eq)] = line.substr(eq + 1);
                ++seen;
            }
        };
        while (seen < wanted) {
            const ssize_t got = ::read(fds[0], buffer, sizeof buffer);
            if (got <= 0) break;
            pending.append(buffer, static_cast<std::size_t>(got));
            takeLines();
        }
        ::kill(pid, SIGKILL);
        // Acknowledgements written before the kill still count.
        ssize_t got;
        while ((got = ::read(fds[0], buffer, sizeof buffer)) > 0) pending.append(buffer, static_cast<std::size_t>(got));
        takeLines();
        ::close(fds[0]);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child stopped on its own: " << status;
        for (const auto& [account, value] : acknowledged) {
            // A child may commit one write it never acknowledges (killed between the two), and
            // a later round need not overwrite that account: the stored value is the one
            // acknowledged last or a later write of any round so far, never an older one.
            const auto read = get(account);
            ASSERT_TRUE(read.has_value()) << account;
            const WriteOrder stored = writeOrder(*read);
            EXPECT_TRUE(stored >= writeOrder(value) && stored.first <= round)
                << account << ": " << *read << " after acknowledging " << value << " in round " << round;
        }
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(home.database().c_str(), &db), SQLITE_OK);
    sqlite3_stmt* check = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
    ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
    sqlite3_finalize(check);
    sqlite3_close(db);
}

TEST(SecItemStorage, AcknowledgedWritesSurviveAKilledWriter) { killMidWriteRounds(4); }

// 100 rounds: `ctest -L long` (skipped unless QV_LONG_TESTS is set).
TEST(SecItemStorageLong, AcknowledgedWritesSurviveAHundredKilledWriters) {
    if (!std::getenv("QV_LONG_TESTS")) GTEST_SKIP() << "long test: ctest -L long";
    killMidWriteRounds(100);
}

}  // namespace
}  // namespace platform
