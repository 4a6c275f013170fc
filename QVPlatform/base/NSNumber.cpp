#include <QVPlatform/base/NSNumber.h>

#include <QVPlatform/base/Saturating.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace platform {

namespace {

double decimalToDouble(const std::string& text) {
    if (text == "NaN") return std::nan("");
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

}  // namespace

NSNumber NSNumber::decimal(std::string plainText) {
    NSNumber n;
    n.value_ = Decimal{std::move(plainText)};
    return n;
}

NSNumber::Kind NSNumber::kind() const { return static_cast<Kind>(value_.index()); }

bool NSNumber::boolValue() const {
    switch (kind()) {
    case Kind::boolean: return std::get<bool>(value_);
    case Kind::integer: return std::get<std::int64_t>(value_) != 0;
    case Kind::unsignedInteger: return std::get<std::uint64_t>(value_) != 0;
    case Kind::real: return std::get<double>(value_) != 0;
    case Kind::decimal: return doubleValue() != 0;
    }
    return false;
}

std::int64_t NSNumber::int64Value() const {
    switch (kind()) {
    case Kind::boolean: return std::get<bool>(value_) ? 1 : 0;
    case Kind::integer: return std::get<std::int64_t>(value_);
    case Kind::unsignedInteger: return static_cast<std::int64_t>(std::get<std::uint64_t>(value_));
    case Kind::real: return saturatingCast<std::int64_t>(std::get<double>(value_));
    case Kind::decimal: {
        // The integer part of the text, exactly, when it fits.
        const std::string& t = std::get<Decimal>(value_).text;
        std::int64_t v = 0;
        const auto dot = t.find('.');
        const auto [end, error] = std::from_chars(t.data(), t.data() + (dot == std::string::npos ? t.size() : dot), v);
        (void)end;
        if (error == std::errc()) return v;
        return saturatingCast<std::int64_t>(decimalToDouble(t));
    }
    }
    return 0;
}

int NSNumber::intValue() const {
    const std::int64_t v = int64Value();
    // The platform's intValue is 32 bits: it keeps the low bits of a larger value.
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

std::uint64_t NSNumber::uint64Value() const {
    if (kind() == Kind::unsignedInteger) return std::get<std::uint64_t>(value_);
    if (kind() == Kind::real) {
        const double d = std::get<double>(value_);
        if (d >= 18446744073709551615.0) return std::numeric_limits<std::uint64_t>::max();
        if (d >= 0) return static_cast<std::uint64_t>(d);
    }
    return static_cast<std::uint64_t>(int64Value());
}

double NSNumber::doubleValue() const {
    switch (kind()) {
    case Kind::boolean: return std::get<bool>(value_) ? 1.0 : 0.0;
    case Kind::integer: return static_cast<double>(std::get<std::int64_t>(value_));
    case Kind::unsignedInteger: return static_cast<double>(std::get<std::uint64_t>(value_));
    case Kind::real: return std::get<double>(value_);
    case Kind::decimal: return decimalToDouble(std::get<Decimal>(value_).text);
    }
    return 0;
}

std::string NSNumber::stringValue() const {
    switch (kind()) {
    case Kind::boolean: return std::get<bool>(value_) ? "1" : "0";
    case Kind::integer: return std::to_string(std::get<std::int64_t>(value_));
    case Kind::unsignedInteger: return std::to_string(std::get<std::uint64_t>(value_));
    case Kind::real: {
        const double d = std::get<double>(value_);
        if (std::isnan(d)) return "nan";
        if (std::isinf(d)) return d > 0 ? "inf" : "-inf";
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.16g", d);
        return buffer;
    }
    case Kind::decimal: return std::get<Decimal>(value_).text;
    }
    return {};
}

std::string NSNumber::exactText() const {
    if (kind() == Kind::real) {
        const double d = std::get<double>(value_);
        if (!std::isfinite(d)) return stringValue();
        char buffer[64];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, d, std::chars_format::general);
        return std::string(buffer, result.ptr);
    }
    return stringValue();
}

bool operator==(const NSNumber& a, const NSNumber& b) {
    if (a.kind() == b.kind()) return a.value_ == b.value_;
    return a.doubleValue() == b.doubleValue();
}

}  // namespace platform
