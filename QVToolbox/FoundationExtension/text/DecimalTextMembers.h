// Decimal arithmetic on texts and number formatting as members of the wrappers (DecimalText.h
// holds their contracts):
//
//   hx(std::string("0.1")).adding("0.2");                          // "0.3"
//   HxPOP<platform::NSDecimalNumberHandler>::isDivisible(10, 5);   // true
//   HxPOP<platform::NSNumberFormatter>::numberFormatting(1234.5, Style::decimal);
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/DecimalText.h>

#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/base/NSNumber.h>
#include <QVPlatform/foundation/NumberFormatter.h>

#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// The decimal arithmetic and number formatting of DecimalText.h as members.
template <class W, class Base>
struct DecimalTextMembers {};

template <class W>
struct DecimalTextMembers<W, StringFamily> {
    using DecimalNumberHandlerType = QVToolbox::DecimalNumberHandlerType;

    std::string toThousands() const { return QVToolbox::toThousands(text()); }
    std::string saveNumberDecimal(int numberDecimal, platform::NSNumberFormatterRoundingMode mode) const {
        return QVToolbox::saveNumberDecimal(text(), numberDecimal, mode);
    }
    std::string adding(std::optional<std::string_view> other) const { return QVToolbox::adding(text(), other); }
    std::string subtracting(std::optional<std::string_view> other) const { return QVToolbox::subtracting(text(), other); }
    std::string multiplying(std::optional<std::string_view> other) const { return QVToolbox::multiplying(text(), other); }
    std::string dividing(std::optional<std::string_view> other) const { return QVToolbox::dividing(text(), other); }

private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

// Static members of the decimal-number handler's wrapper.
template <class W>
struct DecimalTextMembers<W, platform::NSDecimalNumberHandler> {
    using DecimalNumberHandlerType = QVToolbox::DecimalNumberHandlerType;
    static platform::NSDecimalNumber decimalNumberHandlerValue(DecimalNumberHandlerType type, const platform::Any& value1,
                                                               const platform::Any& value2,
                                                               platform::NSRoundingMode roundingMode, short scale,
                                                               bool raiseOnExactness, bool raiseOnOverflow,
                                                               bool raiseOnUnderflow, bool raiseOnDivideByZero) {
        return QVToolbox::decimalNumberHandlerValue(type, value1, value2, roundingMode, scale, raiseOnExactness,
                                                    raiseOnOverflow, raiseOnUnderflow, raiseOnDivideByZero);
    }
    static platform::NSDecimalNumber calculation(DecimalNumberHandlerType type, const platform::Any& value1,
                                                 const platform::Any& value2) {
        return QVToolbox::calculation(type, value1, value2);
    }
    static platform::NSDecimalNumber rounding(const platform::Any& value, short scale) { return QVToolbox::rounding(value, scale); }
    static long getFloorIntValue(const platform::Any& value1, const platform::Any& value2) {
        return QVToolbox::getFloorIntValue(value1, value2);
    }
    static bool isDivisible(const platform::Any& value1, const platform::Any& value2) {
        return QVToolbox::isDivisible(value1, value2);
    }
};

// Static members of the number formatter's wrapper.
template <class W>
struct DecimalTextMembers<W, platform::NSNumberFormatter> {
    using Style = platform::NSNumberFormatterStyle;
    static std::optional<std::string> numberFormatting(float value, Style number) {
        return QVToolbox::numberFormatting(static_cast<double>(value), number);
    }
    static std::optional<std::string> numberFormatting(double value, Style number) {
        return QVToolbox::numberFormatting(value, number);
    }
    static std::optional<std::string> stringFormattingNumber(std::string_view value, Style number) {
        return QVToolbox::stringFormattingNumber(value, number);
    }
    static std::optional<std::string> customFormatter(std::string_view value, const platform::NSNumberFormatter& numberFormatter) {
        return QVToolbox::customFormatter(value, numberFormatter);
    }
    static std::optional<std::string> setGroupingSeparatorAndSize(std::string_view value, std::string_view separator,
                                                                  int groupingSize, Style number) {
        return QVToolbox::setGroupingSeparatorAndSize(value, separator, groupingSize, number);
    }
    static std::optional<std::string> setFormatWidthPaddingCharacterAndPosition(
        std::string_view value, int formatWidth, std::string_view paddingCharacter,
        platform::NSNumberFormatterPadPosition paddingPosition, Style number) {
        return QVToolbox::setFormatWidthPaddingCharacterAndPosition(value, formatWidth, paddingCharacter, paddingPosition, number);
    }
    static std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, int maximumIntegerDigits,
                                                                        int minimumIntegerDigits, Style number) {
        return QVToolbox::setMaximumIntegerDigitsAndMinimum(value, maximumIntegerDigits, minimumIntegerDigits, number);
    }
    static std::optional<std::string> setMaximumIntegerDigitsAndMinimum(std::string_view value, std::string_view positivePrefix,
                                                                        std::string_view positiveSuffix, Style number) {
        return QVToolbox::setMaximumIntegerDigitsAndMinimum(value, positivePrefix, positiveSuffix, number);
    }
    static std::optional<std::string> setmMximumFractionDigitsAndMinimum(std::string_view value, int maximumFractionDigits,
                                                                         int minimumFractionDigits) {
        return QVToolbox::setmMximumFractionDigitsAndMinimum(value, maximumFractionDigits, minimumFractionDigits);
    }
    static std::optional<std::string> setPositiveFormat(std::string_view value, std::string_view positiveFormat, Style number) {
        return QVToolbox::setPositiveFormat(value, positiveFormat, number);
    }
};

template <class W>
struct DecimalTextMembers<W, platform::NSNumber> {
    std::optional<std::string> numberFormatter(platform::NSNumberFormatterRoundingMode with, int minDigits, int maxDigits) const {
        return QVToolbox::numberFormatter(static_cast<const W&>(*this).base, with, minDigits, maxDigits);
    }
    std::optional<std::string> numberFormatter() const { return QVToolbox::numberFormatter(static_cast<const W&>(*this).base); }
};

}  // namespace QVToolbox
