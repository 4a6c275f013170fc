// The GIF frame store playing a long animation with each caching strategy: the most frames
// (and pixel bytes) decoded at once, and the time one loop of playback costs, with every
// tick's preload work finished before the next tick. The animation: 240 x 180, 200 frames of
// 0.1 s. Memory has no peer to compare with; the figures are printed after the run.
#include "Compare.h"

#include "../tests/support/GifWriter.h"

#include <QVToolbox/gif/FrameStore.h>

#include <QVPlatform/dispatch/ManualClock.h>

#include <cstdio>
#include <map>
#include <string>

namespace {

using QVToolbox::FrameStore;
using Strategy = FrameStore::FrameCachingStrategy;

constexpr int kFrames = 200;

const platform::Data& animation() {
    static const platform::Data data = [] {
        testgif::Gif gif;
        gif.width = 240;
        gif.height = 180;
        for (int i = 0; i < kFrames; ++i) {
            auto frame = testgif::solid(i % 200, 0, 40, 180, static_cast<std::uint8_t>(i % 2));
            frame.delay = 10;
            gif.frames.push_back(frame);
        }
        return platform::Data(testgif::write(gif));
    }();
    return data;
}

struct Peak {
    std::size_t frames = 0;
    std::size_t bytes = 0;
};
std::map<std::string, Peak>& peaks() {
    static std::map<std::string, Peak> table;
    return table;
}

void playOneLoop(benchmark::State& state, Strategy strategy, const std::string& name) {
    Peak peak;
    for (auto _ : state) {
        const auto store = FrameStore::make(animation(), std::nullopt, {240, 180}, platform::UIViewContentMode::scaleToFill,
                                            strategy, 0);
        store->setShouldResizeFrames(false);
        store->prepareFrames();
        platform::ManualClock::drain();
        for (int tick = 0; tick < kFrames; ++tick) {
            store->shouldChangeFrame(0.1);
            platform::ManualClock::drain();
        }
        peak = {store->peakDecodedFrameCount(), store->peakDecodedBytes()};
    }
    state.counters["peak_frames"] = static_cast<double>(peak.frames);
    state.counters["peak_MiB"] = static_cast<double>(peak.bytes) / (1 << 20);
    peaks()[name] = peak;
}

void BM_PlayLoop_cacheUpcoming5(benchmark::State& state) { playOneLoop(state, Strategy::cacheUpcoming(5), "cacheUpcoming(5)"); }
void BM_PlayLoop_cacheUpcoming50(benchmark::State& state) { playOneLoop(state, Strategy::cacheUpcoming(50), "cacheUpcoming(50)"); }
void BM_PlayLoop_cacheAll(benchmark::State& state) { playOneLoop(state, Strategy::cacheAll(), "cacheAll"); }
BENCHMARK(BM_PlayLoop_cacheUpcoming5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayLoop_cacheUpcoming50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayLoop_cacheAll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    const int status = qvbench::run(argc, argv);
    std::printf("\n%-20s %12s %12s   (%d frames of 240 x 180, one loop)\n", "strategy", "peak frames", "peak MiB", kFrames);
    for (const auto& [name, peak] : peaks()) {
        std::printf("%-20s %12zu %12.1f\n", name.c_str(), peak.frames, static_cast<double>(peak.bytes) / (1 << 20));
    }
    return status;
}
