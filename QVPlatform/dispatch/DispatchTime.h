// DispatchTime and DispatchTimeInterval: deadlines on the monotonic clock and spans of time.
//
//   auto deadline = DispatchTime::now() + 1.5;                          // 1.5 s from now
//   auto later = DispatchTime::now() + DispatchTimeInterval::milliseconds(20);
//   DispatchTimeInterval::seconds(2).nanoseconds();                       // 2'000'000'000
//
// Arithmetic saturates: it never wraps, and `never` / `distantFuture` absorb additions.
// Plain values; thread-safe.
#pragma once

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/base/Saturating.h>

#include <cmath>
#include <compare>
#include <cstdint>
#include <limits>

namespace platform {

class DispatchTimeInterval {
public:
    enum class Unit { seconds, milliseconds, microseconds, nanoseconds, never };

    static constexpr DispatchTimeInterval seconds(std::int64_t n) { return {Unit::seconds, n}; }
    static constexpr DispatchTimeInterval milliseconds(std::int64_t n) { return {Unit::milliseconds, n}; }
    static constexpr DispatchTimeInterval microseconds(std::int64_t n) { return {Unit::microseconds, n}; }
    static constexpr DispatchTimeInterval nanoseconds(std::int64_t n) { return {Unit::nanoseconds, n}; }
    static constexpr DispatchTimeInterval never() { return {Unit::never, 0}; }
    // Whole nanoseconds of a span in seconds (negative and NaN give 0; huge values saturate).
    static constexpr DispatchTimeInterval fromSeconds(double s) {
        return nanoseconds(s > 0 ? saturatingCast<std::int64_t>(s * 1e9) : 0);
    }

    constexpr Unit unit() const { return unit_; }
    constexpr std::int64_t value() const { return value_; }
    constexpr bool isNever() const { return unit_ == Unit::never; }

    // The span in nanoseconds, saturating at the int64 limits; `never` gives the maximum.
    constexpr std::int64_t totalNanoseconds() const {
        std::int64_t scale = 1;
        switch (unit_) {
            case Unit::never: return std::numeric_limits<std::int64_t>::max();
            case Unit::seconds: scale = 1'000'000'000; break;
            case Unit::milliseconds: scale = 1'000'000; break;
            case Unit::microseconds: scale = 1'000; break;
            case Unit::nanoseconds: scale = 1; break;
        }
        return saturatingMultiply(value_, scale);
    }

    friend constexpr bool operator==(DispatchTimeInterval a, DispatchTimeInterval b) {
        return a.isNever() == b.isNever() && (a.isNever() || a.totalNanoseconds() == b.totalNanoseconds());
    }

private:
    constexpr DispatchTimeInterval(Unit unit, std::int64_t value) : unit_(unit), value_(value) {}
    Unit unit_;
    std::int64_t value_;
};

struct DispatchTime {
    std::uint64_t uptimeNanoseconds = 0;

    static DispatchTime now() { return {Clock::uptimeNanoseconds()}; }
    static constexpr DispatchTime distantFuture() { return {std::numeric_limits<std::uint64_t>::max()}; }

    constexpr bool isDistantFuture() const { return uptimeNanoseconds == distantFuture().uptimeNanoseconds; }

    constexpr DispatchTime adding(std::int64_t ns) const {
        constexpr auto max = std::numeric_limits<std::uint64_t>::max();
        if (isDistantFuture()) return *this;
        if (ns >= 0) {
            const auto u = static_cast<std::uint64_t>(ns);
            return {u >= max - uptimeNanoseconds ? max : uptimeNanoseconds + u};
        }
        const auto u = static_cast<std::uint64_t>(-(ns + 1)) + 1;
        return {u > uptimeNanoseconds ? 0 : uptimeNanoseconds - u};
    }

    friend constexpr DispatchTime operator+(DispatchTime t, DispatchTimeInterval i) {
        return i.isNever() ? distantFuture() : t.adding(i.totalNanoseconds());
    }
    friend constexpr DispatchTime operator+(DispatchTime t, double seconds) {
        if (std::isnan(seconds)) return t;
        const auto ns = saturatingCast<std::int64_t>(seconds * 1e9);
        if (ns == std::numeric_limits<std::int64_t>::max()) return distantFuture();
        return t.adding(ns);
    }
    friend constexpr DispatchTime operator-(DispatchTime t, double seconds) { return t + (-seconds); }
    friend constexpr auto operator<=>(DispatchTime, DispatchTime) = default;
};

enum class DispatchTimeoutResult { success, timedOut };

}  // namespace platform
