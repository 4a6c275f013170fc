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
    SortedDictionary(std::initializer_list<value_type> entries) : entries_(entries) { sortEntries(false); }

    // Entries in any order; of repeated keys the later one wins (as successive
    // insert_or_assign calls would have it).
    static SortedDictionary fromEntries(std::vector<value_type> entries) {
        SortedDictionary dictionary;
        dictionary.entries_ = std::move(entries);
        dictionary.sortEntries(true);
        return dictionary;
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
    static bool keyLess(const value_type& entry, std::string_view key) { return std::string_view(entry.first) < key; }

    iterator lowerBound(std::string_view key) {
        return std::lower_bound(entries_.begin(), entries_.end(), key, keyLess);
    }
    const_iterator lowerBound(std::string_view key) const {
        return std::lower_bound(entries_.begin(), entries_.end(), key, keyLess);
    }
    // Where `key` belongs; a key after the last one (the usual order of building) needs no search.
    iterator place(std::string_view key) {
        if (entries_.empty() || std::string_view(entries_.back().first) < key) return entries_.end();
        return lowerBound(key);
    }

    // Orders the entries by key (stably) and keeps one of each run of equal keys.
    void sortEntries(bool laterWins) {
        const auto notAscending = [](const value_type& a, const value_type& b) { return !(a.first < b.first); };
        if (std::adjacent_find(entries_.begin(), entries_.end(), notAscending) == entries_.end()) return;
        if (entries_.size() <= 16) {
            insertionSort();
        } else {
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const value_type& a, const value_type& b) { return a.first < b.first; });
        }
        auto out = entries_.begin();
        for (auto run = entries_.begin(); run != entries_.end();) {
            auto runEnd = run + 1;
            while (runEnd != entries_.end() && runEnd->first == run->first) ++runEnd;
            const auto kept = laterWins ? runEnd - 1 : run;
            if (out != kept) *out = std::move(*kept);
            ++out;
            run = runEnd;
        }
        entries_.erase(out, entries_.end());
    }
    // Small dictionaries (most JSON objects) sort without the buffer std::stable_sort takes.
    void insertionSort() {
        for (std::size_t i = 1; i < entries_.size(); ++i) {
            if (!(entries_[i].first < entries_[i - 1].first)) continue;
            value_type moving = std::move(entries_[i]);
            std::size_t j = i;
            for (; j > 0 && moving.first < entries_[j - 1].first; --j) entries_[j] = std::move(entries_[j - 1]);
            entries_[j] = std::move(moving);
        }
    }

    std::vector<value_type> entries_;
};

}  // namespace platform
