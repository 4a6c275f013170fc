#include <QVPlatform/dispatch/detail/Scheduler.h>

#include <QVPlatform/base/Clock.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <utility>

namespace platform::detail {

namespace {

struct Scheduler {
    std::mutex mutex;  // guards everything below
    std::condition_variable wake;
    std::map<std::pair<std::uint64_t, ScheduleId>, std::function<void()>> entries;  // by deadline, then order
    std::unordered_map<ScheduleId, std::uint64_t> deadlines;
    ScheduleId nextId = 1;
    bool threadStarted = false;

    // The system-clock thread: releases entries as their deadlines pass. Under the manual
    // clock it sleeps until woken.
    void run() {
        std::unique_lock lock(mutex);
        for (;;) {
            if (Clock::isManual() || entries.empty()) {
                wake.wait(lock);
                continue;
            }
            const auto first = entries.begin();
            const auto deadline = first->first.first;
            const auto now = Clock::uptimeNanoseconds();
            if (deadline > now) {
                wake.wait_for(lock, std::chrono::nanoseconds(deadline - now));
                continue;
            }
            auto release = std::move(first->second);
            deadlines.erase(first->first.second);
            entries.erase(first);
            lock.unlock();
            release();
            lock.lock();
        }
    }
};

Scheduler& scheduler() {
    static auto* instance = new Scheduler();  // lives for the process; its thread never ends
    return *instance;
}

}  // namespace

ScheduleId scheduleAt(std::uint64_t deadlineUptime, std::function<void()> release) {
    auto& s = scheduler();
    std::lock_guard lock(s.mutex);
    const ScheduleId id = s.nextId++;
    const bool earliest = s.entries.empty() || deadlineUptime < s.entries.begin()->first.first;
    s.entries.emplace(std::make_pair(deadlineUptime, id), std::move(release));
    s.deadlines.emplace(id, deadlineUptime);
    if (!s.threadStarted) {
        s.threadStarted = true;
        std::thread([&s] { s.run(); }).detach();
    } else if (earliest) {
        s.wake.notify_one();
    }
    return id;
}

void unschedule(ScheduleId id) {
    auto& s = scheduler();
    std::function<void()> dropped;  // destroyed outside the lock: it may own objects
    std::lock_guard lock(s.mutex);
    const auto it = s.deadlines.find(id);
    if (it == s.deadlines.end()) return;
    const auto entry = s.entries.find(std::make_pair(it->second, id));
    if (entry != s.entries.end()) {
        dropped = std::move(entry->second);
        s.entries.erase(entry);
    }
    s.deadlines.erase(it);
}

std::optional<std::uint64_t> nextDeadline() {
    auto& s = scheduler();
    std::lock_guard lock(s.mutex);
    if (s.entries.empty()) return std::nullopt;
    return s.entries.begin()->first.first;
}

bool releaseFirstDue(std::uint64_t now) {
    auto& s = scheduler();
    std::unique_lock lock(s.mutex);
    if (s.entries.empty()) return false;
    const auto first = s.entries.begin();
    if (first->first.first > now) return false;
    auto release = std::move(first->second);
    s.deadlines.erase(first->first.second);
    s.entries.erase(first);
    lock.unlock();
    release();
    return true;
}

void schedulerClockChanged() {
    auto& s = scheduler();
    std::lock_guard lock(s.mutex);
    s.wake.notify_all();
}

}  // namespace platform::detail
