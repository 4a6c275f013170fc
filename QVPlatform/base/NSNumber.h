// NSNumber: a boxed number as the platform keeps it: a Boolean, a signed or unsigned 64-bit
// integer, a double, or an exact decimal (the text form of an NSDecimalNumber).
//
//   NSNumber(42).stringValue();     // "42"
//   NSNumber(0.1).stringValue();    // "0.1"  (doubles print with up to 16 significant digits)
//   NSNumber(true).intValue();      // 1
//
// Conversions follow the platform: doubles truncate toward zero when read as integers and
// saturate at the integer's limits (NaN gives 0); Booleans are 1 or 0. A value type.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace platform {

class NSNumber {
public:
    enum class Kind { boolean, integer, unsignedInteger, real, decimal };

    NSNumber() : value_(std::int64_t{0}) {}
    NSNumber(bool v) : value_(v) {}                                          // NOLINT
    NSNumber(int v) : value_(static_cast<std::int64_t>(v)) {}                // NOLINT
    NSNumber(long v) : value_(static_cast<std::int64_t>(v)) {}               // NOLINT
    NSNumber(long long v) : value_(static_cast<std::int64_t>(v)) {}          // NOLINT
    NSNumber(unsigned v) : value_(static_cast<std::int64_t>(v)) {}           // NOLINT
    NSNumber(unsigned long v) : value_(static_cast<std::uint64_t>(v)) {}     // NOLINT
    NSNumber(unsigned long long v) : value_(static_cast<std::uint64_t>(v)) {}  // NOLINT
    NSNumber(double v) : value_(v) {}                                        // NOLINT
    NSNumber(float v) : value_(static_cast<double>(v)) {}                    // NOLINT

    // An exact decimal given by its plain text form ("-12.5", "NaN"), as NSDecimalNumber
    // writes it.
    static NSNumber decimal(std::string plainText);

    Kind kind() const;
    bool boolValue() const;  // non-zero
    int intValue() const;
    long longValue() const { return static_cast<long>(int64Value()); }
    std::int64_t int64Value() const;
    std::uint64_t uint64Value() const;  // negative values wrap, as the platform's do
    double doubleValue() const;
    float floatValue() const { return static_cast<float>(doubleValue()); }
    // Integers in decimal, Booleans "1"/"0", doubles with "%.16g", decimals as given.
    std::string stringValue() const;
    // The text form used to format the number exactly (decimals and integers keep every digit).
    std::string exactText() const;

    friend bool operator==(const NSNumber& a, const NSNumber& b);

private:
    struct Decimal {
        std::string text;
        friend bool operator==(const Decimal&, const Decimal&) = default;
    };
    std::variant<bool, std::int64_t, std::uint64_t, double, Decimal> value_;
};

}  // namespace platform
