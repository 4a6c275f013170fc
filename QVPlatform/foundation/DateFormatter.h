// DateFormatter: turns dates into texts and back with UTS #35 patterns ("yyyy-MM-dd HH:mm"),
// date and time styles, or a localized pattern chosen from a template ("yMMMd"), on ICU.
//
//   auto f = DateFormatter::make("yyyy-MM-dd HH:mm");
//   f->setTimeZone(*TimeZone::named("Asia/Shanghai"));
//   f->string(Date(0));                          // "1970-01-01 08:00"
//
// Defaults: the current locale (automatically updating), the current time zone
// (automatically updating), the locale's calendar, no styles and an empty pattern. Setting a
// style replaces the pattern with the style's; setting a pattern (directly or from a
// template) replaces the styles' pattern; a template is resolved with the locale set at that
// moment. Parsing is strict: the whole text must match, impossible dates do not parse, and
// fields the pattern lacks take those of 2000-01-01 00:00:00; two-digit years fall in the
// hundred years from 1950. Thread rule: every member locks the formatter, so one formatter
// may be shared between threads; a sequence of calls (set, then format) is not atomic.
#pragma once

#include <QVPlatform/foundation/Calendar.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/Locale.h>
#include <QVPlatform/foundation/TimeZone.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class DateFormatter : public NSObjectSubclass<DateFormatter, NSObject, "NSDateFormatter"> {
public:
    enum class Style { none, short_, medium, long_, full };

    static std::shared_ptr<DateFormatter> make();
    // A formatter with this pattern and nothing else set.
    static std::shared_ptr<DateFormatter> make(std::string_view dateFormat);

    DateFormatter();
    ~DateFormatter() override;

    // The pattern in use: the one set, or the styles' pattern for the locale.
    std::string dateFormat() const;
    void setDateFormat(std::string_view pattern);
    // Sets the locale's best pattern for the template's fields ("jm" -> "h:mm a" in en_US).
    void setLocalizedDateFormatFromTemplate(std::string_view dateTemplate);

    Style dateStyle() const;
    void setDateStyle(Style style);
    Style timeStyle() const;
    void setTimeStyle(Style style);

    Locale locale() const;
    void setLocale(Locale locale);
    TimeZone timeZone() const;
    void setTimeZone(TimeZone zone);
    // Absent: the locale's calendar.
    std::optional<Calendar::Identifier> calendar() const;
    void setCalendar(std::optional<Calendar::Identifier> calendar);

    std::string string(Date date) const;
    // The date the whole text names, or absent.
    std::optional<Date> date(std::string_view text) const;

    // The locale's best pattern for a template, or absent when ICU cannot make one.
    static std::optional<std::string> dateFormatFromTemplate(std::string_view dateTemplate, const Locale& locale);

private:
    struct Engine;
    Engine& engine() const;  // the ICU formatter for the current settings; caller holds mutex_

    mutable std::mutex mutex_;  // guards every field below
    std::optional<std::string> pattern_;  // set explicitly; else the styles decide
    Style dateStyle_ = Style::none;
    Style timeStyle_ = Style::none;
    Locale locale_ = Locale::autoupdatingCurrent();
    TimeZone timeZone_ = TimeZone::autoupdatingCurrent();
    std::optional<Calendar::Identifier> calendar_;
    mutable std::unique_ptr<Engine> engine_;  // rebuilt when a setting or a resolved name changes
};

using DateFormatterPtr = std::shared_ptr<DateFormatter>;

}  // namespace platform
