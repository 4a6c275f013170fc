#include <QVToolbox/svg/SVGNumber.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>
#include <string>

namespace QVToolbox {

namespace {

// The C locale, made once: strtod_l reads with it whatever setlocale says.
locale_t cLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// strtod over a copy with its terminating zero; the copy lives on the stack when short.
std::optional<double> strtodWhole(std::string_view bytes) {
    char small[64];
    std::string heap;
    const char* text;
    if (bytes.size() < sizeof small) {
        bytes.copy(small, bytes.size());
        small[bytes.size()] = '\0';
        text = small;
    } else {
        heap.assign(bytes);
        text = heap.c_str();
    }
    char* end = nullptr;
    const double value = strtod_l(text, &end, cLocale());
    if (end != text + bytes.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<double> doubleFromByteArray(std::string_view bytes) {
    if (bytes.empty()) return std::nullopt;
    // The common decimal form goes through from_chars, which reads the same language for
    // such texts with the same rounding; everything else (and overflow) is strtod's.
    if (isDigit(bytes[0]) || bytes[0] == '-' || bytes[0] == '.') {
        double value = 0;
        const auto [end, error] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), value);
        if (error == std::errc() && end == bytes.data() + bytes.size()) return value;
        // "0x1p3" and "1e999" need strtod; other texts from_chars stopped in are not numbers
        // for strtod either, unless strtod reads further (hexadecimal, a NUL inside).
    }
    return strtodWhole(bytes);
}

std::optional<double> strictDouble(std::string_view text) {
    if (text.empty()) return std::nullopt;
    std::string_view body = text;
    if (body[0] == '+' || body[0] == '-') body.remove_prefix(1);
    // Digits, at most one point, at least one digit, then an optional exponent with digits.
    std::size_t i = 0, digits = 0;
    while (i < body.size() && isDigit(body[i])) ++i, ++digits;
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i])) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        if (i < body.size() && (body[i] == '+' || body[i] == '-')) ++i;
        const std::size_t start = i;
        while (i < body.size() && isDigit(body[i])) ++i;
        if (i == start) return std::nullopt;
    }
    if (i != body.size()) return std::nullopt;
    const auto value = strtodWhole(text);
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

}  // namespace QVToolbox
