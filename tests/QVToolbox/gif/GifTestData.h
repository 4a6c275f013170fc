// GIFs and frame property dictionaries the GIF playback tests build inline.
#pragma once

#include "support/GifWriter.h"

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/ImageSource.h>

#include <vector>

namespace giftest {

// A GIF of `width` x `height` whose frames last `delays` centiseconds each; frame i is solid
// colour index i % 2 (black, white).
inline platform::Data gifWithDelays(const std::vector<int>& delays, int width = 4, int height = 4) {
    testgif::Gif gif;
    gif.width = width;
    gif.height = height;
    for (std::size_t i = 0; i < delays.size(); ++i) {
        auto frame = testgif::solid(0, 0, width, height, static_cast<std::uint8_t>(i % 2));
        frame.delay = delays[i];
        gif.frames.push_back(frame);
    }
    return platform::Data(testgif::write(gif));
}

// A GIF of `count` frames of 10 cs each.
inline platform::Data gifOfFrames(std::size_t count, int width = 4, int height = 4) {
    return gifWithDelays(std::vector<int>(count, 10), width, height);
}

// Frame properties with a {GIF} dictionary of `gif`.
inline platform::Any gifProperties(platform::Any::Dictionary gif) {
    return platform::Any(platform::Any::Dictionary{{platform::kCGImagePropertyGIFDictionary, platform::Any(std::move(gif))}});
}

}  // namespace giftest
