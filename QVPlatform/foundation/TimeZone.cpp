#include <QVPlatform/foundation/TimeZone.h>

#include <QVPlatform/foundation/detail/IcuBridge.h>

#include <unicode/ucal.h>

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex zoneMutex;                          // guards the two below
std::optional<std::string> cachedSystemZone;   // the system zone's identifier, once read
std::optional<TimeZone> defaultZone;           // set by setDefault

// The canonical identifier ICU knows for `id`, or absent.
std::optional<std::string> canonicalIdentifier(std::string_view id) {
    if (id.empty()) return std::nullopt;
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(detail::toUnicode(id)));
    icu::UnicodeString resolved;
    zone->getID(resolved);
    // ICU answers the unknown zone ("Etc/Unknown") for names it does not know.
    if (resolved == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID)) return std::nullopt;
    return detail::toUtf8(resolved);
}

std::string detectSystemZone() {
    std::unique_ptr<icu::TimeZone> host(icu::TimeZone::detectHostTimeZone());
    icu::UnicodeString id;
    if (host) host->getID(id);
    if (id.isEmpty() || id == icu::UnicodeString(UCAL_UNKNOWN_ZONE_ID)) return "GMT";
    return detail::toUtf8(id);
}

}  // namespace

namespace detail {

std::unique_ptr<icu::TimeZone> makeIcuZone(const TimeZone& zone) {
    return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(toUnicode(zone.identifier())));
}

}  // namespace detail

std::optional<TimeZone> TimeZone::named(std::string_view identifier) {
    if (auto id = canonicalIdentifier(identifier)) return TimeZone(*id, false);
    return std::nullopt;
}

std::optional<TimeZone> TimeZone::forSecondsFromGMT(int seconds) {
    if (seconds < -18 * 3600 || seconds > 18 * 3600) return std::nullopt;
    if (seconds == 0) return gmt();
    const int a = seconds < 0 ? -seconds : seconds;
    char text[32];
    std::snprintf(text, sizeof text, "GMT%c%02d:%02d", seconds < 0 ? '-' : '+', a / 3600, (a / 60) % 60);
    // Offsets with seconds are kept as a custom zone with that exact offset.
    if (a % 60 != 0) std::snprintf(text, sizeof text, "GMT%c%02d:%02d:%02d", seconds < 0 ? '-' : '+', a / 3600, (a / 60) % 60, a % 60);
    return named(text);
}

TimeZone TimeZone::gmt() { return TimeZone("GMT", false); }

TimeZone TimeZone::system() {
    std::lock_guard lock(zoneMutex);
    if (!cachedSystemZone) cachedSystemZone = detectSystemZone();
    return TimeZone(*cachedSystemZone, false);
}

void TimeZone::resetSystemTimeZone() {
    std::lock_guard lock(zoneMutex);
    cachedSystemZone.reset();
}

TimeZone TimeZone::current() {
    {
        std::lock_guard lock(zoneMutex);
        if (defaultZone) return *defaultZone;
    }
    return system();
}

TimeZone TimeZone::autoupdatingCurrent() { return TimeZone("", true); }

void TimeZone::setDefault(std::optional<TimeZone> zone) {
    // The updating zone cannot be its own default: store what it stands for.
    if (zone && zone->autoupdating_) zone = current();
    std::lock_guard lock(zoneMutex);
    defaultZone = std::move(zone);
}

std::string TimeZone::identifier() const { return autoupdating_ ? current().identifier_ : identifier_; }

int TimeZone::secondsFromGMT(Date date) const {
    auto zone = detail::makeIcuZone(*this);
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset(detail::toUDate(date), false, raw, dst, status);
    if (U_FAILURE(status)) return 0;
    return static_cast<int>((raw + dst) / 1000);
}

bool TimeZone::isDaylightSavingTime(Date date) const { return daylightSavingTimeOffset(date) != 0; }

double TimeZone::daylightSavingTimeOffset(Date date) const {
    auto zone = detail::makeIcuZone(*this);
    int32_t raw = 0, dst = 0;
    UErrorCode status = U_ZERO_ERROR;
    zone->getOffset(detail::toUDate(date), false, raw, dst, status);
    return U_FAILURE(status) ? 0.0 : dst / 1000.0;
}

}  // namespace platform
