#include <QVPlatform/base/Any.h>

#include <cmath>
#include <limits>

namespace platform {

Any::Any(Object v) {
    if (v) value_ = std::move(v);
}

const Any& Any::null() {
    static const Any value;
    return value;
}

bool Any::boolValue() const {
    switch (kind()) {
        case Kind::boolean: return std::get<bool>(value_);
        case Kind::integer: return std::get<std::int64_t>(value_) != 0;
        case Kind::real: return std::get<double>(value_) != 0;
        default: return false;
    }
}

std::int64_t Any::integerValue() const {
    switch (kind()) {
        case Kind::boolean: return std::get<bool>(value_) ? 1 : 0;
        case Kind::integer: return std::get<std::int64_t>(value_);
        case Kind::real: {
            const double d = std::get<double>(value_);
            if (std::isnan(d)) return 0;
            if (d >= 9.2233720368547758e18) return std::numeric_limits<std::int64_t>::max();
            if (d <= -9.2233720368547758e18) return std::numeric_limits<std::int64_t>::min();
            return static_cast<std::int64_t>(d);
        }
        default: return 0;
    }
}

double Any::doubleValue() const {
    switch (kind()) {
        case Kind::boolean: return std::get<bool>(value_) ? 1 : 0;
        case Kind::integer: return static_cast<double>(std::get<std::int64_t>(value_));
        case Kind::real: return std::get<double>(value_);
        default: return 0;
    }
}

const std::string& Any::string() const {
    static const std::string empty;
    const auto* s = asString();
    return s ? *s : empty;
}

Any::Object Any::object() const {
    const auto* o = std::get_if<Object>(&value_);
    return o ? *o : nullptr;
}

const Any& Any::operator[](std::string_view key) const {
    const auto* d = asDictionary();
    if (!d) return null();
    const auto it = d->find(key);
    return it == d->end() ? null() : it->second;
}

const Any& Any::operator[](std::size_t index) const {
    const auto* l = asList();
    return (l && index < l->size()) ? (*l)[index] : null();
}

std::size_t Any::count() const {
    if (const auto* l = asList()) return l->size();
    if (const auto* d = asDictionary()) return d->size();
    return 0;
}

bool operator==(const Any& a, const Any& b) {
    const bool aNumeric = a.isInteger() || a.isDouble();
    const bool bNumeric = b.isInteger() || b.isDouble();
    if (aNumeric && bNumeric && a.kind() != b.kind()) return a.doubleValue() == b.doubleValue();
    return a.value_ == b.value_;
}

}  // namespace platform
