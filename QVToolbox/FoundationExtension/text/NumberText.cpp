#include <QVToolbox/FoundationExtension/text/NumberText.h>

#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/base/Saturating.h>
#include <QVPlatform/foundation/NumberFormatter.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/UnicodeProperties.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace QVToolbox {

namespace {

// value·base + digit, held at the limits instead of overflowing.
long accumulate(long value, long base, long digit) {
    return platform::saturatingAdd(platform::saturatingMultiply(value, base), digit);
}

// The digit-value rule: each character that is a single ASCII digit counts; others are skipped.
long digitsValue(std::string_view text, long base) {
    long value = 0;
    const auto bounds = platform::characterBoundaries(text);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        if (bounds[i + 1] - bounds[i] != 1) continue;
        const char c = text[bounds[i]];
        if (c >= '0' && c <= '9') value = accumulate(value, base, c - '0');
    }
    return value;
}

long hexBytesValue(std::string_view text) {
    long value = 0;
    for (unsigned char b : platform::uppercased(text)) value = accumulate(value, 16, b < 65 ? long(b) - 48 : long(b) - 55);
    return value;
}

// Optional sign and ASCII digits, the whole text, fitting 64 bits.
std::optional<long> strictInteger(std::string_view text, int base = 10) {
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    if (text.empty() || text[0] == '+') return std::nullopt;
    long v = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return v;
}

std::string formatted(const char* format, long v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, static_cast<unsigned long>(v));
    return buffer;
}

std::string binaryOf(long v) {
    if (v < 1) return {};
    std::string out;
    for (auto u = static_cast<unsigned long>(v); u; u >>= 1) out.insert(out.begin(), static_cast<char>('0' + (u & 1)));
    return out;
}

}  // namespace

std::optional<long> toInt(std::string_view text) {
    const auto n = platform::NSNumberFormatter().numberFromString(text);
    if (!n) return std::nullopt;
    return static_cast<long>(n->int64Value());
}

std::optional<double> toDouble(std::string_view text) {
    const auto n = platform::NSNumberFormatter().numberFromString(text);
    if (!n) return std::nullopt;
    return n->doubleValue();
}

std::optional<float> toFloat(std::string_view text) {
    const auto d = toDouble(text);
    if (!d) return std::nullopt;
    return static_cast<float>(*d);
}

std::optional<bool> toBool(std::string_view text) {
    const std::string t = platform::lowercased(text);
    if (t == "true" || t == "t" || t == "yes" || t == "y" || t == "1") return true;
    if (t == "false" || t == "f" || t == "no" || t == "n" || t == "0") return false;
    return std::nullopt;
}

long hexInt(std::string_view text) {
    const auto v = strictInteger(text, 16);
    return v ? *v : 0;
}

std::optional<double> accuraterDouble(std::string_view text) {
    const platform::NSDecimalNumber d(text);
    if (d.isNaN()) return std::nullopt;
    return d.doubleValue();
}

std::string cutLastZeroAfterDot(std::string_view text) {
    std::string out(text);
    if (out.find('.') == std::string::npos) return out;
    while (!out.empty() && out.back() == '0') out.pop_back();
    if (!out.empty() && out.back() == '.') out.pop_back();
    return out;
}

std::string binaryTodecimal(std::string_view text) { return std::to_string(digitsValue(text, 2)); }
std::string octalTodecimal(std::string_view text) { return std::to_string(digitsValue(text, 8)); }
std::string hexadecimalToDecimal(std::string_view text) { return std::to_string(hexBytesValue(text)); }

std::string decimalToBinary(std::string_view text) {
    const auto v = strictInteger(text);
    return v ? binaryOf(*v) : std::string();
}

std::string decimalToOctal(std::string_view text) {
    const auto v = strictInteger(text);
    return v ? formatted("%lo", *v) : std::string();
}

std::string decimalToHexadecimal(std::string_view text) {
    const auto v = toInt(text);
    return v ? formatted("%lX", *v) : std::string();
}

std::string binaryToOctal(std::string_view text) { return formatted("%lo", digitsValue(text, 2)); }
std::string binaryToHexadecimal(std::string_view text) { return formatted("%lX", digitsValue(text, 2)); }
std::string octalTobinary(std::string_view text) { return binaryOf(digitsValue(text, 8)); }
std::string octalToHexadecimal(std::string_view text) { return formatted("%lX", digitsValue(text, 8)); }
std::string hexadecimalToBinary(std::string_view text) { return binaryOf(hexBytesValue(text)); }
std::string hexadecimalToOctal(std::string_view text) { return formatted("%lo", hexBytesValue(text)); }

std::string toTenThousandString(long n, int scale) {
    if (n < 0) return "0";
    if (n < 10000) return std::to_string(n);
    scale = std::clamp(scale, 0, 17);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", scale, static_cast<double>(n) / 10000.0);
    std::string s = buffer;
    // Scale 1 drops ".0" as the two last characters; for any scale the sound rule is to drop
    // the zero fraction digits and then a bare ".", never integer digits.
    if (s.back() == '0' && s.find('.') != std::string::npos) s = cutLastZeroAfterDot(s);
    return s + "万";
}

long randomWithin(IntRange range) {
    if (range.upperBound <= range.lowerBound) return range.lowerBound;
    thread_local std::mt19937_64 generator{std::random_device{}()};
    const auto width = static_cast<unsigned long>(range.upperBound) - static_cast<unsigned long>(range.lowerBound);
    std::uniform_int_distribution<unsigned long> pick(0, width - 1);
    return static_cast<long>(static_cast<unsigned long>(range.lowerBound) + pick(generator));
}

long saturatingInt(double x) { return platform::saturatingCast<long>(x); }

long lroundToInt(double x) { return saturatingInt(std::round(x)); }

double roundTo(double x, int places) {
    const double f = std::pow(10.0, places);
    return std::round(x * f) / f;
}

float roundTo(float x, int places) {
    const float f = std::pow(10.0f, static_cast<float>(places));
    return std::round(x * f) / f;
}

std::string shortestText(double x) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, r.ptr);
}

std::string shortestText(float x) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, r.ptr);
}

}  // namespace QVToolbox
