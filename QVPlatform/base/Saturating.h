// Saturating arithmetic: results that do not fit their integer type give the nearest limit
// instead of wrapping or undefined behaviour.
//
//   saturatingCast<std::int64_t>(1e300);           // INT64_MAX
//   saturatingCast<std::int64_t>(NAN);             // 0
//   saturatingAdd<std::uint64_t>(UINT64_MAX, 1);   // UINT64_MAX
//   saturatingMultiply<std::int64_t>(-1LL << 62, 4);  // INT64_MIN
//
// Conversions from floating point cut toward zero. Thread rule: pure functions.
#pragma once

#include <cmath>
#include <concepts>
#include <limits>

namespace platform {

// The integer part (toward zero) of `value`, clamped to Int's range; NaN gives 0.
template <std::integral Int>
constexpr Int saturatingCast(double value) {
    using Limits = std::numeric_limits<Int>;
    if (std::isnan(value)) return 0;
    // Both limits are powers of two (or zero) and so exact as doubles; max + 1 is the first
    // value past the range.
    constexpr double pastMax = static_cast<double>(Limits::max() / 2 + 1) * 2.0;
    constexpr double min = static_cast<double>(Limits::min());
    if (value >= pastMax) return Limits::max();
    if (value <= min) return Limits::min();
    return static_cast<Int>(value);
}

// a + b clamped to Int's range.
template <std::integral Int>
constexpr Int saturatingAdd(Int a, Int b) {
    Int sum{};
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<Int>::max() : std::numeric_limits<Int>::min();
}

// a - b clamped to Int's range.
template <std::integral Int>
constexpr Int saturatingSubtract(Int a, Int b) {
    Int difference{};
    if (!__builtin_sub_overflow(a, b, &difference)) return difference;
    return b < 0 ? std::numeric_limits<Int>::max() : std::numeric_limits<Int>::min();
}

// a × b clamped to Int's range.
template <std::integral Int>
constexpr Int saturatingMultiply(Int a, Int b) {
    Int product{};
    if (!__builtin_mul_overflow(a, b, &product)) return product;
    return (a < 0) == (b < 0) ? std::numeric_limits<Int>::max() : std::numeric_limits<Int>::min();
}

}  // namespace platform
