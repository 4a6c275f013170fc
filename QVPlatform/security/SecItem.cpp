#include <QVPlatform/security/SecItem.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/security/SecAccessControl.h>
#include <QVPlatform/security/detail/ItemStore.h>

#include <algorithm>
#include <array>
#include <bit>
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

// The indexes of kColumns in the order of their keys, for lookups by key.
const std::array<std::size_t, kColumns.size()>& columnsByKey() {
    static const auto order = [] {
        std::array<std::size_t, kColumns.size()> out{};
        for (std::size_t i = 0; i < out.size(); ++i) out[i] = i;
        std::sort(out.begin(), out.end(),
                  [](std::size_t a, std::size_t b) { return kColumns[a].key < kColumns[b].key; });
        return out;
    }();
    return order;
}

// Every attribute key is four bytes: a key is matched as one integer, not as text, since
// each entry of every search is looked up here.
constexpr std::uint32_t codeOf(std::string_view key) {
    return std::uint32_t(std::uint8_t(key[0])) | std::uint32_t(std::uint8_t(key[1])) << 8 |
           std::uint32_t(std::uint8_t(key[2])) << 16 | std::uint32_t(std::uint8_t(key[3])) << 24;
}

constexpr std::array<std::uint32_t, kColumns.size()> kColumnCodes = [] {
    std::array<std::uint32_t, kColumns.size()> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = codeOf(kColumns[i].key);
    return codes;
}();

static_assert(std::all_of(kColumns.begin(), kColumns.end(), [](const Column& c) { return c.key.size() == 4; }));

// The index in kColumns of the attribute `key` when the class `c` has it.
std::optional<std::size_t> columnIndex(std::string_view key, ItemClass c) {
    if (key.size() != 4) return std::nullopt;
    const std::uint32_t code = codeOf(key);
    for (std::size_t i = 0; i < kColumnCodes.size(); ++i) {
        if (kColumnCodes[i] != code) continue;
        const Column& column = kColumns[i];
        if (c == ItemClass::generic ? column.generic : column.internet) return i;
        return std::nullopt;
    }
    return std::nullopt;
}

const Column* findColumn(std::string_view key, ItemClass c) {
    const auto index = columnIndex(key, c);
    return index ? &kColumns[*index] : nullptr;
}

// A set of attribute columns: bit i stands for kColumns[i].
using ColumnSet = std::uint32_t;
constexpr ColumnSet columnBit(std::size_t index) { return ColumnSet(1) << index; }

ColumnSet columnsOf(ItemClass c) {
    ColumnSet set = 0;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (c == ItemClass::generic ? kColumns[i].generic : kColumns[i].internet) set |= columnBit(i);
    }
    return set;
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

// What a search compares, in the order given: an attribute column (its index in kColumns)
// or one of these.
enum : std::uint8_t {
    kReferenceCondition = kColumns.size(),  // uuid = ? (a persistent reference)
    kNoMatchCondition,                      // 0 (a persistent reference of the other class)
    kNotSynchronizableCondition,            // sync = 0 (no kSecAttrSynchronizable given)
};

// The conditions of a search in the order given: at most one per column (dictionary keys
// are unique) and the three others.
struct Conditions {
    std::array<std::uint8_t, kColumns.size() + 3> ids{};
    std::size_t count = 0;
    void push_back(std::uint8_t id) { ids[count++] = id; }
    const std::uint8_t* begin() const { return ids.data(); }
    const std::uint8_t* end() const { return ids.data() + count; }
};

// The stored forms of a boolean attribute: matched as the integers 0 and 1.
const Any& storedBoolean(bool value) {
    static const Any no(0), yes(1);
    return value ? yes : no;
}

// A parsed search: its conditions with their values, and what to return. The values point
// into the query (or at this search's own reference), so a search never outlives its query
// and is never copied or moved.
struct Search {
    Search() = default;
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;

    ItemClass itemClass = ItemClass::generic;
    Conditions conditions;
    // One per condition that compares with a value, in order: at most one per column, and
    // the reference.
    std::array<const Any*, kColumns.size() + 1> values{};
    std::size_t valueCount = 0;
    Any reference;            // the row identifier of a kSecValuePersistentRef
    std::int64_t limit = 1;   // 0: all
    bool returnData = false, returnAttributes = false, returnPersistentRef = false;
    ColumnSet attributeColumns = 0;  // the attributes returned, when returnAttributes
    bool accessControl = false;      // kSecAttrAccessControl returned
    bool allAttributes = false;      // kSecReturnAttributes: every attribute, and kSecClass
    bool withIdentifier = false;     // each row's uuid read even without data or references
    std::string_view authenticationUI = kSecUseAuthenticationUIAllow;
    std::string prompt;
    std::shared_ptr<LAContext> context;
};

void addCondition(Search& search, std::uint8_t condition, const Any* value) {
    search.conditions.push_back(condition);
    if (value) search.values[search.valueCount++] = value;
}

// The attributes named by a kSecReturnAttributeKeys list.
OSStatus parseAttributeKeys(const Any& value, Search& search) {
    const Any::List* keys = value.asList();
    if (!keys) return errSecParam;
    for (const Any& key : *keys) {
        if (!key.isString()) return errSecParam;
        if (key.string() == kSecAttrAccessControl) {
            search.accessControl = true;
        } else if (const auto index = columnIndex(key.string(), search.itemClass)) {
            search.attributeColumns |= columnBit(*index);
        } else {
            return errSecParam;
        }
    }
    return errSecSuccess;
}

// What parsing has seen so far beyond the search itself.
struct ParseState {
    bool synchronizableGiven = false;
    bool attributeKeysGiven = false;
};

// Parses one entry of a search dictionary other than kSecClass.
OSStatus parseEntry(std::string_view key, const Any& value, Search& search, ParseState& state) {
    if (key == kSecAttrSynchronizable) {
        state.synchronizableGiven = true;
        if (value.isString() && value.string() == kSecAttrSynchronizableAny) return errSecSuccess;
        if (!hasKind(value, Kind::boolean)) return errSecParam;
        addCondition(search, *columnIndex(key, search.itemClass), &storedBoolean(value.boolValue()));
    } else if (const auto index = columnIndex(key, search.itemClass)) {
        const Column& column = kColumns[*index];
        if (!hasKind(value, column.kind)) return errSecParam;
        addCondition(search, *index, column.kind == Kind::boolean ? &storedBoolean(value.boolValue()) : &value);
    } else if (key == kSecValuePersistentRef) {
        const Data* ref = value.asData();
        if (!ref || ref->count() != 20) return errSecParam;
        search.reference = Data(ref->bytes() + 4, 16);
        addCondition(search, kReferenceCondition, &search.reference);
        if (ref->view().substr(0, 4) != classConstant(search.itemClass)) {
            addCondition(search, kNoMatchCondition, nullptr);
        }
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
    } else if (key == kSecReturnAttributeKeys) {
        if (OSStatus s = parseAttributeKeys(value, search); s != errSecSuccess) return s;
        state.attributeKeysGiven = true;
    } else if (key == kSecReturnPersistentRef) {
        search.returnPersistentRef = value.boolValue();
    } else if (key == kSecReturnRef) {
        return errSecSuccess;  // password items have no reference object
    } else if (key == kSecUseAuthenticationUI) {
        const std::string& mode = value.string();
        if (mode == kSecUseAuthenticationUIAllow) {
            search.authenticationUI = kSecUseAuthenticationUIAllow;
        } else if (mode == kSecUseAuthenticationUIFail) {
            search.authenticationUI = kSecUseAuthenticationUIFail;
        } else if (mode == kSecUseAuthenticationUISkip) {
            search.authenticationUI = kSecUseAuthenticationUISkip;
        } else {
            return errSecParam;
        }
    } else if (key == kSecUseOperationPrompt) {
        if (!value.isString()) return errSecParam;
        search.prompt = value.string();
    } else if (key == kSecUseAuthenticationContext) {
        search.context = value.objectAs<LAContext>();
        if (!search.context) return errSecParam;
    } else {
        return errSecParam;
    }
    return errSecSuccess;
}

// The entry of `entries` under `key`, or null.
const Any* entryAt(std::span<const SecItemQueryEntry> entries, std::string_view key) {
    for (const SecItemQueryEntry& entry : entries) {
        if (entry.key == key) return entry.value;
    }
    return nullptr;
}

std::optional<ItemClass> classOf(const Any* value) {
    if (!value || !value->isString()) return std::nullopt;
    if (value->string() == kSecClassGenericPassword) return ItemClass::generic;
    if (value->string() == kSecClassInternetPassword) return ItemClass::internet;
    return std::nullopt;
}

std::optional<ItemClass> classOf(const Any::Dictionary& dictionary) {
    const auto found = dictionary.find(kSecClass);
    return classOf(found != dictionary.end() ? &found->second : nullptr);
}

// Parses a search dictionary, with `entries` put in (each replacing the query's entry of the
// same key), into its conditions and its return and use options.
OSStatus parseSearch(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Search& search) {
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].value || entryAt(entries.first(i), entries[i].key)) return errSecParam;
    }
    const Any* classValue = entryAt(entries, kSecClass);
    if (!classValue) {
        const auto found = query.find(kSecClass);
        classValue = found != query.end() ? &found->second : nullptr;
    }
    const auto itemClass = classOf(classValue);
    if (!itemClass) return errSecParam;
    search.itemClass = *itemClass;
    ParseState state;
    for (const auto& [key, value] : query) {
        if (key == kSecClass || entryAt(entries, key)) continue;
        if (OSStatus s = parseEntry(key, value, search, state); s != errSecSuccess) return s;
    }
    for (const SecItemQueryEntry& entry : entries) {
        if (entry.key == kSecClass) continue;
        if (OSStatus s = parseEntry(entry.key, *entry.value, search, state); s != errSecSuccess) return s;
    }
    if (state.attributeKeysGiven) {
        search.returnAttributes = true;
    } else if (search.returnAttributes) {
        search.allAttributes = true;
        search.attributeColumns = columnsOf(search.itemClass);
        search.accessControl = true;
    }
    if (!state.synchronizableGiven) addCondition(search, kNotSynchronizableCondition, nullptr);
    return errSecSuccess;
}

OSStatus parseSearch(const Any::Dictionary& query, Search& search) { return parseSearch(query, {}, search); }

// One fetched row: its identifier, secret (still sealed) and attributes.
struct Row {
    std::int64_t id = 0;
    Data uuid;
    std::optional<Data> sealed;
    bool needsAuthentication = false;
    Any::Dictionary attributes;
};

// What fetchRows reads per row beside id and auth.
struct Selection {
    bool uuid, data, acl;
    ColumnSet columns;
};

Selection selectionOf(const Search& search) {
    Selection selection{search.withIdentifier || search.returnData || search.returnPersistentRef, search.returnData,
                        false, 0};
    if (search.returnAttributes) {
        selection.acl = search.accessControl;
        selection.columns = search.attributeColumns;
        // An access control object is made of the flags and the protection.
        if (search.accessControl) selection.columns |= columnBit(*columnIndex(kSecAttrAccessible, search.itemClass));
    }
    return selection;
}

std::string whereClause(const Search& search, bool skipProtected) {
    std::string where;
    auto add = [&](std::string_view condition) {
        where += where.empty() ? " WHERE " : " AND ";
        where += condition;
    };
    for (const std::uint8_t condition : search.conditions) {
        switch (condition) {
        case kReferenceCondition: add("uuid = ?"); break;
        case kNoMatchCondition: add("0"); break;
        case kNotSynchronizableCondition: add("sync = 0"); break;
        default: add(std::string(kColumns[condition].key) + " = ?"); break;
        }
    }
    if (skipProtected) add("auth = 0");
    return where;
}

// The cache key of a statement: everything its SQL text depends on, a few bytes long, made
// on the stack (a search runs often; its key should cost no allocation).
class Shape {
public:
    Shape(char verb, const Search& search, const Selection& selection, bool skipProtected) {
        push(verb);
        push(static_cast<char>(search.itemClass));
        push(static_cast<char>(int(selection.uuid) | int(selection.data) << 1 | int(selection.acl) << 2 |
                               int(skipProtected) << 3 | int(search.limit > 0) << 4));
        for (int shift = 0; shift < 32; shift += 8) push(static_cast<char>((selection.columns >> shift) & 0xff));
        for (const std::uint8_t condition : search.conditions) push(static_cast<char>(condition));
    }
    std::string_view view() const { return {bytes_.data(), size_}; }

private:
    void push(char c) { bytes_[size_++] = c; }
    std::array<char, 7 + std::tuple_size_v<decltype(Conditions::ids)>> bytes_{};
    std::size_t size_ = 0;
};

std::string selectSql(const Search& search, const Selection& selection, bool skipProtected) {
    std::string sql = "SELECT id, auth";
    if (selection.uuid) sql += ", uuid";
    if (selection.data) sql += ", data";
    if (selection.acl) sql += ", acl";
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (selection.columns & columnBit(i)) sql += ", " + std::string(kColumns[i].key);
    }
    sql += std::string(" FROM ") + tableOf(search.itemClass) + whereClause(search, skipProtected);
    // No LIMIT clause for all rows: with one, SQLite sorts through a b-tree instead of its sorter.
    return sql + (search.limit > 0 ? " ORDER BY id LIMIT ?" : " ORDER BY id");
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

// Where each returned attribute sits in the statement, in key order (so each entry of a
// row's dictionary is appended, never inserted): worked out once per search, not per row.
struct AttributeLayout {
    std::array<std::pair<std::size_t, int>, kColumns.size()> columns{};  // kColumns index, position
    std::size_t count = 0;
    int protection = -1;  // the position of kSecAttrAccessible, for access control objects
    std::size_t capacity = 0;  // the most entries a row's dictionary gets
};

AttributeLayout layoutOf(const Search& search, const Selection& selection, int firstIndex) {
    // Column positions in the statement follow column order.
    std::array<int, kColumns.size()> position{};
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (selection.columns & columnBit(i)) position[i] = firstIndex++;
    }
    AttributeLayout layout;
    for (const std::size_t i : columnsByKey()) {
        if (search.attributeColumns & columnBit(i)) layout.columns[layout.count++] = {i, position[i]};
    }
    if (selection.acl) layout.protection = position[*columnIndex(kSecAttrAccessible, search.itemClass)];
    layout.capacity = layout.count + int(search.allAttributes) + int(selection.acl) + int(search.returnData) +
                      int(search.returnPersistentRef);
    return layout;
}

Any::Dictionary readAttributes(sqlite3_stmt* statement, const Search& search, const AttributeLayout& layout,
                               std::optional<SecAccessControlCreateFlags> acl) {
    Any::Dictionary attributes;
    attributes.reserve(layout.capacity);
    if (search.allAttributes) attributes[kSecClass] = classConstant(search.itemClass);
    for (std::size_t i = 0; i < layout.count; ++i) {
        const auto [column, position] = layout.columns[i];
        Any value = readColumn(statement, position, kColumns[column].kind);
        if (!value.isNull()) attributes.try_emplace(std::string(kColumns[column].key), std::move(value));
    }
    if (acl) {
        const Any protection = readColumn(statement, layout.protection, Kind::text);
        attributes[kSecAttrAccessControl] =
            std::make_shared<SecAccessControl>(protection.isString() ? protection.string() : std::string(), *acl);
    }
    return attributes;
}

// Binds the search's values, borrowed: they outlive the statement's use.
OSStatus bindSearch(sqlite3_stmt* statement, const Search& search) {
    for (std::size_t i = 0; i < search.valueCount; ++i) {
        if (!detail::bindValue(statement, static_cast<int>(i) + 1, *search.values[i], SQLITE_STATIC)) return errSecParam;
    }
    return errSecSuccess;
}

// Runs the search's statement, calling onRow(statement) for each row. Its columns are id,
// auth, then uuid, data and acl when selected, then the selected attributes in column order.
template <class OnRow>
OSStatus forEachRow(Database& db, const Search& search, const Selection& selection, OnRow&& onRow) {
    const bool skipProtected = search.authenticationUI == kSecUseAuthenticationUISkip;
    OSStatus status = errSecSuccess;
    sqlite3_stmt* statement = db.prepare(Shape('S', search, selection, skipProtected).view(),
                                         [&] { return selectSql(search, selection, skipProtected); }, status);
    if (!statement) return status;
    StatementUse use(statement);
    if (OSStatus s = bindSearch(statement, search); s != errSecSuccess) return s;
    if (search.limit > 0) sqlite3_bind_int64(statement, static_cast<int>(search.valueCount) + 1, search.limit);
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) onRow(statement);
    return rc == SQLITE_DONE ? errSecSuccess : detail::statusOfSqlite(rc);
}

OSStatus fetchRows(Database& db, const Search& search, std::vector<Row>& rows) {
    const Selection selection = selectionOf(search);
    rows.reserve(static_cast<std::size_t>(search.limit > 0 ? std::min<std::int64_t>(search.limit, 64) : 64));
    const int firstAttribute = 2 + int(selection.uuid) + int(selection.data) + int(selection.acl);
    const AttributeLayout layout = layoutOf(search, selection, firstAttribute);
    return forEachRow(db, search, selection, [&](sqlite3_stmt* statement) {
        Row& row = rows.emplace_back();
        row.id = sqlite3_column_int64(statement, 0);
        row.needsAuthentication = sqlite3_column_int(statement, 1) != 0;
        int index = 2;
        // Read as bytes whatever their stored type: a tampered row must fail to open, not crash.
        if (selection.uuid) row.uuid = blobColumn(statement, index++);
        if (selection.data) {
            if (sqlite3_column_type(statement, index) != SQLITE_NULL) row.sealed = blobColumn(statement, index);
            ++index;
        }
        std::optional<SecAccessControlCreateFlags> acl;
        if (selection.acl) {
            if (sqlite3_column_type(statement, index) != SQLITE_NULL) {
                acl = static_cast<SecAccessControlCreateFlags>(sqlite3_column_int64(statement, index));
            }
            ++index;
        }
        if (search.returnAttributes) row.attributes = readAttributes(statement, search, layout, acl);
    });
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
