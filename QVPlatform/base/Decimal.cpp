#include <QVPlatform/base/Decimal.h>

#include <QVPlatform/base/NSException.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace platform {

namespace {

// Magnitudes are texts of decimal digits, most significant first, without leading zeros;
// the empty text is zero.

void stripLeadingZeros(std::string& d) {
    const auto first = d.find_first_not_of('0');
    d.erase(0, first == std::string::npos ? d.size() : first);
}

int compareMagnitudes(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::string addMagnitudes(const std::string& a, const std::string& b) {
    std::string out;
    out.reserve(std::max(a.size(), b.size()) + 1);
    int carry = 0;
    for (std::size_t i = 0; i < a.size() || i < b.size() || carry; ++i) {
        int s = carry;
        if (i < a.size()) s += a[a.size() - 1 - i] - '0';
        if (i < b.size()) s += b[b.size() - 1 - i] - '0';
        out.push_back(static_cast<char>('0' + s % 10));
        carry = s / 10;
    }
    std::reverse(out.begin(), out.end());
    stripLeadingZeros(out);
    return out;
}

// a − b for a ≥ b.
std::string subtractMagnitudes(const std::string& a, const std::string& b) {
    std::string out(a.size(), '0');
    int borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        int s = (a[a.size() - 1 - i] - '0') - borrow - (i < b.size() ? b[b.size() - 1 - i] - '0' : 0);
        borrow = s < 0 ? 1 : 0;
        if (s < 0) s += 10;
        out[a.size() - 1 - i] = static_cast<char>('0' + s);
    }
    stripLeadingZeros(out);
    return out;
}

std::string multiplyMagnitudes(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return {};
    std::vector<int> acc(a.size() + b.size(), 0);
    for (std::size_t i = a.size(); i-- > 0;) {
        for (std::size_t j = b.size(); j-- > 0;) acc[i + j + 1] += (a[i] - '0') * (b[j] - '0');
    }
    for (std::size_t k = acc.size(); k-- > 1;) {
        acc[k - 1] += acc[k] / 10;
        acc[k] %= 10;
    }
    std::string out;
    out.reserve(acc.size());
    for (int v : acc) out.push_back(static_cast<char>('0' + v));
    stripLeadingZeros(out);
    return out;
}

// Long division: the quotient; `remainder` receives a mod b. b must not be zero.
std::string divideMagnitudes(const std::string& a, const std::string& b, std::string& remainder) {
    std::string quotient;
    quotient.reserve(a.size());
    remainder.clear();
    if (b.size() <= 19) {
        // A divisor that fits 64 bits: short division, one digit at a time.
        unsigned long long d = 0;
        for (char c : b) d = d * 10 + static_cast<unsigned>(c - '0');
        unsigned __int128 r = 0;
        for (char c : a) {
            r = r * 10 + static_cast<unsigned>(c - '0');
            quotient.push_back(static_cast<char>('0' + static_cast<int>(r / d)));
            r %= d;
        }
        stripLeadingZeros(quotient);
        for (auto v = static_cast<unsigned long long>(r); v; v /= 10) remainder.insert(remainder.begin(), static_cast<char>('0' + v % 10));
        return quotient;
    }
    for (char digit : a) {
        remainder.push_back(digit);
        stripLeadingZeros(remainder);
        int q = 0;
        while (compareMagnitudes(remainder, b) >= 0) {
            remainder = subtractMagnitudes(remainder, b);
            ++q;
        }
        quotient.push_back(static_cast<char>('0' + q));
    }
    stripLeadingZeros(quotient);
    return quotient;
}

struct Flags {
    bool inexact = false, overflow = false, underflow = false, divideByZero = false;
};

// Drops the last `count` digits of `d` (count may exceed its length), rounding by `mode`.
// `sticky` says that non-zero digits were already lost beyond the last one.
std::string dropDigits(const std::string& d, std::size_t count, NSRoundingMode mode, bool negative, bool sticky, Flags& flags) {
    if (count == 0 && !sticky) return d;
    std::string kept = count >= d.size() ? std::string() : d.substr(0, d.size() - count);
    int first = 0;
    bool rest = sticky;
    if (count > 0 && count <= d.size()) {
        first = d[d.size() - count] - '0';
        rest = rest || d.find_first_not_of('0', d.size() - count + 1) != std::string::npos;
    } else if (count > d.size()) {
        rest = rest || !d.empty();
    }
    const bool any = first != 0 || rest;
    if (!any) return kept;
    flags.inexact = true;
    bool up = false;
    switch (mode) {
    case NSRoundingMode::plain: up = first >= 5; break;
    case NSRoundingMode::bankers: {
        const bool lastOdd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
        up = first > 5 || (first == 5 && (rest || lastOdd));
        break;
    }
    case NSRoundingMode::up: up = !negative; break;
    case NSRoundingMode::down: up = negative; break;
    }
    if (up) kept = addMagnitudes(kept, "1");
    stripLeadingZeros(kept);
    return kept;
}

}  // namespace

struct DecimalArithmetic {
    // Builds the result from an exact (or sticky) magnitude: 38 digits, then the scale,
    // then the exponent range; reports and applies the behaviour's errors.
    static NSDecimalNumber finish(bool negative, std::string digits, long exponent, bool sticky,
                                  const NSDecimalNumberHandler& behavior, Flags flags = {}) {
        stripLeadingZeros(digits);
        const NSRoundingMode mode = behavior.roundingMode();
        if (digits.size() > static_cast<std::size_t>(NSDecimalMaxDigits) || sticky) {
            const std::size_t drop = digits.size() > 38 ? digits.size() - 38 : 0;
            digits = dropDigits(digits, drop, mode, negative, sticky, flags);
            exponent += static_cast<long>(drop);
        }
        trimTrailingZeros(digits, exponent);
        if (behavior.scale() != NSDecimalNoScale && !digits.empty() && -exponent > behavior.scale()) {
            const auto drop = static_cast<std::size_t>(-exponent - behavior.scale());
            digits = dropDigits(digits, drop, mode, negative, false, flags);
            exponent += static_cast<long>(drop);
            trimTrailingZeros(digits, exponent);
        }
        if (!digits.empty() && exponent < -128) {
            const auto drop = static_cast<std::size_t>(-128 - exponent);
            digits = dropDigits(digits, drop, mode, negative, false, flags);
            exponent = -128;
            trimTrailingZeros(digits, exponent);
            if (digits.empty()) flags.underflow = true;
        }
        if (!digits.empty() && exponent > 127) {
            // A shorter mantissa can take the excess exponent as zeros.
            const auto excess = static_cast<std::size_t>(exponent - 127);
            if (digits.size() + excess <= 38) {
                digits.append(excess, '0');
                exponent = 127;
            } else {
                flags.overflow = true;
            }
        }
        raise(flags, behavior);
        NSDecimalNumber out;
        if (flags.overflow || flags.divideByZero) return NSDecimalNumber::notANumber();
        if (digits.empty()) return out;
        out.negative_ = negative;
        out.digits_ = std::move(digits);
        out.exponent_ = static_cast<int>(exponent);
        return out;
    }

    static void trimTrailingZeros(std::string& digits, long& exponent) {
        if (digits.empty()) {
            exponent = 0;
            return;
        }
        const auto last = digits.find_last_not_of('0');
        exponent += static_cast<long>(digits.size() - 1 - last);
        digits.resize(last + 1);
    }

    static void raise(const Flags& f, const NSDecimalNumberHandler& b) {
        if (f.divideByZero && b.raiseOnDivideByZero())
            throw NSException("NSDecimalNumberDivideByZeroException", "NSDecimalNumber divide by zero exception");
        if (f.overflow && b.raiseOnOverflow())
            throw NSException("NSDecimalNumberOverflowException", "NSDecimalNumber overflow exception");
        if (f.underflow && b.raiseOnUnderflow())
            throw NSException("NSDecimalNumberUnderflowException", "NSDecimalNumber underflow exception");
        if (f.inexact && b.raiseOnExactness())
            throw NSException("NSDecimalNumberExactnessException", "NSDecimalNumber exactness exception");
    }

    static NSDecimalNumber add(const NSDecimalNumber& a, const NSDecimalNumber& b, bool negateB,
                               const NSDecimalNumberHandler& behavior) {
        if (a.nan_ || b.nan_) return NSDecimalNumber::notANumber();
        const bool bNegative = negateB ? !b.negative_ : b.negative_;
        if (b.digits_.empty()) return finish(a.negative_, a.digits_, a.exponent_, false, behavior);
        if (a.digits_.empty()) return finish(bNegative, b.digits_, b.exponent_, false, behavior);
        const int e = std::min(a.exponent_, b.exponent_);
        const std::string x = a.digits_ + std::string(static_cast<std::size_t>(a.exponent_ - e), '0');
        const std::string y = b.digits_ + std::string(static_cast<std::size_t>(b.exponent_ - e), '0');
        if (a.negative_ == bNegative) return finish(a.negative_, addMagnitudes(x, y), e, false, behavior);
        const int c = compareMagnitudes(x, y);
        if (c == 0) return finish(false, {}, 0, false, behavior);
        return c > 0 ? finish(a.negative_, subtractMagnitudes(x, y), e, false, behavior)
                     : finish(bNegative, subtractMagnitudes(y, x), e, false, behavior);
    }

    static NSDecimalNumber multiply(const NSDecimalNumber& a, const NSDecimalNumber& b, const NSDecimalNumberHandler& behavior) {
        if (a.nan_ || b.nan_) return NSDecimalNumber::notANumber();
        return finish(a.negative_ != b.negative_, multiplyMagnitudes(a.digits_, b.digits_),
                      static_cast<long>(a.exponent_) + b.exponent_, false, behavior);
    }

    static NSDecimalNumber divide(const NSDecimalNumber& a, const NSDecimalNumber& b, const NSDecimalNumberHandler& behavior) {
        if (a.nan_ || b.nan_) return NSDecimalNumber::notANumber();
        if (b.digits_.empty()) {
            Flags f;
            f.divideByZero = true;
            return finish(false, {}, 0, false, behavior, f);
        }
        if (a.digits_.empty()) return NSDecimalNumber();
        // Enough quotient digits that at least two fall beyond the 38 kept, for rounding.
        const std::size_t shift = std::max<long>(0, 40 + static_cast<long>(b.digits_.size()) - static_cast<long>(a.digits_.size()));
        std::string remainder;
        std::string q = divideMagnitudes(a.digits_ + std::string(shift, '0'), b.digits_, remainder);
        return finish(a.negative_ != b.negative_, std::move(q),
                      static_cast<long>(a.exponent_) - b.exponent_ - static_cast<long>(shift), !remainder.empty(), behavior);
    }
};

const NSDecimalNumberHandler& NSDecimalNumberHandler::defaultDecimalNumberHandler() {
    static const NSDecimalNumberHandler handler(NSRoundingMode::plain, NSDecimalNoScale, false, true, true, true);
    return handler;
}

NSDecimalNumber::NSDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string digits;
    long exponent = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        digits.push_back(text[i]);
        any = true;
    }
    if (i < text.size() && text[i] == '.') {
        ++i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits.push_back(text[i]);
            --exponent;
            any = true;
        }
    }
    if (!any) {
        nan_ = true;
        return;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool expNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
        if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            long e = 0;
            for (; j < text.size() && text[j] >= '0' && text[j] <= '9'; ++j) e = std::min(e * 10 + (text[j] - '0'), 100000L);
            exponent += expNegative ? -e : e;
        }
    }
    static const NSDecimalNumberHandler quiet(NSRoundingMode::plain, NSDecimalNoScale, false, false, false, false);
    *this = DecimalArithmetic::finish(negative, std::move(digits), exponent, false, quiet);
}

NSDecimalNumber::NSDecimalNumber(std::int64_t value)
    : NSDecimalNumber(std::string_view(std::to_string(value))) {}

NSDecimalNumber NSDecimalNumber::fromDouble(double value) {
    if (!std::isfinite(value)) return notANumber();
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return NSDecimalNumber(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

NSDecimalNumber NSDecimalNumber::notANumber() {
    NSDecimalNumber n;
    n.nan_ = true;
    return n;
}

std::string NSDecimalNumber::stringValue() const {
    if (nan_) return "NaN";
    if (digits_.empty()) return "0";
    std::string out = negative_ ? "-" : "";
    if (exponent_ >= 0) return out + digits_ + std::string(static_cast<std::size_t>(exponent_), '0');
    const long point = static_cast<long>(digits_.size()) + exponent_;
    if (point > 0) return out + digits_.substr(0, static_cast<std::size_t>(point)) + "." + digits_.substr(static_cast<std::size_t>(point));
    return out + "0." + std::string(static_cast<std::size_t>(-point), '0') + digits_;
}

double NSDecimalNumber::doubleValue() const {
    if (nan_) return std::nan("");
    if (digits_.empty()) return 0.0;
    const std::string text = (negative_ ? "-" : "") + digits_ + "e" + std::to_string(exponent_);
    double v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

std::int64_t NSDecimalNumber::int64Value() const {
    if (nan_ || digits_.empty()) return 0;
    const long intDigits = static_cast<long>(digits_.size()) + exponent_;
    if (intDigits <= 0) return 0;
    if (intDigits > 19) return negative_ ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
    unsigned long long v = 0;
    for (long k = 0; k < intDigits; ++k) {
        const int d = k < static_cast<long>(digits_.size()) ? digits_[static_cast<std::size_t>(k)] - '0' : 0;
        if (v > (std::numeric_limits<unsigned long long>::max() - static_cast<unsigned>(d)) / 10) {
            v = std::numeric_limits<unsigned long long>::max();
            break;
        }
        v = v * 10 + static_cast<unsigned>(d);
    }
    constexpr unsigned long long maxPositive = static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max());
    if (negative_) return v > maxPositive ? std::numeric_limits<std::int64_t>::min() : -static_cast<std::int64_t>(v);
    return v > maxPositive ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(v);
}

NSDecimalNumber NSDecimalNumber::adding(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior) const {
    return DecimalArithmetic::add(*this, other, false, behavior);
}
NSDecimalNumber NSDecimalNumber::subtracting(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior) const {
    return DecimalArithmetic::add(*this, other, true, behavior);
}
NSDecimalNumber NSDecimalNumber::multiplying(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior) const {
    return DecimalArithmetic::multiply(*this, other, behavior);
}
NSDecimalNumber NSDecimalNumber::dividing(const NSDecimalNumber& other, const NSDecimalNumberHandler& behavior) const {
    return DecimalArithmetic::divide(*this, other, behavior);
}
NSDecimalNumber NSDecimalNumber::multiplyingByPowerOf10(std::int16_t power, const NSDecimalNumberHandler& behavior) const {
    if (nan_) return notANumber();
    return DecimalArithmetic::finish(negative_, digits_, static_cast<long>(exponent_) + power, false, behavior);
}
NSDecimalNumber NSDecimalNumber::rounding(const NSDecimalNumberHandler& behavior) const {
    if (nan_) return notANumber();
    return DecimalArithmetic::finish(negative_, digits_, exponent_, false, behavior);
}

bool NSDecimalNumber::isWholeMultipleOf(const NSDecimalNumber& other) const {
    if (nan_ || other.nan_ || other.digits_.empty()) return false;
    if (digits_.empty()) return true;
    // a = da·10^ea, b = db·10^eb: a/b is whole when da·10^(ea−eb) is a multiple of db.
    const long k = static_cast<long>(exponent_) - other.exponent_;
    std::string dividend = digits_, divisor = other.digits_, remainder;
    if (k >= 0) dividend.append(static_cast<std::size_t>(k), '0');
    else divisor.append(static_cast<std::size_t>(-k), '0');
    divideMagnitudes(dividend, divisor, remainder);
    return remainder.empty();
}

std::strong_ordering NSDecimalNumber::compare(const NSDecimalNumber& other) const {
    if (nan_ || other.nan_) return nan_ == other.nan_ ? std::strong_ordering::equal
                                                      : (nan_ ? std::strong_ordering::less : std::strong_ordering::greater);
    const int signA = digits_.empty() ? 0 : (negative_ ? -1 : 1);
    const int signB = other.digits_.empty() ? 0 : (other.negative_ ? -1 : 1);
    if (signA != signB) return signA <=> signB;
    if (signA == 0) return std::strong_ordering::equal;
    const long topA = static_cast<long>(digits_.size()) + exponent_;
    const long topB = static_cast<long>(other.digits_.size()) + other.exponent_;
    int magnitude = 0;
    if (topA != topB) {
        magnitude = topA < topB ? -1 : 1;
    } else {
        const int c = digits_.compare(other.digits_);  // same leading position: compare digit by digit
        magnitude = c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (signA < 0) magnitude = -magnitude;
    return magnitude <=> 0;
}

}  // namespace platform
