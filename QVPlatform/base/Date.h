// Date: a point in time, seconds since 1970-01-01 00:00:00 UTC as a double.
//
//   Date now = Date::now();                       // reads platform::Clock's wall time
//   Date later = now.addingTimeInterval(60);      // one minute on
//   later.timeIntervalSince(now);                 // 60.0
//
// A plain value type. `now()` is the only member that reads the clock, so tests that
// switch the clock to manual time get reproducible dates.
#pragma once

#include <compare>

namespace platform {

// Seconds between 1970-01-01 and 2001-01-01, the platform's reference date.
inline constexpr double kTimeIntervalSince1970OfReferenceDate = 978307200.0;

class Date {
public:
    constexpr Date() = default;
    constexpr explicit Date(double secondsSince1970) : seconds_(secondsSince1970) {}

    static Date now();
    static constexpr Date fromTimeIntervalSince1970(double s) { return Date(s); }
    static constexpr Date fromTimeIntervalSinceReferenceDate(double s) {
        return Date(s + kTimeIntervalSince1970OfReferenceDate);
    }
    static constexpr Date distantPast() { return Date(-62135769600.0); }
    static constexpr Date distantFuture() { return Date(64092211200.0); }

    constexpr double timeIntervalSince1970() const { return seconds_; }
    constexpr double timeIntervalSinceReferenceDate() const {
        return seconds_ - kTimeIntervalSince1970OfReferenceDate;
    }
    constexpr double timeIntervalSince(Date other) const { return seconds_ - other.seconds_; }
    double timeIntervalSinceNow() const;
    constexpr Date addingTimeInterval(double s) const { return Date(seconds_ + s); }

    friend constexpr bool operator==(Date, Date) = default;
    friend constexpr auto operator<=>(Date, Date) = default;

private:
    double seconds_ = 0;
};

}  // namespace platform
