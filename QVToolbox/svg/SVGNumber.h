// Number reading for SVG texts: the lexers' rule and the attributes' strict rule.
//
//   doubleFromByteArray("2e-3");    // 0.002: strtod's grammar, the whole text must be read
//   doubleFromByteArray("1 ");      // none: a trailing character
//   strictDouble("1.5e2");          // 150;  strictDouble(" 1") and strictDouble("inf") give none
//
// Both read with the C locale's decimal point whatever the process locale is, and never
// allocate. Thread rule: pure functions, call from any thread.
#pragma once

#include <optional>
#include <string_view>

namespace QVToolbox {

// `Double(byteArray:)`: strtod semantics in the C locale (leading white space, "+", exponents,
// "inf", "nan", hexadecimal floating forms), accepted only when the whole text was read. None
// for an empty text. Values that overflow read as infinity, as strtod gives them.
std::optional<double> doubleFromByteArray(std::string_view bytes);

// The attributes' strict rule: an optional sign, decimal digits with an optional point and an
// optional exponent, nothing else (no white space, no hexadecimal). A result that is not
// finite (1e999, "inf", "nan") counts as not read.
std::optional<double> strictDouble(std::string_view text);

// The text without leading and trailing spaces and tabs (line breaks stay), as SVG's
// attribute rules trim.
constexpr std::string_view trimSpacesAndTabs(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// `toRadians` and `toDegrees`.
constexpr double toRadians(double degrees) { return degrees * 3.14159265358979323846 / 180.0; }
constexpr double toDegrees(double radians) { return radians * 180.0 / 3.14159265358979323846; }

}  // namespace QVToolbox
