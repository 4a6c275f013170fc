#include <QVToolbox/gif/FrameStore.h>

#include "QVToolbox/gif/GifTestData.h"

#include <QVPlatform/dispatch/ManualClock.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using QVToolbox::FrameStore;

// The display thread plays while the preload queue decodes and evicts, and a third thread
// reads what a view would show; the window bounds what stays decoded throughout.
TEST(FrameStoreConcurrencyTest, PlaybackWhilePreloadingStaysWithinTheWindow) {
    const auto store = FrameStore::make(giftest::gifOfFrames(60, 8, 8), std::nullopt, {8, 8},
                                        platform::UIViewContentMode::scaleToFill,
                                        FrameStore::FrameCachingStrategy::cacheUpcoming(4), 0);
    store->setShouldResizeFrames(false);
    std::atomic<bool> ready = false;
    store->prepareFrames([&ready] { ready = true; });

    std::atomic<bool> done = false;
    std::thread viewer([&] {
        while (!done) {
            const auto image = store->currentFrameImage();
            if (image) {
                EXPECT_EQ(image->pixelWidth(), 8);
            }
            EXPECT_LT(store->previousFrameIndex(), 60);
            EXPECT_LE(store->decodedFrameCount(), 5u);
        }
    });
    int changes = 0;
    while (changes < 400) {
        if (store->shouldChangeFrame(0.1)) ++changes;  // ticks during setup change nothing
        if (!ready) std::this_thread::yield();
    }
    done = true;
    viewer.join();
    platform::ManualClock::drain();
    EXPECT_EQ(store->currentFrameIndex(), 400 % 60);
    EXPECT_LE(store->peakDecodedFrameCount(), 5u);
    EXPECT_EQ(store->decodedFrameCount(), 5u);
}

}  // namespace
