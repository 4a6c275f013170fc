// NSDecimalNumber: an exact base-10 number with up to 38 significant digits and a decimal
// exponent from -128 to 127, and NSDecimalNumberHandler, the rounding behaviour of its
// arithmetic. Amounts held as text stay exact: 0.1 + 0.2 is 0.3.
//
//   NSDecimalNumber a("0.1"), b("0.2");
//   a.adding(b).stringValue();                                  // "0.3"
//   NSDecimalNumber("2").dividing(NSDecimalNumber("3")).stringValue();
//                                    // "0.66666666666666666666666666666666666667"
//
// Every result is rounded to 38 significant digits with the behaviour's rounding mode, then
// to its scale (fraction digits kept) unless the scale is NSDecimalNoScale. Errors
// (exactness lost, overflow, underflow, division by zero) throw an NSException when the
// behaviour raises on them; otherwise overflow and division by zero give not-a-number and
// underflow gives zero. Not-a-number in, not-a-number out. Value types; not synchronised.
#pragma once

#include <QVPlatform/base/NSNumber.h>

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum class NSRoundingMode { plain, down, up, bankers };  // half away from 0, toward -inf, toward +inf, half even

inline constexpr std::int16_t NSDecimalNoScale = 32767;
inline constexpr int NSDecimalMaxDigits = 38;

class NSDecimalNumberHandler {
public:
    NSDecimalNumberHandler(NSRoundingMode roundingMode, std::int16_t scale, bool raiseOnExactness, bool raiseOnOverflow,
                           bool raiseOnUnderflow, bool raiseOnDivideByZero)
        : roundingMode_(roundingMode), scale_(scale), raiseOnExactness_(raiseOnExactness),
          raiseOnOverflow_(raiseOnOverflow), raiseOnUnderflow_(raiseOnUnderflow),
          raiseOnDivideByZero_(raiseOnDivideByZero) {}

    // Plain rounding, no scale, raising on overflow, underflow and division by zero.
    static const NSDecimalNumberHandler& defaultDecimalNumberHandler();

    NSRoundingMode roundingMode() const { return roundingMode_; }
    std::int16_t scale() const { return scale_; }
    bool raiseOnExactness() const { return raiseOnExactness_; }
    bool raiseOnOverflow() const { return raiseOnOverflow_; }
    bool raiseOnUnderflow() const { return raiseOnUnderflow_; }
    bool raiseOnDivideByZero() const { return raiseOnDivideByZero_; }

private:
    NSRoundingMode roundingMode_;
    std::int16_t scale_;
    bool raiseOnExactness_, raiseOnOverflow_, raiseOnUnderflow_, raiseOnDivideByZero_;
};

class NSDecimalNumber {
public:
    NSDecimalNumber() = default;  // zero
    // Reads optional blanks, an optional sign, digits with an optional "." fraction and an
    // optional exponent ("1.5e3"); the rest of the text is ignored. A text that does not
    // start with a number gives not-a-number. Digits past the 38th are rounded off.
    explicit NSDecimalNumber(std::string_view text);
    explicit NSDecimalNumber(std::int64_t value);
    // The shortest decimal that reads back as the same double; NaN and infinities give NaN.
    static NSDecimalNumber fromDouble(double value);
    static NSDecimalNumber notANumber();
    static NSDecimalNumber zero() { return {}; }
    static NSDecimalNumber one() { return NSDecimalNumber(std::int64_t{1}); }

    bool isNaN() const { return nan_; }
    bool isZero() const { return !nan_ && digits_.empty(); }
    bool isNegative() const { return negative_; }

    // Plain text: no exponent, no trailing fraction zeros, no grouping ("1.5", "-200", "NaN").
    std::string stringValue() const;
    double doubleValue() const;          // the nearest double
    std::int64_t int64Value() const;     // truncated toward zero, saturating; NaN gives 0
    int intValue() const { return static_cast<int>(int64Value()); }
    NSNumber numberValue() const { return NSNumber::decimal(stringValue()); }

    NSDecimalNumber adding(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior = NSDecimalNumberHandler::defaultDecimalNumberHandler()) const;
    NSDecimalNumber subtracting(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior = NSDecimalNumberHandler::defaultDecimalNumberHandler()) const;
    NSDecimalNumber multiplying(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior = NSDecimalNumberHandler::defaultDecimalNumberHandler()) const;
    NSDecimalNumber dividing(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior = NSDecimalNumberHandler::defaultDecimalNumberHandler()) const;
    NSDecimalNumber multiplyingByPowerOf10(std::int16_t power, const NSDecimalNumberHandler& behavior = NSDecimalNumberHandler::defaultDecimalNumberHandler()) const;
    // The value rounded to the behaviour's scale.
    NSDecimalNumber rounding(const NSDecimalNumberHandler& behavior) const;

    // True when other ≠ 0 and this value is an exact whole multiple of it (remainder zero).
    bool isWholeMultipleOf(const NSDecimalNumber& other) const;

    // Numeric order; not-a-number sorts below every number and equals itself.
    std::strong_ordering compare(const NSDecimalNumber& other) const;
    friend bool operator==(const NSDecimalNumber& a, const NSDecimalNumber& b) { return a.compare(b) == 0; }
    friend std::strong_ordering operator<=>(const NSDecimalNumber& a, const NSDecimalNumber& b) { return a.compare(b); }

private:
    friend struct DecimalArithmetic;
    bool nan_ = false;
    bool negative_ = false;
    std::string digits_;  // significant digits, most significant first, no leading or trailing zeros; empty = 0
    int exponent_ = 0;    // value = digits × 10^exponent
};

}  // namespace platform
