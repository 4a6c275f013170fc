// The number helpers as members of the wrappers (NumberText.h holds their contracts):
//
//   hx(std::string("0x1F")).hexInt();          // 31
//   hx(12345L).toTenThousandString(1);         // "1.2万"
//   hx(3.14159).roundTo(2);                    // 3.14
//
// How the seed's types map here: Int is long (64-bit; int gets the same members, and Int64
// is std::int64_t = long, so hx(long) also has the int64… members); UInt is unsigned long
// (and unsigned); Bool bool; Character char32_t (one scalar); Double, Float double, float;
// CGFloat is double, so its members join Double's. Members named after C++ keywords take a
// trailing underscore: int_(), float_(), double_().
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/DecimalText.h>
#include <QVToolbox/FoundationExtension/text/NumberText.h>

#include <QVPlatform/base/Decimal.h>
#include <QVPlatform/base/NSNumber.h>
#include <QVPlatform/base/Text.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <string>
#include <type_traits>

namespace QVToolbox {

// The number helpers of NumberText.h as members; empty for other bases.
template <class W, class Base>
struct NumberTextMembers {};

template <class W>
struct NumberTextMembers<W, StringFamily> {
    std::optional<long> toInt() const { return QVToolbox::toInt(text()); }
    std::optional<double> toDouble() const { return QVToolbox::toDouble(text()); }
    std::optional<float> toFloat() const { return QVToolbox::toFloat(text()); }
    std::optional<bool> toBool() const { return QVToolbox::toBool(text()); }
    long hexInt() const { return QVToolbox::hexInt(text()); }
    std::optional<double> accuraterDouble() const { return QVToolbox::accuraterDouble(text()); }
    std::string cutLastZeroAfterDot() const { return QVToolbox::cutLastZeroAfterDot(text()); }
    std::string binaryTodecimal() const { return QVToolbox::binaryTodecimal(text()); }
    std::string octalTodecimal() const { return QVToolbox::octalTodecimal(text()); }
    std::string hexadecimalToDecimal() const { return QVToolbox::hexadecimalToDecimal(text()); }
    std::string decimalToBinary() const { return QVToolbox::decimalToBinary(text()); }
    std::string decimalToOctal() const { return QVToolbox::decimalToOctal(text()); }
    std::string decimalToHexadecimal() const { return QVToolbox::decimalToHexadecimal(text()); }
    std::string binaryToOctal() const { return QVToolbox::binaryToOctal(text()); }
    std::string binaryToHexadecimal() const { return QVToolbox::binaryToHexadecimal(text()); }
    std::string octalTobinary() const { return QVToolbox::octalTobinary(text()); }
    std::string octalToHexadecimal() const { return QVToolbox::octalToHexadecimal(text()); }
    std::string hexadecimalToBinary() const { return QVToolbox::hexadecimalToBinary(text()); }
    std::string hexadecimalToOctal() const { return QVToolbox::hexadecimalToOctal(text()); }


private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

namespace detail {

// The seed's Int members, for int and long.
template <class W, class I>
struct IntNumberMembers {
    std::string intToString() const { return std::to_string(v()); }
    double intToDouble() const { return static_cast<double>(v()); }
    float intToFloat() const { return static_cast<float>(v()); }
    double intToCGFloat() const { return static_cast<double>(v()); }
    std::int64_t intToInt64() const { return static_cast<std::int64_t>(v()); }
    // A negative value gives 0 (it has no unsigned counterpart).
    unsigned long intToUInt() const { return v() < 0 ? 0ul : static_cast<unsigned long>(v()); }
    std::optional<IntRange> intToCountableRange() const {
        if (v() < 1) return std::nullopt;
        return IntRange{0, static_cast<long>(v())};
    }
    bool isEven() const { return v() % 2 == 0; }
    static long random(IntRange within) { return randomWithin(within); }
    std::string toTenThousandString(int scale) const { return QVToolbox::toTenThousandString(static_cast<long>(v()), scale); }

private:
    I v() const { return static_cast<const W&>(*this).base; }
};

template <class W>
struct Int64NumberMembers {
    long int64ToInt() const { return static_cast<long>(v()); }
    float int64ToFloat() const { return static_cast<float>(v()); }
    double int64ToDouble() const { return static_cast<double>(v()); }
    double int64ToCGFloat() const { return static_cast<double>(v()); }
    std::string int64ToString() const { return std::to_string(v()); }
    platform::NSNumber int64ToNumber() const { return platform::NSNumber(static_cast<long>(v())); }
    std::int64_t int64ToInt64() const { return v(); }

private:
    std::int64_t v() const { return static_cast<const W&>(*this).base; }
};

template <class W, class U>
struct UIntNumberMembers {
    // Values beyond long's range give its maximum.
    long uintToInt() const {
        const auto u = static_cast<unsigned long>(static_cast<const W&>(*this).base);
        return u > static_cast<unsigned long>(LONG_MAX) ? LONG_MAX : static_cast<long>(u);
    }
};

// The seed's Double, Float and CGFloat members.
template <class W, class F>
struct FloatingNumberMembers {
    long int_() const { return saturatingInt(static_cast<double>(v())); }
    std::int64_t int64() const { return saturatingInt(static_cast<double>(v())); }
    float float_() const { return static_cast<float>(v()); }
    double double_() const { return static_cast<double>(v()); }
    double cgFloat() const { return static_cast<double>(v()); }
    platform::NSNumber number() const { return platform::NSNumber(static_cast<double>(v())); }
    std::string string() const { return shortestText(v()); }
    F roundTo(int places) const { return QVToolbox::roundTo(v(), places); }
    // The decimal rounding(value:scale:) of the value, as single precision; for double
    // (CGFloat) that single-precision value's shortest text read back as a double.
    F rounding(short scale) const {
        const float f = static_cast<float>(QVToolbox::rounding(platform::Any(static_cast<double>(v())), scale).doubleValue());
        if constexpr (std::is_same_v<F, float>) {
            return f;
        } else {
            const auto back = platform::NSDecimalNumber(shortestText(f));
            return back.isNaN() ? 0.0 : back.doubleValue();
        }
    }

protected:
    F v() const { return static_cast<const W&>(*this).base; }
};

}  // namespace detail

template <class W>
struct NumberTextMembers<W, int> : detail::IntNumberMembers<W, int> {};

template <class W>
struct NumberTextMembers<W, long> : detail::IntNumberMembers<W, long>, detail::Int64NumberMembers<W> {};

template <class W>
struct NumberTextMembers<W, unsigned long> : detail::UIntNumberMembers<W, unsigned long> {};
template <class W>
struct NumberTextMembers<W, unsigned> : detail::UIntNumberMembers<W, unsigned> {};

template <class W>
struct NumberTextMembers<W, bool> {
    long boolToInt() const { return static_cast<const W&>(*this).base ? 1 : 0; }
};

template <class W>
struct NumberTextMembers<W, char32_t> {
    std::string charToString() const {
        const char32_t c = static_cast<const W&>(*this).base;
        return platform::utf32ToUtf8(std::u32string_view(&c, 1));
    }
    // The character's digit value; absent unless it is an ASCII digit.
    std::optional<long> charToInt() const {
        const char32_t c = static_cast<const W&>(*this).base;
        if (c < U'0' || c > U'9') return std::nullopt;
        return static_cast<long>(c - U'0');
    }
};

template <class W>
struct NumberTextMembers<W, double> : detail::FloatingNumberMembers<W, double> {
    long lroundToInt() const { return QVToolbox::lroundToInt(this->v()); }
    double degreesToRadians() const { return this->v() * std::numbers::pi / 180.0; }
    double radiansToDegrees() const { return this->v() * 180.0 / std::numbers::pi; }
};

template <class W>
struct NumberTextMembers<W, float> : detail::FloatingNumberMembers<W, float> {
    long lroundfToInt() const { return QVToolbox::lroundToInt(static_cast<double>(this->v())); }
};

}  // namespace QVToolbox
