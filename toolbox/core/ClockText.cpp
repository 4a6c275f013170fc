#include <QVToolbox/core/ClockText.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace QVToolbox {

std::string toClock(double seconds, bool ignoreZeroHour) {
    std::int64_t s = 0;
    if (std::isnan(seconds)) s = 0;
    else if (seconds >= 9.2233720368547758e18) s = INT64_MAX;
    else if (seconds <= -9.2233720368547758e18) s = INT64_MIN;
    else s = static_cast<std::int64_t>(seconds);  // truncates toward zero
    const std::int64_t h = s / 3600;
    const std::int64_t m = (s - h * 3600) / 60;
    const std::int64_t r = s % 60;
    char buffer[96];
    if (ignoreZeroHour && h == 0) {
        std::snprintf(buffer, sizeof buffer, "%02" PRId64 ":%02" PRId64, m, r);
    } else {
        std::snprintf(buffer, sizeof buffer, "%02" PRId64 ":%02" PRId64 ":%02" PRId64, h, m, r);
    }
    return buffer;
}

}  // namespace QVToolbox
