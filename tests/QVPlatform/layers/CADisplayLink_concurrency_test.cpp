#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/layers/CADisplayLink.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace platform;

// Another thread invalidates while the main thread delivers frames: no frame starts after
// invalidate has returned, and nothing races (run under ThreadSanitizer).
TEST(CADisplayLinkConcurrency, InvalidateFromAnotherThreadStopsFrames) {
    RunLoop::setMainThread();
    ManualClock::start();
    std::atomic<int> frames{0};
    std::atomic<bool> invalidated{false};
    std::atomic<int> framesAfterInvalidate{0};
    const auto link = CADisplayLink::make([&](CADisplayLink&) {
        if (invalidated.load()) ++framesAfterInvalidate;
        ++frames;
    });
    link->addToRunLoop(RunLoop::main());
    std::thread other([&] {
        while (frames.load() < 5) std::this_thread::yield();
        link->invalidate();
        invalidated = true;
    });
    while (!invalidated.load()) ManualClock::advance(1.0 / 60);
    other.join();
    const int seen = frames.load();
    ManualClock::advance(1);
    EXPECT_EQ(frames.load(), seen);
    EXPECT_EQ(framesAfterInvalidate.load(), 0);
    EXPECT_FALSE(link->isValid());
    ManualClock::stop();
}
