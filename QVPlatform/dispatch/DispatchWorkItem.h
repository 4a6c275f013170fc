// DispatchWorkItem: a block that can be submitted, cancelled, waited for and followed up.
//
//   auto item = DispatchWorkItem::make([] { work(); });
//   item->notify(DispatchQueue::main(), [] { done(); });   // after `work` has run
//   DispatchQueue::global()->async(item);
//   item->cancel();                                        // if it has not started: nothing runs
//
// A cancelled item that has not started never runs its block nor its notifications; it still
// counts as finished for `wait`. Performing an item a second time runs its block again but
// not its notifications. Thread rule: every member may be called from any thread.
#pragma once

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace platform {

class DispatchWorkItem : public std::enable_shared_from_this<DispatchWorkItem> {
public:
    static std::shared_ptr<DispatchWorkItem> make(std::function<void()> block, DispatchWorkItemFlags flags = {},
                                                  DispatchQoS qos = DispatchQoS::unspecified);

    // Runs the block on the calling thread unless cancelled, then the notifications.
    void perform();
    void cancel();
    bool isCancelled() const;

    // Submits `block` to `queue` once the item's block has run (at once if it already has).
    void notify(std::shared_ptr<DispatchQueue> queue, std::function<void()> block);

    // Waits until the item has run (or was cancelled before running).
    void wait();
    DispatchTimeoutResult wait(DispatchTime timeout);

    DispatchWorkItemFlags flags() const { return flags_; }
    DispatchQoS qos() const { return qos_; }

    explicit DispatchWorkItem(std::function<void()> block, DispatchWorkItemFlags flags, DispatchQoS qos)
        : block_(std::move(block)), flags_(flags), qos_(qos) {}

private:
    std::function<void()> block_;  // immutable after construction
    const DispatchWorkItemFlags flags_;
    const DispatchQoS qos_;

    mutable std::mutex mutex_;  // guards the fields below
    std::condition_variable finishedChanged_;
    bool cancelled_ = false;
    bool ran_ = false;       // the block has run at least once
    bool finished_ = false;  // ran, or was cancelled
    std::vector<std::pair<std::shared_ptr<DispatchQueue>, std::function<void()>>> notifications_;
};

using DispatchWorkItemPtr = std::shared_ptr<DispatchWorkItem>;

}  // namespace platform
