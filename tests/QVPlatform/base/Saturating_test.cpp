#include <QVPlatform/base/Saturating.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

using namespace platform;

TEST(Saturating, CastsCutTowardZeroAndClampAtTheLimits) {
    constexpr auto max64 = std::numeric_limits<std::int64_t>::max();
    constexpr auto min64 = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(saturatingCast<std::int64_t>(2.9), 2);
    EXPECT_EQ(saturatingCast<std::int64_t>(-2.9), -2);
    EXPECT_EQ(saturatingCast<std::int64_t>(NAN), 0);
    EXPECT_EQ(saturatingCast<std::int64_t>(INFINITY), max64);
    EXPECT_EQ(saturatingCast<std::int64_t>(-INFINITY), min64);
    EXPECT_EQ(saturatingCast<std::int64_t>(9223372036854775808.0), max64);  // 2^63, one past
    EXPECT_EQ(saturatingCast<std::int64_t>(-9223372036854775808.0), min64);  // exactly the minimum
    EXPECT_EQ(saturatingCast<std::int64_t>(9223372036854774784.0), 9223372036854774784);  // largest double below 2^63
    EXPECT_EQ(saturatingCast<std::uint64_t>(-1.0), 0u);
    EXPECT_EQ(saturatingCast<std::uint64_t>(1e20), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(saturatingCast<int>(3e9), std::numeric_limits<int>::max());
    EXPECT_EQ(saturatingCast<long>(-3e30), std::numeric_limits<long>::min());
}

TEST(Saturating, ArithmeticHoldsAtTheLimitsInsteadOfWrapping) {
    constexpr auto max64 = std::numeric_limits<std::int64_t>::max();
    constexpr auto min64 = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(saturatingAdd<std::int64_t>(max64, 1), max64);
    EXPECT_EQ(saturatingAdd<std::int64_t>(min64, -1), min64);
    EXPECT_EQ(saturatingAdd<std::int64_t>(40, 2), 42);
    EXPECT_EQ(saturatingAdd<std::uint64_t>(UINT64_MAX, 1), UINT64_MAX);
    EXPECT_EQ(saturatingSubtract<std::int64_t>(min64, 1), min64);
    EXPECT_EQ(saturatingSubtract<std::int64_t>(max64, -1), max64);
    EXPECT_EQ(saturatingSubtract<std::uint64_t>(1, 2), 0u);
    EXPECT_EQ(saturatingMultiply<std::int64_t>(std::int64_t{1} << 62, 4), max64);
    EXPECT_EQ(saturatingMultiply<std::int64_t>(-(std::int64_t{1} << 62), 4), min64);
    EXPECT_EQ(saturatingMultiply<std::int64_t>(-(std::int64_t{1} << 62), -4), max64);
    EXPECT_EQ(saturatingMultiply<std::int64_t>(-6, 7), -42);
    EXPECT_EQ(saturatingMultiply<std::uint64_t>(UINT64_MAX / 2, 3), UINT64_MAX);
    static_assert(saturatingAdd<int>(1, 2) == 3, "usable in constant expressions");
}
