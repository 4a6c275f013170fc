// JSONSerialization: JSON text to and from platform::Any, with the platform serializer's rules.
//
//   auto v = JSONSerialization::jsonObject(R"({"a":[1,2.5,"x/y"]})");   // Dictionary
//   JSONSerialization::data(*v).value();        // {"a":[1,2.5,"x\/y"]}
//   JSONSerialization::isValidJSONObject(Any("text"));   // false: the top level is no container
//
// Reading: integers in the int64 range (-2^63 ... 2^63-1) stay integers; other numbers (a
// fraction, an exponent, or an integer beyond that range on either side) become doubles. Input must be valid UTF-8 (an optional byte-order mark
// is skipped); nesting deeper than 512 levels is refused rather than risking the stack.
// Writing: keys in dictionary order (Any::Dictionary is always ordered, so sortedKeys changes
// nothing), integers plainly, doubles in the shortest form that reads back exactly (0.1 ->
// "0.1", 2.0 -> "2"), "/" escaped as "\/" unless withoutEscapingSlashes, other text as UTF-8
// with only quotes, backslashes and control characters escaped. Pretty printing indents by two
// spaces and writes "key" : value. A failed read can say why and where:
//
//   JSONReadError error;
//   JSONSerialization::jsonObject("[1,]", {}, &error);   // error.offset 3, error.reason "Invalid value."
//
// Thread rule: pure functions, callable from any thread.
#pragma once

#include <QVPlatform/base/Any.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The options of JSONSerialization (declared outside it so that they can be default arguments).
// mutableContainers is accepted for the platform's sake; every Any container is mutable.
struct JSONReadingOptions {
    bool fragmentsAllowed = false;
    bool mutableContainers = false;
};
struct JSONWritingOptions {
    bool prettyPrinted = false;
    bool sortedKeys = false;
    bool fragmentsAllowed = false;
    bool withoutEscapingSlashes = false;
};

// Why reading stopped: the byte offset in the input where it stopped and a one-line English
// reason (RapidJSON's text for syntax errors; the depth limit, invalid UTF-8, an out-of-range
// number, a top level that is no container or text after the value named as such).
struct JSONReadError {
    std::size_t offset = 0;
    std::string reason;
};

struct JSONSerialization {
    using ReadingOptions = JSONReadingOptions;
    using WritingOptions = JSONWritingOptions;

    // Parses JSON text (UTF-8). Without fragmentsAllowed the top level must be an array or
    // object. Absent on any error (syntax, trailing text, invalid UTF-8, too deep, a number
    // beyond the double range). On failure `error`, when given, receives why and where.
    static std::optional<Any> jsonObject(std::string_view bytes, ReadingOptions options = {},
                                         JSONReadError* error = nullptr);

    // Absent when !isValidJSONObject (or, with fragmentsAllowed, when the value is not
    // JSON-representable).
    static std::optional<std::string> data(const Any& value, WritingOptions options = {});
    // The same for a list or dictionary held outside an Any (no copy into one).
    static std::optional<std::string> data(const Any::List& list, WritingOptions options = {});
    static std::optional<std::string> data(const Any::Dictionary& dictionary, WritingOptions options = {});

    // The platform serializer's validity check: top level is a list or dictionary; every
    // element is text, number (finite), bool, null, list or dictionary (keys are texts by
    // construction); no data, dates or objects. Texts must be valid UTF-8, and nesting is
    // limited to 512 levels, as for reading.
    static bool isValidJSONObject(const Any& value);
};

}  // namespace platform
