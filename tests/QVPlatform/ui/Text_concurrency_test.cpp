#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/graphics/TextLayout.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIGraphics.h>
#include <QVPlatform/ui/UIImage.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

using namespace platform;

namespace {

bool hasInk(const Bitmap& bitmap) {
    for (std::size_t i = 3; i < bitmap.rgba.size(); i += 4) {
        if (bitmap.rgba[i] > 128) return true;
    }
    return false;
}

}  // namespace

// Threads measure and draw text into their own image contexts while the main thread runs
// end-of-turn observers: every thread gets the same sizes, draws ink, and nothing races
// (checked under ThreadSanitizer).
TEST(TextConcurrency, MeasuringAndDrawingFromManyThreadsAgree) {
    const TextStyle style{.font = {15, false}, .maxWidth = 80, .maxLines = 2,
                          .lineBreakMode = NSLineBreakMode::byTruncatingTail};
    const TextMeasure expected = measureText("并发 measuring text 0", style);
    std::atomic<int> mismatches{0}, blank{0}, turns{0};
    RunLoop::main().addEndOfTurnObserver([&] { ++turns; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 40; ++i) {
                if (measureText("并发 measuring text 0", style).size != expected.size) ++mismatches;
                measureText("text " + std::to_string(t * 100 + i), style);
                UIGraphicsBeginImageContextWithOptions({80, 40}, false, 1);
                drawText(*UIGraphicsGetCurrentContext(), "并发", style, {0, 0}, CGColor::black());
                const auto image = UIGraphicsGetImageFromCurrentImageContext();
                UIGraphicsEndImageContext();
                if (!image || !hasInk(image->bitmap())) ++blank;
                if (i % 10 == 0) clearTextLayoutCache();
            }
        });
    }
    for (int i = 0; i < 50; ++i) RunLoop::main().runUntilIdle();
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
    EXPECT_EQ(blank.load(), 0);
    EXPECT_GE(turns.load(), 50);
    EXPECT_NEAR(fontMetrics({15, false}).lineHeight, UIFont::systemFontOfSize(15)->lineHeight(), 1e-9);
}
