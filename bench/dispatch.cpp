// Dispatch queues, delayed work and run-once beside a plain std::thread + condition-variable
// work queue; and the wrapper's cost beside a direct call.
#include "Compare.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace platform;
constexpr int kBlocks = 10'000;

// The baseline: N worker threads over one locked deque.
class PlainWorkQueue {
public:
    explicit PlainWorkQueue(int workers) {
        for (int i = 0; i < workers; ++i) threads_.emplace_back([this] { loop(); });
    }
    ~PlainWorkQueue() {
        {
            std::lock_guard lock(mutex_);
            stop_ = true;
        }
        cv_.notify_all();
        for (auto& t : threads_) t.join();
    }
    void submit(std::function<void()> work) {
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(std::move(work));
        }
        cv_.notify_one();
    }

private:
    void loop() {
        for (;;) {
            std::function<void()> work;
            {
                std::unique_lock lock(mutex_);
                cv_.wait(lock, [&] { return stop_ || !queue_.empty(); });
                if (queue_.empty()) return;
                work = std::move(queue_.front());
                queue_.pop_front();
            }
            work();
        }
    }
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<std::function<void()>> queue_;
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

// Waits until `count` blocks have called done().
class Countdown {
public:
    explicit Countdown(int count) : left_(count) {}
    void done() {
        if (left_.fetch_sub(1) == 1) {
            std::lock_guard lock(mutex_);
            cv_.notify_all();
        }
    }
    void wait() {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [&] { return left_.load() == 0; });
    }

private:
    std::atomic<int> left_;
    std::mutex mutex_;
    std::condition_variable cv_;
};

void SerialAsync_ours(benchmark::State& state) {
    auto q = DispatchQueue::make("bench.serial");
    for (auto _ : state) {
        int counter = 0;
        for (int i = 0; i < kBlocks; ++i) q->async([&counter] { ++counter; });
        q->sync([] {});
        benchmark::DoNotOptimize(counter);
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
}

void SerialAsync_peer(benchmark::State& state) {
    PlainWorkQueue q(1);
    for (auto _ : state) {
        int counter = 0;
        Countdown last(1);
        for (int i = 0; i < kBlocks; ++i) q.submit([&counter] { ++counter; });
        q.submit([&] { last.done(); });
        last.wait();
        benchmark::DoNotOptimize(counter);
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
}

void GlobalAsync_ours(benchmark::State& state) {
    auto q = DispatchQueue::global();
    for (auto _ : state) {
        Countdown all(kBlocks);
        for (int i = 0; i < kBlocks; ++i) q->async([&all] { all.done(); });
        all.wait();
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
}

void GlobalAsync_peer(benchmark::State& state) {
    PlainWorkQueue q(static_cast<int>(std::max(2u, std::thread::hardware_concurrency())));
    for (auto _ : state) {
        Countdown all(kBlocks);
        for (int i = 0; i < kBlocks; ++i) q.submit([&all] { all.done(); });
        all.wait();
    }
    state.SetItemsProcessed(state.iterations() * kBlocks);
}

// Lateness of delayed blocks (1 ms delay) while the other core is kept busy.
template <class Schedule>
void measureLateness(benchmark::State& state, Schedule schedule) {
    std::atomic<bool> stop{false};
    std::thread busy([&] {
        volatile unsigned long x = 0;
        while (!stop.load(std::memory_order_relaxed)) x = x + 1;
    });
    std::vector<double> lateness;
    for (auto _ : state) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1);
        Countdown fired(1);
        std::chrono::steady_clock::time_point at;
        schedule(deadline, [&] {
            at = std::chrono::steady_clock::now();
            fired.done();
        });
        fired.wait();
        lateness.push_back(std::chrono::duration<double, std::micro>(at - deadline).count());
    }
    stop = true;
    busy.join();
    std::sort(lateness.begin(), lateness.end());
    state.counters["median_us"] = lateness[lateness.size() / 2];
    state.counters["p99_us"] = lateness[lateness.size() * 99 / 100];
}

void AsyncAfterLateness_ours(benchmark::State& state) {
    auto q = DispatchQueue::global();
    measureLateness(state, [&](std::chrono::steady_clock::time_point deadline, std::function<void()> work) {
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
        q->asyncAfter(DispatchTime{static_cast<std::uint64_t>(ns)}, std::move(work));
    });
}

void AsyncAfterLateness_peer(benchmark::State& state) {
    // A timer thread that waits on a condition variable until the deadline, then hands the
    // block to a worker queue: the plain way to build delayed work.
    PlainWorkQueue workers(2);
    measureLateness(state, [&](std::chrono::steady_clock::time_point deadline, std::function<void()> work) {
        std::thread([&workers, deadline, work = std::move(work)]() mutable {
            std::mutex m;
            std::condition_variable cv;
            std::unique_lock lock(m);
            cv.wait_until(lock, deadline, [&] { return std::chrono::steady_clock::now() >= deadline; });
            workers.submit(std::move(work));
        }).detach();
    });
}

void OnceAlreadyRun(benchmark::State& state) {
    QVToolbox::HxAsyncs::once("bench-token", [] {});
    for (auto _ : state) QVToolbox::HxAsyncs::once("bench-token", [] {});
}

void WrapperCall_ours(benchmark::State& state) {
    double seconds = 3725;
    for (auto _ : state) {
        benchmark::DoNotOptimize(seconds);
        auto text = QVToolbox::qv(seconds).toClock(false);
        benchmark::DoNotOptimize(text);
    }
}

void WrapperCall_peer(benchmark::State& state) {
    double seconds = 3725;
    for (auto _ : state) {
        benchmark::DoNotOptimize(seconds);
        auto text = QVToolbox::toClock(seconds, false);
        benchmark::DoNotOptimize(text);
    }
}

}  // namespace

BENCHMARK(SerialAsync_ours)->Name("SerialAsync10k/ours")->UseRealTime();
BENCHMARK(SerialAsync_peer)->Name("SerialAsync10k/peer")->UseRealTime();
BENCHMARK(GlobalAsync_ours)->Name("GlobalAsync10k/ours")->UseRealTime();
BENCHMARK(GlobalAsync_peer)->Name("GlobalAsync10k/peer")->UseRealTime();
BENCHMARK(AsyncAfterLateness_ours)->Name("AsyncAfterLatenessBusyCore/ours")->Iterations(300)->UseRealTime();
BENCHMARK(AsyncAfterLateness_peer)->Name("AsyncAfterLatenessBusyCore/peer")->Iterations(300)->UseRealTime();
BENCHMARK(OnceAlreadyRun);
BENCHMARK(WrapperCall_ours)->Name("WrapperToClock/ours");
BENCHMARK(WrapperCall_peer)->Name("WrapperToClock/peer");

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
