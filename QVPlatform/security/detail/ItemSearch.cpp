#include <QVPlatform/security/detail/ItemSearch.h>

#include <QVPlatform/security/SecAccessControl.h>

#include <algorithm>

namespace platform::detail {

namespace {

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

ColumnSet columnsOf(ItemClass c) {
    ColumnSet set = 0;
    for (std::size_t i = 0; i < kColumns.size(); ++i) {
        if (c == ItemClass::generic ? kColumns[i].generic : kColumns[i].internet) set |= columnBit(i);
    }
    return set;
}

// The stored forms of a boolean attribute: matched as the integers 0 and 1.
const Any& storedBoolean(bool value) {
    static const Any no(0), yes(1);
    return value ? yes : no;
}

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

}  // namespace

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

// Binds the search's values, borrowed: they outlive the statement's use.
OSStatus bindSearch(sqlite3_stmt* statement, const Search& search) {
    for (std::size_t i = 0; i < search.valueCount; ++i) {
        if (!bindValue(statement, static_cast<int>(i) + 1, *search.values[i], SQLITE_STATIC)) return errSecParam;
    }
    return errSecSuccess;
}

OSStatus fetchRows(Database& db, const Search& search, std::vector<Row>& rows) {
    const Selection selection = selectionOf(search);
    rows.reserve(static_cast<std::size_t>(search.limit > 0 ? std::min<std::int64_t>(search.limit, 64) : 64));
    // Worked out only when attributes are returned: reads of secrets or existence need none.
    std::optional<AttributeLayout> layout;
    if (search.returnAttributes) {
        layout = layoutOf(search, selection, 2 + int(selection.uuid) + int(selection.data) + int(selection.acl));
    }
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
        if (layout) row.attributes = readAttributes(statement, search, *layout, acl);
    });
}

}  // namespace platform::detail
