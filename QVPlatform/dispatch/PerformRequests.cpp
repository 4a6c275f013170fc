#include <QVPlatform/dispatch/PerformRequests.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/dispatch/Timer.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <vector>

namespace platform {

namespace {

struct Request {
    std::shared_ptr<NSObject> target;
    Selector selector;
    Any argument;
    std::shared_ptr<Timer> timer;
};

// The requests not yet sent, in the order made; they hold their targets.
class Pending {
public:
    static Pending& shared() {
        static Pending pending;
        return pending;
    }

    void add(std::shared_ptr<Request> request) {
        std::lock_guard lock(mutex_);
        requests_.push_back(std::move(request));
    }

    // Takes `request` out; false when it was cancelled meanwhile.
    bool take(const Request* request) {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(requests_.begin(), requests_.end(), [&](const auto& r) { return r.get() == request; });
        if (it == requests_.end()) return false;
        requests_.erase(it);
        return true;
    }

    // Takes out every request `matches` accepts.
    template <class Match>
    std::vector<std::shared_ptr<Request>> takeAll(Match matches) {
        std::vector<std::shared_ptr<Request>> taken;
        std::lock_guard lock(mutex_);
        const auto kept = std::stable_partition(requests_.begin(), requests_.end(), [&](const auto& r) { return !matches(*r); });
        taken.assign(std::make_move_iterator(kept), std::make_move_iterator(requests_.end()));
        requests_.erase(kept, requests_.end());
        return taken;
    }

private:
    std::mutex mutex_;  // guards requests_
    std::vector<std::shared_ptr<Request>> requests_;
};

void send(const Request& request) {
    try {
        if (!request.selector.empty() && request.selector.back() == ':')
            request.target->perform(request.selector, request.argument);
        else
            request.target->perform(request.selector);
    } catch (const std::exception& error) {
        debugPrint(std::string("performAfterDelay: ") + error.what());
    }
}

void cancel(std::vector<std::shared_ptr<Request>> taken) {
    for (const auto& request : taken) request->timer->invalidate();
    // The targets are released here, outside the lock: their destructors may schedule again.
}

}  // namespace

bool performAfterDelay(const std::shared_ptr<NSObject>& target, const Selector& selector, const Any& argument,
                       double delay) {
    if (!target || !target->respondsToSelector(selector) || std::isnan(delay) || std::isinf(delay)) return false;
    auto request = std::make_shared<Request>(Request{target, selector, argument, nullptr});
    const std::weak_ptr<Request> weak = request;
    request->timer = Timer::make(Date::now().addingTimeInterval(std::max(0.0, delay)), 0, false, [weak](Timer&) {
        const auto fired = weak.lock();
        if (fired && Pending::shared().take(fired.get())) send(*fired);
    });
    Pending::shared().add(request);
    RunLoop::main().add(request->timer);
    return true;
}

void cancelPreviousPerformRequests(const NSObject& target) {
    cancel(Pending::shared().takeAll([&](const Request& r) { return r.target.get() == &target; }));
}

void cancelPreviousPerformRequests(const NSObject& target, const Selector& selector, const Any& argument) {
    cancel(Pending::shared().takeAll([&](const Request& r) {
        return r.target.get() == &target && r.selector == selector && r.argument == argument;
    }));
}

}  // namespace platform
