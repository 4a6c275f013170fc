#include <QVPlatform/foundation/DateFormatter.h>

#include <QVPlatform/foundation/detail/IcuBridge.h>

#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>

#include <cmath>
#include <utility>

namespace platform {

namespace {

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
    switch (style) {
        case DateFormatter::Style::none: return icu::DateFormat::kNone;
        case DateFormatter::Style::short_: return icu::DateFormat::kShort;
        case DateFormatter::Style::medium: return icu::DateFormat::kMedium;
        case DateFormatter::Style::long_: return icu::DateFormat::kLong;
        case DateFormatter::Style::full: return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

// 1950-01-01 00:00:00 GMT: two-digit years fall in [1950, 2050).
constexpr UDate kTwoDigitYearStart = -631152000000.0;

}  // namespace

struct DateFormatter::Engine {
    // What the formatter was built from; any difference means a rebuild.
    std::optional<std::string> pattern;
    Style dateStyle = Style::none;
    Style timeStyle = Style::none;
    std::string localeId;
    std::string zoneId;
    std::optional<Calendar::Identifier> calendar;
    std::unique_ptr<icu::SimpleDateFormat> format;

    bool matches(const DateFormatter& f, const std::string& loc, const std::string& zone) const {
        return pattern == f.pattern_ && dateStyle == f.dateStyle_ && timeStyle == f.timeStyle_ && localeId == loc &&
               zoneId == zone && calendar == f.calendar_;
    }
};

DateFormatter::DateFormatter() = default;
DateFormatter::~DateFormatter() = default;

std::shared_ptr<DateFormatter> DateFormatter::make() { return std::make_shared<DateFormatter>(); }

std::shared_ptr<DateFormatter> DateFormatter::make(std::string_view dateFormat) {
    auto f = make();
    f->setDateFormat(dateFormat);
    return f;
}

DateFormatter::Engine& DateFormatter::engine() const {
    const std::string loc = locale_.identifier();
    const std::string zone = timeZone_.identifier();
    if (engine_ && engine_->matches(*this, loc, zone)) return *engine_;
    // A new explicit pattern over the same settings: re-pattern the formatter in place,
    // which is much cheaper than building a new one (shared formatters switch often).
    if (engine_ && engine_->pattern && pattern_) {
        const std::optional<std::string> previous = std::exchange(engine_->pattern, pattern_);
        if (engine_->matches(*this, loc, zone)) {
            engine_->format->applyPattern(detail::toUnicode(*pattern_));
            return *engine_;
        }
        engine_->pattern = previous;
    }

    auto e = std::make_unique<Engine>();
    e->pattern = pattern_;
    e->dateStyle = dateStyle_;
    e->timeStyle = timeStyle_;
    e->localeId = loc;
    e->zoneId = zone;
    e->calendar = calendar_;

    icu::Locale icuLocale = detail::makeIcuLocale(locale_);
    UErrorCode status = U_ZERO_ERROR;
    if (calendar_) icuLocale.setKeywordValue("calendar", detail::calendarKeyword(*calendar_), status);
    status = U_ZERO_ERROR;
    if (!pattern_ && (dateStyle_ != Style::none || timeStyle_ != Style::none)) {
        std::unique_ptr<icu::DateFormat> styled(
            icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle_), icuStyle(timeStyle_), icuLocale));
        if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(styled.get())) {
            styled.release();
            e->format.reset(simple);
        }
    }
    if (!e->format) {
        status = U_ZERO_ERROR;
        e->format = std::make_unique<icu::SimpleDateFormat>(detail::toUnicode(pattern_.value_or("")), icuLocale, status);
        if (U_FAILURE(status)) {
            // A pattern ICU rejects (an unterminated quote) formats nothing.
            status = U_ZERO_ERROR;
            e->format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(), icuLocale, status);
        }
    }
    e->format->adoptTimeZone(detail::makeIcuZone(timeZone_).release());
    e->format->setLenient(false);
    status = U_ZERO_ERROR;
    e->format->set2DigitYearStart(kTwoDigitYearStart, status);
    engine_ = std::move(e);
    return *engine_;
}

std::string DateFormatter::dateFormat() const {
    std::lock_guard lock(mutex_);
    if (pattern_) return *pattern_;
    icu::UnicodeString pattern;
    engine().format->toPattern(pattern);
    return detail::toUtf8(pattern);
}

void DateFormatter::setDateFormat(std::string_view pattern) {
    std::lock_guard lock(mutex_);
    pattern_ = std::string(pattern);
}

void DateFormatter::setLocalizedDateFormatFromTemplate(std::string_view dateTemplate) {
    Locale locale = this->locale();
    if (auto pattern = dateFormatFromTemplate(dateTemplate, locale)) setDateFormat(*pattern);
}

DateFormatter::Style DateFormatter::dateStyle() const {
    std::lock_guard lock(mutex_);
    return dateStyle_;
}

void DateFormatter::setDateStyle(Style style) {
    std::lock_guard lock(mutex_);
    dateStyle_ = style;
    pattern_.reset();
}

DateFormatter::Style DateFormatter::timeStyle() const {
    std::lock_guard lock(mutex_);
    return timeStyle_;
}

void DateFormatter::setTimeStyle(Style style) {
    std::lock_guard lock(mutex_);
    timeStyle_ = style;
    pattern_.reset();
}

Locale DateFormatter::locale() const {
    std::lock_guard lock(mutex_);
    return locale_;
}

void DateFormatter::setLocale(Locale locale) {
    std::lock_guard lock(mutex_);
    locale_ = std::move(locale);
}

TimeZone DateFormatter::timeZone() const {
    std::lock_guard lock(mutex_);
    return timeZone_;
}

void DateFormatter::setTimeZone(TimeZone zone) {
    std::lock_guard lock(mutex_);
    timeZone_ = std::move(zone);
}

std::optional<Calendar::Identifier> DateFormatter::calendar() const {
    std::lock_guard lock(mutex_);
    return calendar_;
}

void DateFormatter::setCalendar(std::optional<Calendar::Identifier> calendar) {
    std::lock_guard lock(mutex_);
    calendar_ = calendar;
}

std::string DateFormatter::string(Date date) const {
    if (!std::isfinite(date.timeIntervalSince1970())) return "";
    std::lock_guard lock(mutex_);
    icu::UnicodeString out;
    engine().format->format(detail::toUDate(date), out);
    return detail::toUtf8(out);
}

std::optional<Date> DateFormatter::date(std::string_view text) const {
    std::lock_guard lock(mutex_);
    Engine& e = engine();
    const icu::UnicodeString input = detail::toUnicode(text);
    UErrorCode status = U_ZERO_ERROR;
    // Fields the text does not give come from 2000-01-01 00:00:00 in the formatter's zone.
    std::unique_ptr<icu::Calendar> cal(e.format->getCalendar()->clone());
    {
        icu::GregorianCalendar reference(e.format->getTimeZone(), status);
        reference.clear();
        reference.set(2000, UCAL_JANUARY, 1, 0, 0, 0);
        cal->setTime(reference.getTime(status), status);
    }
    if (U_FAILURE(status)) return std::nullopt;
    cal->setLenient(false);
    icu::ParsePosition position(0);
    e.format->parse(input, *cal, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != input.length() || input.isEmpty()) return std::nullopt;
    const UDate millis = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return detail::fromUDate(millis);
}

std::optional<std::string> DateFormatter::dateFormatFromTemplate(std::string_view dateTemplate, const Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(detail::makeIcuLocale(locale), status));
    if (U_FAILURE(status) || !generator) return std::nullopt;
    const icu::UnicodeString best = generator->getBestPattern(detail::toUnicode(dateTemplate), status);
    if (U_FAILURE(status)) return std::nullopt;
    return detail::toUtf8(best);
}

}  // namespace platform
