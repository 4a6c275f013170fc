// QVRLocalizedStringKey: a localized-string key whose interpolated values become format
// arguments, so that a translation can reorder or restyle them.
//
//   QVRLocalizedStringKey::StringInterpolation s(2, 1);
//   s.appendLiteral("Hello ").appendInterpolation(std::string("Ann")).appendLiteral("!");
//   QVRLocalizedStringKey key(s);
//   key.key();            // "Hello %@!" (the lookup key and the format)
//   key.description();    // "Hello Ann!"
//
// Each interpolation appends one argument and one specifier: integers "%ld", double "%f",
// texts "%@", URLs their absolute text as "%@", bool and float their description ("true",
// "1.5") as "%@", any value with a `description()` that text as "%@", a value with an explicit
// specifier as given, and a QVRFormatSpecifiable value its own `_arg()` and `_specifier()`.
// A plain text makes a key without arguments. Thread rule: a value type.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/base/Date.h>
#include <QVPlatform/base/URL.h>

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace QVResource {

// A caller type that chooses its own format specifier and argument.
template <class T>
concept QVRFormatSpecifiable = requires(const T& value) {
    { value._arg() } -> std::convertible_to<platform::Any>;
    { value._specifier() } -> std::convertible_to<std::string_view>;
};

// Values that describe themselves: `value.description()` or `value->description()`.
template <class T>
concept QVRDescribable = requires(const T& value) {
    { value.description() } -> std::convertible_to<std::string>;
} || requires(const T& value) {
    { value->description() } -> std::convertible_to<std::string>;
};

struct QVRLocalizedStringKey {
    struct StringInterpolation {
        std::vector<std::string> values;  // literal pieces and specifiers, in order
        std::vector<platform::Any> args;  // one per specifier

        StringInterpolation() = default;
        // Reserves room for the pieces; negative counts count as zero (and the room is capped:
        // it is only a hint).
        StringInterpolation(int literalCapacity, int interpolationCount);

        StringInterpolation& appendLiteral(std::string_view literal);
        // `value` with an explicit specifier ("%.2f", "%@").
        StringInterpolation& appendInterpolation(const platform::Any& value, std::string_view specifier);
        StringInterpolation& appendInterpolation(std::string_view text);
        StringInterpolation& appendInterpolation(const std::string& text) { return appendInterpolation(std::string_view(text)); }
        StringInterpolation& appendInterpolation(const char* text) { return appendInterpolation(std::string_view(text ? text : "")); }
        StringInterpolation& appendInterpolation(double value);
        StringInterpolation& appendInterpolation(float value);
        StringInterpolation& appendInterpolation(bool value);
        StringInterpolation& appendInterpolation(const platform::URL& url);
        template <std::integral T>
            requires(!std::same_as<T, bool>)
        StringInterpolation& appendInterpolation(T value) {
            return appendInterpolation(platform::Any(value), "%ld");
        }
        template <QVRFormatSpecifiable T>
        StringInterpolation& appendInterpolation(const T& value) {
            return appendInterpolation(platform::Any(value._arg()), value._specifier());
        }
        template <class T>
            requires(QVRDescribable<T> && !QVRFormatSpecifiable<T>)
        StringInterpolation& appendInterpolation(const T& value) {
            if constexpr (requires { value.description(); }) return appendInterpolation(platform::Any(value.description()), "%@");
            else return appendInterpolation(platform::Any(value ? value->description() : std::string("nil")), "%@");
        }
        // The number written by a platform number formatter (no style) with these fraction
        // digits, as "%@"; nothing is appended when the formatter gives nothing.
        StringInterpolation& appendInterpolationNumber(float number, int minimumFractionDigits, int maximumFractionDigits);
        // The date written with `dateFormat` in the current locale and time zone, as "%@".
        StringInterpolation& appendInterpolationDate(platform::Date date, std::string_view dateFormat);
    };

    StringInterpolation stringInterpolation;

    QVRLocalizedStringKey(std::string_view literal);  // NOLINT: a plain text is a key
    QVRLocalizedStringKey(const char* literal) : QVRLocalizedStringKey(std::string_view(literal ? literal : "")) {}  // NOLINT
    QVRLocalizedStringKey(const std::string& literal) : QVRLocalizedStringKey(std::string_view(literal)) {}  // NOLINT
    explicit QVRLocalizedStringKey(StringInterpolation interpolation) : stringInterpolation(std::move(interpolation)) {}

    // Every value joined, without separators.
    std::string key() const;
    const std::vector<platform::Any>& args() const { return stringInterpolation.args; }
    // key() when there are no arguments, else key() formatted with them.
    std::string description() const;
};

// `text` used as a format with `arguments` (platform String(format:)).
std::string qvrFormat(std::string_view text, const std::vector<platform::Any>& arguments);

}  // namespace QVResource
