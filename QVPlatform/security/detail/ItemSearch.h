// The item store's searches: the attribute columns of the two item classes, the parsing of a
// search dictionary into conditions, and the SQL that reads the matching rows. Used by the
// store's calls (SecItem.cpp) under the store lock.
//
//   Search search;
//   if (parseSearch(query, search) == errSecSuccess) fetchRows(db, search, rows);
//
// A Search points into the query it was parsed from: it never outlives it.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/security/LAContext.h>
#include <QVPlatform/security/SecBase.h>
#include <QVPlatform/security/SecItem.h>
#include <QVPlatform/security/detail/Database.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace platform::detail {

enum class Kind { text, data, integer, boolean, date };

struct Column {
    std::string_view key;  // the kSecAttr… key, which is also the column's name
    Kind kind;
    bool generic;
    bool internet;
};

// Every attribute an item may carry, in column order.
inline constexpr std::array<Column, 21> kColumns{{
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

inline const char* tableOf(ItemClass c) { return c == ItemClass::generic ? "genp" : "inet"; }
inline const char* classConstant(ItemClass c) {
    return c == ItemClass::generic ? kSecClassGenericPassword : kSecClassInternetPassword;
}

// A set of attribute columns: bit i stands for kColumns[i].
using ColumnSet = std::uint32_t;
constexpr ColumnSet columnBit(std::size_t index) { return ColumnSet(1) << index; }

// The index in kColumns of the attribute `key` when the class `c` has it.
std::optional<std::size_t> columnIndex(std::string_view key, ItemClass c);
const Column* findColumn(std::string_view key, ItemClass c);
// Whether `value` may be stored in a column of `kind`.
bool hasKind(const Any& value, Kind kind);
// The class named by a dictionary's kSecClass.
std::optional<ItemClass> classOf(const Any::Dictionary& dictionary);

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

// Parses a search dictionary, with `entries` put in (each replacing the query's entry of the
// same key), into its conditions and its return and use options.
OSStatus parseSearch(const Any::Dictionary& query, std::span<const SecItemQueryEntry> entries, Search& search);
OSStatus parseSearch(const Any::Dictionary& query, Search& search);

Selection selectionOf(const Search& search);
// " WHERE …" with the search's conditions (and auth = 0 when protected items are skipped).
std::string whereClause(const Search& search, bool skipProtected);
std::string selectSql(const Search& search, const Selection& selection, bool skipProtected);
// Binds the search's values, borrowed: they outlive the statement's use.
OSStatus bindSearch(sqlite3_stmt* statement, const Search& search);

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
    return rc == SQLITE_DONE ? errSecSuccess : statusOfSqlite(rc);
}

// Every row the search matches (LIMIT applied), with what its return flags ask for.
OSStatus fetchRows(Database& db, const Search& search, std::vector<Row>& rows);

}  // namespace platform::detail
