#include <QVToolbox/gif/Animator.h>
#include <QVToolbox/gif/GIFAnimatable.h>

#include "QVToolbox/gif/GifTestData.h"
#include "QVToolbox/gif/TestAnimatable.h"
#include "support/TemporaryFolder.h"

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/graphics/ImageCodec.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <vector>

namespace {

using giftest::gifOfFrames;
using giftest::gifWithDelays;
using platform::ManualClock;
using platform::UIImage;
using QVToolbox::Animator;
using QVToolbox::FrameStore;
using QVToolbox::GIFAnimatable;
using QVToolbox::GifName;

// An adopter that records each frame change with the tick it came on.
class Recorder : public giftest::TestAnimatable {
public:
    static std::shared_ptr<Recorder> make() { return TestAnimatable::make<Recorder>(); }

    void animatorHasNewFrame() override {
        const auto store = animator()->frameStore();
        events.push_back("t" + std::to_string(tick) + " frame " + std::to_string(store->currentFrameIndex()));
        GIFAnimatable::animatorHasNewFrame();
    }
    std::function<void()> note(const std::string& what) {
        return [this, what] { events.push_back("t" + std::to_string(tick) + " " + what); };
    }

    int tick = 0;  // display ticks so far
    std::vector<std::string> events;
};

// Drives the display link one tick at a time from the moment playback was scheduled; each
// advance also lets the preload queue finish what the tick asked for.
class Ticks {
public:
    explicit Ticks(Recorder& recorder) : recorder_(recorder), start_(platform::Clock::uptimeNanoseconds()) {}
    void run(int count) {
        for (int i = 0; i < count; ++i) {
            ++recorder_.tick;
            // A tenth of a millisecond past the tick, so rounding never decides whether it came.
            ManualClock::advanceTo(start_ + static_cast<std::uint64_t>(recorder_.tick * 1e9 / 60) + 100'000);
        }
    }

private:
    Recorder& recorder_;
    std::uint64_t start_;
};

class AnimatorTest : public ::testing::Test {
protected:
    void SetUp() override { platform::RunLoop::setMainThread(); }
};

TEST_F(AnimatorTest, FramesChangeWhenTheirDelaysElapseAndLoopsThenFinishFollowTheLastFrame) {
    // 12, 12 and 13 cs at 1/60 s a tick: changes on ticks 8, 15, 23, 30 and 37.
    const auto view = Recorder::make();
    EXPECT_FALSE(view->isAnimatingGIF());
    view->animate(gifWithDelays({12, 12, 13}), 2, view->note("prepared"), view->note("finished"), view->note("loop"));
    Ticks ticks(*view);
    ManualClock::drain();
    EXPECT_TRUE(view->isAnimatingGIF());
    EXPECT_EQ(view->frameCount(), 3);
    EXPECT_NEAR(view->gifLoopDuration(), 0.37, 1e-9);
    ticks.run(60);
    EXPECT_EQ(view->events, (std::vector<std::string>{"t0 prepared", "t8 frame 1", "t15 frame 2", "t15 loop", "t23 frame 0",
                                                      "t30 frame 1", "t37 frame 2", "t37 loop", "t38 finished"}));
    EXPECT_FALSE(view->isAnimatingGIF());
    // Frames that are not views show the frame as their layer's contents.
    ASSERT_NE(view->layer()->contents(), nullptr);
    EXPECT_EQ(view->layer()->contents(), view->activeFrame()->sharedBitmap());

    // Starting a finished animation runs one tick: the animation block again, then paused.
    view->events.clear();
    view->startAnimatingGIF();
    ticks.run(3);
    EXPECT_EQ(view->events, (std::vector<std::string>{"t61 finished"}));
    EXPECT_FALSE(view->isAnimatingGIF());
}

TEST_F(AnimatorTest, FramesOfATenthOfASecondChangeOnEverySixthTickWithoutDrift) {
    // Six ticks of 1/60 s add up a rounding error short of 0.1 s; the frame is due all the same.
    const auto view = Recorder::make();
    view->animate(gifOfFrames(7), 0);
    Ticks ticks(*view);
    ticks.run(600);
    ASSERT_EQ(view->events.size(), 100u);
    for (std::size_t i = 0; i < view->events.size(); ++i) {
        EXPECT_EQ(view->events[i], "t" + std::to_string(6 * (i + 1)) + " frame " + std::to_string((i + 1) % 7));
    }
}

TEST_F(AnimatorTest, StopPausesTheClockAndANewAnimationStartsOverWithItsOwnBlocks) {
    const auto view = Recorder::make();
    view->animate(gifWithDelays({12, 12, 13}), 0, {}, view->note("finished"), view->note("loop"));
    Ticks ticks(*view);
    ticks.run(10);
    view->stopAnimatingGIF();
    ticks.run(30);
    EXPECT_EQ(view->events, (std::vector<std::string>{"t8 frame 1"}));
    view->startAnimatingGIF();  // the time of frame 1 resumes where it stopped (2 ticks in)
    ticks.run(6);
    EXPECT_EQ(view->events, (std::vector<std::string>{"t8 frame 1", "t45 frame 2", "t45 loop"}));

    // Replacing the animation drops the earlier blocks, also when the new ones are none.
    view->events.clear();
    view->animate(gifWithDelays({12, 12}), 1);
    ticks.run(40);
    EXPECT_EQ(view->events, (std::vector<std::string>{"t54 frame 1"}));
    EXPECT_EQ(view->animator()->frameStore()->currentFrameIndex(), 1);
    EXPECT_FALSE(view->isAnimatingGIF());
}

TEST_F(AnimatorTest, StillsUnreadableDataAndEmptyListsPrepareButNeverAnimate) {
    const auto view = Recorder::make();
    view->animate(gifOfFrames(1), 0);
    ManualClock::drain();
    ASSERT_NE(view->activeFrame(), nullptr);  // frame 0 loaded
    EXPECT_EQ(view->activeFrame()->pixelWidth(), 4);
    EXPECT_FALSE(view->isAnimatingGIF());

    auto png = platform::Bitmap::make(3, 2);
    view->animate(*platform::encodePNG(png), 0);
    ManualClock::drain();
    EXPECT_EQ(view->frameCount(), 1);
    EXPECT_FALSE(view->isAnimatingGIF());

    view->animate(platform::Data::fromString("not an image"), 0);
    EXPECT_FALSE(view->isAnimatingGIF());
    view->animate(Animator::Images{}, 0);
    ManualClock::drain();
    EXPECT_FALSE(view->isAnimatingGIF());
    EXPECT_EQ(view->activeFrame(), nullptr);

    // A list of images plays, each for 0.05 s (3 ticks).
    view->animate(Animator::Images{UIImage::imageWithBitmap(platform::Bitmap::make(2, 2)),
                                   UIImage::imageWithBitmap(platform::Bitmap::make(3, 3))},
                  0);
    EXPECT_TRUE(view->isAnimatingGIF());
    Ticks ticks(*view);
    ticks.run(4);
    EXPECT_EQ(view->activeFrame()->pixelWidth(), 3);
}

TEST_F(AnimatorTest, ThreeHundredFramesWithABufferOfFiveNeverHoldMoreThanSixDecoded) {
    const auto gif = gifWithDelays(std::vector<int>(300, 2));  // 0.02 s: a change every one or two ticks
    const auto view = Recorder::make();
    view->setFrameBufferSize(5);
    view->animate(gif, 0);
    const auto store = view->animator()->frameStore();
    Ticks ticks(*view);
    ManualClock::drain();
    EXPECT_EQ(store->cachingStrategy(), FrameStore::FrameCachingStrategy::cacheUpcoming(5));
    while (view->events.size() < 320) {
        ticks.run(1);
        ASSERT_LE(store->decodedFrameCount(), 6u);
    }
    EXPECT_EQ(store->peakDecodedFrameCount(), 6u);

    // Three changes before the preload queue runs: it is held by the preparation block.
    const auto lagging = Recorder::make();
    lagging->setFrameBufferSize(5);
    std::promise<void> release;
    auto released = release.get_future().share();
    std::promise<void> setUp;
    lagging->animate(gif, 0, [&setUp, released] {
        setUp.set_value();
        released.wait();
    });
    setUp.get_future().wait();
    while (lagging->events.size() < 3) lagging->animator()->updateFrameIfNeeded();  // ticks without time moving
    release.set_value();
    ManualClock::drain();
    const auto laggingStore = lagging->animator()->frameStore();
    EXPECT_EQ(laggingStore->currentFrameIndex(), 3);
    EXPECT_EQ(laggingStore->decodedFrameCount(), 6u);
    EXPECT_EQ(laggingStore->peakDecodedFrameCount(), 6u);
    EXPECT_NE(laggingStore->frame(8), nullptr);
    EXPECT_EQ(laggingStore->frame(2), nullptr);
}

TEST_F(AnimatorTest, ABufferOfZeroKeepsEveryFrameAndSettingsApplyToLaterStores) {
    const auto view = Recorder::make();
    view->animate(gifOfFrames(20), 0);
    EXPECT_EQ(view->animator()->frameStore()->frameBufferSize(), 50);
    EXPECT_FALSE(view->animator()->frameStore()->shouldResizeFrames());

    view->setFrameBufferCount(0);
    view->setShouldResizeFrames(true);
    EXPECT_EQ(view->animator()->frameStore()->frameBufferSize(), 50);  // the store in use keeps its own
    view->animate(gifOfFrames(20), 0);
    const auto store = view->animator()->frameStore();
    EXPECT_EQ(store->cachingStrategy(), FrameStore::FrameCachingStrategy::cacheAll());
    EXPECT_TRUE(store->shouldResizeFrames());
    Ticks ticks(*view);
    ticks.run(150);  // two loops of 20 frames of 0.1 s
    EXPECT_GE(view->events.size(), 20u);
    EXPECT_EQ(store->decodedFrameCount(), 20u);
}

TEST_F(AnimatorTest, NamesResolveToTheTextBeforeTheFirstDotInTheAnimatorsBundle) {
    const qvtest::TemporaryFolder folder;
    {
        const auto bytes = gifOfFrames(3);
        std::ofstream(std::filesystem::path(folder.folder) / "spinner.gif", std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.bytes()), static_cast<std::streamsize>(bytes.count()));
    }
    const auto view = Recorder::make();
    view->animator()->setBundle(platform::Bundle::atPath(folder.folder));
    for (const std::string name : {"spinner.gif", "spinner", "spinner.v2", ".spinner"}) {
        view->prepareForReuse();
        view->animate(GifName{name}, 0);
        ASSERT_EQ(view->frameCount(), 3) << name;
        EXPECT_TRUE(view->isAnimatingGIF()) << name;
    }

    // Names that find nothing keep the store, still replace the blocks and restart it.
    const auto before = view->animator()->frameStore();
    view->stopAnimatingGIF();
    for (const std::string name : {"missing", "", "..."}) {
        view->animate(GifName{name}, 0);
        EXPECT_EQ(view->animator()->frameStore(), before) << name;
        EXPECT_TRUE(view->isAnimatingGIF()) << name;
    }

    // prepareForAnimation looks in the main bundle, whatever the animator's bundle.
    view->prepareForReuse();
    view->prepareForAnimation(GifName{"spinner"}, 0);
    EXPECT_EQ(view->animator()->frameStore(), nullptr);
    platform::Host::configure({.mainBundlePath = folder.folder});
    view->prepareForAnimation(GifName{"spinner"}, 0);
    platform::Host::configure({});
    ASSERT_NE(view->animator()->frameStore(), nullptr);
    EXPECT_FALSE(view->isAnimatingGIF());  // prepared only
}

TEST_F(AnimatorTest, WithoutAnAnimatorEveryMemberIsEmpty) {
    const auto view = Recorder::make();
    view->setAnimator(nullptr);
    view->animate(gifOfFrames(3), 0);
    view->prepareForAnimation(gifOfFrames(3), 0);
    view->startAnimatingGIF();
    view->setFrameBufferSize(3);
    view->updateImageIfNeeded();
    EXPECT_EQ(view->frameCount(), 0);
    EXPECT_EQ(view->gifLoopDuration(), 0);
    EXPECT_EQ(view->activeFrame(), nullptr);
    EXPECT_FALSE(view->isAnimatingGIF());
    EXPECT_FALSE(view->intrinsicContentSize().has_value());  // not an image container
}

TEST_F(AnimatorTest, APlayingAnimatorDoesNotOutliveItsViewAndItsLinkStopsWithIt) {
    auto view = Recorder::make();
    view->animate(gifOfFrames(4), 0);
    Ticks ticks(*view);
    ticks.run(10);
    std::weak_ptr<Animator> animator = view->animator();
    std::weak_ptr<FrameStore> store = view->animator()->frameStore();
    view.reset();
    EXPECT_TRUE(animator.expired());
    ManualClock::advance(1);
    EXPECT_TRUE(store.expired());
}

TEST_F(AnimatorTest, AnAnimatorReleasedByItsOwnLoopBlockEndsAfterTheTick) {
    const auto view = Recorder::make();
    std::weak_ptr<Animator> animator = view->animator();
    view->animate(gifWithDelays({12, 12}), 0, {}, {}, [&view] { view->setAnimator(nullptr); });
    Ticks ticks(*view);
    ticks.run(10);
    EXPECT_TRUE(animator.expired());
    EXPECT_EQ(view->events, (std::vector<std::string>{"t8 frame 1"}));
    ticks.run(20);  // the link is gone with it
    EXPECT_EQ(view->events.size(), 1u);
}

TEST_F(AnimatorTest, DownloadsAnimateTheBytesOrPrintOneLineForAFailure) {
    const qvtest::TemporaryFolder folder;
    const auto path = std::filesystem::path(folder.folder) / "remote.gif";
    {
        const auto bytes = gifOfFrames(5);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.bytes()), static_cast<std::streamsize>(bytes.count()));
    }
    const auto view = Recorder::make();
    view->animate(platform::URL::fileURLWithPath(path), 0);
    EXPECT_EQ(view->frameCount(), 0);  // nothing until the download is in
    ManualClock::drain();
    EXPECT_EQ(view->frameCount(), 5);
    EXPECT_TRUE(view->isAnimatingGIF());

    const auto missing = platform::URL::fileURLWithPath(std::filesystem::path(folder.folder) / "missing.gif");
    testing::internal::CaptureStdout();
    view->prepareForAnimation(missing, 0);
    ManualClock::drain();
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(view->frameCount(), 5);  // the animation stays
    EXPECT_EQ(printed.rfind("Error downloading gif: ", 0), 0u) << printed;
    EXPECT_NE(printed.find(" at url: " + missing.absoluteString() + "\n"), std::string::npos) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
}

}  // namespace
