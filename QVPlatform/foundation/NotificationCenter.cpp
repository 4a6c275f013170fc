#include <QVPlatform/foundation/NotificationCenter.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <algorithm>
#include <atomic>

namespace platform {

class NSNotificationCenter::Observer {
public:
    Observer(std::optional<std::string> name, std::shared_ptr<DispatchQueue> queue, Block block)
        : name(std::move(name)), queue(std::move(queue)), block(std::move(block)) {}

    bool matches(const std::string& posted) const { return !name || *name == posted; }
    void deliver(const NSNotification& notification) const {
        if (!removed.load(std::memory_order_acquire)) block(notification);
    }

    const std::optional<std::string> name;
    const std::shared_ptr<DispatchQueue> queue;
    const Block block;
    std::atomic<bool> removed{false};
};

NSNotificationCenter& NSNotificationCenter::defaultCenter() {
    // Never destroyed, so that posts from threads still running at exit find it.
    static NSNotificationCenter* const center = new NSNotificationCenter();
    return *center;
}

NSNotificationCenter::ObserverToken NSNotificationCenter::addObserver(std::optional<std::string> name,
                                                                      std::shared_ptr<DispatchQueue> queue,
                                                                      Block block) {
    auto observer = std::make_shared<Observer>(std::move(name), std::move(queue), std::move(block));
    std::lock_guard lock(mutex_);
    observers_.push_back(observer);
    return observer;
}

void NSNotificationCenter::removeObserver(const ObserverToken& token) {
    if (!token) return;
    token->removed.store(true, std::memory_order_release);
    std::lock_guard lock(mutex_);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), token), observers_.end());
}

void NSNotificationCenter::post(std::string name, Any object, Any userInfo) {
    std::vector<ObserverToken> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& observer : observers_) {
            if (observer->matches(name)) targets.push_back(observer);
        }
    }
    if (targets.empty()) return;
    // Queued deliveries outlive this call, so the notification is shared with them.
    const auto notification =
        std::make_shared<const NSNotification>(NSNotification{std::move(name), std::move(object), std::move(userInfo)});
    for (const auto& observer : targets) {
        if (observer->queue) {
            observer->queue->async([observer, notification] { observer->deliver(*notification); });
        } else {
            observer->deliver(*notification);
        }
    }
}

}  // namespace platform
