// NSHashTable: a set of objects held weakly; a member that dies leaves the set by itself.
//
//   auto observers = NSHashTable<Observer>::weakObjectsHashTable();
//   observers->add(observer);            // not retained
//   observers->contains(observer.get()); // true while it lives
//   for (auto& o : observers->allObjects()) o->notify();   // strong references, live members only
//
// Members are compared by identity. A dead member is dropped at the next access, and an
// object made later at a dead member's address is a new member, not the old one. Thread
// rule: any thread; calls are serialised by an internal lock, and allObjects() hands out
// strong references so members stay alive while the caller uses them.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {

template <class T>
class NSHashTable {
public:
    // The only kind the platform needs here: weak members.
    static std::shared_ptr<NSHashTable> weakObjectsHashTable() { return std::shared_ptr<NSHashTable>(new NSHashTable()); }

    // Adds `object` (null is ignored); adding a member again does nothing.
    void add(const std::shared_ptr<T>& object) {
        if (!object) return;
        std::lock_guard lock(mutex_);
        purge();
        if (members_.try_emplace(object.get(), Member{object, sequence_}).second) ++sequence_;
    }

    void remove(const T* object) {
        std::lock_guard lock(mutex_);
        members_.erase(object);
    }

    bool contains(const T* object) const {
        std::lock_guard lock(mutex_);
        const auto it = members_.find(object);
        return it != members_.end() && !it->second.object.expired();
    }

    // The live members, in the order they were first added.
    std::vector<std::shared_ptr<T>> allObjects() const {
        std::vector<std::pair<std::size_t, std::shared_ptr<T>>> ordered;
        {
            std::lock_guard lock(mutex_);
            purge();
            for (const auto& [address, member] : members_) {
                if (auto strong = member.object.lock()) ordered.emplace_back(member.order, std::move(strong));
            }
        }
        std::sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::shared_ptr<T>> result;
        result.reserve(ordered.size());
        for (auto& entry : ordered) result.push_back(std::move(entry.second));
        return result;
    }

    // The number of live members.
    std::size_t count() const {
        std::lock_guard lock(mutex_);
        purge();
        return members_.size();
    }

    void removeAllObjects() {
        std::lock_guard lock(mutex_);
        members_.clear();
    }

private:
    struct Member {
        std::weak_ptr<T> object;
        std::size_t order;
    };

    NSHashTable() = default;

    // Drops dead members. The lock is held.
    void purge() const { std::erase_if(members_, [](const auto& entry) { return entry.second.object.expired(); }); }

    mutable std::mutex mutex_;  // guards members_ and sequence_
    mutable std::unordered_map<const T*, Member> members_;
    std::size_t sequence_ = 0;
};

}  // namespace platform
