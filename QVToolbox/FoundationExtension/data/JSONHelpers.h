// JSON helpers: compact JSON of lists and dictionaries, a dictionary from JSON text, a sorted
// URL query, and assignment along a key path. The dictionary wrapper reaches two of them:
// hx(dict).dictionaryToJson(), hx(dict).toSortedURLQuery().
//
//   toJSON(Any::List{1, "a"});                                   // "[1,\"a\"]"
//   toSortedURLQuery({{"b", 2}, {"a", "x y"}});                  // "a=x%20y&b=2"
//   setValue(dict, {"a", "b"}, 1);                               // true when dict["a"] is a dictionary
//
// A list or dictionary that is not a valid JSON object (a date, data, an object, a
// non-finite number inside) gives an absent text and hands "无法解析出JSONString" to the debug
// channel. Thread rule: pure functions.
#pragma once

#include <QVPlatform/base/Any.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

inline constexpr const char* kInvalidJSONMessage = "无法解析出JSONString";

// Compact JSON text of the list / dictionary, or absent (with the debug message).
std::optional<std::string> toJSON(const platform::Any::List& list);
std::optional<std::string> toJSON(const platform::Any::Dictionary& dictionary);
// The same as toJSON of the dictionary.
std::optional<std::string> dictionaryToJson(const platform::Any::Dictionary& dictionary);

// The text parsed as JSON when it holds an object; otherwise absent.
std::optional<platform::Any::Dictionary> jsonToDictionary(std::string_view json);

// Keys in ascending order, each "key=value" with both percent-encoded (letters, marks and
// digits of any script and "-._~" kept; other bytes as %XX), joined with "&". Values are
// written in their default text form (numbers in shortest decimal). Text that is not valid
// UTF-8 encodes as the empty text.
std::string toSortedURLQuery(const platform::Any::Dictionary& dictionary);

// Stores `newValue` under the last key, walking the dictionaries named by the earlier keys.
// False, with nothing changed, when a level is missing or not a dictionary, or no key is given.
bool setValue(platform::Any::Dictionary& dictionary, const std::vector<std::string>& keys, platform::Any newValue);

// The percent-encoding used by toSortedURLQuery; absent for text that is not valid UTF-8.
std::optional<std::string> percentEncodeQueryComponent(std::string_view text);

}  // namespace QVToolbox
