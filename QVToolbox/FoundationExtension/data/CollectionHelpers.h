// Collection helpers on lists (std::vector) and dictionaries (std::map, Any::Dictionary):
// appending, grouping runs, finding positions, merging, key tests and typed lookups. Free
// functions over the standard types, not members of the hx wrapper.
//
//   split(std::vector{1, 1, 2, 3, 3}, [](int a, int b) { return a != b; });  // {{1,1},{2},{3,3}}
//   indexes(std::vector{"a", "b", "a"}, "a");                                // {0, 2}
//   valueAs<std::string>(Any::Dictionary{{"k", "v"}}, "k");                  // "v"
//
// Thread rule: plain functions over the caller's values.
#pragma once

#include <QVPlatform/base/Any.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace QVToolbox {

// Lists ---------------------------------------------------------------------------------

template <class T>
void appends(std::vector<T>& list, const std::vector<T>& other) {
    list.insert(list.end(), other.begin(), other.end());
}

// Groups consecutive elements: each element after the first starts a new group when
// `startsGroup(previous, element)` is true. An empty list gives no groups.
template <class T, class Predicate>
std::vector<std::vector<T>> split(const std::vector<T>& list, Predicate&& startsGroup) {
    std::vector<std::vector<T>> groups;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i == 0 || std::invoke(startsGroup, list[i - 1], list[i])) groups.emplace_back();
        groups.back().push_back(list[i]);
    }
    return groups;
}

// The positions of the elements equal to `element`, ascending.
template <class T, class U>
std::vector<std::size_t> indexes(const std::vector<T>& list, const U& element) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == element) found.push_back(i);
    }
    return found;
}

// Dictionaries ---------------------------------------------------------------------------

// std::map and Any::Dictionary (platform::SortedDictionary) alike.
template <class M>
concept KeyedDictionary = requires(const M& m) {
    typename M::key_type;
    typename M::mapped_type;
    m.find(std::declval<const typename M::key_type&>());
};

// Merges `other` in; on equal keys its values win.
template <KeyedDictionary M>
void add(M& dictionary, const M& other) {
    for (const auto& [key, value] : other) dictionary.insert_or_assign(key, value);
}

template <KeyedDictionary M, class Key>
bool has(const M& dictionary, const Key& key) {
    return dictionary.find(key) != dictionary.end();
}

// transform(key, value) over the entries, in dictionary order.
template <KeyedDictionary M, class Transform>
auto toArray(const M& dictionary, Transform&& transform) {
    using K = typename M::key_type;
    using V = typename M::mapped_type;
    using R = std::decay_t<std::invoke_result_t<Transform&, const K&, const V&>>;
    std::vector<R> out;
    out.reserve(dictionary.size());
    for (const auto& [key, value] : dictionary) out.push_back(std::invoke(transform, key, value));
    return out;
}

template <KeyedDictionary M>
std::vector<typename M::key_type> allKeys(const M& dictionary) {
    std::vector<typename M::key_type> keys;
    keys.reserve(dictionary.size());
    for (const auto& entry : dictionary) keys.push_back(entry.first);
    return keys;
}

template <KeyedDictionary M>
std::vector<typename M::mapped_type> allValues(const M& dictionary) {
    std::vector<typename M::mapped_type> values;
    values.reserve(dictionary.size());
    for (const auto& entry : dictionary) values.push_back(entry.second);
    return values;
}

namespace detail {
// The value held by an Any as T, when it holds that kind.
template <class T>
std::optional<T> anyAs(const platform::Any& v) {
    if constexpr (std::is_same_v<T, platform::Any>) return v;
    else if constexpr (std::is_same_v<T, std::string>) { if (auto* s = v.asString()) return *s; }
    else if constexpr (std::is_same_v<T, bool>) { if (v.isBool()) return v.boolValue(); }
    else if constexpr (std::is_integral_v<T>) { if (v.isInteger()) return static_cast<T>(v.integerValue()); }
    else if constexpr (std::is_floating_point_v<T>) { if (v.isDouble()) return static_cast<T>(v.doubleValue()); }
    else if constexpr (std::is_same_v<T, platform::Data>) { if (auto* d = v.asData()) return *d; }
    else if constexpr (std::is_same_v<T, platform::Date>) { if (auto* d = v.asDate()) return *d; }
    else if constexpr (std::is_same_v<T, platform::Any::List>) { if (auto* l = v.asList()) return *l; }
    else if constexpr (std::is_same_v<T, platform::Any::Dictionary>) { if (auto* d = v.asDictionary()) return *d; }
    else if constexpr (requires { typename T::element_type; }) { if (auto o = v.objectAs<typename T::element_type>()) return o; }
    return std::nullopt;
}
}  // namespace detail

// Read of subscript [key, as: T]: the value when present and of kind T, else absent.
template <class T>
std::optional<T> valueAs(const platform::Any::Dictionary& dictionary, std::string_view key) {
    const auto it = dictionary.find(key);
    if (it == dictionary.end()) return std::nullopt;
    return detail::anyAs<T>(it->second);
}
template <class T, class K, class V, class C, class Key>
    requires(!std::is_same_v<V, platform::Any>)
std::optional<T> valueAs(const std::map<K, V, C>& dictionary, const Key& key) {
    const auto it = dictionary.find(key);
    if (it == dictionary.end()) return std::nullopt;
    if constexpr (std::is_convertible_v<const V&, T>) return T(it->second);
    else return std::nullopt;
}

// Write of subscript [key, as: T]: stores the value when it converts to the dictionary's
// value type; an absent value removes the entry, as assigning nil does.
template <class T, KeyedDictionary M, class Key>
void setValueAs(M& dictionary, const Key& key, std::optional<T> value) {
    using K = typename M::key_type;
    using V = typename M::mapped_type;
    if constexpr (std::is_convertible_v<T, V>) {
        if (value) {
            dictionary.insert_or_assign(K(key), V(std::move(*value)));
            return;
        }
    }
    const auto it = dictionary.find(key);
    if (it != dictionary.end()) dictionary.erase(it);
}

}  // namespace QVToolbox
