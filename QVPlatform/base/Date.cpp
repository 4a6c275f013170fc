#include <QVPlatform/base/Date.h>

#include <QVPlatform/base/Clock.h>

namespace platform {

Date Date::now() { return Date(Clock::wallSeconds()); }

double Date::timeIntervalSinceNow() const { return seconds_ - Clock::wallSeconds(); }

}  // namespace platform
