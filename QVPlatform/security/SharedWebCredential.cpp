#include <QVPlatform/security/SharedWebCredential.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/security/SecBase.h>
#include <QVPlatform/security/detail/ItemStore.h>

#include <string_view>
#include <vector>

namespace platform {

using detail::Database;
using detail::StatementUse;
using detail::StoreKey;
using detail::Transaction;

namespace {

std::vector<std::uint8_t> associatedData(std::span<const std::uint8_t> uuid) { return detail::rowBinding('w', uuid); }

CFErrorRef errorOf(OSStatus status) {
    if (status == errSecSuccess) return nullptr;
    return makeOSStatusError(status, "The shared web credential store answered " + std::to_string(status) + ".");
}

OSStatus run(Database& db, const std::string& sql, const std::vector<Any>& values) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(sql, status);
    if (!statement) return status;
    StatementUse use(statement);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!detail::bindValue(statement, static_cast<int>(i) + 1, values[i])) return errSecParam;
    }
    return detail::statusOfSqlite(sqlite3_step(statement));
}

OSStatus storePassword(const std::string& domain, const std::string& account, const std::string& password) {
    const std::vector<std::uint8_t> uuid = detail::randomBytes(16);
    if (uuid.size() != 16) return errSecAllocate;
    return detail::ItemStore::shared().withDatabase([&](Database& db, const std::shared_ptr<const StoreKey>& key) {
        std::optional<Data> sealed =
            key->seal({reinterpret_cast<const std::uint8_t*>(password.data()), password.size()}, associatedData(uuid));
        if (!sealed) return errSecAllocate;
        Transaction transaction(db, true);
        if (transaction.status() != errSecSuccess) return transaction.status();
        // A replaced password gets a new row identifier, bound into its sealing.
        if (OSStatus s = run(db, "DELETE FROM swc WHERE domain = ? AND account = ?", {domain, account});
            s != errSecSuccess) {
            return s;
        }
        if (OSStatus s = run(db, "INSERT INTO swc(uuid, domain, account, data) VALUES(?, ?, ?, ?)",
                             {Data(uuid), domain, account, std::move(*sealed)});
            s != errSecSuccess) {
            return s;
        }
        return transaction.commit();
    });
}

OSStatus removePassword(const std::string& domain, const std::string& account) {
    return detail::ItemStore::shared().withDatabase([&](Database& db, const std::shared_ptr<const StoreKey>&) {
        Transaction transaction(db, true);
        if (transaction.status() != errSecSuccess) return transaction.status();
        if (OSStatus s = run(db, "DELETE FROM swc WHERE domain = ? AND account = ?", {domain, account});
            s != errSecSuccess) {
            return s;
        }
        if (sqlite3_changes(db.handle()) == 0) return errSecItemNotFound;
        return transaction.commit();
    });
}

struct SealedCredential {
    std::string domain, account;
    Data uuid, sealed;
};

OSStatus fetchCredentials(const std::optional<std::string>& domain, const std::optional<std::string>& account,
                          Any::List& out) {
    std::vector<SealedCredential> rows;
    std::shared_ptr<const StoreKey> key;
    OSStatus status = detail::ItemStore::shared().withDatabase(
        [&](Database& db, const std::shared_ptr<const StoreKey>& storeKey) {
            key = storeKey;
            std::string sql = "SELECT domain, account, uuid, data FROM swc WHERE 1";
            std::vector<Any> values;
            if (domain) {
                sql += " AND domain = ?";
                values.emplace_back(*domain);
            }
            if (account) {
                sql += " AND account = ?";
                values.emplace_back(*account);
            }
            sql += " ORDER BY id";
            OSStatus s = errSecSuccess;
            sqlite3_stmt* statement = db.prepare(sql, s);
            if (!statement) return s;
            StatementUse use(statement);
            for (std::size_t i = 0; i < values.size(); ++i) detail::bindValue(statement, static_cast<int>(i) + 1, values[i]);
            int rc;
            auto text = [&](int i) {
                return std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, i)),
                                   static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
            };
            auto blob = [&](int i) {
                return Data(sqlite3_column_blob(statement, i), static_cast<std::size_t>(sqlite3_column_bytes(statement, i)));
            };
            while ((rc = sqlite3_step(statement)) == SQLITE_ROW) rows.push_back({text(0), text(1), blob(2), blob(3)});
            return rc == SQLITE_DONE ? errSecSuccess : detail::statusOfSqlite(rc);
        });
    if (status != errSecSuccess) return status;
    for (const SealedCredential& row : rows) {
        std::optional<Data> password = key->open(row.sealed.span(), associatedData(row.uuid.span()));
        if (!password) return errSecDecode;
        out.push_back(Any::Dictionary{
            {kSecAttrServer, row.domain}, {kSecAttrAccount, row.account}, {kSecSharedPassword, password->toString()}});
        detail::wipe(password->mutableBytes(), password->count());
    }
    return errSecSuccess;
}

}  // namespace

void SecAddSharedWebCredential(const std::string& domain, const std::string& account,
                               const std::optional<std::string>& password, std::function<void(CFErrorRef)> completion) {
    OSStatus status = errSecParam;
    if (!domain.empty() && !account.empty()) {
        status = password ? storePassword(domain, account, *password) : removePassword(domain, account);
    }
    if (!completion) return;
    DispatchQueue::global()->async([completion = std::move(completion), status] { completion(errorOf(status)); });
}

void SecRequestSharedWebCredential(const std::optional<std::string>& domain, const std::optional<std::string>& account,
                                   std::function<void(std::optional<Any::List>, CFErrorRef)> completion) {
    Any::List credentials;
    const OSStatus status = fetchCredentials(domain, account, credentials);
    if (!completion) return;
    std::optional<Any::List> list;
    if (status == errSecSuccess) list = std::move(credentials);
    DispatchQueue::global()->async([completion = std::move(completion), list = std::move(list), status]() mutable {
        completion(std::move(list), errorOf(status));
    });
}

std::optional<std::string> SecCreateSharedWebCredentialPassword() {
    static constexpr std::string_view kAlphabet = "abcdefghijkmnpqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789";
    // Rejection sampling: bytes at or above the largest multiple of the alphabet's size are
    // dropped, so every character is equally likely.
    const unsigned limit = 256 - 256 % kAlphabet.size();
    std::string out;
    while (out.size() < 15) {
        const std::vector<std::uint8_t> bytes = detail::randomBytes(32);
        if (bytes.empty()) return std::nullopt;
        for (std::uint8_t b : bytes) {
            if (out.size() == 15) break;
            if (out.size() % 4 == 3) out += '-';
            if (b >= limit) continue;
            out += kAlphabet[b % kAlphabet.size()];
        }
    }
    return out;
}

}  // namespace platform
