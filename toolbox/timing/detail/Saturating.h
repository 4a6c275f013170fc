// Saturating conversions behind the timing utilities' intervals: a product or a
// seconds-to-milliseconds cut that does not fit a signed 64-bit count gives the largest (or,
// for negative values, the smallest) count instead of wrapping or undefined behaviour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace QVToolbox::detail {

// n × factor for factor > 0, clamped to the int64 range.
constexpr std::int64_t saturatingMultiply(std::int64_t n, std::int64_t factor) {
    constexpr auto max = std::numeric_limits<std::int64_t>::max();
    constexpr auto min = std::numeric_limits<std::int64_t>::min();
    if (n > max / factor) return max;
    if (n < min / factor) return min;
    return n * factor;
}

// The integer part (toward zero) of `value`, clamped to the int64 range; NaN gives 0.
inline std::int64_t saturatingTruncate(double value) {
    constexpr double limit = 9223372036854775808.0;  // 2^63, the first value past int64's max
    if (std::isnan(value)) return 0;
    if (value >= limit) return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit) return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

// Whole milliseconds in `seconds` (fractions cut toward zero), saturating.
inline std::int64_t millisecondsIn(double seconds) { return saturatingTruncate(seconds * 1000.0); }

}  // namespace QVToolbox::detail
