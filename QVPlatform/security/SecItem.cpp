#include <QVPlatform/security/SecItem.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/detail/ItemStore.h>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace platform {

using detail::Database;
using detail::StatementUse;
using detail::StoreKey;
using detail::Transaction;

namespace {

enum class Kind { text, data, integer, boolean, date };

struct Column {
    std::string_view key;  // the kSecAttr… key, which is also the column's name
    Kind kind;
    bool generic;
    bool internet;
};

// Every attribute an item may carry, in column order.
constexpr std::array<Column, 21> kColumns{{
    {kSecAttrAccessGroup, Kind::text, true, true},
    {kSecAttrService, Kind::text, true, false},
    {kSecAttrServer, Kind::text, false, true},
    {kSecAttrPort, Kind::integer, false, true},
    {kSecAttrProtocol, Kind::text, false, true},
    {kSecAttrAuthenticationType, Kind::text, false, true},
    {kSecAttrPath, Kind::text, false, true},
    {kSecAttrSecurityDomain, Kind::text, false, true},
    {kSecAttrAccount, Kind::text, true, true},
    {kSecAttrSynchronizable, Kind::boolean, true, true},
    {kSecAttrAccessible, Kind::text, true, true},
    {kSecAttrLabel, Kind::text, true, true},
    {kSecAttrDescription, Kind::text, true, true},
    {kSecAttrComment, Kind::text, true, true},
    {kSecAttrCreator, Kind::text, true, true},
    {kSecAttrType, Kind::text, true, true},
    {kSecAttrGeneric, Kind::data, true, false},
    {kSecAttrIsInvisible, Kind::boolean, true, true},
    {kSecAttrIsNegative, Kind::boolean, true, true},
    {kSecAttrCreationDate, Kind::date, true, true},
    {kSecAttrModificationDate, Kind::date, true, true},
}};

enum class ItemClass { generic, internet };

const char* tableOf(ItemClass c) { return c == ItemClass::generic ? "genp" : "inet"; }
const char* classConstant(ItemClass c) {
    return c == ItemClass::generic ? kSecClassGenericPassword : kSecClassInternetPassword;
}

// The columns of a class, in column order.
const std::vector<const Column*>& columnsOf(ItemClass c) {
    static const auto make = [](ItemClass which) {
        std::vector<const Column*> out;
        for (const Column& column : kColumns) {
            if (which == ItemClass::generic ? column.generic : column.internet) out.push_back(&column);
        }
        return out;
    };
    static const std::vector<const Column*> generic = make(ItemClass::generic);
    static const std::vector<const Column*> internet = make(ItemClass::internet);
    return c == ItemClass::generic ? generic : internet;
}

const Column* findColumn(std::string_view key, ItemClass c) {
    for (const Column* column : columnsOf(c)) {
        if (key == column->key) return column;
    }
    return nullptr;
}

bool hasKind(const Any& value, Kind kind) {
    switch (kind) {
    case Kind::text: return value.isString();
    case Kind::data: return value.isData();
    case Kind::integer: return value.isInteger();
    case Kind::boolean: return value.isBool() || value.isInteger();
    case Kind::date: return value.isDate();
    }
    return false;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }
bool isUseKey(std::string_view key) { return startsWith(key, "u_"); }
bool isReturnKey(std::string_view key) { return startsWith(key, "r_"); }
bool isMatchKey(std::string_view key) { return startsWith(key, "m_"); }

std::optional<ItemClass> classOf(const Any::Dictionary& dictionary) {
    const auto found = dictionary.find(kSecClass);
    if (found == dictionary.end()) return std::nullopt;
    if (found->second.string() == kSecClassGenericPassword) return ItemClass::generic;
    if (found->second.string() == kSecClassInternetPassword) return ItemClass::internet;
    return std::nullopt;
}

std::vector<std::uint8_t> associatedData(ItemClass c, std::span<const std::uint8_t> uuid) {
    return detail::rowBinding(c == ItemClass::generic ? 'g' : 'i', uuid);
}

Data persistentRefOf(ItemClass c, std::span<const std::uint8_t> uuid) {
    Data ref = Data::fromString(classConstant(c));
    ref.append(uuid.data(), uuid.size());
    return ref;
}

// A parsed search: the WHERE clause with its values, and what to return.
struct Search {
    ItemClass itemClass = ItemClass::generic;
    std::string where;
    std::vector<Any> values;
    std::int64_t limit = 1;  // 0: all
    bool returnData = false, returnAttributes = false, returnPersistentRef = false;
    std::string authenticationUI = kSecUseAuthenticationUIAllow;
    std::string prompt;
    std::shared_ptr<LAContext> context;
};

void addCondition(Search& search, const std::string& condition, std::optional<Any> value) {
    search.where += search.where.empty() ? " WHERE " : " AND ";
    search.where += condition;
    if (value) search.values.push_back(std::move(*value));
}

// Parses a search dictionary into its WHERE clause and its return and use options.
OSStatus parseSearch(const Any::Dictionary& query, Search& search) {
    const auto itemClass = classOf(query);
    if (!itemClass) return errSecParam;
    search.itemClass = *itemClass;
    bool synchronizableGiven = false;
    for (const auto& [key, value] : query) {
        if (key == kSecClass) continue;
        if (key == kSecAttrSynchronizable) {
            synchronizableGiven = true;
            if (value.isString() && value.string() == kSecAttrSynchronizableAny) continue;
            if (!hasKind(value, Kind::boolean)) return errSecParam;
            addCondition(search, "sync = ?", Any(value.boolValue() ? 1 : 0));
        } else if (const Column* column = findColumn(key, search.itemClass)) {
            if (!hasKind(value, column->kind)) return errSecParam;
            const Any bound = column->kind == Kind::boolean ? Any(value.boolValue() ? 1 : 0) : value;
            addCondition(search, std::string(column->key) + " = ?", bound);
        } else if (key == kSecValuePersistentRef) {
            const Data* ref = value.asData();
            if (!ref || ref->count() != 20) return errSecParam;
            addCondition(search, "uuid = ?", Any(Data(ref->bytes() + 4, 16)));
            if (ref->view().substr(0, 4) != classConstant(search.itemClass)) addCondition(search, "0", std::nullopt);
        } else if (key == kSecMatchLimit) {
            if (value.isInteger()) {
                if (value.integerValue() <= 0) return errSecParam;
                search.limit = value.integerValue();
            } else if (value.string() == kSecMatchLimitOne) {
                search.limit = 1;
            } else if (value.string() == kSecMatchLimitAll) {
                search.limit = 0;
            } else {
                return errSecParam;
            }
        } else if (key == kSecReturnData) {
            search.returnData = value.boolValue();
        } else if (key == kSecReturnAttributes) {
            search.returnAttributes = value.boolValue();
        } else if (key == kSecReturnPersistentRef) {
            search.returnPersistentRef = value.boolValue();
        } else if (key == kSecReturnRef) {
            continue;  // password items have no reference object
        } else if (key == kSecUseAuthenticationUI) {
            const std::string& mode = value.string();
            if (mode != kSecUseAuthenticationUIAllow && mode != kSecUseAuthenticationUIFail &&
                mode != kSecUseAuthenticationUISkip) {
                return errSecParam;
            }
            search.authenticationUI = mode;
        } else if (key == kSecUseOperationPrompt) {
            if (!value.isString()) return errSecParam;
            search.prompt = value.string();
        } else if (key == kSecUseAuthenticationContext) {
            search.context = value.objectAs<LAContext>();
            if (!search.context) return errSecParam;
        } else {
            return errSecParam;
        }
    }
    if (!synchronizableGiven) addCondition(search, "sync = 0", std::nullopt);
    return errSecSuccess;
}

// One fetched row: its identifier, secret (still sealed) and attributes.
struct Row {
    std::int64_t id = 0;
    Data uuid;
    std::optional<Data> sealed;
    std::optional<SecAccessControlCreateFlags> acl;
    bool needsAuthentication = false;
    Any::Dictionary attributes;
};

const std::string& selectColumns(ItemClass c) {
    static const auto make = [](ItemClass which) {
        std::string columns = "id, uuid, data, acl, auth";
        for (const Column* column : columnsOf(which)) columns += ", " + std::string(column->key);
        return columns;
    };
    static const std::string generic = make(ItemClass::generic);
    static const std::string internet = make(ItemClass::internet);
    return c == ItemClass::generic ? generic : internet;
}

Any readColumn(sqlite3_stmt* statement, int index, Kind kind) {
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_NULL: return Any();
    case SQLITE_INTEGER: {
        const std::int64_t v = sqlite3_column_int64(statement, index);
        return kind == Kind::boolean ? Any(v != 0) : Any(v);
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(statement, index);
        return kind == Kind::date ? Any(Date::fromTimeIntervalSince1970(v)) : Any(v);
    }
    case SQLITE_TEXT:
        return Any(std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, index)),
                               static_cast<std::size_t>(sqlite3_column_bytes(statement, index))));
    default: {
        const void* bytes = sqlite3_column_blob(statement, index);
        return Any(Data(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, index))));
    }
    }
}

Data blobColumn(sqlite3_stmt* statement, int index) {
    const void* bytes = sqlite3_column_blob(statement, index);
    return Data(bytes, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)));
}

OSStatus fetchRows(Database& db, const Search& search, std::vector<Row>& rows) {
    std::string sql = "SELECT " + selectColumns(search.itemClass) + " FROM " + tableOf(search.itemClass);
    sql += search.where;
    if (search.authenticationUI == kSecUseAuthenticationUISkip) sql += search.where.empty() ? " WHERE auth = 0" : " AND auth = 0";
    sql += " ORDER BY id";
    if (search.limit > 0) sql += " LIMIT " + std::to_string(search.limit);
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(sql, status);
    if (!statement) return status;
    StatementUse use(statement);
    for (std::size_t i = 0; i < search.values.size(); ++i) {
        if (!detail::bindValue(statement, static_cast<int>(i) + 1, search.values[i])) return errSecParam;
    }
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        Row row;
        row.id = sqlite3_column_int64(statement, 0);
        // Read as bytes whatever their stored type: a tampered row must fail to open, not crash.
        row.uuid = blobColumn(statement, 1);
        if (sqlite3_column_type(statement, 2) != SQLITE_NULL) row.sealed = blobColumn(statement, 2);
        if (sqlite3_column_type(statement, 3) != SQLITE_NULL) {
            row.acl = static_cast<SecAccessControlCreateFlags>(sqlite3_column_int64(statement, 3));
        }
        row.needsAuthentication = sqlite3_column_int(statement, 4) != 0;
        // Attribute dictionaries cost allocations: only made when asked for.
        if (!search.returnAttributes) {
            rows.push_back(std::move(row));
            continue;
        }
        row.attributes[kSecClass] = classConstant(search.itemClass);
        int index = 5;
        for (const Column* column : columnsOf(search.itemClass)) {
            Any value = readColumn(statement, index++, column->kind);
            if (!value.isNull()) row.attributes[std::string(column->key)] = std::move(value);
        }
        if (row.acl) {
            row.attributes[kSecAttrAccessControl] =
                std::make_shared<SecAccessControl>(row.attributes[kSecAttrAccessible].string(), *row.acl);
        }
        rows.push_back(std::move(row));
    }
    return rc == SQLITE_DONE ? errSecSuccess : detail::statusOfSqlite(rc);
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
OSStatus authenticate(const Search& search, const std::vector<Row>& rows) {
    bool needed = false;
    for (const Row& row : rows) needed = needed || row.needsAuthentication;
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
    const Data ref = persistentRefOf(search.itemClass, row.uuid.span());
    const int asked = int(search.returnData) + int(search.returnPersistentRef);
    if (!search.returnAttributes && asked == 1) {
        out = search.returnData ? Any(std::move(data)) : Any(ref);
        return errSecSuccess;
    }
    Any::Dictionary dictionary;
    if (search.returnAttributes) dictionary = std::move(row.attributes);
    if (search.returnData) dictionary[kSecValueData] = std::move(data);
    if (search.returnPersistentRef) dictionary[kSecValuePersistentRef] = ref;
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

OSStatus step(Database& db, const std::string& sql, const std::vector<Any>& values) {
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(sql, status);
    if (!statement) return status;
    StatementUse use(statement);
    if (OSStatus s = bindAll(statement, values); s != errSecSuccess) return s;
    return detail::statusOfSqlite(sqlite3_step(statement));
}

// Seals a secret for the row `uuid`; the plaintext is wiped.
OSStatus sealSecret(const StoreKey& key, ItemClass c, std::span<const std::uint8_t> uuid, Data& secret, Any& out) {
    std::optional<Data> sealed = key.seal(secret.span(), associatedData(c, uuid));
    detail::wipe(secret.mutableBytes(), secret.count());
    if (!sealed) return errSecAllocate;
    out = std::move(*sealed);
    return errSecSuccess;
}

}  // namespace

std::filesystem::path SecKeychainFolder() { return Host::homeDirectory() / "Library" / "Keychains"; }

void SecItemSetAuthenticationAgent(SecAuthenticationAgent agent) {
    std::lock_guard lock(agentMutex());
    agentSlot() = std::move(agent);
}

OSStatus SecItemCopyMatching(const Any::Dictionary& query, Any* result) {
    Search search;
    if (OSStatus s = parseSearch(query, search); s != errSecSuccess) return s;
    std::vector<Row> rows;
    std::shared_ptr<const StoreKey> key;
    OSStatus status = detail::ItemStore::shared().withDatabase(
        [&](Database& db, const std::shared_ptr<const StoreKey>& storeKey) {
            key = storeKey;
            return fetchRows(db, search, rows);  // one statement: a consistent read on its own
        });
    if (status != errSecSuccess) return status;
    if (rows.empty()) return errSecItemNotFound;
    if (OSStatus s = authenticate(search, rows); s != errSecSuccess) return s;
    if (!result) return errSecSuccess;
    if (!search.returnData && !search.returnAttributes && !search.returnPersistentRef) {
        *result = Any();
        return errSecSuccess;
    }
    if (search.limit == 1) return shapeRow(search, *key, rows.front(), *result);
    Any::List list;
    for (Row& row : rows) {
        Any shaped;
        if (OSStatus s = shapeRow(search, *key, row, shaped); s != errSecSuccess) return s;
        list.push_back(std::move(shaped));
    }
    *result = std::move(list);
    return errSecSuccess;
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
    search.limit = 0;
    search.authenticationUI = kSecUseAuthenticationUIAllow;
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
        const std::string sql = std::string("DELETE FROM ") + tableOf(search.itemClass) + search.where;
        if (OSStatus s = step(db, sql, search.values); s != errSecSuccess) return s;
        if (sqlite3_changes(db.handle()) == 0) return errSecItemNotFound;
        return transaction.commit();
    });
}

}  // namespace platform
