#include <QVToolbox/FoundationExtension/text/DecimalText.h>

#include <QVToolbox/FoundationExtension/text/NumberText.h>

namespace QVToolbox {

namespace {

using platform::NSDecimalNumber;
using platform::NSDecimalNumberHandler;
using platform::NSRoundingMode;

// Plain rounding with no scale, raising nothing: overflow becomes NaN rather than an
// exception that would end the host.
const NSDecimalNumberHandler& quietPlain() {
    static const NSDecimalNumberHandler handler(NSRoundingMode::plain, platform::NSDecimalNoScale, false, false, false, false);
    return handler;
}

NSDecimalNumber operand(std::optional<std::string_view> text, bool divisor) {
    NSDecimalNumber d = text ? NSDecimalNumber(*text) : NSDecimalNumber::notANumber();
    if (d.isNaN()) return divisor ? NSDecimalNumber::one() : NSDecimalNumber();
    if (divisor && d.isZero()) return NSDecimalNumber::one();
    return d;
}

NSDecimalNumber apply(DecimalNumberHandlerType type, const NSDecimalNumber& a, const NSDecimalNumber& b,
                      const NSDecimalNumberHandler& behavior) {
    switch (type) {
    case DecimalNumberHandlerType::add: return a.adding(b, behavior);
    case DecimalNumberHandlerType::subtracting: return a.subtracting(b, behavior);
    case DecimalNumberHandlerType::multiplying: return a.multiplying(b, behavior);
    case DecimalNumberHandlerType::dividing: return a.dividing(b, behavior);
    }
    return NSDecimalNumber::notANumber();
}

NSDecimalNumber decimalOf(const platform::Any& value) { return NSDecimalNumber(decimalTextOf(value)); }

std::optional<std::string> formatRead(std::string_view value, const platform::NSNumberFormatter& f) {
    const auto n = platform::NSNumberFormatter().numberFromString(value);
    if (!n) return std::nullopt;
    return f.stringFromNumber(*n);
}

}  // namespace

std::string rawValue(DecimalNumberHandlerType type) {
    switch (type) {
    case DecimalNumberHandlerType::add: return "add";
    case DecimalNumberHandlerType::subtracting: return "subtracting";
    case DecimalNumberHandlerType::multiplying: return "multiplying";
    case DecimalNumberHandlerType::dividing: return "dividing";
    }
    return {};
}

std::optional<DecimalNumberHandlerType> decimalNumberHandlerTypeFromRawValue(std::string_view raw) {
    for (auto t : {DecimalNumberHandlerType::add, DecimalNumberHandlerType::subtracting,
                   DecimalNumberHandlerType::multiplying, DecimalNumberHandlerType::dividing}) {
        if (rawValue(t) == raw) return t;
    }
    return std::nullopt;
}

std::string adding(std::string_view text, std::optional<std::string_view> other) {
    return operand(text, false).adding(operand(other, false), quietPlain()).stringValue();
}
std::string subtracting(std::string_view text, std::optional<std::string_view> other) {
    return operand(text, false).subtracting(operand(other, false), quietPlain()).stringValue();
}
std::string multiplying(std::string_view text, std::optional<std::string_view> other) {
    return operand(text, false).multiplying(operand(other, false), quietPlain()).stringValue();
}
std::string dividing(std::string_view text, std::optional<std::string_view> other) {
    return operand(text, false).dividing(operand(other, true), quietPlain()).stringValue();
}

std::string decimalTextOf(const platform::Any& value) {
    switch (value.kind()) {
    case platform::Any::Kind::text: return value.string();
    case platform::Any::Kind::integer: return std::to_string(value.integerValue());
    case platform::Any::Kind::real: return shortestText(value.doubleValue());
    default: return "NaN";
    }
}

NSDecimalNumber decimalNumberHandlerValue(DecimalNumberHandlerType type, const platform::Any& value1,
                                          const platform::Any& value2, NSRoundingMode roundingMode, short scale,
                                          bool raiseOnExactness, bool raiseOnOverflow, bool raiseOnUnderflow,
                                          bool raiseOnDivideByZero) {
    const NSDecimalNumberHandler behavior(roundingMode, scale, raiseOnExactness, raiseOnOverflow, raiseOnUnderflow,
                                          raiseOnDivideByZero);
    return apply(type, decimalOf(value1), decimalOf(value2), behavior);
}

NSDecimalNumber calculation(DecimalNumberHandlerType type, const platform::Any& value1, const platform::Any& value2) {
    return decimalNumberHandlerValue(type, value1, value2, NSRoundingMode::down, 30, false, false, false, false);
}

NSDecimalNumber rounding(const platform::Any& value, short scale) {
    return decimalNumberHandlerValue(DecimalNumberHandlerType::multiplying, value, platform::Any(1),
                                     NSRoundingMode::plain, scale, false, false, false, false);
}

long getFloorIntValue(const platform::Any& value1, const platform::Any& value2) {
    return decimalNumberHandlerValue(DecimalNumberHandlerType::dividing, value1, value2, NSRoundingMode::down, 0, false,
                                     false, false, false)
        .int64Value();
}

bool isDivisible(const platform::Any& value1, const platform::Any& value2) {
    return decimalOf(value1).isWholeMultipleOf(decimalOf(value2));
}

std::string toThousands(std::string_view text) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(platform::NSNumberFormatterStyle::decimal);
    f.setRoundingMode(platform::NSNumberFormatterRoundingMode::floor);
    f.setMaximumFractionDigits(0);
    if (text.find('.') != std::string_view::npos) {
        f.setMaximumFractionDigits(2);
        f.setMinimumFractionDigits(2);
        f.setMinimumIntegerDigits(1);
    }
    NSDecimalNumber value(text);
    if (value.isNaN()) value = NSDecimalNumber();
    return f.stringFromNumber(value.numberValue()).value_or(std::string());
}

std::string saveNumberDecimal(std::string_view text, int numberDecimal, platform::NSNumberFormatterRoundingMode mode) {
    platform::NSNumberFormatter f;
    f.setRoundingMode(mode);
    f.setMaximumFractionDigits(numberDecimal);
    f.setMinimumFractionDigits(numberDecimal);
    f.setMinimumIntegerDigits(1);
    f.setMaximumIntegerDigits(100);
    f.setUsesGroupingSeparator(false);
    NSDecimalNumber value(text);
    if (value.isNaN()) value = NSDecimalNumber();
    return f.stringFromNumber(value.numberValue()).value_or(std::string());
}

std::optional<std::string> numberFormatting(double value, platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    return f.stringFromNumber(value);
}

std::optional<std::string> stringFormattingNumber(std::string_view value, platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    return formatRead(value, f);
}

std::optional<std::string> customFormatter(std::string_view value, const platform::NSNumberFormatter& numberFormatter) {
    return formatRead(value, numberFormatter);
}

std::optional<std::string> setGroupingSeparatorAndSize(std::string_view value, std::string_view separator, int groupingSize,
                                                       platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    f.setUsesGroupingSeparator(true);
    f.setGroupingSeparator(std::string(separator));
    f.setGroupingSize(groupingSize);
    return customFormatter(value, f);
}

std::optional<std::string> setFormatWidthPaddingCharacterAndPosition(std::string_view value, int formatWidth,
                                                                     std::string_view paddingCharacter,
                                                                     platform::NSNumberFormatterPadPosition paddingPosition,
                                                                     platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    f.setFormatWidth(formatWidth);
    f.setPaddingCharacter(std::string(paddingCharacter));
    f.setPaddingPosition(paddingPosition);
    return customFormatter(value, f);
}

std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, int maximumIntegerDigits,
                                                             int minimumIntegerDigits, platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    f.setMaximumIntegerDigits(maximumIntegerDigits);
    f.setMinimumIntegerDigits(minimumIntegerDigits);
    return customFormatter(value, f);
}

std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, std::string_view positivePrefix,
                                                             std::string_view positiveSuffix, platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    f.setPositivePrefix(std::string(positivePrefix));
    f.setPositiveSuffix(std::string(positiveSuffix));
    return customFormatter(value, f);
}

std::optional<std::string> setmMximumFractionDigitsAndMinimum(std::string_view value, int maximumFractionDigits,
                                                              int minimumFractionDigits) {
    platform::NSNumberFormatter f;
    f.setMaximumFractionDigits(maximumFractionDigits);
    f.setMinimumFractionDigits(minimumFractionDigits);
    return customFormatter(value, f);
}

std::optional<std::string> setPositiveFormat(std::string_view value, std::string_view positiveFormat,
                                             platform::NSNumberFormatterStyle number) {
    platform::NSNumberFormatter f;
    f.setNumberStyle(number);
    f.setPositiveFormat(std::string(positiveFormat));
    return customFormatter(value, f);
}

std::optional<std::string> numberFormatter(const platform::NSNumber& number, platform::NSNumberFormatterRoundingMode mode,
                                           int minDigits, int maxDigits) {
    platform::NSNumberFormatter f;
    f.setRoundingMode(mode);
    f.setMinimumFractionDigits(minDigits);
    f.setMaximumFractionDigits(maxDigits);
    return f.stringFromNumber(number);
}

std::optional<std::string> numberFormatter(const platform::NSNumber& number) {
    return numberFormatter(number, platform::NSNumberFormatterRoundingMode::halfEven, 0, 2);
}

}  // namespace QVToolbox
