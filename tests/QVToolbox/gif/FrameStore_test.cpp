#include <QVToolbox/gif/FrameStore.h>

#include "QVToolbox/gif/GifTestData.h"

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/ui/ScreenScale.h>

#include <gtest/gtest.h>

#include <cmath>
#include <future>
#include <limits>

namespace {

using giftest::gifOfFrames;
using giftest::gifWithDelays;
using platform::CGSize;
using platform::ManualClock;
using platform::UIImage;
using platform::UIViewContentMode;
using QVToolbox::FrameStore;
using Strategy = FrameStore::FrameCachingStrategy;

// A store over `data`, prepared and set up (the preload queue drained).
std::shared_ptr<FrameStore> preparedStore(platform::Data data, Strategy strategy, std::int64_t loopCount = 0,
                                          CGSize size = {4, 4}, UIViewContentMode mode = UIViewContentMode::scaleToFill,
                                          bool resize = false) {
    auto store = FrameStore::make(std::move(data), std::nullopt, size, mode, strategy, loopCount);
    store->setShouldResizeFrames(resize);
    store->prepareFrames();
    ManualClock::drain();
    return store;
}

// One display tick as the animator drives it: time moves, the store advances, the preload
// queue runs what the tick asked for.
bool tick(FrameStore& store, double seconds) {
    ManualClock::advance(seconds);
    const bool changed = store.shouldChangeFrame(seconds);
    ManualClock::drain();
    return changed;
}

// The indexes of the frames holding an image.
std::vector<std::int64_t> loaded(const FrameStore& store) {
    std::vector<std::int64_t> out;
    const auto frames = store.animatedFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (!frames[i].isPlaceholder()) out.push_back(static_cast<std::int64_t>(i));
    }
    return out;
}

std::shared_ptr<UIImage> solidImage(int width, int height) {
    auto bitmap = platform::Bitmap::make(width, height);
    std::fill(bitmap.rgba.begin(), bitmap.rgba.end(), std::uint8_t{255});
    return UIImage::imageWithBitmap(std::move(bitmap));
}

TEST(FrameStoreTest, StrategiesCompareByCaseAndPayloadAndGiveTheirBufferSize) {
    EXPECT_EQ(Strategy::cacheAll(), Strategy::cacheAll());
    EXPECT_EQ(Strategy::cacheUpcoming(3), Strategy::cacheUpcoming(3));
    EXPECT_NE(Strategy::cacheUpcoming(3), Strategy::cacheUpcoming(4));
    EXPECT_NE(Strategy::cacheUpcoming(10), Strategy::cacheAll());
    EXPECT_EQ(Strategy::cacheAll().bufferSize(), 10);
    EXPECT_EQ(Strategy::cacheUpcoming(7).bufferSize(), 7);

    EXPECT_EQ(FrameStore::make(gifOfFrames(3), {4, 4}, UIViewContentMode::scaleToFill, 1, 0)->cachingStrategy(),
              Strategy::cacheUpcoming(1));
    EXPECT_EQ(FrameStore::make(gifOfFrames(3), {4, 4}, UIViewContentMode::scaleToFill, 0, 0)->cachingStrategy(),
              Strategy::cacheAll());
    EXPECT_EQ(FrameStore::make(gifOfFrames(3), {4, 4}, UIViewContentMode::scaleToFill, -2, 0)->cachingStrategy(),
              Strategy::cacheAll());
}

TEST(FrameStoreTest, SetupTimesFramesByDelayAndCapsEachInTheLoopDuration) {
    // 10 cs, 250 cs, 1 cs (shown 0.1 s), 5 cs.
    const auto store = preparedStore(gifWithDelays({10, 250, 1, 5}), Strategy::cacheAll());
    EXPECT_EQ(store->frameCount(), 4);
    EXPECT_DOUBLE_EQ(store->duration(0), 0.1);
    EXPECT_DOUBLE_EQ(store->duration(1), 2.5);
    EXPECT_DOUBLE_EQ(store->duration(2), 0.1);
    EXPECT_DOUBLE_EQ(store->duration(3), 0.05);
    EXPECT_NEAR(store->loopDuration(), 0.1 + 1.0 + 0.1 + 0.05, 1e-12);
    EXPECT_TRUE(std::isinf(store->duration(4)));
    EXPECT_TRUE(std::isinf(store->duration(-1)));
    EXPECT_EQ(store->frame(4), nullptr);
    EXPECT_TRUE(store->isAnimatable());
}

TEST(FrameStoreTest, SetupPreloadsTheFirstWindowPlusTheCurrentFrame) {
    EXPECT_EQ(preparedStore(gifOfFrames(20), Strategy::cacheAll())->decodedFrameCount(), 11u);  // frames 0...10
    const auto wide = preparedStore(gifOfFrames(60), Strategy::cacheUpcoming(50));
    EXPECT_EQ(wide->decodedFrameCount(), 51u);  // frames 0...50
    EXPECT_NE(wide->frame(50), nullptr);
    EXPECT_EQ(wide->frame(51), nullptr);
}

TEST(FrameStoreTest, ALongTickAdvancesTheClockOneSecondAndChangesOneFrame) {
    const auto store = preparedStore(gifWithDelays({10, 10, 10, 10, 10}), Strategy::cacheAll());
    EXPECT_FALSE(tick(*store, 0.05));
    EXPECT_TRUE(tick(*store, 3.0));  // counts 1 s: 1.05 s accrued, one change, 0.95 s carried over
    EXPECT_EQ(store->currentFrameIndex(), 1);
    EXPECT_NEAR(store->timeSinceLastFrameChange(), 0.95, 1e-12);
    EXPECT_TRUE(tick(*store, 0));  // the carried time still covers frame 1
    EXPECT_EQ(store->currentFrameIndex(), 2);
    // Ticks that are no duration move nothing.
    const auto fresh = preparedStore(gifWithDelays({10, 10}), Strategy::cacheAll());
    EXPECT_FALSE(tick(*fresh, 0.05));
    EXPECT_FALSE(fresh->shouldChangeFrame(std::nan("")));
    EXPECT_FALSE(fresh->shouldChangeFrame(-5));
    EXPECT_DOUBLE_EQ(fresh->timeSinceLastFrameChange(), 0.05);
    bool reported = false;
    store->shouldChangeFrame(1.0, [&](bool changed) { reported = changed; });
    EXPECT_TRUE(reported);
}

TEST(FrameStoreTest, ANarrowWindowEvictsTheFrameLeftAndAWideOneNothing) {
    const auto narrow = preparedStore(gifOfFrames(5), Strategy::cacheUpcoming(3));
    EXPECT_EQ(loaded(*narrow), (std::vector<std::int64_t>{0, 1, 2, 3}));
    tick(*narrow, 0.1);
    EXPECT_EQ(narrow->previousFrameIndex(), 0);
    EXPECT_EQ(loaded(*narrow), (std::vector<std::int64_t>{1, 2, 3, 4}));
    tick(*narrow, 0.1);
    EXPECT_EQ(loaded(*narrow), (std::vector<std::int64_t>{0, 2, 3, 4}));  // wraps: 3, 4, 0 ahead of 2
    EXPECT_EQ(narrow->peakDecodedFrameCount(), 4u);

    const auto wide = preparedStore(gifOfFrames(5), Strategy::cacheUpcoming(4));
    for (int i = 0; i < 7; ++i) tick(*wide, 0.1);
    EXPECT_EQ(loaded(*wide), (std::vector<std::int64_t>{0, 1, 2, 3, 4}));
}

TEST(FrameStoreTest, AWindowOfZeroOrLessKeepsOneFrameAhead) {
    for (const std::int64_t window : {0, -3}) {
        const auto store = preparedStore(gifOfFrames(6), Strategy::cacheUpcoming(window));
        EXPECT_EQ(store->frameBufferSize(), window);
        EXPECT_EQ(loaded(*store), (std::vector<std::int64_t>{0, 1}));
        for (int i = 0; i < 8; ++i) {
            tick(*store, 0.1);
            const std::int64_t c = store->currentFrameIndex();
            const std::vector<std::int64_t> expected =
                c == 5 ? std::vector<std::int64_t>{0, 5} : std::vector<std::int64_t>{c, c + 1};
            EXPECT_EQ(loaded(*store), expected)
                << "window " << window << " at frame " << c;
        }
    }
}

TEST(FrameStoreTest, AWindowWiderThanTheAnimationLoadsEveryOtherFrame) {
    // A window of 7 over 5 frames covers all of them, whatever the modulo of 7 would say.
    const auto store = preparedStore(gifOfFrames(5), Strategy::cacheUpcoming(7));
    store->deleteCachedFrame(2);
    store->deleteCachedFrame(3);
    tick(*store, 0.1);
    EXPECT_EQ(loaded(*store), (std::vector<std::int64_t>{0, 1, 2, 3, 4}));
}

TEST(FrameStoreTest, LoopsAndFinishingFollowTheLastFrame) {
    const auto store = preparedStore(gifOfFrames(3), Strategy::cacheAll(), 2);
    tick(*store, 0.1);
    EXPECT_FALSE(store->isLoopFinished());
    tick(*store, 0.1);  // 1 -> 2
    EXPECT_TRUE(store->isLoopFinished());
    EXPECT_FALSE(store->isFinished());
    tick(*store, 0.1);  // 2 -> 0
    EXPECT_EQ(store->currentLoop(), 1);
    EXPECT_FALSE(store->isLoopFinished());
    tick(*store, 0.1);
    tick(*store, 0.1);  // 1 -> 2 in the second loop
    EXPECT_TRUE(store->isFinished());
    tick(*store, 0.1);  // never reset
    EXPECT_TRUE(store->isFinished());
}

TEST(FrameStoreTest, ASingleFrameChangesToItselfAndFinishesOnlyWithOneLoop) {
    // A one-frame GIF is timed 0 s: each tick is a change back to frame 0.
    for (const std::int64_t loops : {1, 3}) {
        const auto store = preparedStore(gifOfFrames(1), Strategy::cacheAll(), loops);
        EXPECT_FALSE(store->isAnimatable());
        EXPECT_DOUBLE_EQ(store->duration(0), 0);
        EXPECT_NE(store->frame(0), nullptr);  // still shown
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(tick(*store, 0.016));
            EXPECT_EQ(store->currentFrameIndex(), 0);
            EXPECT_TRUE(store->isLoopFinished());
            EXPECT_EQ(store->currentLoop(), 0);
        }
        EXPECT_EQ(store->isFinished(), loops == 1);
    }
}

TEST(FrameStoreTest, ImageListStoresShowEachImageFiveHundredthsAndAreAnimatableUnlessEmpty) {
    const FrameStore::Images four(4, solidImage(2, 2));
    const auto store = FrameStore::make(std::nullopt, four, {2, 2}, UIViewContentMode::scaleToFill, Strategy::cacheAll(), 0);
    store->prepareFrames();
    ManualClock::drain();
    EXPECT_EQ(store->frameCount(), 4);
    EXPECT_NEAR(store->loopDuration(), 0.2, 1e-12);
    EXPECT_DOUBLE_EQ(store->duration(3), 0.05);
    EXPECT_TRUE(store->isAnimatable());
    EXPECT_TRUE(FrameStore::make(std::nullopt, FrameStore::Images{solidImage(2, 2)}, {2, 2},
                                 UIViewContentMode::scaleToFill, Strategy::cacheAll(), 0)
                    ->isAnimatable());
    EXPECT_FALSE(FrameStore::make(std::nullopt, FrameStore::Images{}, {2, 2}, UIViewContentMode::scaleToFill,
                                  Strategy::cacheAll(), 0)
                     ->isAnimatable());
    // The list wins over data given beside it.
    const auto both = FrameStore::make(gifOfFrames(7), four, {2, 2}, UIViewContentMode::scaleToFill, Strategy::cacheAll(), 0);
    both->prepareFrames();
    ManualClock::drain();
    EXPECT_EQ(both->frameCount(), 4);
}

TEST(FrameStoreTest, UnreadableDataAndStillsGiveStoresThatDoNotAnimate) {
    const auto junk = preparedStore(platform::Data::fromString("not an image"), Strategy::cacheAll());
    ASSERT_NE(junk->imageSource(), nullptr);
    EXPECT_EQ(junk->frameCount(), 0);
    EXPECT_DOUBLE_EQ(junk->loopDuration(), 0);
    EXPECT_FALSE(junk->isAnimatable());
    EXPECT_FALSE(tick(*junk, 1.0));
    EXPECT_EQ(junk->currentFrameImage(), nullptr);

    const auto png = platform::encodePNG(platform::Bitmap::make(3, 2));
    ASSERT_TRUE(png);
    const auto still = preparedStore(*png, Strategy::cacheUpcoming(5));
    EXPECT_EQ(still->frameCount(), 1);
    EXPECT_DOUBLE_EQ(still->duration(0), 0);
    EXPECT_FALSE(still->isAnimatable());
    ASSERT_NE(still->currentFrameImage(), nullptr);
    EXPECT_EQ(still->currentFrameImage()->pixelWidth(), 3);
}

TEST(FrameStoreTest, ResizingFollowsTheContentMode) {
    const auto gif = gifOfFrames(2, 200, 100);
    auto frameSize = [&](CGSize view, UIViewContentMode mode) -> std::optional<CGSize> {
        const auto store = preparedStore(gif, Strategy::cacheAll(), 0, view, mode, true);
        const auto image = store->frame(0);
        return image ? std::optional<CGSize>(image->size()) : std::nullopt;
    };
    EXPECT_EQ(frameSize({100, 100}, UIViewContentMode::scaleAspectFit), (CGSize{100, 50}));
    EXPECT_EQ(frameSize({100, 100}, UIViewContentMode::scaleAspectFill), (CGSize{200, 100}));
    EXPECT_EQ(frameSize({30, 70}, UIViewContentMode::scaleToFill), (CGSize{30, 70}));
    // Stretching to nothing loads no frames at all.
    EXPECT_EQ(frameSize({0, 0}, UIViewContentMode::scaleToFill), std::nullopt);
    // Aspect targets no context can hold leave the frame as decoded (200 x 100 pixels, scale 1).
    const double inf = std::numeric_limits<double>::infinity();
    const CGSize decoded{200, 100};
    EXPECT_EQ(frameSize({inf, 100}, UIViewContentMode::scaleAspectFill), decoded);         // inf x inf
    EXPECT_EQ(frameSize({std::nan(""), 10}, UIViewContentMode::scaleAspectFill), decoded);  // NaN x NaN
    EXPECT_EQ(frameSize({0.1, 0.1}, UIViewContentMode::scaleAspectFill), decoded);          // 0.1 x 0
    EXPECT_EQ(frameSize({0.1, 0.1}, UIViewContentMode::scaleAspectFit), decoded);           // 0 x 0.1
    EXPECT_EQ(frameSize({1e6, 1e6}, UIViewContentMode::scaleAspectFit), decoded);           // 1e6 x 5e5
    EXPECT_EQ(frameSize({1e6, 1e6}, UIViewContentMode::scaleAspectFill), decoded);          // 2e6 x 1e6
    EXPECT_EQ(frameSize({inf, 10}, UIViewContentMode::scaleAspectFit), (CGSize{20, 10}));   // the height decides
}

TEST(FrameStoreTest, ThreeHundredFramesPlayWithinTheWindowEvenWhenTheQueueLags) {
    const auto gif = gifOfFrames(300);
    const auto store = preparedStore(gif, Strategy::cacheUpcoming(5));
    EXPECT_EQ(store->decodedFrameCount(), 6u);
    for (int i = 0; i < 320; ++i) {
        ASSERT_TRUE(tick(*store, 0.1));
        ASSERT_LE(store->decodedFrameCount(), 6u);
    }
    EXPECT_EQ(store->peakDecodedFrameCount(), 6u);

    // Three changes before the queue runs: it is held by the completion callback meanwhile.
    auto lagging = FrameStore::make(gif, std::nullopt, {4, 4}, UIViewContentMode::scaleToFill, Strategy::cacheUpcoming(5), 0);
    std::promise<void> release;
    auto released = release.get_future().share();
    std::promise<void> setUp;
    lagging->prepareFrames([&setUp, released] {
        setUp.set_value();
        released.wait();
    });
    setUp.get_future().wait();
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(lagging->shouldChangeFrame(0.1));
    release.set_value();
    ManualClock::drain();
    EXPECT_EQ(lagging->currentFrameIndex(), 3);
    EXPECT_EQ(loaded(*lagging), (std::vector<std::int64_t>{3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(lagging->peakDecodedFrameCount(), 6u);
}

TEST(FrameStoreTest, AStoreReleasedWhileItsQueueRunsEndsInsideItsOwnLastBlock) {
    auto store = FrameStore::make(gifOfFrames(4), {4, 4}, UIViewContentMode::scaleToFill, 2, 0);
    std::weak_ptr<FrameStore> watch = store;
    std::promise<void> release;
    auto released = release.get_future().share();
    store->prepareFrames([released] { released.wait(); });
    store.reset();  // the queued work holds the store alone now
    EXPECT_FALSE(watch.expired());
    release.set_value();
    ManualClock::drain();
    EXPECT_TRUE(watch.expired());
}

}  // namespace
