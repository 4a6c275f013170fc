#include <QVToolbox/keychain/KeychainAttributes.h>

#include <QVToolbox/FoundationExtension/data/detail/AnyDescription.h>

namespace QVToolbox {

using platform::Any;

const Any* Attributes::find(std::string_view key) const {
    const auto found = attributes_.find(key);
    return found == attributes_.end() ? nullptr : &found->second;
}

std::optional<std::string> Attributes::text(std::string_view key) const {
    const Any* v = find(key);
    if (!v || !v->isString()) return std::nullopt;
    return v->string();
}

std::optional<platform::Data> Attributes::bytes(std::string_view key) const {
    const Any* v = find(key);
    if (!v || !v->isData()) return std::nullopt;
    return *v->asData();
}

std::optional<bool> Attributes::boolean(std::string_view key) const {
    const Any* v = find(key);
    if (!v || !v->isBool()) return std::nullopt;
    return v->boolValue();
}

std::optional<platform::Date> Attributes::date(std::string_view key) const {
    const Any* v = find(key);
    if (!v || !v->isDate()) return std::nullopt;
    return *v->asDate();
}

std::optional<std::int64_t> Attributes::port() const {
    const Any* v = find(platform::kSecAttrPort);
    if (!v || !v->isInteger()) return std::nullopt;
    return v->integerValue();
}

platform::SecAccessControlRef Attributes::accessControl() const {
    const Any* v = find(platform::kSecAttrAccessControl);
    return v ? v->objectAs<platform::SecAccessControl>() : nullptr;
}

std::optional<Any> Attributes::operator[](std::string_view key) const {
    const Any* v = find(key);
    if (!v) return std::nullopt;
    return *v;
}

std::string Attributes::description() const { return detail::describe(Any(attributes_)); }

}  // namespace QVToolbox
