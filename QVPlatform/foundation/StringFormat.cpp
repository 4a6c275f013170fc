#include <QVPlatform/foundation/StringFormat.h>

#include <QVPlatform/base/NSNumber.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/runtime/NSObject.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <locale.h>
#include <optional>

namespace platform {

namespace {

constexpr int kMaximumWidth = 4096;

// The "C" locale made current for this thread while alive, so that numbers never take the
// host's decimal comma.
class CLocaleScope {
public:
    CLocaleScope() : previous_(uselocale(cLocale())) {}
    ~CLocaleScope() { uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

private:
    static locale_t cLocale() {
        static const locale_t made = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
        return made;
    }
    locale_t previous_;
};

// A width or precision: written digits, or "*" (the next argument) or "*m$" (argument m).
struct Count {
    std::optional<int> value;
    bool fromArgument = false;
    std::optional<std::size_t> position;
};

// One parsed directive.
struct Directive {
    std::optional<std::size_t> position;  // zero-based argument index given by "n$"
    std::string flags;
    Count width;
    Count precision;
    std::string length;  // "", "hh", "h", "l", "ll", ...
    char conversion = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads a decimal number at `i` (at most kMaximumWidth); absent when there are no digits or
// the number is too large.
std::optional<int> readNumber(std::string_view s, std::size_t& i) {
    if (i >= s.size() || !isDigit(s[i])) return std::nullopt;
    long value = 0;
    while (i < s.size() && isDigit(s[i])) {
        value = value * 10 + (s[i++] - '0');
        if (value > kMaximumWidth) return std::nullopt;
    }
    return static_cast<int>(value);
}

// Reads "n$" at `i` when present; leaves `i` alone otherwise. Sets `bad` for "0$" or a huge n.
std::optional<std::size_t> readPosition(std::string_view s, std::size_t& i, bool& bad) {
    std::size_t j = i;
    if (j >= s.size() || !isDigit(s[j])) return std::nullopt;
    long value = 0;
    while (j < s.size() && isDigit(s[j])) {
        if (value <= kMaximumWidth) value = value * 10 + (s[j] - '0');
        ++j;
    }
    if (j >= s.size() || s[j] != '$') return std::nullopt;
    i = j + 1;
    if (value < 1 || value > kMaximumWidth) bad = true;
    return static_cast<std::size_t>(value - 1);
}

bool isConversion(char c) {
    switch (c) {
    case '@': case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'f': case 'F': case 'e':
    case 'E': case 'g': case 'G': case 'a': case 'A': case 'c': case 'C': case 's': case 'S':
        return true;
    default:
        return false;
    }
}

// Reads a width or precision at `i` when there is one; false when its digits are too large.
bool readCount(std::string_view s, std::size_t& i, Count& count, bool& bad) {
    if (i < s.size() && s[i] == '*') {
        ++i;
        count.fromArgument = true;
        count.position = readPosition(s, i, bad);
    } else if (i < s.size() && isDigit(s[i])) {
        count.value = readNumber(s, i);
        if (!count.value) return false;
    }
    return true;
}

// Parses the directive after a '%' at `start`; absent when it is not one we write.
std::optional<Directive> parseDirective(std::string_view s, std::size_t start, std::size_t& end) {
    Directive directive;
    std::size_t i = start;
    bool bad = false;
    directive.position = readPosition(s, i, bad);
    while (i < s.size() && std::string_view("-+ #0'").find(s[i]) != std::string_view::npos) directive.flags += s[i++];
    if (!readCount(s, i, directive.width, bad)) return std::nullopt;
    if (i < s.size() && s[i] == '.') {
        ++i;
        if (!readCount(s, i, directive.precision, bad)) return std::nullopt;
        if (!directive.precision.fromArgument && !directive.precision.value) directive.precision.value = 0;  // "%.f"
    }
    for (std::string_view modifier : {"hh", "ll", "h", "l", "q", "L", "z", "t", "j"}) {
        if (s.substr(i).starts_with(modifier)) {
            directive.length = modifier;
            i += modifier.size();
            break;
        }
    }
    if (bad || i >= s.size() || !isConversion(s[i])) return std::nullopt;
    directive.conversion = s[i];
    end = i + 1;
    return directive;
}

// Hands out arguments: positional ones by index, the others in order.
class Arguments {
public:
    explicit Arguments(const std::vector<Any>& values) : values_(values) {}
    // The argument at `position`, or the next one in order; null when there is none.
    const Any* take(const std::optional<std::size_t>& position) {
        if (position) return *position < values_.size() ? &values_[*position] : nullptr;
        return next_ < values_.size() ? &values_[next_++] : nullptr;
    }
    std::size_t mark() const { return next_; }
    void reset(std::size_t mark) { next_ = mark; }

private:
    const std::vector<Any>& values_;
    std::size_t next_ = 0;
};

std::string describeList(const Any::List& list) {
    std::string out = "(\n";
    for (std::size_t k = 0; k < list.size(); ++k) {
        out += "    " + formatDescription(list[k]);
        out += k + 1 < list.size() ? ",\n" : "\n";
    }
    return out + ")";
}

std::string describeDictionary(const Any::Dictionary& dictionary) {
    std::string out = "{\n";
    for (const auto& [key, value] : dictionary) out += "    " + key + " = " + formatDescription(value) + ";\n";
    return out + "}";
}

// Pads `text` to `width` characters (code points), on the left unless the '-' flag is set.
std::string padded(std::string text, const Directive& directive, int width) {
    const std::size_t length = utf8ToUtf32(text).size();
    if (width <= 0 || length >= static_cast<std::size_t>(width)) return text;
    const std::string fill(static_cast<std::size_t>(width) - length, ' ');
    return directive.flags.find('-') != std::string::npos ? text + fill : fill + text;
}

// The first `precision` code points of `text`.
std::string truncated(const std::string& text, std::optional<int> precision) {
    if (!precision) return text;
    const std::u32string points = utf8ToUtf32(text);
    if (points.size() <= static_cast<std::size_t>(*precision)) return text;
    return utf32ToUtf8(std::u32string_view(points).substr(0, static_cast<std::size_t>(*precision)));
}

// A printf directive built from our validated pieces only.
std::string cDirective(const Directive& directive, int width, std::optional<int> precision, std::string_view length, char conversion) {
    std::string out = "%";
    for (char flag : directive.flags) {
        if (flag != '\'') out += flag;  // grouping depends on the locale: never used
    }
    if (width > 0) out += std::to_string(width);
    if (precision) out += "." + std::to_string(*precision);
    out += length;
    out += conversion;
    return out;
}

template <class T>
std::string printed(const std::string& format, T value) {
    CLocaleScope scope;
    char small[128];
    const int needed = std::snprintf(small, sizeof small, format.c_str(), value);
    if (needed < 0) return {};
    if (static_cast<std::size_t>(needed) < sizeof small) return std::string(small, static_cast<std::size_t>(needed));
    std::string big(static_cast<std::size_t>(needed) + 1, '\0');
    std::snprintf(big.data(), big.size(), format.c_str(), value);
    big.resize(static_cast<std::size_t>(needed));
    return big;
}

std::int64_t integerOf(const Any& value) {
    if (value.isDouble()) {
        const double d = value.doubleValue();
        if (std::isnan(d)) return 0;
        if (d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
        if (d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
        return static_cast<std::int64_t>(d);
    }
    return value.integerValue();
}

std::string formatInteger(const Directive& directive, int width, const Any& value) {
    std::int64_t n = integerOf(value);
    const char c = directive.conversion == 'i' ? 'd' : directive.conversion;
    const bool isSigned = c == 'd';
    if (directive.length == "h") n = isSigned ? static_cast<std::int16_t>(n) : static_cast<std::uint16_t>(n);
    if (directive.length == "hh") n = isSigned ? static_cast<std::int8_t>(n) : static_cast<std::uint8_t>(n);
    const std::string format = cDirective(directive, width, directive.precision.value, "ll", c);
    if (isSigned) return printed(format, static_cast<long long>(n));
    return printed(format, static_cast<unsigned long long>(n));
}

std::string formatFloating(const Directive& directive, int width, const Any& value) {
    return printed(cDirective(directive, width, directive.precision.value, "", directive.conversion), value.doubleValue());
}

std::string formatCharacter(const Directive& directive, int width, const Any& value) {
    std::string text;
    std::int64_t code = integerOf(value);
    if (directive.conversion == 'c' && directive.length.empty()) code &= 0xFF;  // a C char
    appendUtf8(text, static_cast<char32_t>(code < 0 || code > 0x10FFFF ? 0xFFFD : code));
    return padded(text, directive, width);
}

// Writes one argument for `directive`, with the width already resolved.
std::string formatArgument(const Directive& directive, int width, const Any& value) {
    const char c = directive.conversion;
    if (c == '@' || c == 's' || c == 'S' || !value.isNumber()) {
        return padded(truncated(formatDescription(value), directive.precision.value), directive, width);
    }
    switch (c) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o':
        return formatInteger(directive, width, value);
    case 'c': case 'C':
        return formatCharacter(directive, width, value);
    default:
        return formatFloating(directive, width, value);
    }
}

}  // namespace

std::string formatDescription(const Any& value) {
    switch (value.kind()) {
    case Any::Kind::null: return "(null)";
    case Any::Kind::boolean: return value.boolValue() ? "1" : "0";
    case Any::Kind::integer: return std::to_string(value.integerValue());
    case Any::Kind::real: return NSNumber(value.doubleValue()).stringValue();
    case Any::Kind::text: return value.string();
    case Any::Kind::data: return "{length = " + std::to_string(value.asData()->count()) + "}";
    case Any::Kind::date: return NSNumber(value.asDate()->timeIntervalSince1970()).stringValue();
    case Any::Kind::list: return describeList(*value.asList());
    case Any::Kind::dictionary: return describeDictionary(*value.asDictionary());
    case Any::Kind::object: return value.object() ? value.object()->description() : "(null)";
    }
    return {};
}

std::string stringWithFormat(std::string_view format, const std::vector<Any>& values) {
    std::string out;
    out.reserve(format.size() + 16);
    Arguments arguments(values);
    std::size_t i = 0;
    while (i < format.size()) {
        const std::size_t percent = format.find('%', i);
        if (percent == std::string_view::npos) {
            out.append(format.substr(i));
            break;
        }
        out.append(format.substr(i, percent - i));
        if (percent + 1 < format.size() && format[percent + 1] == '%') {
            out += '%';
            i = percent + 2;
            continue;
        }
        std::size_t end = 0;
        const std::optional<Directive> directive = parseDirective(format, percent + 1, end);
        const std::size_t mark = arguments.mark();
        const auto copyAsWritten = [&] {
            arguments.reset(mark);
            out += '%';
            i = percent + 1;
        };
        if (!directive) {
            copyAsWritten();
            continue;
        }
        int width = directive->width.value.value_or(0);
        Directive resolved = *directive;
        if (directive->width.fromArgument) {
            const Any* w = arguments.take(directive->width.position);
            if (!w || !w->isNumber()) {
                copyAsWritten();
                continue;
            }
            const std::int64_t asked = integerOf(*w);
            if (asked < -kMaximumWidth || asked > kMaximumWidth) {
                copyAsWritten();
                continue;
            }
            if (asked < 0) resolved.flags += '-';  // a negative width means left-justified
            width = static_cast<int>(asked < 0 ? -asked : asked);
        }
        if (directive->precision.fromArgument) {
            const Any* p = arguments.take(directive->precision.position);
            if (!p || !p->isNumber() || integerOf(*p) > kMaximumWidth) {
                copyAsWritten();
                continue;
            }
            const std::int64_t asked = integerOf(*p);
            resolved.precision.value = asked < 0 ? std::nullopt : std::optional<int>(static_cast<int>(asked));
        }
        const Any* value = arguments.take(directive->position);
        if (!value) {
            copyAsWritten();
            continue;
        }
        out += formatArgument(resolved, width, *value);
        i = end;
    }
    return out;
}

}  // namespace platform
