// The long animation the GIF playback benchmarks play (240 x 180, 200 frames of 0.1 s), and
// the table of peak decoded frames and bytes they print after the run, by strategy.
#pragma once

#include "../tests/support/GifWriter.h"

#include <QVPlatform/base/Data.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

namespace qvbench {

constexpr int kGifFrames = 200, kGifWidth = 240, kGifHeight = 180;

inline const platform::Data& longAnimation() {
    static const platform::Data data = [] {
        testgif::Gif gif;
        gif.width = kGifWidth;
        gif.height = kGifHeight;
        for (int i = 0; i < kGifFrames; ++i) {
            auto frame = testgif::solid(i % 200, 0, 40, kGifHeight, static_cast<std::uint8_t>(i % 2));
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

inline std::map<std::string, Peak>& peaks() {
    static std::map<std::string, Peak> table;
    return table;
}

// The peaks by strategy, each also as a share of every frame decoded at once.
inline void printPeaks() {
    const double allFrames = double{kGifFrames} * kGifWidth * kGifHeight * 4;
    std::printf("\n%-20s %12s %12s %14s   (%d frames of %d x %d, one loop; every frame: %.1f MiB)\n", "strategy",
                "peak frames", "peak MiB", "of all frames", kGifFrames, kGifWidth, kGifHeight, allFrames / (1 << 20));
    for (const auto& [name, peak] : peaks()) {
        std::printf("%-20s %12zu %12.1f %14.3f\n", name.c_str(), peak.frames, static_cast<double>(peak.bytes) / (1 << 20),
                    static_cast<double>(peak.bytes) / allFrames);
    }
}

}  // namespace qvbench
