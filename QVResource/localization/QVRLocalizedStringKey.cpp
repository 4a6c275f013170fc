#include <QVResource/localization/QVRLocalizedStringKey.h>

#include <QVPlatform/foundation/DateFormatter.h>
#include <QVPlatform/foundation/NumberFormatter.h>
#include <QVPlatform/foundation/StringFormat.h>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace QVResource {

namespace {

using Interpolation = QVRLocalizedStringKey::StringInterpolation;

// Room reserved at most: counts only hint at the size.
constexpr int kMaximumReserve = 256;

std::size_t reserveCount(int count) { return static_cast<std::size_t>(std::clamp(count, 0, kMaximumReserve)); }

// A float as its shortest exact text, with ".0" on whole numbers ("1.0", "0.1", "inf").
std::string floatDescription(float value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

}  // namespace

Interpolation::StringInterpolation(int literalCapacity, int interpolationCount) {
    values.reserve(reserveCount(literalCapacity) + reserveCount(interpolationCount));
    args.reserve(reserveCount(interpolationCount));
}

Interpolation& Interpolation::appendLiteral(std::string_view literal) {
    values.emplace_back(literal);
    return *this;
}

Interpolation& Interpolation::appendInterpolation(const platform::Any& value, std::string_view specifier) {
    args.push_back(value);
    values.emplace_back(specifier);
    return *this;
}

Interpolation& Interpolation::appendInterpolation(std::string_view text) {
    return appendInterpolation(platform::Any(text), "%@");
}

Interpolation& Interpolation::appendInterpolation(double value) { return appendInterpolation(platform::Any(value), "%f"); }

Interpolation& Interpolation::appendInterpolation(float value) {
    return appendInterpolation(platform::Any(floatDescription(value)), "%@");
}

Interpolation& Interpolation::appendInterpolation(bool value) {
    return appendInterpolation(platform::Any(value ? "true" : "false"), "%@");
}

Interpolation& Interpolation::appendInterpolation(const platform::URL& url) {
    return appendInterpolation(platform::Any(url.absoluteString()), "%@");
}

Interpolation& Interpolation::appendInterpolationNumber(float number, int minimumFractionDigits, int maximumFractionDigits) {
    platform::NSNumberFormatter formatter;
    formatter.setMinimumFractionDigits(minimumFractionDigits);
    formatter.setMaximumFractionDigits(maximumFractionDigits);
    const auto text = formatter.stringFromNumber(platform::NSNumber(static_cast<double>(number)));
    if (!text) return *this;
    return appendInterpolation(platform::Any(*text), "%@");
}

Interpolation& Interpolation::appendInterpolationDate(platform::Date date, std::string_view dateFormat) {
    return appendInterpolation(platform::Any(platform::DateFormatter::make(dateFormat)->string(date)), "%@");
}

QVRLocalizedStringKey::QVRLocalizedStringKey(std::string_view literal) { stringInterpolation.values.emplace_back(literal); }

std::string QVRLocalizedStringKey::key() const {
    std::string joined;
    for (const auto& value : stringInterpolation.values) joined += value;
    return joined;
}

std::string QVRLocalizedStringKey::description() const {
    if (args().empty()) return key();
    return platform::stringWithFormat(key(), args());
}

std::string qvrFormat(std::string_view text, const std::vector<platform::Any>& arguments) {
    return platform::stringWithFormat(text, arguments);
}

}  // namespace QVResource
