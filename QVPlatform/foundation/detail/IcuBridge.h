// Conversions between our date values and ICU's, shared by the calendar, time zone, locale
// and date formatter sources. Internal: includes ICU.
#pragma once

#include <QVPlatform/foundation/Calendar.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/TimeZone.h>
#include <QVPlatform/foundation/detail/IcuText.h>

#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cmath>
#include <memory>
#include <string>
#include <string_view>

namespace platform::detail {

// ICU counts milliseconds since 1970.
inline UDate toUDate(Date date) { return date.timeIntervalSince1970() * 1000.0; }
inline Date fromUDate(UDate millis) { return Date(millis / 1000.0); }

// A new ICU zone for a resolved identifier (never null: unknown names give GMT).
std::unique_ptr<icu::TimeZone> makeIcuZone(const TimeZone& zone);
icu::Locale makeIcuLocale(const Locale& locale);
// The ICU "calendar" keyword value of a calendar system ("gregorian", "iso8601" ...).
const char* calendarKeyword(Calendar::Identifier identifier);

}  // namespace platform::detail
