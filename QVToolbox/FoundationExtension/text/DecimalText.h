// Decimal text: exact arithmetic on amounts held as text, and the decimal-number handler's
// and number formatter's helpers.
//
//   adding("0.1", "0.2");                                        // "0.3"
//   dividing("10", "0");                                         // "10" (a zero divisor counts as 1)
//   isDivisible(platform::Any(10), platform::Any(4));            // false
//
// Arithmetic never passes through binary floating point. A text that is not a number counts
// as 0 (as 1 for a divisor); a result beyond the decimal range is "NaN" (never an exception).
// Values "of any kind" are read through their text form: texts as they are, integers in
// decimal, doubles in their shortest form, anything else as not-a-number.
// Pure functions; thread-safe.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/foundation/NumberFormatter.h>

#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

enum class DecimalNumberHandlerType { add, subtracting, multiplying, dividing };
// "add", "subtracting", "multiplying", "dividing".
std::string rawValue(DecimalNumberHandlerType type);
std::optional<DecimalNumberHandlerType> decimalNumberHandlerTypeFromRawValue(std::string_view raw);

std::string adding(std::string_view text, std::optional<std::string_view> other);
std::string subtracting(std::string_view text, std::optional<std::string_view> other);
std::string multiplying(std::string_view text, std::optional<std::string_view> other);
std::string dividing(std::string_view text, std::optional<std::string_view> other);

// The text form a value of any kind is read through.
std::string decimalTextOf(const platform::Any& value);

// `type` applied to the two values with the given behaviour. When a raise flag is true the
// platform's NSException for that error propagates.
platform::NSDecimalNumber decimalNumberHandlerValue(DecimalNumberHandlerType type, const platform::Any& value1,
                                                    const platform::Any& value2, platform::NSRoundingMode roundingMode,
                                                    short scale, bool raiseOnExactness, bool raiseOnOverflow,
                                                    bool raiseOnUnderflow, bool raiseOnDivideByZero);
// Rounding down at scale 30, raising nothing.
platform::NSDecimalNumber calculation(DecimalNumberHandlerType type, const platform::Any& value1, const platform::Any& value2);
// value × 1, plain rounding at `scale`.
platform::NSDecimalNumber rounding(const platform::Any& value, short scale);
// value1 ÷ value2 rounded down at scale 0, as an integer (0 when it is not a number).
long getFloorIntValue(const platform::Any& value1, const platform::Any& value2);
// True exactly when value1 is a whole multiple of value2 (the remainder is zero); a zero or
// unreadable divisor gives false.
bool isDivisible(const platform::Any& value1, const platform::Any& value2);

// Digit grouping in the current locale, rounding toward negative infinity: 1234567 gives
// "1,234,567"; a text with "." keeps exactly two fraction digits (1234.567 gives "1,234.56").
std::string toThousands(std::string_view text);
// The text as a decimal (not-a-number is 0) with exactly `numberDecimal` fraction digits.
std::string saveNumberDecimal(std::string_view text, int numberDecimal, platform::NSNumberFormatterRoundingMode mode);

// Number formatter helpers; each builds its own formatter. Absent when the value does not
// read (with a default formatter) or the formatter cannot format it.
std::optional<std::string> numberFormatting(double value, platform::NSNumberFormatterStyle number);
std::optional<std::string> stringFormattingNumber(std::string_view value, platform::NSNumberFormatterStyle number);
std::optional<std::string> customFormatter(std::string_view value, const platform::NSNumberFormatter& numberFormatter);
std::optional<std::string> setGroupingSeparatorAndSize(std::string_view value, std::string_view separator, int groupingSize,
                                                       platform::NSNumberFormatterStyle number);
std::optional<std::string> setFormatWidthPaddingCharacterAndPosition(std::string_view value, int formatWidth,
                                                                     std::string_view paddingCharacter,
                                                                     platform::NSNumberFormatterPadPosition paddingPosition,
                                                                     platform::NSNumberFormatterStyle number);
std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, int maximumIntegerDigits,
                                                             int minimumIntegerDigits, platform::NSNumberFormatterStyle number);
std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, std::string_view positivePrefix,
                                                             std::string_view positiveSuffix, platform::NSNumberFormatterStyle number);
std::optional<std::string> setmMximumFractionDigitsAndMinimum(std::string_view value, int maximumFractionDigits,
                                                              int minimumFractionDigits);
std::optional<std::string> setPositiveFormat(std::string_view value, std::string_view positiveFormat,
                                             platform::NSNumberFormatterStyle number);
// The number's text with no style, the rounding mode and the fraction digits given.
std::optional<std::string> numberFormatter(const platform::NSNumber& number, platform::NSNumberFormatterRoundingMode mode,
                                           int minDigits, int maxDigits);
// The same with 0 to 2 fraction digits, rounding half to even.
std::optional<std::string> numberFormatter(const platform::NSNumber& number);

}  // namespace QVToolbox
