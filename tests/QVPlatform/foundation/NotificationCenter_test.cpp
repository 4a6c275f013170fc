#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/NotificationCenter.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace platform;

TEST(NotificationCenter, DeliversSynchronouslyInOrderToMatchingObservers) {
    NSNotificationCenter center;
    std::vector<std::string> seen;
    const auto poster = std::this_thread::get_id();
    auto a = center.addObserver("QVLanguageChangeNotification", nullptr, [&](const NSNotification& n) {
        EXPECT_EQ(std::this_thread::get_id(), poster);
        seen.push_back("a:" + n.name + ":" + n.object.string() + ":" + n.userInfo["k"].string());
    });
    auto all = center.addObserver(std::nullopt, nullptr, [&](const NSNotification& n) { seen.push_back("all:" + n.name); });
    auto other = center.addObserver("ThemeDidChangeNotification", nullptr, [&](const NSNotification&) { seen.push_back("theme"); });

    center.post("QVLanguageChangeNotification", Any("sender"), Any::Dictionary{{"k", "v"}});
    EXPECT_EQ(seen, (std::vector<std::string>{"a:QVLanguageChangeNotification:sender:v", "all:QVLanguageChangeNotification"}));
    seen.clear();
    center.post("Unrelated");
    EXPECT_EQ(seen, std::vector<std::string>{"all:Unrelated"});
    seen.clear();
    center.post("ThemeDidChangeNotification");
    EXPECT_EQ(seen, (std::vector<std::string>{"all:ThemeDidChangeNotification", "theme"}));

    // The observer is kept by the center, not by its token.
    seen.clear();
    a.reset();
    center.post("QVLanguageChangeNotification");
    EXPECT_EQ(seen.size(), 2u);
}

TEST(NotificationCenter, RemovalInsideADeliveryTakesEffectAtOnce) {
    NSNotificationCenter center;
    std::vector<std::string> seen;
    NSNotificationCenter::ObserverToken second, self;
    auto first = center.addObserver("n", nullptr, [&](const NSNotification&) {
        seen.push_back("first");
        center.removeObserver(second);  // later in this very post
    });
    second = center.addObserver("n", nullptr, [&](const NSNotification&) { seen.push_back("second"); });
    self = center.addObserver("n", nullptr, [&](const NSNotification&) {
        seen.push_back("self");
        center.removeObserver(self);
        // Adding during a post: the newcomer hears only later posts.
        center.addObserver("n", nullptr, [&](const NSNotification&) { seen.push_back("late"); });
    });
    center.post("n");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "self"}));
    seen.clear();
    center.post("n");
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "late"}));
    center.removeObserver(second);  // twice: ignored
    center.removeObserver(nullptr);
}

TEST(NotificationCenter, QueuedObserversRunOnTheirQueueUnlessRemovedFirst) {
    NSNotificationCenter center;
    auto queue = DispatchQueue::make("test.notifications");
    std::vector<std::string> seen;  // touched only on `queue`
    bool onQueue = false;
    auto token = center.addObserver("n", queue, [&](const NSNotification& n) {
        onQueue = queue->isCurrent();
        seen.push_back(n.userInfo["i"].string());
    });
    center.post("n", {}, Any::Dictionary{{"i", "1"}});
    ManualClock::drain();
    EXPECT_TRUE(onQueue);
    EXPECT_EQ(seen, std::vector<std::string>{"1"});

    // A delivery still waiting in the queue is dropped once the observer is removed.
    queue->async([&] { center.removeObserver(token); });
    center.post("n", {}, Any::Dictionary{{"i", "2"}});
    ManualClock::drain();
    EXPECT_EQ(seen, std::vector<std::string>{"1"});
}

TEST(NotificationCenter, DefaultCenterIsShared) {
    int calls = 0;
    auto token = NSNotificationCenter::defaultCenter().addObserver("qv.test.shared", nullptr,
                                                                   [&](const NSNotification&) { ++calls; });
    NSNotificationCenter::defaultCenter().post("qv.test.shared");
    NSNotificationCenter::defaultCenter().removeObserver(token);
    NSNotificationCenter::defaultCenter().post("qv.test.shared");
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(&NSNotificationCenter::defaultCenter(), &NSNotificationCenter::defaultCenter());
}
