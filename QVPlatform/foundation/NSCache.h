// NSCache: a thread-safe key-value cache with optional count and cost limits.
//
//   NSCache<std::string, std::shared_ptr<SVGLayer>> cache;
//   cache.setCountLimit(100);
//   cache.setObject(layer, "logo.svg");   cache.objectForKey("logo.svg");   // the layer
//
// When a limit is exceeded the least recently used entries (by set or lookup) are evicted
// until every limit holds again; an entry whose cost alone exceeds the cost limit is
// evicted at once. A limit of 0 means no limit. Evicted values are released after the lock
// is dropped, so a value's destructor may use the cache.
//
// Thread rule: every member may be called from any thread.
#pragma once

#include <cstddef>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {

template <class Key, class Value, class Hash = std::hash<Key>, class Equal = std::equal_to<Key>>
class NSCache {
public:
    NSCache() = default;
    NSCache(const NSCache&) = delete;
    NSCache& operator=(const NSCache&) = delete;

    // The value for `key` (and marks it recently used), or absent.
    std::optional<Value> objectForKey(const Key& key) {
        std::lock_guard lock(mutex_);
        const auto it = index_.find(key);
        if (it == index_.end()) return std::nullopt;
        entries_.splice(entries_.begin(), entries_, it->second);
        return it->second->value;
    }

    // Stores `value` as the most recently used entry, replacing any value for `key`.
    void setObject(Value value, const Key& key, std::size_t cost = 0) {
        std::vector<Value> released;
        {
            std::lock_guard lock(mutex_);
            if (const auto it = index_.find(key); it != index_.end()) {
                totalCost_ -= it->second->cost;
                released.push_back(std::move(it->second->value));
                entries_.erase(it->second);
                index_.erase(it);
            }
            entries_.push_front(Entry{key, std::move(value), cost});
            index_.emplace(key, entries_.begin());
            totalCost_ += cost;
            evict(released);
        }
    }

    void removeObjectForKey(const Key& key) {
        std::optional<Value> released;
        std::lock_guard lock(mutex_);
        const auto it = index_.find(key);
        if (it == index_.end()) return;
        totalCost_ -= it->second->cost;
        released.emplace(std::move(it->second->value));
        entries_.erase(it->second);
        index_.erase(it);
    }

    void removeAllObjects() {
        std::list<Entry> released;
        std::lock_guard lock(mutex_);
        index_.clear();
        released.swap(entries_);
        totalCost_ = 0;
    }

    std::size_t countLimit() const {
        std::lock_guard lock(mutex_);
        return countLimit_;
    }
    // Evicts at once if the new limit is exceeded.
    void setCountLimit(std::size_t limit) {
        std::vector<Value> released;
        std::lock_guard lock(mutex_);
        countLimit_ = limit;
        evict(released);
    }
    std::size_t totalCostLimit() const {
        std::lock_guard lock(mutex_);
        return totalCostLimit_;
    }
    void setTotalCostLimit(std::size_t limit) {
        std::vector<Value> released;
        std::lock_guard lock(mutex_);
        totalCostLimit_ = limit;
        evict(released);
    }

    std::size_t count() const {
        std::lock_guard lock(mutex_);
        return entries_.size();
    }
    std::size_t totalCost() const {
        std::lock_guard lock(mutex_);
        return totalCost_;
    }

private:
    struct Entry {
        Key key;
        Value value;
        std::size_t cost;
    };

    // Requires mutex_. Moves evicted values into `released` for the caller to drop unlocked.
    void evict(std::vector<Value>& released) {
        while (!entries_.empty() && ((countLimit_ > 0 && entries_.size() > countLimit_) ||
                                     (totalCostLimit_ > 0 && totalCost_ > totalCostLimit_))) {
            Entry& oldest = entries_.back();
            totalCost_ -= oldest.cost;
            released.push_back(std::move(oldest.value));
            index_.erase(oldest.key);
            entries_.pop_back();
        }
    }

    // `released` locals are declared before the lock guards, so they die after unlocking.
    mutable std::mutex mutex_;  // guards every member below
    std::list<Entry> entries_;  // most recently used first
    std::unordered_map<Key, typename std::list<Entry>::iterator, Hash, Equal> index_;
    std::size_t totalCost_ = 0;
    std::size_t countLimit_ = 0;
    std::size_t totalCostLimit_ = 0;
};

}  // namespace platform
