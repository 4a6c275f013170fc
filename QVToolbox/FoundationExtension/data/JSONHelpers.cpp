#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>

#include <QVToolbox/FoundationExtension/data/detail/AnyDescription.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/foundation/JSONSerialization.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/UnicodeProperties.h>

namespace QVToolbox {

using platform::Any;
using platform::JSONSerialization;

namespace {

// The serializer checks validity itself (a container of JSON values), in the same pass.
template <class Container>
std::optional<std::string> compactJSON(const Container& value) {
    auto text = JSONSerialization::data(value);
    if (!text) platform::debugPrint(kInvalidJSONMessage);
    return text;
}

bool setValueAt(Any::Dictionary& dictionary, const std::vector<std::string>& keys, std::size_t index, Any& newValue) {
    if (index + 1 == keys.size()) {
        dictionary.insert_or_assign(keys[index], std::move(newValue));
        return true;
    }
    const auto it = dictionary.find(keys[index]);
    if (it == dictionary.end()) return false;
    Any::Dictionary* inner = it->second.asDictionary();
    // The inner dictionary is changed in place, which is the same as storing the changed
    // copy back under the key.
    return inner && setValueAt(*inner, keys, index + 1, newValue);
}

}  // namespace

std::optional<std::string> toJSON(const Any::List& list) { return compactJSON(list); }
std::optional<std::string> toJSON(const Any::Dictionary& dictionary) { return compactJSON(dictionary); }
std::optional<std::string> dictionaryToJson(const Any::Dictionary& dictionary) { return toJSON(dictionary); }

std::optional<Any::Dictionary> jsonToDictionary(std::string_view json) {
    auto value = JSONSerialization::jsonObject(json, {.mutableContainers = true});
    if (!value) return std::nullopt;
    if (auto* dictionary = value->asDictionary()) return std::move(*dictionary);
    return std::nullopt;
}

std::optional<std::string> percentEncodeQueryComponent(std::string_view text) {
    if (!platform::isValidUtf8(text)) return std::nullopt;
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        // One scalar at a time: kept whole, or every byte of it escaped.
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view scalar = text.substr(i, length);
        const char32_t c = platform::utf8ToUtf32(scalar).front();
        const bool keep = c == '-' || c == '.' || c == '_' || c == '~' || platform::isLetterOrMark(c) ||
                          platform::isDecimalDigit(c);
        if (keep) {
            out += scalar;
        } else {
            for (const char byte : scalar) {
                const auto b = static_cast<unsigned char>(byte);
                out += '%';
                out += kHex[b >> 4];
                out += kHex[b & 0xF];
            }
        }
        i += length;
    }
    return out;
}

std::string toSortedURLQuery(const Any::Dictionary& dictionary) {
    // Any::Dictionary keeps its keys in ascending byte order, which is the sorted order.
    std::string query;
    for (const auto& [key, value] : dictionary) {
        if (!query.empty()) query += '&';
        query += percentEncodeQueryComponent(key).value_or("");
        query += '=';
        query += percentEncodeQueryComponent(detail::describe(value)).value_or("");
    }
    return query;
}

bool setValue(Any::Dictionary& dictionary, const std::vector<std::string>& keys, Any newValue) {
    if (keys.empty()) return false;
    return setValueAt(dictionary, keys, 0, newValue);
}

}  // namespace QVToolbox
