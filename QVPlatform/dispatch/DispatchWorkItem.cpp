#include <QVPlatform/dispatch/DispatchWorkItem.h>

#include <QVPlatform/dispatch/detail/ThreadPool.h>

namespace platform {

std::shared_ptr<DispatchWorkItem> DispatchWorkItem::make(std::function<void()> block, DispatchWorkItemFlags flags,
                                                         DispatchQoS qos) {
    return std::make_shared<DispatchWorkItem>(std::move(block), flags, qos);
}

void DispatchWorkItem::perform() {
    {
        std::lock_guard lock(mutex_);
        if (cancelled_) {
            finished_ = true;
            finishedChanged_.notify_all();
            return;
        }
    }
    if (block_) block_();
    decltype(notifications_) pending;
    {
        std::lock_guard lock(mutex_);
        const bool first = !ran_;
        ran_ = true;
        finished_ = true;
        if (first) pending.swap(notifications_);
        finishedChanged_.notify_all();
    }
    for (auto& [queue, block] : pending) queue->async(std::move(block));
}

void DispatchWorkItem::cancel() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
}

bool DispatchWorkItem::isCancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

void DispatchWorkItem::notify(std::shared_ptr<DispatchQueue> queue, std::function<void()> block) {
    if (!queue || !block) return;
    {
        std::lock_guard lock(mutex_);
        if (!ran_) {
            notifications_.emplace_back(std::move(queue), std::move(block));
            return;
        }
    }
    queue->async(std::move(block));
}

void DispatchWorkItem::wait() {
    const detail::BlockingScope blocking;  // on a pool worker, lets the pool start a stand-in
    std::unique_lock lock(mutex_);
    finishedChanged_.wait(lock, [&] { return finished_; });
}

DispatchTimeoutResult DispatchWorkItem::wait(DispatchTime timeout) {
    const detail::BlockingScope blocking;
    std::unique_lock lock(mutex_);
    const bool done = Clock::waitUntil(finishedChanged_, lock, timeout.uptimeNanoseconds, [&] { return finished_; });
    return done ? DispatchTimeoutResult::success : DispatchTimeoutResult::timedOut;
}

}  // namespace platform
