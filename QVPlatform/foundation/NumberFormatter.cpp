#include <QVPlatform/foundation/NumberFormatter.h>

#include <QVPlatform/foundation/Host.h>

#include <QVPlatform/foundation/detail/IcuText.h>

#include <unicode/decimfmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/unistr.h>

#include <memory>
#include <set>
#include <unordered_map>
#include <string>

namespace platform {

namespace {

// Short names for the conversions used throughout this file.
icu::UnicodeString (&u)(std::string_view) = detail::toUnicode;

UNumberFormatStyle icuStyle(NSNumberFormatterStyle style) {
    switch (style) {
    case NSNumberFormatterStyle::none: return UNUM_PATTERN_DECIMAL;
    case NSNumberFormatterStyle::decimal: return UNUM_DECIMAL;
    case NSNumberFormatterStyle::currency: return UNUM_CURRENCY;
    case NSNumberFormatterStyle::percent: return UNUM_PERCENT;
    case NSNumberFormatterStyle::scientific: return UNUM_SCIENTIFIC;
    case NSNumberFormatterStyle::spellOut: return UNUM_SPELLOUT;
    case NSNumberFormatterStyle::ordinal: return UNUM_ORDINAL;
    case NSNumberFormatterStyle::currencyISOCode: return UNUM_CURRENCY_ISO;
    case NSNumberFormatterStyle::currencyPlural: return UNUM_CURRENCY_PLURAL;
    case NSNumberFormatterStyle::currencyAccounting: return UNUM_CURRENCY_ACCOUNTING;
    }
    return UNUM_DECIMAL;
}

icu::DecimalFormat::ERoundingMode icuRounding(NSNumberFormatterRoundingMode mode) {
    switch (mode) {
    case NSNumberFormatterRoundingMode::ceiling: return icu::DecimalFormat::kRoundCeiling;
    case NSNumberFormatterRoundingMode::floor: return icu::DecimalFormat::kRoundFloor;
    case NSNumberFormatterRoundingMode::down: return icu::DecimalFormat::kRoundDown;
    case NSNumberFormatterRoundingMode::up: return icu::DecimalFormat::kRoundUp;
    case NSNumberFormatterRoundingMode::halfEven: return icu::DecimalFormat::kRoundHalfEven;
    case NSNumberFormatterRoundingMode::halfDown: return icu::DecimalFormat::kRoundHalfDown;
    case NSNumberFormatterRoundingMode::halfUp: return icu::DecimalFormat::kRoundHalfUp;
    }
    return icu::DecimalFormat::kRoundHalfEven;
}

icu::DecimalFormat::EPadPosition icuPad(NSNumberFormatterPadPosition p) {
    switch (p) {
    case NSNumberFormatterPadPosition::beforePrefix: return icu::DecimalFormat::kPadBeforePrefix;
    case NSNumberFormatterPadPosition::afterPrefix: return icu::DecimalFormat::kPadAfterPrefix;
    case NSNumberFormatterPadPosition::beforeSuffix: return icu::DecimalFormat::kPadBeforeSuffix;
    case NSNumberFormatterPadPosition::afterSuffix: return icu::DecimalFormat::kPadAfterSuffix;
    }
    return icu::DecimalFormat::kPadBeforePrefix;
}

// The ICU locale for an identifier; a fixed locale with "," grouping and "." decimal point
// (English) when ICU has no number data for it.
icu::Locale icuLocale(const std::string& identifier) {
    static const std::set<std::string> languages = [] {
        std::set<std::string> all;
        int32_t count = 0;
        const icu::Locale* available = icu::NumberFormat::getAvailableLocales(count);
        for (int32_t i = 0; i < count; ++i) all.insert(available[i].getLanguage());
        return all;
    }();
    icu::Locale locale(identifier.c_str());
    if (locale.isBogus() || !languages.count(locale.getLanguage())) return icu::Locale::getEnglish();
    return locale;
}

std::unique_ptr<icu::NumberFormat> makeBase(NSNumberFormatterStyle style, const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> f;
    if (style == NSNumberFormatterStyle::none) {
        auto* symbols = new icu::DecimalFormatSymbols(locale, status);
        if (U_FAILURE(status)) {
            delete symbols;
            status = U_ZERO_ERROR;
            symbols = new icu::DecimalFormatSymbols(icu::Locale::getRoot(), status);
        }
        f = std::make_unique<icu::DecimalFormat>(icu::UnicodeString(u"#"), symbols, status);  // adopts symbols
    } else {
        f.reset(icu::NumberFormat::createInstance(locale, icuStyle(style), status));
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            f.reset(icu::NumberFormat::createInstance(icu::Locale::getRoot(), icuStyle(style), status));
        }
    }
    if (U_FAILURE(status)) return nullptr;
    return f;
}

}  // namespace

void NSNumberFormatter::setNumberStyle(NSNumberFormatterStyle style) {
    style_ = style;
    // Choosing a style resets the layout to that style's defaults.
    minimumIntegerDigits_.reset();
    maximumIntegerDigits_.reset();
    minimumFractionDigits_.reset();
    maximumFractionDigits_.reset();
    usesGrouping_.reset();
    groupingSize_.reset();
}

std::string NSNumberFormatter::localeIdentifier() const { return locale_.empty() ? Host::localeIdentifier() : locale_; }

// Builds the ICU formatter for a formatter's settings.
struct NumberFormatterBuilder {
    static icu::NumberFormat* cached(const NSNumberFormatter& s);
    static std::unique_ptr<icu::NumberFormat> build(const NSNumberFormatter& s) {
        auto f = makeBase(s.style_, icuLocale(s.localeIdentifier()));
        if (!f) return nullptr;
        auto* d = dynamic_cast<icu::DecimalFormat*>(f.get());
        if (!d) return f;  // spelled-out and other rule-based styles have no decimal layout
        UErrorCode status = U_ZERO_ERROR;
        if (s.positiveFormat_) {
            d->applyPattern(u(*s.positiveFormat_), status);
            if (U_FAILURE(status)) return nullptr;
        }
        d->setRoundingMode(icuRounding(s.roundingMode_));
        if (s.maximumIntegerDigits_) d->setMaximumIntegerDigits(*s.maximumIntegerDigits_);
        if (s.minimumIntegerDigits_) d->setMinimumIntegerDigits(*s.minimumIntegerDigits_);
        if (s.maximumFractionDigits_) d->setMaximumFractionDigits(*s.maximumFractionDigits_);
        if (s.minimumFractionDigits_) d->setMinimumFractionDigits(*s.minimumFractionDigits_);
        if (s.usesGrouping_) d->setGroupingUsed(*s.usesGrouping_);
        if (s.groupingSize_) d->setGroupingSize(*s.groupingSize_);
        if (s.groupingSeparator_ || s.decimalSeparator_) {
            icu::DecimalFormatSymbols symbols(*d->getDecimalFormatSymbols());
            if (s.groupingSeparator_) {
                symbols.setSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol, u(*s.groupingSeparator_));
                symbols.setSymbol(icu::DecimalFormatSymbols::kMonetaryGroupingSeparatorSymbol, u(*s.groupingSeparator_));
            }
            if (s.decimalSeparator_) {
                symbols.setSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol, u(*s.decimalSeparator_));
                symbols.setSymbol(icu::DecimalFormatSymbols::kMonetarySeparatorSymbol, u(*s.decimalSeparator_));
            }
            d->setDecimalFormatSymbols(symbols);
        }
        if (s.formatWidth_) d->setFormatWidth(*s.formatWidth_);
        if (s.paddingCharacter_ && !s.paddingCharacter_->empty()) d->setPadCharacter(u(*s.paddingCharacter_));
        if (s.paddingPosition_) d->setPadPosition(icuPad(*s.paddingPosition_));
        if (s.positivePrefix_) d->setPositivePrefix(u(*s.positivePrefix_));
        if (s.positiveSuffix_) d->setPositiveSuffix(u(*s.positiveSuffix_));
        return f;
    }
};

namespace {

// A formatter's settings as one text, the key of the per-thread formatter cache.
std::string settingsKey(const NSNumberFormatter& s, const std::string& locale, const auto& fields) {
    std::string key = locale;
    key += '|';
    key += std::to_string(static_cast<int>(s.numberStyle()));
    key += '|';
    key += std::to_string(static_cast<int>(s.roundingMode()));
    for (const auto* text : fields.texts) {
        key.push_back('|');
        if (text) {
            key.push_back('1');
            key.append(*text);
        } else {
            key.push_back('0');
        }
        key.push_back('\x1f');
    }
    for (const auto number : fields.numbers) {
        key.push_back('|');
        if (number) key.append(std::to_string(*number));
        else key.push_back('-');
    }
    return key;
}

}  // namespace

// Building an ICU formatter costs tens of microseconds; each thread keeps the ones it built
// for the settings it used, so that formatting with the same settings costs a format.
icu::NumberFormat* NumberFormatterBuilder::cached(const NSNumberFormatter& s) {
    struct Fields {
        const std::string* texts[6];
        std::optional<int> numbers[9];
    } fields{{s.groupingSeparator_ ? &*s.groupingSeparator_ : nullptr, s.decimalSeparator_ ? &*s.decimalSeparator_ : nullptr,
              s.paddingCharacter_ ? &*s.paddingCharacter_ : nullptr, s.positivePrefix_ ? &*s.positivePrefix_ : nullptr,
              s.positiveSuffix_ ? &*s.positiveSuffix_ : nullptr, s.positiveFormat_ ? &*s.positiveFormat_ : nullptr},
             {s.minimumIntegerDigits_, s.maximumIntegerDigits_, s.minimumFractionDigits_, s.maximumFractionDigits_,
              s.usesGrouping_ ? std::optional<int>(*s.usesGrouping_) : std::nullopt, s.groupingSize_, s.formatWidth_,
              s.paddingPosition_ ? std::optional<int>(static_cast<int>(*s.paddingPosition_)) : std::nullopt, std::nullopt}};
    const std::string key = settingsKey(s, s.localeIdentifier(), fields);
    thread_local std::unordered_map<std::string, std::unique_ptr<icu::NumberFormat>> built;
    if (auto it = built.find(key); it != built.end()) return it->second.get();
    if (built.size() >= 64) built.clear();
    return built.emplace(key, build(s)).first->second.get();
}

std::optional<std::string> NSNumberFormatter::stringFromNumber(const NSNumber& number) const {
    auto* f = NumberFormatterBuilder::cached(*this);
    if (!f) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    icu::Formattable value;
    const std::string exact = number.exactText();
    if (exact.find_first_not_of("-0123456789.e+") != std::string::npos) {
        value.setDouble(number.doubleValue());  // NaN and infinities
    } else {
        value = icu::Formattable(icu::StringPiece(exact.data(), static_cast<int32_t>(exact.size())), status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            value.setDouble(number.doubleValue());
        }
    }
    icu::UnicodeString out;
    f->format(value, out, status);
    if (U_FAILURE(status)) return std::nullopt;
    std::string text;
    out.toUTF8String(text);
    return text;
}

std::optional<NSNumber> NSNumberFormatter::numberFromString(std::string_view text) const {
    auto* f = NumberFormatterBuilder::cached(*this);
    if (!f || text.empty()) return std::nullopt;
    const icu::UnicodeString input = u(text);
    icu::Formattable value;
    icu::ParsePosition position(0);
    f->parse(input, value, position);
    if (position.getIndex() != input.length() || position.getErrorIndex() >= 0) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    switch (value.getType()) {
    case icu::Formattable::kLong: return NSNumber(static_cast<std::int64_t>(value.getLong()));
    case icu::Formattable::kInt64: return NSNumber(static_cast<std::int64_t>(value.getInt64()));
    default: {
        const double d = value.getDouble(status);
        if (U_FAILURE(status)) return std::nullopt;
        return NSNumber(d);
    }
    }
}

}  // namespace platform
