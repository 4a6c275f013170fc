#include <QVToolbox/FoundationExtension/data/detail/AnyDescription.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/runtime/NSObject.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace QVToolbox::detail {

namespace {

void append(std::string& out, const platform::Any& value, bool nested);

std::string dateText(platform::Date date) {
    // "2023-11-14 22:13:20 +0000", the platform's description of a date.
    const double s = std::floor(date.timeIntervalSince1970());
    if (!std::isfinite(s) || std::fabs(s) > 1e15) return "<date>";
    const std::time_t t = static_cast<std::time_t>(s);
    std::tm parts{};
    gmtime_r(&t, &parts);
    // The year at least four digits wide, the sign before them ("0001", "-0229"), as %Y
    // does not pad.
    const long long year = static_cast<long long>(parts.tm_year) + 1900;
    char text[64];
    const int n = std::snprintf(text, sizeof text, "%s%04lld", year < 0 ? "-" : "", year < 0 ? -year : year);
    std::strftime(text + n, sizeof text - static_cast<std::size_t>(n), "-%m-%d %H:%M:%S +0000", &parts);
    return text;
}

void append(std::string& out, const platform::Any& value, bool nested) {
    using Kind = platform::Any::Kind;
    switch (value.kind()) {
        case Kind::null: out += "<null>"; break;
        case Kind::boolean: out += value.boolValue() ? "true" : "false"; break;
        case Kind::integer: out += std::to_string(value.integerValue()); break;
        case Kind::real: out += shortestDecimal(value.doubleValue()); break;
        case Kind::text: out += nested ? platform::quoted(value.string()) : value.string(); break;
        case Kind::data: out += std::to_string(value.asData()->count()) + " bytes"; break;
        case Kind::date: out += dateText(*value.asDate()); break;
        case Kind::list: {
            out += '[';
            bool first = true;
            for (const auto& element : *value.asList()) {
                if (!first) out += ", ";
                first = false;
                append(out, element, true);
            }
            out += ']';
            break;
        }
        case Kind::dictionary: {
            const auto& dict = *value.asDictionary();
            if (dict.empty()) {
                out += "[:]";
                break;
            }
            out += '[';
            bool first = true;
            for (const auto& [key, element] : dict) {
                if (!first) out += ", ";
                first = false;
                out += platform::quoted(key);
                out += ": ";
                append(out, element, true);
            }
            out += ']';
            break;
        }
        case Kind::object: {
            const auto object = value.object();
            out += object ? object->description() : "<null>";
            break;
        }
    }
}

}  // namespace

std::string shortestDecimal(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string describe(const platform::Any& value) {
    std::string out;
    append(out, value, false);
    return out;
}

}  // namespace QVToolbox::detail
