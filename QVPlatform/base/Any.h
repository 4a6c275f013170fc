// Any: one value of any of the platform's property-list kinds, or a platform object.
//
//   Any v = Any::Dictionary{{"name", "QV"}, {"tags", Any::List{1, 2.5, true}}};
//   v["name"].string();          // "QV"
//   v["tags"][1].doubleValue();  // 2.5
//   v["missing"].isNull();       // true (lookups never throw)
//
// Kinds: null, bool, integer (int64), double, text (UTF-8), data, date, list, dictionary
// with text keys (kept in key order in one sorted vector: see SortedDictionary), and a shared
// platform object. Accessors of the wrong kind return a neutral value (false, 0, empty) rather
// than throwing; use `kind()` or the `isX()` tests, or the `asX()` members that return nullptr,
// to tell. A value type.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/base/SortedDictionary.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

class NSObject;

class Any {
public:
    using List = std::vector<Any>;
    using Dictionary = SortedDictionary<Any>;
    using Object = std::shared_ptr<NSObject>;

    enum class Kind { null, boolean, integer, real, text, data, date, list, dictionary, object };

    Any() = default;
    Any(std::nullptr_t) {}  // NOLINT
    Any(bool v) : value_(v) {}  // NOLINT
    Any(int v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(long v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(long long v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(unsigned v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(unsigned long v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(unsigned long long v) : value_(static_cast<std::int64_t>(v)) {}  // NOLINT
    Any(double v) : value_(v) {}  // NOLINT
    Any(float v) : value_(static_cast<double>(v)) {}  // NOLINT
    Any(std::string v) : value_(std::move(v)) {}  // NOLINT
    Any(std::string_view v) : value_(std::string(v)) {}  // NOLINT
    Any(const char* v) : value_(std::string(v ? v : "")) {}  // NOLINT
    Any(Data v) : value_(std::move(v)) {}  // NOLINT
    Any(Date v) : value_(v) {}  // NOLINT
    Any(List v) : value_(std::move(v)) {}  // NOLINT
    Any(Dictionary v) : value_(std::move(v)) {}  // NOLINT
    Any(Object v);  // NOLINT: a null pointer makes a null value
    template <class T>
        requires std::derived_from<T, NSObject>
    Any(std::shared_ptr<T> v) : Any(Object(std::move(v))) {}  // NOLINT

    Kind kind() const { return static_cast<Kind>(value_.index()); }
    bool isNull() const { return kind() == Kind::null; }
    bool isBool() const { return kind() == Kind::boolean; }
    bool isInteger() const { return kind() == Kind::integer; }
    bool isDouble() const { return kind() == Kind::real; }
    bool isNumber() const { return isBool() || isInteger() || isDouble(); }
    bool isString() const { return kind() == Kind::text; }
    bool isData() const { return kind() == Kind::data; }
    bool isDate() const { return kind() == Kind::date; }
    bool isList() const { return kind() == Kind::list; }
    bool isDictionary() const { return kind() == Kind::dictionary; }
    bool isObject() const { return kind() == Kind::object; }

    // Numbers convert among themselves (bool is 0 or 1; doubles truncate toward zero and
    // saturate); other kinds give 0 / false.
    bool boolValue() const;
    std::int64_t integerValue() const;
    double doubleValue() const;
    // The text, or empty for other kinds.
    const std::string& string() const;

    const std::string* asString() const { return std::get_if<std::string>(&value_); }
    const Data* asData() const { return std::get_if<Data>(&value_); }
    const Date* asDate() const { return std::get_if<Date>(&value_); }
    const List* asList() const { return std::get_if<List>(&value_); }
    List* asList() { return std::get_if<List>(&value_); }
    const Dictionary* asDictionary() const { return std::get_if<Dictionary>(&value_); }
    Dictionary* asDictionary() { return std::get_if<Dictionary>(&value_); }
    Object object() const;
    template <class T>
    std::shared_ptr<T> objectAs() const { return std::dynamic_pointer_cast<T>(object()); }

    // Lookup that never throws: a missing key, a wrong kind or an index out of range give
    // a shared null value.
    const Any& operator[](std::string_view key) const;
    const Any& operator[](std::size_t index) const;
    // Number of elements of a list or dictionary; 0 otherwise.
    std::size_t count() const;

    // Kind and value are equal; integers and doubles of equal value are equal, as the
    // platform's number objects are.
    friend bool operator==(const Any& a, const Any& b);

    static const Any& null();

private:
    std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date, List, Dictionary, Object>
        value_;
};

}  // namespace platform
