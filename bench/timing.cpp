// Timing utilities on the system clock.
// 1. Lateness of Repeater.every(10 ms) firings (median and 99th percentile over 500 firings),
//    idle and with the second core kept busy, beside a thread looping on
//    std::condition_variable::wait_until to the same deadlines, in the same run.
// 2. QVThrottler::call() cost per call in a burst, beside the dispatch work a call stands on
//    (make a work item, cancel the previous one, asyncAfter to the same deadline).
#include "Compare.h"

#include <QVToolbox/timing/Timing.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/DispatchWorkItem.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::Clock;
using QVToolbox::QVThrottler;
using QVToolbox::Repeater;

constexpr std::uint64_t kIntervalNs = 10'000'000;  // 10 ms
constexpr std::size_t kFirings = 500;
constexpr int kBurst = 50'000;

struct Lateness {
    double medianUs = 0;
    double p99Us = 0;
};
std::map<std::string, Lateness> results;    // written by the benchmarks, printed at the end
std::map<std::string, double> nsPerCall;     // likewise, for the throttler bursts

// Keeps the other core busy while alive (when asked to).
class BusyCore {
public:
    explicit BusyCore(bool busy) {
        if (busy) spinner_ = std::thread([this] {
            volatile unsigned long x = 0;
            while (!stop_.load(std::memory_order_relaxed)) x = x + 1;
        });
    }
    ~BusyCore() {
        stop_ = true;
        if (spinner_.joinable()) spinner_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread spinner_;
};

// Lateness of each firing against the earliest deadline (start + k × 10 ms) not yet served;
// a firing that comes a whole interval late serves every deadline up to now, as the timer
// source merges them.
class LatenessLog {
public:
    explicit LatenessLog(std::uint64_t start) : start_(start) { ns_.reserve(kFirings); }
    // Records a firing at `now`; true once kFirings are recorded.
    bool fired(std::uint64_t now) {
        ns_.push_back(static_cast<double>(now) - static_cast<double>(start_ + next_ * kIntervalNs));
        next_ = (now - start_) / kIntervalNs + 1;
        return ns_.size() >= kFirings;
    }
    std::uint64_t nextDeadline() const { return start_ + next_ * kIntervalNs; }
    Lateness summary() {
        std::sort(ns_.begin(), ns_.end());
        return {ns_[ns_.size() / 2] / 1000.0, ns_[ns_.size() * 99 / 100] / 1000.0};
    }

private:
    const std::uint64_t start_;
    std::uint64_t next_ = 1;
    std::vector<double> ns_;
};

void report(benchmark::State& state, const std::string& key, Lateness l) {
    results[key] = l;
    state.counters["median_us"] = l.medianUs;
    state.counters["p99_us"] = l.p99Us;
}

// The first Repeater of the process binds symbols and starts statics between the reading of
// the start time and the computing of its first deadline, which would shift every firing of
// the measured one by that constant: one Repeater is made and dropped first.
void warmUpRepeater() {
    auto warm = Repeater::every(Repeater::Interval::milliseconds(10), [](Repeater&) {});
    warm->pause();
}

void RepeaterLateness(benchmark::State& state, bool busy) {
    warmUpRepeater();
    for (auto _ : state) {
        const BusyCore core(busy);
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;  // guarded by mutex
        LatenessLog log(Clock::uptimeNanoseconds());  // touched only by the observer until finished
        auto r = Repeater::every(Repeater::Interval::milliseconds(10), [&](Repeater& self) {
            if (!log.fired(Clock::uptimeNanoseconds())) return;
            self.pause();
            std::lock_guard lock(mutex);
            finished = true;
            done.notify_one();
        });
        std::unique_lock lock(mutex);
        done.wait(lock, [&] { return finished; });
        report(state, busy ? "busy" : "idle", log.summary());
        state.SetLabel("Repeater");
    }
}

void WaitUntilLateness(benchmark::State& state, bool busy) {
    for (auto _ : state) {
        const BusyCore core(busy);
        LatenessLog log(Clock::uptimeNanoseconds());
        std::thread waiter([&] {
            std::mutex mutex;
            std::condition_variable cv;
            std::unique_lock lock(mutex);
            for (;;) {
                const std::chrono::steady_clock::time_point deadline{std::chrono::nanoseconds(log.nextDeadline())};
                cv.wait_until(lock, deadline, [] { return false; });
                if (log.fired(Clock::uptimeNanoseconds())) return;
            }
        });
        waiter.join();
        report(state, std::string("peer ") + (busy ? "busy" : "idle"), log.summary());
        state.SetLabel("condition_variable::wait_until");
    }
}

void ThrottlerBurst_ours(benchmark::State& state, QVThrottler::Mode mode) {
    // A long interval: nothing runs during the burst, every call replaces the pending job.
    auto t = QVThrottler::make(Repeater::Interval::seconds(30), nullptr, mode, false, [] {});
    const auto start = Clock::uptimeNanoseconds();
    for (auto _ : state) t->call();
    nsPerCall[mode == QVThrottler::Mode::fixed ? "fixed" : "deferred"] =
        static_cast<double>(Clock::uptimeNanoseconds() - start) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
}

void ThrottlerBurst_peer(benchmark::State& state, const char* key) {
    auto queue = platform::DispatchQueue::global(platform::DispatchQoS::background);
    const auto deadline = platform::DispatchTime::now() + 30.0;
    auto previous = platform::DispatchWorkItem::make([] {});
    const auto start = Clock::uptimeNanoseconds();
    for (auto _ : state) {
        previous->cancel();
        auto job = platform::DispatchWorkItem::make([] {});
        queue->asyncAfter(deadline, job);
        previous = std::move(job);
    }
    nsPerCall[std::string("peer ") + key] =
        static_cast<double>(Clock::uptimeNanoseconds() - start) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK_CAPTURE(RepeaterLateness, idle, false)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WaitUntilLateness, idle, false)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RepeaterLateness, busy, true)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WaitUntilLateness, busy, true)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ThrottlerBurst_ours, fixed, QVThrottler::Mode::fixed)
    ->Name("throttler_call_burst_fixed/ours")
    ->Iterations(kBurst);
BENCHMARK_CAPTURE(ThrottlerBurst_peer, fixed, "fixed")->Name("throttler_call_burst_fixed/peer")->Iterations(kBurst);
BENCHMARK_CAPTURE(ThrottlerBurst_ours, deferred, QVThrottler::Mode::deferred)
    ->Name("throttler_call_burst_deferred/ours")
    ->Iterations(kBurst);
BENCHMARK_CAPTURE(ThrottlerBurst_peer, deferred, "deferred")
    ->Name("throttler_call_burst_deferred/peer")
    ->Iterations(kBurst);

int main(int argc, char** argv) {
    const int status = qvbench::run(argc, argv);
    std::printf("\nRepeater.every(10 ms) lateness over %zu firings, beside condition_variable::wait_until (us)\n",
                kFirings);
    std::printf("%-8s %12s %12s %8s %12s %12s %8s\n", "load", "median", "peer", "ratio", "p99", "peer", "ratio");
    for (const char* load : {"idle", "busy"}) {
        const auto ours = results.find(load);
        const auto peer = results.find(std::string("peer ") + load);
        if (ours == results.end() || peer == results.end()) continue;
        const auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
        std::printf("%-8s %12.1f %12.1f %8.2f %12.1f %12.1f %8.2f\n", load, ours->second.medianUs,
                    peer->second.medianUs, ratio(ours->second.medianUs, peer->second.medianUs), ours->second.p99Us,
                    peer->second.p99Us, ratio(ours->second.p99Us, peer->second.p99Us));
    }
    std::printf("\nQVThrottler::call() in a burst of %d calls, beside the dispatch work a call stands on\n", kBurst);
    std::printf("%-8s %12s %12s %8s\n", "mode", "ns/call", "peer", "ratio");
    for (const char* mode : {"fixed", "deferred"}) {
        const auto ours = nsPerCall.find(mode);
        const auto peer = nsPerCall.find(std::string("peer ") + mode);
        if (ours == nsPerCall.end() || peer == nsPerCall.end() || peer->second <= 0) continue;
        std::printf("%-8s %12.0f %12.0f %8.2f\n", mode, ours->second, peer->second, ours->second / peer->second);
    }
    return status;
}
