#include <QVToolbox/gif/FrameDelay.h>

#include "QVToolbox/gif/GifTestData.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using giftest::gifProperties;
using platform::Any;
using QVToolbox::builderDelayMilliseconds;
using QVToolbox::frameStoreDelay;

constexpr const char* kUnclamped = platform::kCGImagePropertyGIFUnclampedDelayTime;
constexpr const char* kClamped = platform::kCGImagePropertyGIFDelayTime;

TEST(FrameDelayTest, StoreRulePrefersTheUnclampedDelayWhenNotNegative) {
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.05}, {kClamped, 0.1}})), 0.05);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.01}, {kClamped, 0.1}})), 0.1);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.02}, {kClamped, 0.1}})), 0.02);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.0}, {kClamped, 0.1}})), 1.0 / 15);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, -1.0}, {kClamped, 0.3}})), 0.3);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, -1.0}, {kClamped, -2.0}})), 1.0 / 15);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 2.5}, {kClamped, 2.5}})), 2.5);
}

TEST(FrameDelayTest, StoreRuleFallsBackToAFifteenthWithoutUsableDelays) {
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kClamped, 0.3}})), 1.0 / 15);    // unclamped missing
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.3}})), 1.0 / 15);  // clamped missing
    EXPECT_DOUBLE_EQ(frameStoreDelay(Any()), 1.0 / 15);                               // no properties
    EXPECT_DOUBLE_EQ(frameStoreDelay(Any(Any::Dictionary{{"PixelWidth", 4}})), 1.0 / 15);  // no {GIF}
    // A {GIF} dictionary holding something other than numbers is not read at all.
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, 0.3}, {kClamped, 0.3}, {"Note", "x"}})), 1.0 / 15);
    EXPECT_DOUBLE_EQ(frameStoreDelay(gifProperties({{kUnclamped, std::nan("")}, {kClamped, 0.3}})), 0.3);
}

TEST(FrameDelayTest, BuilderRuleTakesTheClampedDelayOnlyForAZeroUnclampedOne) {
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 0.1}, {kClamped, 0.1}})), 100);
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 0.0}, {kClamped, 0.08}})), 80);
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 0.01}, {kClamped, 0.1}})), 10);  // no minimum
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kClamped, 0.3}})), 100);  // unclamped missing
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, "0.3"}})), 100);
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, -0.5}})), 100);
    EXPECT_EQ(builderDelayMilliseconds(Any()), 100);
}

TEST(FrameDelayTest, BuilderRuleRoundsToMillisecondsAndNeverGivesZero) {
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 2.01}})), 2010);  // truncating gives 2009
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 0.0304}})), 30);
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 0.0004}})), 100);  // 0 ms
    EXPECT_EQ(builderDelayMilliseconds(gifProperties({{kUnclamped, 1e300}})), 100);
}

}  // namespace
