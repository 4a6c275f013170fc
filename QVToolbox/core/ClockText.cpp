#include <QVToolbox/core/ClockText.h>

#include <QVPlatform/base/Saturating.h>

#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace QVToolbox {

std::string toClock(double seconds, bool ignoreZeroHour) {
    // Whole seconds, cut toward zero; a negative duration is "-" and the text of its size.
    const auto whole = platform::saturatingCast<std::int64_t>(seconds);
    if (whole < 0) return "-" + toClock(-static_cast<double>(whole), ignoreZeroHour);
    const std::int64_t s = whole;
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
