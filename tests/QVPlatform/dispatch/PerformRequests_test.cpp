#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/PerformRequests.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace platform;

namespace {

struct ManualTime {
    ManualTime() {
        RunLoop::setMainThread();
        ManualClock::start();
    }
    ~ManualTime() { ManualClock::stop(); }
};

class Recorder : public NSObjectSubclass<Recorder, NSObject, "PerformRecorder"> {
public:
    static void registerClass(ObjCClass& cls) {
        cls.addMethod("note:", [](NSObject& self, const Any::List& args) {
            const std::string* text = args.empty() ? nullptr : args[0].asString();
            static_cast<Recorder&>(self).notes.push_back(text ? *text : "none");
            return Any();
        });
        cls.addMethod("ping", [](NSObject& self, const Any::List& args) {
            static_cast<Recorder&>(self).notes.push_back("ping/" + std::to_string(args.size()));
            return Any();
        });
        cls.addMethod("fail", [](NSObject&, const Any::List&) -> Any { throw NSException("Test", "thrown by the method"); });
    }
    std::vector<std::string> notes;
};

}  // namespace

TEST(PerformRequests, SentAfterTheDelayOnTheMainLoopHoldingTheTargetUntilThen) {
    ManualTime time;
    auto recorder = std::make_shared<Recorder>();
    const std::weak_ptr<Recorder> weak = recorder;
    EXPECT_TRUE(performAfterDelay(recorder, "note:", Any("b"), 0.5));
    EXPECT_TRUE(performAfterDelay(recorder, "note:", Any("a"), 0.2));
    EXPECT_TRUE(performAfterDelay(recorder, "ping", Any("ignored"), -3));  // negative: next turn
    EXPECT_TRUE(performAfterDelay(recorder, "fail", Any(), 0.1));
    recorder.reset();
    ASSERT_FALSE(weak.expired());  // held by the requests
    ManualClock::advance(0);
    EXPECT_EQ(weak.lock()->notes, std::vector<std::string>{"ping/0"});
    ManualClock::advance(0.3);  // "fail" throws inside: reported, not propagated
    EXPECT_EQ(weak.lock()->notes, (std::vector<std::string>{"ping/0", "a"}));
    ManualClock::advance(0.3);
    EXPECT_TRUE(weak.expired());  // released once the last was sent
}

TEST(PerformRequests, CancelByTargetOrBySelectorAndArgumentAndRefusals) {
    ManualTime time;
    auto recorder = std::make_shared<Recorder>();
    auto other = std::make_shared<Recorder>();
    performAfterDelay(recorder, "note:", Any("x"), 1);
    performAfterDelay(recorder, "note:", Any("y"), 1);
    performAfterDelay(recorder, "ping", Any(), 1);
    performAfterDelay(other, "note:", Any("x"), 1);
    cancelPreviousPerformRequests(*recorder, "note:", Any("x"));
    ManualClock::advance(1);
    EXPECT_EQ(recorder->notes, (std::vector<std::string>{"y", "ping/0"}));
    EXPECT_EQ(other->notes, std::vector<std::string>{"x"});

    const std::weak_ptr<Recorder> weak = recorder;
    performAfterDelay(recorder, "note:", Any("z"), 1);
    performAfterDelay(recorder, "ping", Any(), 2);
    performAfterDelay(other, "ping", Any(), 1);
    cancelPreviousPerformRequests(*recorder);
    recorder.reset();
    EXPECT_TRUE(weak.expired());  // cancelling releases the target
    ManualClock::advance(2);
    EXPECT_EQ(other->notes, (std::vector<std::string>{"x", "ping/0"}));

    EXPECT_FALSE(performAfterDelay(nullptr, "ping", Any(), 1));
    EXPECT_FALSE(performAfterDelay(other, "unknown:", Any(), 1));
    EXPECT_FALSE(performAfterDelay(other, "ping", Any(), NAN));
    EXPECT_FALSE(performAfterDelay(other, "ping", Any(), INFINITY));
}
