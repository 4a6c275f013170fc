#include <QVToolbox/gif/Animator.h>

#include "QVToolbox/gif/GifTestData.h"
#include "QVToolbox/gif/TestAnimatable.h"

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using giftest::TestAnimatable;
using platform::ManualClock;

// The main thread ticks the animator as fast as it can while the preload queue decodes and
// evicts behind it and another thread reads what is shown; the window bounds what stays
// decoded throughout.
TEST(AnimatorConcurrencyTest, PlaybackWhilePreloadingStaysWithinTheWindow) {
    platform::RunLoop::setMainThread();
    const auto view = TestAnimatable::make();
    view->setFrameBufferSize(4);
    view->animate(giftest::gifWithDelays(std::vector<int>(60, 2), 8, 8), 0);
    const auto store = view->animator()->frameStore();
    const auto layer = view->layer();

    std::atomic<bool> done = false;
    std::thread viewer([&] {
        while (!done) {
            if (const auto contents = layer->contents()) {
                EXPECT_EQ(contents->width, 8);
            }
            if (const auto image = store->currentFrameImage()) {
                EXPECT_EQ(image->pixelWidth(), 8);
            }
            EXPECT_LT(store->currentFrameIndex(), 60);
            EXPECT_LE(store->decodedFrameCount(), 5u);
        }
    });
    // Ticks without time moving: the preload queue runs on its own, unsynchronised.
    while (store->currentLoop() < 4) view->animator()->updateFrameIfNeeded();
    done = true;
    viewer.join();
    ManualClock::drain();
    EXPECT_LE(store->peakDecodedFrameCount(), 5u);
    EXPECT_EQ(store->decodedFrameCount(), 5u);
}

// The last owner of a playing view lets go on another thread while the main thread delivers
// display ticks: the animator goes with it and invalidates its display link from there.
TEST(AnimatorConcurrencyTest, AnAnimatorReleasedOffTheMainThreadStopsItsLink) {
    platform::RunLoop::setMainThread();
    auto view = TestAnimatable::make();
    view->animate(giftest::gifWithDelays(std::vector<int>(10, 2)), 0);
    const std::weak_ptr<QVToolbox::Animator> animator = view->animator();
    const std::weak_ptr<QVToolbox::FrameStore> store = view->animator()->frameStore();
    std::atomic<bool> released = false;
    std::thread owner([&released, held = std::move(view)]() mutable {
        const auto frames = held->animator()->frameStore();
        while (frames->currentLoop() < 2) std::this_thread::yield();
        held.reset();
        released = true;
    });
    while (!released) ManualClock::advance(1.0 / 60);
    owner.join();
    ManualClock::advance(1);
    EXPECT_TRUE(animator.expired());
    EXPECT_TRUE(store.expired());
}

}  // namespace
