// SortedDictionary: text keys to values, kept in ascending byte order of the key in one
// contiguous vector. It is the dictionary kind of platform::Any (Any::Dictionary).
//
//   SortedDictionary<int> d{{"b", 2}, {"a", 1}};
//   d["c"] = 3;                                  // inserted in its place
//   d.find("a")->second;                         // 1
//   for (const auto& [key, value] : d) { ... }   // "a", "b", "c"
//
// The interface is std::map's (find, contains, count, at, operator[], insert_or_assign,
// try_emplace, emplace, insert, erase, iteration in key order), with plain pairs as entries.
// Lookups are binary searches over one block of memory, building is one allocation, and freeing
// walks no tree. Adding a key that sorts last is cheap; adding one in the middle moves the
// entries after it, so a large dictionary is best built with `fromEntries`, which sorts once.
// Keys must not be changed through iterators. Adding or erasing entries invalidates iterators
// and references (unlike std::map). A value type; thread rule as for any value.
#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace platform {

template <class Value>
class SortedDictionary {
public:
    using key_type = std::string;
    using mapped_type = Value;
    using value_type = std::pair<std::string, Value>;
    using size_type = std::size_t;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    SortedDictionary() = default;
    // As with std::map, the first of repeated keys is kept.
    SortedDictionary(std::initializer_list<value_type> entries) {
        const std::span<const value_type> source(entries.begin(), entries.size());
        entries_.reserve(source.size());
        inKeyOrder(source, false, [&](std::size_t i) { entries_.push_back(source[i]); });
    }

    // Entries in any order, moved out of `source`; of repeated keys the later one wins (as
    // successive insert_or_assign calls would have it). One allocation, no tree.
    static SortedDictionary fromEntries(std::span<value_type> source) {
        SortedDictionary dictionary;
        dictionary.entries_.reserve(source.size());
        inKeyOrder(source, true, [&](std::size_t i) { dictionary.entries_.push_back(std::move(source[i])); });
        return dictionary;
    }
    static SortedDictionary fromEntries(std::vector<value_type> entries) {
        return fromEntries(std::span<value_type>(entries));
    }

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    const_iterator cbegin() const { return entries_.cbegin(); }
    const_iterator cend() const { return entries_.cend(); }

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    void clear() { entries_.clear(); }
    void reserve(std::size_t count) { entries_.reserve(count); }

    iterator find(std::string_view key) {
        const auto it = lowerBound(key);
        return (it != entries_.end() && it->first == key) ? it : entries_.end();
    }
    const_iterator find(std::string_view key) const {
        const auto it = lowerBound(key);
        return (it != entries_.end() && it->first == key) ? it : entries_.end();
    }
    bool contains(std::string_view key) const { return find(key) != end(); }
    std::size_t count(std::string_view key) const { return contains(key) ? 1 : 0; }

    Value& at(std::string_view key) {
        const auto it = find(key);
        if (it == end()) throw std::out_of_range("SortedDictionary::at: no such key");
        return it->second;
    }
    const Value& at(std::string_view key) const {
        const auto it = find(key);
        if (it == end()) throw std::out_of_range("SortedDictionary::at: no such key");
        return it->second;
    }
    // The value under `key`, added as a default value when missing.
    Value& operator[](std::string_view key) {
        const auto it = place(key);
        if (it != entries_.end() && it->first == key) return it->second;
        return entries_.emplace(it, std::string(key), Value())->second;
    }

    // Adds the entry unless the key is present; the iterator points at the key's entry.
    template <class... Args>
    std::pair<iterator, bool> try_emplace(std::string key, Args&&... args) {
        const auto it = place(key);
        if (it != entries_.end() && it->first == key) return {it, false};
        return {entries_.emplace(it, std::piecewise_construct, std::forward_as_tuple(std::move(key)),
                                 std::forward_as_tuple(std::forward<Args>(args)...)),
                true};
    }
    template <class V>
    std::pair<iterator, bool> emplace(std::string key, V&& value) {
        return try_emplace(std::move(key), std::forward<V>(value));
    }
    std::pair<iterator, bool> insert(value_type entry) {
        return try_emplace(std::move(entry.first), std::move(entry.second));
    }
    // Adds the entry, or replaces the value of a present key.
    template <class V>
    std::pair<iterator, bool> insert_or_assign(std::string key, V&& value) {
        auto [it, added] = try_emplace(std::move(key), std::forward<V>(value));
        if (!added) it->second = std::forward<V>(value);
        return {it, added};
    }

    iterator erase(const_iterator position) { return entries_.erase(position); }
    iterator erase(iterator position) { return entries_.erase(position); }
    std::size_t erase(std::string_view key) {
        const auto it = find(key);
        if (it == end()) return 0;
        entries_.erase(it);
        return 1;
    }

    friend bool operator==(const SortedDictionary& a, const SortedDictionary& b) { return a.entries_ == b.entries_; }

private:
    static bool entryLess(const value_type& entry, std::string_view key) { return keyLess(entry.first, key); }
    // Byte order, as std::string's; a plain loop beats a call to memcmp on the short keys of
    // most dictionaries.
    static bool keyLess(std::string_view a, std::string_view b) {
        const std::size_t common = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < common; ++i) {
            if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
        }
        return a.size() < b.size();
    }

    iterator lowerBound(std::string_view key) {
        return std::lower_bound(entries_.begin(), entries_.end(), key, entryLess);
    }
    const_iterator lowerBound(std::string_view key) const {
        return std::lower_bound(entries_.begin(), entries_.end(), key, entryLess);
    }
    // Where `key` belongs; a key after the last one (the usual order of building) needs no search.
    iterator place(std::string_view key) {
        if (entries_.empty() || std::string_view(entries_.back().first) < key) return entries_.end();
        return lowerBound(key);
    }

    // Calls take(i) for the positions of `source` in ascending key order, once per key: the
    // first or the last of repeated keys. Sorts positions, not entries, so each entry moves once.
    template <class Take>
    static void inKeyOrder(std::span<const value_type> source, bool laterWins, Take&& take) {
        const std::size_t count = source.size();
        const auto less = [&](std::size_t a, std::size_t b) { return keyLess(source[a].first, source[b].first); };
        // Most dictionaries are small: their positions fit on the stack and sort by insertion.
        std::size_t local[32];
        std::vector<std::size_t> heap;
        std::size_t* order = local;
        if (count > std::size(local)) {
            heap.resize(count);
            order = heap.data();
        }
        for (std::size_t i = 0; i < count; ++i) order[i] = i;
        if (count <= std::size(local)) {
            for (std::size_t i = 1; i < count; ++i) {
                const std::size_t moving = order[i];
                std::size_t j = i;
                for (; j > 0 && less(moving, order[j - 1]); --j) order[j] = order[j - 1];
                order[j] = moving;
            }
        } else {
            std::stable_sort(order, order + count, less);
        }
        for (std::size_t run = 0; run < count;) {
            std::size_t runEnd = run + 1;
            while (runEnd < count && source[order[runEnd]].first == source[order[run]].first) ++runEnd;
            take(order[laterWins ? runEnd - 1 : run]);
            run = runEnd;
        }
    }

    std::vector<value_type> entries_;
};

}  // namespace platform
