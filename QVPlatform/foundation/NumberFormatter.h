// NSNumberFormatter: numbers to localized text and back, on ICU's decimal formatter.
//
//   NSNumberFormatter f;                       // no style, the current locale (Host::localeIdentifier())
//   f.setNumberStyle(NSNumberFormatterStyle::decimal);
//   f.stringFromNumber(1234567.891);           // "1,234,567.891" in en_US
//   NSNumberFormatter().numberFromString("12.5")->doubleValue();   // 12.5
//
// Settings start from the style's defaults (setting the style resets them, as the platform
// does); the ones set explicitly then apply on top, in this order: positive format,
// rounding, digits, grouping, padding, prefixes. A style without a decimal layout
// (spelled out) ignores the layout settings. "No style" formats with the pattern "#": no
// grouping and no fraction digits. Where ICU has no number data for the locale, a fixed
// English locale stands in: "," grouping and "." decimal point.
// Reading requires the whole text to be a number. Thread rule: a value, not synchronised;
// the ICU formatters behind it are kept per thread (one per distinct settings), so
// formatters may be used on separate threads freely.
#pragma once

#include <QVPlatform/base/NSNumber.h>

#include <optional>
#include <string>
#include <string_view>

namespace platform {

enum class NSNumberFormatterStyle { none, decimal, currency, percent, scientific, spellOut, ordinal, currencyISOCode,
                                    currencyPlural, currencyAccounting };
enum class NSNumberFormatterRoundingMode { ceiling, floor, down, up, halfEven, halfDown, halfUp };
enum class NSNumberFormatterPadPosition { beforePrefix, afterPrefix, beforeSuffix, afterSuffix };

class NSNumberFormatter {
public:
    NSNumberFormatter() = default;

    void setNumberStyle(NSNumberFormatterStyle style);
    NSNumberFormatterStyle numberStyle() const { return style_; }
    // ICU locale identifier ("zh_CN"); empty means the host's current locale.
    void setLocaleIdentifier(std::string identifier) { locale_ = std::move(identifier); }
    std::string localeIdentifier() const;

    void setRoundingMode(NSNumberFormatterRoundingMode mode) { roundingMode_ = mode; }
    NSNumberFormatterRoundingMode roundingMode() const { return roundingMode_; }
    void setMinimumIntegerDigits(int n) { minimumIntegerDigits_ = n; }
    void setMaximumIntegerDigits(int n) { maximumIntegerDigits_ = n; }
    void setMinimumFractionDigits(int n) { minimumFractionDigits_ = n; }
    void setMaximumFractionDigits(int n) { maximumFractionDigits_ = n; }
    void setUsesGroupingSeparator(bool on) { usesGrouping_ = on; }
    void setGroupingSeparator(std::string separator) { groupingSeparator_ = std::move(separator); }
    void setGroupingSize(int size) { groupingSize_ = size; }
    void setDecimalSeparator(std::string separator) { decimalSeparator_ = std::move(separator); }
    void setFormatWidth(int width) { formatWidth_ = width; }
    void setPaddingCharacter(std::string character) { paddingCharacter_ = std::move(character); }
    void setPaddingPosition(NSNumberFormatterPadPosition position) { paddingPosition_ = position; }
    void setPositivePrefix(std::string prefix) { positivePrefix_ = std::move(prefix); }
    void setPositiveSuffix(std::string suffix) { positiveSuffix_ = std::move(suffix); }
    // An ICU/platform pattern for positive numbers ("#,##0.00").
    void setPositiveFormat(std::string pattern) { positiveFormat_ = std::move(pattern); }

    // The localized text; absent when the formatter cannot be built (a malformed pattern).
    // Decimals and integers are formatted from their exact digits.
    std::optional<std::string> stringFromNumber(const NSNumber& number) const;
    // The number the whole text spells in this formatter's style and locale: an integer
    // when the value is whole and fits, else a double. Absent when it does not read.
    std::optional<NSNumber> numberFromString(std::string_view text) const;

private:
    friend struct NumberFormatterBuilder;
    NSNumberFormatterStyle style_ = NSNumberFormatterStyle::none;
    std::string locale_;
    NSNumberFormatterRoundingMode roundingMode_ = NSNumberFormatterRoundingMode::halfEven;
    std::optional<int> minimumIntegerDigits_, maximumIntegerDigits_, minimumFractionDigits_, maximumFractionDigits_;
    std::optional<bool> usesGrouping_;
    std::optional<std::string> groupingSeparator_, decimalSeparator_;
    std::optional<int> groupingSize_;
    std::optional<int> formatWidth_;
    std::optional<std::string> paddingCharacter_;
    std::optional<NSNumberFormatterPadPosition> paddingPosition_;
    std::optional<std::string> positivePrefix_, positiveSuffix_, positiveFormat_;
};

using NumberFormatter = NSNumberFormatter;

}  // namespace platform
