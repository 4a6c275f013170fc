// Requests for the same bytes from several threads at once: misses parse and store while
// hits copy; every caller gets a drawing of its own, and each layer receives exactly one.
#include <QVToolbox/svg/SVGCache.h>
#include <QVToolbox/svg/SVGConstructors.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace QVToolbox;

TEST(SVGCacheConcurrency, ThreadsRequestingTheSameBytesEachGetTheirOwnDrawing) {
    const auto data = platform::Data::fromString(
        "<svg><!-- concurrency --><rect width='4' height='4'/><path d='M0 0 L4 4'/></svg>");
    std::mutex mutex;  // guards delivered
    std::set<const SVGLayer*> delivered;
    std::vector<std::shared_ptr<platform::CALayer>> layers(64);
    std::vector<std::shared_ptr<SVGLayer>> keep;  // so addresses stay unique
    auto record = [&](std::shared_ptr<SVGLayer> drawing) {
        std::lock_guard lock(mutex);
        delivered.insert(drawing.get());
        keep.push_back(std::move(drawing));
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 16; ++i) {
                layers[static_cast<std::size_t>(t * 16 + i)] = layerWithSVGData(data, nullptr, record);
                if (i % 4 == 0) SVGCache::default_().removeObject(cacheKey(data));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int i = 0; i < 5; ++i) {
        platform::ManualClock::drain();
        platform::RunLoop::main().runUntilIdle();
    }
    EXPECT_EQ(delivered.size(), layers.size());
    for (const auto& layer : layers) EXPECT_EQ(layer->sublayers().size(), 1u);
}
