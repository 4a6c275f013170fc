// A GIF image view playing a long animation through its animator on the manual clock, 60
// display ticks a second, with each caching strategy: the most frames (and pixel bytes)
// decoded at once beside what holding every frame costs (the whole-GIF image builders keep
// them all), and the time one loop of playback costs. The animation: 240 x 180, 200 frames
// of 0.1 s. The figures are printed after the run.
#include "Compare.h"

#include "GifPlayback.h"

#include <QVToolbox/gif/GIFImageView.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <string>

namespace {

using platform::ManualClock;

using qvbench::kGifFrames;
using qvbench::Peak;
using qvbench::peaks;

// One loop played to its finish by a view with `buffer` frames decoded ahead.
Peak playOneLoop(std::int64_t buffer) {
    const auto view = std::make_shared<QVToolbox::GIFImageView>();
    view->setFrameBufferSize(buffer);
    bool finished = false;
    view->animate(qvbench::longAnimation(), 1, {}, [&finished] { finished = true; });
    const auto store = view->animator()->frameStore();
    const std::uint64_t origin = platform::Clock::uptimeNanoseconds();
    for (int tick = 1; !finished && tick < 2 * 60 * kGifFrames; ++tick) {
        ManualClock::advanceTo(origin + static_cast<std::uint64_t>(tick * 1e9 / 60) + 100'000);
    }
    return {store->peakDecodedFrameCount(), store->peakDecodedBytes()};
}

void playWith(benchmark::State& state, std::int64_t buffer, const std::string& name) {
    Peak peak;
    for (auto _ : state) peak = playOneLoop(buffer);
    state.counters["peak_frames"] = static_cast<double>(peak.frames);
    state.counters["peak_MiB"] = static_cast<double>(peak.bytes) / (1 << 20);
    peaks()[name] = peak;
}

void BM_AnimatorLoop_cacheUpcoming5(benchmark::State& state) { playWith(state, 5, "cacheUpcoming(5)"); }
void BM_AnimatorLoop_cacheUpcoming50(benchmark::State& state) { playWith(state, 50, "cacheUpcoming(50)"); }
void BM_AnimatorLoop_cacheAll(benchmark::State& state) { playWith(state, 0, "cacheAll"); }
BENCHMARK(BM_AnimatorLoop_cacheUpcoming5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimatorLoop_cacheUpcoming50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnimatorLoop_cacheAll)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    platform::RunLoop::setMainThread();
    ManualClock::start();
    const int status = qvbench::run(argc, argv);
    ManualClock::stop();
    qvbench::printPeaks();
    return status;
}
