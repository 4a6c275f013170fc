#include <QVPlatform/security/SecItem.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/detail/ItemSearch.h>
#include <QVPlatform/security/detail/ItemStore.h>

#include <algorithm>
#include <array>
#include <bit>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

using detail::Database;
using detail::ItemClass;
using detail::Row;
using detail::Search;
using detail::Shape;
using detail::StatementUse;
using detail::StoreKey;
using detail::Transaction;
using detail::classConstant;
using detail::classOf;
using detail::Column;
using detail::columnBit;
using detail::findColumn;
using detail::hasKind;
using detail::Kind;
using detail::parseSearch;
using detail::tableOf;

namespace {

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool isUseKey(std::string_view key) { return startsWith(key, "u_"); }
bool isReturnKey(std::string_view key) { return startsWith(key, "r_"); }
bool isMatchKey(std::string_view key) { return startsWith(key, "m_"); }

std::vector<std::uint8_t> associatedData(ItemClass c, std::span<const std::uint8_t> uuid) {
    return detail::rowBinding(c == ItemClass::generic ? 'g' : 'i', uuid);
}

// The class constant (4 bytes) followed by the row's identifier.
Data persistentRefOf(ItemClass c, std::span<const std::uint8_t> uuid) {
    const std::string_view tag = classConstant(c);
    std::vector<std::uint8_t> ref(tag.begin(), tag.end());
    ref.insert(ref.end(), uuid.begin(), uuid.end());
    return Data(std::move(ref));
}

std::mutex& agentMutex() {
    static std::mutex mutex;
    return mutex;
}
SecAuthenticationAgent& agentSlot() {  // guarded by agentMutex()
    static SecAuthenticationAgent agent;
    return agent;
}

// Asks for user presence when a fetched row needs it; called with no store lock held.
OSStatus authenticate(const Search& search, bool needed) {
    if (!needed) return errSecSuccess;
    if (search.authenticationUI == kSecUseAuthenticationUIFail) return errSecInteractionNotAllowed;
    if (search.context && search.context->isAuthenticated()) return errSecSuccess;
    if (search.context && search.context->interactionNotAllowed()) return errSecInteractionNotAllowed;
    SecAuthenticationAgent agent;
    {
        std::lock_guard lock(agentMutex());
        agent = agentSlot();
    }
    if (!agent || !agent(search.prompt, search.context)) return errSecUserCanceled;
    if (search.context) search.context->setAuthenticated(true);
    return errSecSuccess;
}

OSStatus openSecret(const StoreKey& key, ItemClass c, const Row& row, Data& out) {
    if (!row.sealed) {
        out = Data();
        return errSecSuccess;
    }
    const auto aad = associatedData(c, row.uuid.span());
    std::optional<Data> opened = key.open(row.sealed->span(), aad);
    if (!opened) return errSecDecode;
    out = std::move(*opened);
    return errSecSuccess;
}

// The result of one row in the shape the return flags ask for.
OSStatus shapeRow(const Search& search, const StoreKey& key, Row& row, Any& out) {
    Data data;
    if (search.returnData) {
        if (OSStatus s = openSecret(key, search.itemClass, row, data); s != errSecSuccess) return s;
    }
    const int asked = int(search.returnData) + int(search.returnPersistentRef);
    if (!search.returnAttributes && asked == 1) {
        out = search.returnData ? Any(std::move(data)) : Any(persistentRefOf(search.itemClass, row.uuid.span()));
        return errSecSuccess;
    }
    Any::Dictionary dictionary = std::move(row.attributes);
    if (search.returnData) dictionary[kSecValueData] = std::move(data);
    if (search.returnPersistentRef) {
        dictionary[kSecValuePersistentRef] = persistentRefOf(search.itemClass, row.uuid.span());
    }
    out = std::move(dictionary);
    return errSecSuccess;
}

// Columns and values an add or update writes, parsed from an attribute dictionary.
struct Fields {
    std::vector<std::pair<std::string, Any>> columns;
    std::optional<Data> secret;
    bool accessGiven = false;  // kSecAttrAccessible or kSecAttrAccessControl
};

OSStatus parseFields(const Any::Dictionary& attributes, ItemClass c, bool forAdd, Fields& fields) {
    bool accessible = false;
    bool accessControl = false;
    for (const auto& [key, value] : attributes) {
        if (key == kSecClass) {
            if (!forAdd) return errSecParam;
            continue;
        }
        if (forAdd && (isUseKey(key) || isReturnKey(key) || isMatchKey(key))) continue;
        if (key == kSecValueData) {
            if (!value.isData()) return errSecParam;
            fields.secret = *value.asData();
        } else if (key == kSecAttrAccessControl) {
            const auto acl = value.objectAs<SecAccessControl>();
            if (!acl) return errSecParam;
            accessControl = true;
            fields.columns.emplace_back(kSecAttrAccessible, acl->protection());
            fields.columns.emplace_back("acl", static_cast<std::int64_t>(acl->flags()));
            fields.columns.emplace_back("auth", acl->requiresUserPresence() ? 1 : 0);
        } else if (key == kSecAttrCreationDate || key == kSecAttrModificationDate) {
            continue;  // kept by the store
        } else if (const Column* column = findColumn(key, c)) {
            if (!hasKind(value, column->kind)) return errSecParam;
            if (key == kSecAttrAccessible) {
                if (!isKnownProtection(value.string())) return errSecParam;
                accessible = true;
                fields.columns.emplace_back("acl", Any());
                fields.columns.emplace_back("auth", 0);
            }
            const Any stored = column->kind == Kind::boolean ? Any(value.boolValue() ? 1 : 0) : value;
            fields.columns.emplace_back(column->key, stored);
        } else {
            return errSecParam;  // unknown keys, kSecValueRef, kSecAttrSynchronizableAny
        }
    }
    if (accessible && accessControl) return errSecParam;
    fields.accessGiven = accessible || accessControl;
    return errSecSuccess;
}

OSStatus bindAll(sqlite3_stmt* statement, const std::vector<Any>& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const Any& value = values[i];
        const int index = static_cast<int>(i) + 1;
        const bool ok = value.isNull() ? sqlite3_bind_null(statement, index) == SQLITE_OK
                                       : detail::bindValue(statement, index, value);
        if (!ok) return errSecParam;
    }
    return errSecSuccess;
}

// Binds `values` to the statement and runs it once.
OSStatus run(sqlite3_stmt* statement, const std::vector<Any>& values) {
    StatementUse use(statement);
    if (OSStatus s = bindAll(statement, values); s != errSecSuccess) return s;
    return detail::statusOfSqlite(sqlite3_step(statement));
}

OSStatus step(Database& db, const std::string& sql, const std::vector<Any>& values) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(sql, status);
    if (!statement) return status;
    return run(statement, values);
}

// Seals a secret for the row `uuid`; the plaintext is wiped.
OSStatus sealSecret(const StoreKey& key, ItemClass c, std::span<const std::uint8_t> uuid, Data& secret, Any& out) {
    std::optional<Data> sealed = key.seal(secret.span(), associatedData(c, uuid));
    detail::wipe(secret.mutableBytes(), secret.count());
    if (!sealed) return errSecAllocate;
    out = std::move(*sealed);
    return errSecSuccess;
}

// The rows a parsed search matches (read in one statement: a consistent read on its own),
// once the user presence they need is given, and the store key that opens their secrets.
OSStatus findRows(const Search& search, std::vector<Row>& rows, std::shared_ptr<const StoreKey>& key) {
    OSStatus status = detail::ItemStore::shared().withDatabase(
        [&](Database& db, const std::shared_ptr<const StoreKey>& storeKey) {
            key = storeKey;
            return fetchRows(db, search, rows);
        });
    if (status != errSecSuccess) return status;
    if (rows.empty()) return errSecItemNotFound;
    const bool needed = std::any_of(rows.begin(), rows.end(), [](const Row& row) { return row.needsAuthentication; });
    return authenticate(search, needed);
}

}  // namespace

std::filesystem::path SecKeychainFolder() { return SecKeychainFolder(Host::homeDirectoryText()); }
std::filesystem::path SecKeychainFolder(const std::filesystem::path& home) { return home / "Library" / "Keychains"; }

void SecItemSetAuthenticationAgent(SecAuthenticationAgent agent) {
    std::lock_guard lock(agentMutex());
    agentSlot() = std::move(agent);
}

OSStatus SecItemCopyMatching(const Any::Dictionary& query, Any* result) {
    return SecItemCopyMatching(query, {}, result);
}

OSStatus SecItemCopyMatching(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Any* result) {
    Search search;
    if (OSStatus s = parseSearch(query, entries, search); s != errSecSuccess) return s;
    std::vector<Row> rows;
    std::shared_ptr<const StoreKey> key;
    if (OSStatus s = findRows(search, rows, key); s != errSecSuccess) return s;
    if (!result) return errSecSuccess;
    if (!search.returnData && !search.returnAttributes && !search.returnPersistentRef) {
        *result = Any();
        return errSecSuccess;
    }
    if (search.limit == 1) return shapeRow(search, *key, rows.front(), *result);
    Any::List list(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (OSStatus s = shapeRow(search, *key, rows[i], list[i]); s != errSecSuccess) return s;
    }
    *result = std::move(list);
    return errSecSuccess;
}

OSStatus SecItemCopyData(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Data& out) {
    out = Data();
    Search search;
    if (OSStatus s = parseSearch(query, entries, search); s != errSecSuccess) return s;
    // The oldest match, its secret only: what kSecReturnData with kSecMatchLimitOne selects.
    search.limit = 1;
    search.returnData = true;
    search.returnAttributes = search.returnPersistentRef = search.allAttributes = search.accessControl = false;
    search.attributeColumns = 0;
    std::vector<Row> rows;
    std::shared_ptr<const StoreKey> key;
    if (OSStatus s = findRows(search, rows, key); s != errSecSuccess) return s;
    return openSecret(*key, search.itemClass, rows.front(), out);
}

OSStatus SecItemCopyAttributeTexts(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries,
                                   std::string_view attribute, std::vector<std::string>& out) {
    out.clear();
    Search search;
    if (OSStatus s = parseSearch(query, entries, search); s != errSecSuccess) return s;
    const auto column = columnIndex(attribute, search.itemClass);
    if (!column) return errSecParam;
    // Every match, that attribute only: what kSecMatchLimitAll with kSecReturnAttributeKeys
    // {attribute} selects.
    search.limit = 0;
    search.returnData = search.returnPersistentRef = search.allAttributes = search.accessControl = false;
    search.returnAttributes = true;
    search.attributeColumns = columnBit(*column);
    bool matched = false;
    bool needed = false;
    OSStatus status = detail::ItemStore::shared().withDatabase([&](Database& db, const std::shared_ptr<const StoreKey>&) {
        out.reserve(64);
        return forEachRow(db, search, selectionOf(search), [&](sqlite3_stmt* statement) {
            matched = true;
            needed = needed || sqlite3_column_int(statement, 1) != 0;
            if (sqlite3_column_type(statement, 2) != SQLITE_TEXT) return;
            out.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 2)),
                             static_cast<std::size_t>(sqlite3_column_bytes(statement, 2)));
        });
    });
    if (status == errSecSuccess && !matched) status = errSecItemNotFound;
    if (status == errSecSuccess) status = authenticate(search, needed);
    if (status != errSecSuccess) out.clear();
    return status;
}

OSStatus SecItemAdd(const Any::Dictionary& attributes, Any* result) {
    const auto itemClass = classOf(attributes);
    if (!itemClass) return errSecParam;
    Fields fields;
    if (OSStatus s = parseFields(attributes, *itemClass, true, fields); s != errSecSuccess) return s;
    if (!fields.accessGiven) fields.columns.emplace_back(kSecAttrAccessible, kSecAttrAccessibleWhenUnlocked);
    const std::vector<std::uint8_t> uuid = detail::randomBytes(16);
    if (uuid.size() != 16) return errSecAllocate;
    const Any now = Date::now();
    if (result) *result = Any();
    return detail::ItemStore::shared().withDatabase([&](Database& db, const std::shared_ptr<const StoreKey>& key) {
        std::string names = "uuid, cdat, mdat";
        std::string marks = "?, ?, ?";
        std::vector<Any> values{Any(Data(uuid)), now, now};
        for (auto& [column, value] : fields.columns) {
            names += ", " + column;
            marks += ", ?";
            values.push_back(value);
        }
        if (fields.secret) {
            Any sealed;
            if (OSStatus s = sealSecret(*key, *itemClass, uuid, *fields.secret, sealed); s != errSecSuccess) return s;
            names += ", data";
            marks += ", ?";
            values.push_back(std::move(sealed));
        }
        Transaction transaction(db, true);
        if (transaction.status() != errSecSuccess) return transaction.status();
        const std::string sql =
            std::string("INSERT INTO ") + tableOf(*itemClass) + "(" + names + ") VALUES(" + marks + ")";
        if (OSStatus s = step(db, sql, values); s != errSecSuccess) return s;
        return transaction.commit();
    });
}

OSStatus SecItemUpdate(const Any::Dictionary& query, const Any::Dictionary& attributesToUpdate) {
    Search search;
    if (OSStatus s = parseSearch(query, search); s != errSecSuccess) return s;
    // Every match, by id and identifier (the secret is sealed anew for each row's identifier).
    search.limit = 0;
    search.authenticationUI = kSecUseAuthenticationUIAllow;
    search.returnData = search.returnAttributes = search.returnPersistentRef = false;
    search.withIdentifier = true;
    Fields fields;
    if (OSStatus s = parseFields(attributesToUpdate, search.itemClass, false, fields); s != errSecSuccess) return s;
    const Any now = Date::now();
    const OSStatus status = detail::ItemStore::shared().withDatabase(
        [&](Database& db, const std::shared_ptr<const StoreKey>& key) {
        Transaction transaction(db, true);
        if (transaction.status() != errSecSuccess) return transaction.status();
        std::vector<Row> rows;
        if (OSStatus s = fetchRows(db, search, rows); s != errSecSuccess) return s;
        if (rows.empty()) return errSecItemNotFound;
        std::string sql = std::string("UPDATE ") + tableOf(search.itemClass) + " SET mdat = ?";
        for (const auto& [column, value] : fields.columns) sql += ", " + column + " = ?";
        if (fields.secret) sql += ", data = ?";
        sql += " WHERE id = ?";
        for (const Row& row : rows) {
            std::vector<Any> values{now};
            for (const auto& [column, value] : fields.columns) values.push_back(value);
            if (fields.secret) {
                Data plain = *fields.secret;
                Any sealed;
                if (OSStatus s = sealSecret(*key, search.itemClass, row.uuid.span(), plain, sealed); s != errSecSuccess) {
                    return s;
                }
                values.push_back(std::move(sealed));
            }
            values.emplace_back(row.id);
            // A collision with another item answers errSecDuplicateItem; the transaction
            // then rolls back every row already changed.
            if (OSStatus s = step(db, sql, values); s != errSecSuccess) return s;
        }
        return transaction.commit();
    });
    if (fields.secret) detail::wipe(fields.secret->mutableBytes(), fields.secret->count());
    return status;
}

OSStatus SecItemDelete(const Any::Dictionary& query) {
    Search search;
    if (OSStatus s = parseSearch(query, search); s != errSecSuccess) return s;
    return detail::ItemStore::shared().withDatabase([&](Database& db, const std::shared_ptr<const StoreKey>&) {
        Transaction transaction(db, true);
        if (transaction.status() != errSecSuccess) return transaction.status();
        OSStatus status = errSecSuccess;
        sqlite3_stmt* statement = db.prepare(Shape('D', search, {}, false).view(), [&] {
            return std::string("DELETE FROM ") + tableOf(search.itemClass) + whereClause(search, false);
        }, status);
        if (!statement) return status;
        StatementUse use(statement);
        if (OSStatus s = bindSearch(statement, search); s != errSecSuccess) return s;
        if (OSStatus s = detail::statusOfSqlite(sqlite3_step(statement)); s != errSecSuccess) return s;
        if (sqlite3_changes(db.handle()) == 0) return errSecItemNotFound;
        return transaction.commit();
    });
}

}  // namespace platform
