// The GIF frame store playing a long animation with each caching strategy: the most frames
// (and pixel bytes) decoded at once, and the time one loop of playback costs, with every
// tick's preload work finished before the next tick. The animation: 240 x 180, 200 frames of
// 0.1 s. Memory has no peer to compare with; the figures are printed after the run.
#include "Compare.h"

#include "GifPlayback.h"

#include <QVToolbox/gif/FrameStore.h>

#include <QVPlatform/dispatch/ManualClock.h>

#include <string>

namespace {

using QVToolbox::FrameStore;
using Strategy = FrameStore::FrameCachingStrategy;

using qvbench::kGifFrames;
using qvbench::longAnimation;
using qvbench::Peak;
using qvbench::peaks;

void playOneLoop(benchmark::State& state, Strategy strategy, const std::string& name) {
    Peak peak;
    for (auto _ : state) {
        const auto store = FrameStore::make(longAnimation(), std::nullopt, {240, 180}, platform::UIViewContentMode::scaleToFill,
                                            strategy, 0);
        store->setShouldResizeFrames(false);
        store->prepareFrames();
        platform::ManualClock::drain();
        for (int tick = 0; tick < kGifFrames; ++tick) {
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
    qvbench::printPeaks();
    return status;
}
