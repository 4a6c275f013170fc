// TimeZone: a geopolitical time zone ("Asia/Shanghai", "America/New_York") or a fixed offset
// from GMT, on ICU's zone database.
//
//   auto tz = TimeZone::named("America/New_York");
//   tz->secondsFromGMT(Date(1'700'000'000));             // -18000 (EST, 2023-11-14)
//   TimeZone::setDefault(TimeZone::named("Asia/Shanghai")); // what current() answers from now on
//
// Kinds: a named zone (a value), the system zone (read from TZ or /etc/localtime once and kept
// until resetSystemTimeZone), the current zone (the default if one was set, else the system
// zone) and the automatically updating current zone, which resolves to the current zone each
// time it is used. Thread rule: a value type; the process-wide default and system zones are
// guarded and may be read and set from any thread.
#pragma once

#include <QVPlatform/base/Date.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class TimeZone {
public:
    // A zone by its identifier ("Europe/Paris", "UTC", "GMT+08:00"); absent when unknown.
    static std::optional<TimeZone> named(std::string_view identifier);
    // A zone that is always `seconds` ahead of GMT; absent beyond ±18 hours.
    static std::optional<TimeZone> forSecondsFromGMT(int seconds);
    static TimeZone gmt();
    // The machine's zone: TZ, else /etc/localtime, else GMT.
    static TimeZone system();
    // Forgets the cached system zone, so the next system() reads it again.
    static void resetSystemTimeZone();
    // The process default if set, else the system zone.
    static TimeZone current();
    // A zone that stands for current() at each use.
    static TimeZone autoupdatingCurrent();
    // Sets (or, with nullopt, clears) the process default zone.
    static void setDefault(std::optional<TimeZone> zone);

    // The identifier; for the automatically updating zone, the current zone's.
    std::string identifier() const;
    bool isAutoupdating() const { return autoupdating_; }
    // Offset from GMT at `date`, daylight saving included.
    int secondsFromGMT(Date date) const;
    bool isDaylightSavingTime(Date date) const;
    // The daylight-saving part of the offset at `date` (0 outside daylight saving).
    double daylightSavingTimeOffset(Date date) const;

    friend bool operator==(const TimeZone&, const TimeZone&) = default;

private:
    TimeZone(std::string identifier, bool autoupdating) : identifier_(std::move(identifier)), autoupdating_(autoupdating) {}
    std::string identifier_;  // canonical ICU identifier; empty for the updating zone
    bool autoupdating_ = false;
};

}  // namespace platform
