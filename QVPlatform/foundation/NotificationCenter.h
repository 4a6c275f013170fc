// NSNotificationCenter: named broadcasts to observer blocks.
//
//   auto token = NSNotificationCenter::defaultCenter().addObserver(
//       "ThemeDidChangeNotification", nullptr, [](const NSNotification& n) { reload(); });
//   NSNotificationCenter::defaultCenter().post("ThemeDidChangeNotification");   // reload() runs now
//   NSNotificationCenter::defaultCenter().removeObserver(token);
//
// `post` delivers synchronously on the posting thread, to the observers registered when the
// post begins, in the order they were added. An observer added with a queue gets its block
// submitted to that queue instead (post does not wait for it). The center keeps an observer
// until it is removed; dropping the token does not remove it.
//
// Thread rule: every member may be called from any thread, including from inside a block.
// No lock is held while a block runs. After `removeObserver` the observer's block is not
// started again, not even by a post already in progress (including the one whose block
// removes it) or by a delivery waiting in a queue; only a call that another thread has
// already begun may still finish.
#pragma once

#include <QVPlatform/base/Any.h>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class DispatchQueue;

struct NSNotification {
    std::string name;
    Any object;    // the sender, any value; null when none
    Any userInfo;  // null when none
};

class NSNotificationCenter {
public:
    class Observer;
    using ObserverToken = std::shared_ptr<Observer>;
    using Block = std::function<void(const NSNotification&)>;

    static NSNotificationCenter& defaultCenter();
    NSNotificationCenter() = default;
    NSNotificationCenter(const NSNotificationCenter&) = delete;
    NSNotificationCenter& operator=(const NSNotificationCenter&) = delete;

    // Registers `block` for notifications called `name` (every notification when absent).
    // With a `queue`, each delivery is submitted to it; without, it runs on the posting thread.
    ObserverToken addObserver(std::optional<std::string> name, std::shared_ptr<DispatchQueue> queue, Block block);
    // Stops deliveries to the observer; a null or already removed token is ignored.
    void removeObserver(const ObserverToken& token);
    void post(std::string name, Any object = {}, Any userInfo = {});

private:
    std::mutex mutex_;  // guards observers_
    std::vector<ObserverToken> observers_;
};

}  // namespace platform
