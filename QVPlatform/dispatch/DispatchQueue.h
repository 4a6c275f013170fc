// DispatchQueue: serial and concurrent queues of blocks over one global worker pool.
//
//   auto q = DispatchQueue::make("com.example.work");         // serial
//   q->async([] { /* runs on a pool thread, one block at a time */ });
//   int n = q->sync<int>([] { return 42; });                  // waits for the result
//   DispatchQueue::main()->asyncAfter(DispatchTime::now() + 0.5, [] { /* main thread */ });
//
// A queue is a light object (a lock and a list); making one costs about an allocation and
// starts no thread. Serial queues run one block at a time in order; concurrent queues run
// blocks side by side, and a block submitted with `barrier` waits for those before it and
// runs alone. The global queues (one per quality of service) are concurrent and ignore
// barriers. The main queue runs on the main run loop, which the host or test pumps.
//
// `sync` on the queue the caller is already running on runs the block at once (where the
// platform would deadlock). Blocks run on a pool with one running worker per core; a block
// that waits in `sync` or in a work item's `wait` gets a stand-in worker meanwhile, so blocks
// waiting for other blocks cannot starve the pool (other kinds of blocking get none).
// Thread rule: every member may be called from any thread.
#pragma once

#include <QVPlatform/dispatch/DispatchTime.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>

namespace platform {

class DispatchWorkItem;

enum class DispatchQoS { background, utility, default_, userInitiated, userInteractive, unspecified };

struct DispatchWorkItemFlags {
    bool barrier = false;
    static constexpr DispatchWorkItemFlags none() { return {}; }
    static constexpr DispatchWorkItemFlags barrierFlag() { return {true}; }
};

class DispatchQueue : public std::enable_shared_from_this<DispatchQueue> {
public:
    enum class Attributes { serial, concurrent };

    static std::shared_ptr<DispatchQueue> make(std::string label, Attributes attributes = Attributes::serial,
                                               DispatchQoS qos = DispatchQoS::default_);
    static std::shared_ptr<DispatchQueue> main();
    static std::shared_ptr<DispatchQueue> global(DispatchQoS qos = DispatchQoS::default_);

    virtual ~DispatchQueue() = default;
    DispatchQueue(const DispatchQueue&) = delete;
    DispatchQueue& operator=(const DispatchQueue&) = delete;

    const std::string& label() const { return label_; }
    DispatchQoS qos() const { return qos_; }
    bool isMain() const { return kind_ == Kind::main; }
    bool isConcurrent() const { return kind_ == Kind::concurrent || kind_ == Kind::global; }

    void async(std::function<void()> work, DispatchWorkItemFlags flags = {});
    void async(const std::shared_ptr<DispatchWorkItem>& item);
    // Runs `work` at `deadline` (or at once if it has passed).
    void asyncAfter(DispatchTime deadline, std::function<void()> work, DispatchWorkItemFlags flags = {});
    void asyncAfter(DispatchTime deadline, const std::shared_ptr<DispatchWorkItem>& item);

    // Runs `work` on this queue and waits for it.
    void sync(const std::function<void()>& work, DispatchWorkItemFlags flags = {});
    void sync(const std::shared_ptr<DispatchWorkItem>& item);
    template <class R>
        requires(!std::is_void_v<R>)
    R sync(const std::function<R()>& work, DispatchWorkItemFlags flags = {}) {
        std::optional<R> result;
        sync([&] { result.emplace(work()); }, flags);
        return std::move(*result);
    }

    // The queue whose block the calling thread is running, or null.
    static DispatchQueue* current();
    // True when the calling thread is running a block of this queue (or, for the main
    // queue, is the main thread).
    bool isCurrent() const;

protected:
    enum class Kind { serial, concurrent, global, main };
    DispatchQueue(std::string label, Kind kind, DispatchQoS qos) : label_(std::move(label)), kind_(kind), qos_(qos) {}

    struct Task {
        std::function<void()> work;
        bool barrier = false;
    };
    virtual void enqueue(Task task) = 0;
    // Runs `work` with this queue marked current on the calling thread.
    void runAsCurrent(const std::function<void()>& work);
    int priority() const;

private:
    std::string label_;
    Kind kind_;
    DispatchQoS qos_;
};

using DispatchQueuePtr = std::shared_ptr<DispatchQueue>;

}  // namespace platform
