// Number text: numeric text to numbers and back, and number-base conversion.
//
//   toInt("12.7");              // 12 (read by a default number formatter, fraction dropped)
//   binaryTodecimal("1010");    // "10"
//   toTenThousandString(25000, 1);  // "2.5万"
//
// "A default number formatter" is platform::NSNumberFormatter with no style in the current
// locale. The base converters read each character on its own as a digit (non-digits are
// skipped, the digit is not checked against the base) and accumulate in a signed 64-bit
// integer that saturates at its limits instead of overflowing. Pure functions; thread-safe.
#pragma once

#include <QVPlatform/base/NSNumber.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// A half-open integer range lower..<upper.
struct IntRange {
    long lowerBound = 0;
    long upperBound = 0;
    friend bool operator==(const IntRange&, const IntRange&) = default;
};

// Text to number (absent when a default number formatter does not read the whole text).
std::optional<long> toInt(std::string_view text);
std::optional<double> toDouble(std::string_view text);
std::optional<float> toFloat(std::string_view text);
// "true", "t", "yes", "y", "1" / "false", "f", "no", "n", "0", any case; otherwise absent.
std::optional<bool> toBool(std::string_view text);
// The text as a hexadecimal integer (optional sign, hex digits, nothing else); 0 when it
// does not read or does not fit.
long hexInt(std::string_view text);
// The text read as an exact decimal, then converted to the nearest double.
std::optional<double> accuraterDouble(std::string_view text);
// 1.500 gives 1.5, 2.000 gives 2, 100 stays 100.
std::string cutLastZeroAfterDot(std::string_view text);

// Base conversion.
std::string binaryTodecimal(std::string_view text);
std::string octalTodecimal(std::string_view text);
// Upper-cased, each byte b counts b − 48 below 65 and b − 55 otherwise (no validation).
std::string hexadecimalToDecimal(std::string_view text);
// The integer (optional sign and ASCII digits, whole text) in binary; empty when it does not
// read or is below 1.
std::string decimalToBinary(std::string_view text);
// The integer formatted with "%lo" (negative values as their 64-bit pattern); empty when it
// does not read.
std::string decimalToOctal(std::string_view text);
// toInt() formatted with "%lX"; empty when absent.
std::string decimalToHexadecimal(std::string_view text);
std::string binaryToOctal(std::string_view text);
std::string binaryToHexadecimal(std::string_view text);
std::string octalTobinary(std::string_view text);
std::string octalToHexadecimal(std::string_view text);
std::string hexadecimalToBinary(std::string_view text);
std::string hexadecimalToOctal(std::string_view text);

// Ten-thousand abbreviation: below 0 gives "0"; below 10000 the number itself; otherwise
// n / 10000 with `scale` fraction digits and "万", a trailing ".0…0" dropped (scale 1: 25000
// gives 2.5万, 20000 gives 2万; scale 2: 25000 gives 2.5万; scale 0: 100000 gives 10万).
std::string toTenThousandString(long n, int scale);
// lower + a uniform random integer below upper − lower; `lower` itself when the range is empty.
long randomWithin(IntRange range);

// Floating-point helpers.
long saturatingInt(double x);     // toward zero; NaN gives 0; beyond the limits, the limit
long lroundToInt(double x);       // nearest, halves away from zero, saturating
double roundTo(double x, int places);
float roundTo(float x, int places);
// The shortest text that reads back as the same value ("0.1", "1", "1e+20").
std::string shortestText(double x);
std::string shortestText(float x);

}  // namespace QVToolbox
