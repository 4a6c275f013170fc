#include <QVToolbox/gif/GIFImageView.h>

#include "QVToolbox/gif/GifTestData.h"

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

namespace {

using giftest::gifWithDelays;
using platform::CGRect;
using platform::CGSize;
using platform::ManualClock;
using platform::UIViewContentMode;
using QVToolbox::Animator;
using QVToolbox::GIFImageView;

// The red channel of the top-left pixel of `view`'s image; -1 without an image.
int topLeftRed(const GIFImageView& view) {
    const auto image = view.image();
    return image ? image->bitmap().pixel(0, 0)[0] : -1;
}

class GIFImageViewTest : public ::testing::Test {
protected:
    void SetUp() override { platform::RunLoop::setMainThread(); }
    // Moves time `ticks` display ticks on from `start` (plus a little), running display passes.
    static void runTicks(std::uint64_t start, int ticks) {
        ManualClock::advanceTo(start + static_cast<std::uint64_t>(ticks * 1e9 / 60) + 100'000);
        platform::RunLoop::main().runUntilIdle();
    }
};

TEST_F(GIFImageViewTest, EachNewFrameBecomesTheImageThroughTheDisplayPass) {
    // Frames alternate black and white; 12 cs each, so frame 1 shows from tick 8.
    const auto view = std::make_shared<GIFImageView>(CGRect{{0, 0}, {4, 4}});
    const auto start = platform::Clock::uptimeNanoseconds();
    view->animate(gifWithDelays({12, 12, 12}), 1);
    runTicks(start, 7);
    EXPECT_EQ(topLeftRed(*view), -1);  // no frame change yet, nothing shown
    runTicks(start, 8);
    EXPECT_EQ(topLeftRed(*view), 255);
    EXPECT_EQ(view->layer()->contents(), view->image()->sharedBitmap());
    runTicks(start, 15);
    EXPECT_EQ(topLeftRed(*view), 0);
    EXPECT_EQ(view->image(), view->activeFrame());
    EXPECT_EQ(view->intrinsicContentSize(), (CGSize{4, 4}));
    runTicks(start, 40);
    EXPECT_FALSE(view->isAnimatingGIF());  // one loop played: the last frame stays
    EXPECT_EQ(topLeftRed(*view), 0);
}

TEST_F(GIFImageViewTest, PreparingFromDataShowsTheStillAtOnceButDoesNotPlay) {
    const auto view = std::make_shared<GIFImageView>(CGRect{{0, 0}, {4, 4}});
    EXPECT_EQ(view->intrinsicContentSize(), (CGSize{0, 0}));
    view->prepareForAnimation(gifWithDelays({12, 12}), 0);
    EXPECT_EQ(topLeftRed(*view), 0);  // the first frame, before any setup ran
    EXPECT_FALSE(view->isAnimatingGIF());
    runTicks(platform::Clock::uptimeNanoseconds(), 30);
    EXPECT_EQ(view->animator()->frameStore()->currentFrameIndex(), 0);

    // Data that is no image clears the image.
    view->prepareForAnimation(platform::Data::fromString("GIF89a?"), 0);
    EXPECT_EQ(view->image(), nullptr);
}

TEST_F(GIFImageViewTest, StoresTakeTheViewsSizeAndContentModeAndResizeOnRequest) {
    const auto view = std::make_shared<GIFImageView>(CGRect{{0, 0}, {8, 6}});
    view->setContentMode(UIViewContentMode::scaleAspectFit);
    view->setShouldResizeFrames(true);
    view->animate(gifWithDelays({12, 12}), 0);
    ManualClock::drain();
    const auto store = view->animator()->frameStore();
    EXPECT_EQ(store->size(), (CGSize{8, 6}));
    EXPECT_EQ(store->contentMode(), UIViewContentMode::scaleAspectFit);
    ASSERT_NE(view->activeFrame(), nullptr);
    EXPECT_EQ(view->activeFrame()->size(), (CGSize{6, 6}));  // the 4 x 4 frame fitted into 8 x 6
}

TEST_F(GIFImageViewTest, TheAnimatorIsMadeOnFirstReadAndOnceRemovedStaysRemoved) {
    const auto view = std::make_shared<GIFImageView>();
    const auto first = view->animator();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(view->animator(), first);
    view->setAnimator(nullptr);
    EXPECT_EQ(view->animator(), nullptr);
    view->animate(gifWithDelays({12, 12}), 0);
    EXPECT_FALSE(view->isAnimatingGIF());

    const auto replacement = Animator::make(view);
    view->setAnimator(replacement);
    EXPECT_EQ(view->animator(), replacement);
}

}  // namespace
