// `qvtool number`: exact decimal arithmetic on amounts held as text, digit grouping, the
// ten-thousand abbreviation and base conversion.
//
// The library reads any text leniently (not a number counts as 0, a zero divisor as 1, extra
// digits are rounded off, base digits are not checked); the tool checks its arguments first
// and refuses what the library would silently change.
#include "../Cli.h"
#include "../Input.h"

#include <QVToolbox/QVToolbox.h>

#include <charconv>
#include <limits>
#include <map>

namespace qvtool {
namespace {

using namespace QVToolbox;
using platform::NSDecimalNumber;

constexpr const char* kDecimal = "a decimal number (-1.5, 2e3): 38 significant digits, exponent -128 to 127";

std::size_t skipDigits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
}

// The text, when it is a decimal number NSDecimalNumber holds exactly.
const std::string& decimalArgument(const std::string& text, std::string_view name) {
    const auto refuse = [&](const char* why) { throw BadInput(std::string(name) + " " + shown(text) + why); };
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    const std::size_t integerStart = i;
    std::string digits = text.substr(integerStart, skipDigits(text, i));
    long exponent = 0;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fractionStart = ++i;
        const std::size_t n = skipDigits(text, i);
        digits += text.substr(fractionStart, n);
        exponent -= static_cast<long>(n);
    }
    if (digits.empty()) refuse(" is not a decimal number");
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const bool negative = ++i < text.size() && text[i] == '-';
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        long e = 0;
        const std::size_t start = i;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) e = std::min(e * 10 + (text[i] - '0'), 1'000'000L);
        if (i == start) refuse(" is not a decimal number");
        exponent += negative ? -e : e;
    }
    if (i != text.size()) refuse(" is not a decimal number");
    // Significant digits: no leading zeros; trailing zeros move into the exponent.
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (digits.empty()) return text;
    const auto count = static_cast<long>(digits.size());
    if (count > platform::NSDecimalMaxDigits) refuse(" has more than 38 significant digits");
    // A short mantissa takes an exponent above 127 as zeros of its own.
    if (exponent < -128 || (exponent > 127 && count + (exponent - 127) > platform::NSDecimalMaxDigits)) {
        refuse(" is beyond the decimal's range (38 digits, exponent -128 to 127)");
    }
    return text;
}

// The result; "NaN" (beyond the decimal's range) prints with status 1.
int printDecimal(const std::string& result) {
    printResult(result);
    return result == "NaN" ? 1 : 0;
}

void defineArithmetic(CLI::App& group, const char* name, const char* description,
                      std::string (*apply)(std::string_view, std::optional<std::string_view>)) {
    Verb verb(group, name, description);
    const auto& a = verb.argument("A", kDecimal);
    const auto& b = verb.argument("B", kDecimal);
    verb.run([&a, &b, apply, divide = std::string_view(name) == "divide"] {
        decimalArgument(a, "A");
        decimalArgument(b, "B");
        if (divide && NSDecimalNumber(b).isZero()) throw BadInput("B is zero: division by zero");
        return printDecimal(apply(a, b));
    });
}

void defineDivisible(CLI::App& group) {
    Verb verb(group, "divisible", "true when A is a whole multiple of B (false for a zero B)");
    const auto& a = verb.argument("A", kDecimal);
    const auto& b = verb.argument("B", kDecimal);
    verb.run([&a, &b] {
        return printBool(isDivisible(platform::Any(decimalArgument(a, "A")), platform::Any(decimalArgument(b, "B"))));
    });
}

void defineThousands(CLI::App& group) {
    Verb verb(group, "thousands", "digit grouping, rounding down; with a \".\", two fraction digits");
    const auto& number = verb.argument("NUMBER", kDecimal);
    verb.run([&number] { return printResult(toThousands(decimalArgument(number, "NUMBER"))); });
}

void defineTenThousand(CLI::App& group) {
    Verb verb(group, "tenthousand", "N in 万 from 10000 on (25000 -> 2.5万); below 0 gives 0");
    const auto& scale = verb.option("--scale", "S", "fraction digits from 0 to 17 (default 1), trailing zeros dropped");
    const auto& n = verb.argument("N", "a whole number");
    verb.run([&] {
        const auto value = wholeNumber(n, "N");
        const auto s = wholeNumber(scale.value_or("1"), "--scale");
        if (s < 0 || s > 17) throw BadInput("--scale " + shown(*scale) + " is not from 0 to 17");
        return printResult(toTenThousandString(value, static_cast<int>(s)));
    });
}

// The digits, when they are of the base and the value fits the signed 64 bits the library
// counts in.
const std::string& digitsOfBase(const std::string& text, int base) {
    if (base == 10) {
        wholeNumber(text, "DIGITS");
        return text;
    }
    const char* valid = base == 2 ? "01" : base == 8 ? "01234567" : "0123456789abcdefABCDEF";
    if (text.empty() || text.find_first_not_of(valid) != std::string::npos) {
        throw BadInput("DIGITS " + shown(text) + " is not a base-" + std::to_string(base) + " number");
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || value > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        throw BadInput("DIGITS " + shown(text) + " is beyond the signed 64-bit range (at most 2^63 - 1)");
    }
    return text;
}

int baseArgument(const std::string& text, std::string_view name) {
    if (text != "2" && text != "8" && text != "10" && text != "16") {
        throw BadInput(std::string(name) + " " + shown(text) + " is not one of the bases 2, 8, 10, 16");
    }
    return std::stoi(text);
}

std::string convertBase(int from, int to, const std::string& text) {
    using Member = std::string (HxPOP<std::string>::*)() const;
    using T = HxPOP<std::string>;
    static const std::map<std::pair<int, int>, Member> table{
        {{2, 10}, &T::binaryTodecimal},       {{8, 10}, &T::octalTodecimal},        {{16, 10}, &T::hexadecimalToDecimal},
        {{10, 2}, &T::decimalToBinary},       {{10, 8}, &T::decimalToOctal},        {{10, 16}, &T::decimalToHexadecimal},
        {{2, 8}, &T::binaryToOctal},          {{2, 16}, &T::binaryToHexadecimal},   {{8, 2}, &T::octalTobinary},
        {{8, 16}, &T::octalToHexadecimal},    {{16, 2}, &T::hexadecimalToBinary},   {{16, 8}, &T::hexadecimalToOctal}};
    if (from == to) return text;
    return (hx(text).*(table.at({from, to})))();
}

void defineBase(CLI::App& group) {
    Verb verb(group, "base", "DIGITS from base FROM to base TO; to base 2, 0 and below give nothing");
    const auto& from = verb.argument("FROM", "2, 8, 10 or 16");
    const auto& to = verb.argument("TO", "2, 8, 10 or 16");
    const auto& digits = verb.argument(
        "DIGITS", "digits of base FROM up to 2^63 - 1 (base 10: also negative; to 8 and 16 as the 64-bit pattern)");
    verb.run([&] {
        const int f = baseArgument(from, "FROM");
        const int t = baseArgument(to, "TO");
        return printResult(convertBase(f, t, digitsOfBase(digits, f)));
    });
}

void define(CLI::App& group) {
    defineArithmetic(group, "add", "A + B, exact to 38 significant digits", adding);
    defineArithmetic(group, "subtract", "A - B, exact to 38 significant digits", subtracting);
    defineArithmetic(group, "multiply", "A × B, rounded to 38 significant digits", multiplying);
    defineArithmetic(group, "divide",
                     "A ÷ B to 38 significant digits; a zero B is refused (division by zero)",
                     dividing);
    defineDivisible(group);
    defineThousands(group);
    defineTenThousand(group);
    defineBase(group);
    group.footer("A result beyond the decimal's range prints NaN, status 1. The library would read a text that is\n"
                 "not a number as 0 and a zero divisor as 1; the tool refuses both (status 2).");
}

const GroupRegistration registration{{"number", "exact decimal arithmetic, grouping and base conversion", 25, define}};

}  // namespace
}  // namespace qvtool
