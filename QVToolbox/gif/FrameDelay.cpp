#include <QVToolbox/gif/FrameDelay.h>

#include <QVPlatform/graphics/ImageSource.h>

#include <cmath>
#include <limits>

namespace QVToolbox {

using platform::Any;

namespace {

constexpr double kFallbackDelay = 1.0 / 15.0;
// Frames faster than 20 ms are shown for 0.1 s, as browsers do.
constexpr double kMinimumDelay = 0.02 - std::numeric_limits<double>::epsilon();
constexpr double kShortDelay = 0.1;

// The {GIF} dictionary when every value in it is a number; null otherwise.
const Any::Dictionary* numericGifDictionary(const Any& properties) {
    const auto* gif = properties[platform::kCGImagePropertyGIFDictionary].asDictionary();
    if (!gif) return nullptr;
    for (const auto& [key, value] : *gif) {
        if (!value.isNumber()) return nullptr;
    }
    return gif;
}

}  // namespace

double frameStoreDelay(const Any& properties) {
    const auto* gif = numericGifDictionary(properties);
    if (!gif) return kFallbackDelay;
    const Any& unclamped = properties[platform::kCGImagePropertyGIFDictionary][platform::kCGImagePropertyGIFUnclampedDelayTime];
    const Any& clamped = properties[platform::kCGImagePropertyGIFDictionary][platform::kCGImagePropertyGIFDelayTime];
    if (unclamped.isNull() || clamped.isNull()) return kFallbackDelay;
    // The first of [unclamped, clamped] that is not negative (NaN counts as unusable).
    double x = std::numeric_limits<double>::quiet_NaN();
    for (const double candidate : {unclamped.doubleValue(), clamped.doubleValue()}) {
        if (candidate >= 0) {
            x = candidate;
            break;
        }
    }
    if (!(x > 0)) return kFallbackDelay;
    if (x < kMinimumDelay) return kShortDelay;
    return std::isfinite(x) ? x : kFallbackDelay;
}

std::int64_t builderDelayMilliseconds(const Any& properties) {
    constexpr std::int64_t kDefaultMilliseconds = 100;
    const Any& gif = properties[platform::kCGImagePropertyGIFDictionary];
    if (!gif.isDictionary()) return kDefaultMilliseconds;
    const Any* chosen = &gif[platform::kCGImagePropertyGIFUnclampedDelayTime];
    if (chosen->isNumber() && chosen->doubleValue() == 0) chosen = &gif[platform::kCGImagePropertyGIFDelayTime];
    if (!chosen->isNumber()) return kDefaultMilliseconds;
    const double seconds = chosen->doubleValue();
    // A GIF delay is at most 655.35 s; anything beyond (or NaN) is no delay a file can state.
    if (!(seconds > 0) || seconds > 1e6) return kDefaultMilliseconds;
    const auto milliseconds = static_cast<std::int64_t>(std::llround(seconds * 1000));
    return milliseconds <= 0 ? kDefaultMilliseconds : milliseconds;
}

}  // namespace QVToolbox
