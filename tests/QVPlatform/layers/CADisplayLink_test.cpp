#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/layers/CADisplayLink.h>
#include <QVPlatform/layers/CAMediaTimingFunction.h>

#include <gtest/gtest.h>

using namespace platform;

namespace {

struct Counter {
    int frames = 0;
    double lastTimestamp = 0;
};

}  // namespace

TEST(CADisplayLink, TicksEachFrameOnTheMainRunLoopWhileAddedAndNotPaused) {
    RunLoop::setMainThread();
    ManualClock::start();
    auto counter = std::make_shared<Counter>();
    const auto link = CADisplayLink::make(counter, [](Counter& c, CADisplayLink& l) {
        ++c.frames;
        c.lastTimestamp = l.timestamp();
    });
    EXPECT_DOUBLE_EQ(link->duration(), 1.0 / 60);
    ManualClock::advance(0.1);
    EXPECT_EQ(counter->frames, 0);  // not added yet

    const double start = CACurrentMediaTime();
    EXPECT_TRUE(link->addToRunLoop(RunLoop::main(), RunLoop::Mode::common));
    EXPECT_FALSE(link->addToRunLoop(RunLoop::main()));  // once only
    ManualClock::advance(0.5);
    EXPECT_EQ(counter->frames, 30);
    EXPECT_NEAR(counter->lastTimestamp, start + 0.5, 1e-6);
    EXPECT_NEAR(link->targetTimestamp() - link->timestamp(), 1.0 / 60, 1e-9);

    link->setPaused(true);
    ManualClock::advance(0.5);
    EXPECT_EQ(counter->frames, 30);
    link->setPaused(false);
    ManualClock::advance(1.0 / 60);
    EXPECT_EQ(counter->frames, 31);

    counter.reset();  // the link holds its target weakly and stops at the next frame
    ManualClock::advance(1.0 / 60);
    EXPECT_FALSE(link->isValid());
    ManualClock::stop();
}

TEST(CADisplayLink, InvalidateFromTheCallbackStopsTicking) {
    RunLoop::setMainThread();
    ManualClock::start();
    int frames = 0;
    std::shared_ptr<CADisplayLink> link = CADisplayLink::make([&](CADisplayLink& l) {
        if (++frames == 3) l.invalidate();
    });
    link->addToRunLoop(RunLoop::main());
    ManualClock::advance(1);
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(link->addToRunLoop(RunLoop::main()));
    ManualClock::stop();
}
