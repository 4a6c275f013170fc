#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <QVPlatform/dispatch/detail/ThreadPool.h>

#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace platform::detail {

namespace {

struct Scheduler {
    std::mutex mutex;  // guards everything below but `count`
    std::map<std::pair<std::uint64_t, ScheduleId>, std::function<void()>> entries;  // by deadline, then order
    std::unordered_map<ScheduleId, std::uint64_t> deadlines;
    ScheduleId nextId = 1;
    std::atomic<std::size_t> count{0};  // entries.size(), readable without the lock

    void erase(std::map<std::pair<std::uint64_t, ScheduleId>, std::function<void()>>::iterator entry) {
        deadlines.erase(entry->first.second);
        entries.erase(entry);
        count.store(entries.size(), std::memory_order_relaxed);
    }
};

Scheduler& scheduler() {
    static auto* instance = new Scheduler();  // lives for the process, as the pool does
    return *instance;
}

}  // namespace

ScheduleId scheduleAt(std::uint64_t deadlineUptime, std::function<void()> release) {
    if (!release) release = [] {};  // an empty entry would read as "nothing due" for ever
    auto& s = scheduler();
    ScheduleId id;
    bool earliest;
    {
        std::lock_guard lock(s.mutex);
        id = s.nextId++;
        earliest = s.entries.empty() || deadlineUptime < s.entries.begin()->first.first;
        s.entries.emplace(std::make_pair(deadlineUptime, id), std::move(release));
        s.deadlines.emplace(id, deadlineUptime);
        s.count.store(s.entries.size(), std::memory_order_relaxed);
    }
    // Outside our lock: the pool reads the scheduler while holding its own.
    if (earliest) poolTimersChanged();
    return id;
}

void unschedule(ScheduleId id) {
    auto& s = scheduler();
    std::function<void()> dropped;  // destroyed outside the lock: it may own objects
    std::lock_guard lock(s.mutex);
    const auto it = s.deadlines.find(id);
    if (it == s.deadlines.end()) return;
    const auto entry = s.entries.find(std::make_pair(it->second, id));
    if (entry == s.entries.end()) {
        s.deadlines.erase(it);
        return;
    }
    dropped = std::move(entry->second);
    s.erase(entry);
}

std::optional<std::uint64_t> nextDeadline() {
    auto& s = scheduler();
    std::lock_guard lock(s.mutex);
    if (s.entries.empty()) return std::nullopt;
    return s.entries.begin()->first.first;
}

bool hasScheduledEntries() { return scheduler().count.load(std::memory_order_relaxed) > 0; }

std::function<void()> takeFirstDue(std::uint64_t now) {
    auto& s = scheduler();
    std::lock_guard lock(s.mutex);
    if (s.entries.empty()) return nullptr;
    const auto first = s.entries.begin();
    if (first->first.first > now) return nullptr;
    auto release = std::move(first->second);
    s.erase(first);
    return release;
}

bool releaseFirstDue(std::uint64_t now) {
    auto release = takeFirstDue(now);
    if (!release) return false;
    release();
    return true;
}

void schedulerClockChanged() { poolTimersChanged(); }

}  // namespace platform::detail
