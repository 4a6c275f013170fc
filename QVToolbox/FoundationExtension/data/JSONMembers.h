// JSON and URL queries of the text-keyed dictionary as members (JSONHelpers.h holds the
// contracts):
//
//   HxPOP<platform::Any::Dictionary>::jsonToDictionary(R"({"a":1})");
//   hx(Any::Dictionary{{"b", 2}, {"a", 1}}).toSortedURLQuery();   // "a=1&b=2"
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>

#include <QVPlatform/base/Any.h>

#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// The JSON helpers of JSONHelpers.h as members of the text-keyed dictionary.
template <class W, class Base>
struct JSONMembers {};

// JSON members of the text-keyed dictionary.
template <class W>
struct JSONMembers<W, platform::Any::Dictionary> {
    static std::optional<platform::Any::Dictionary> jsonToDictionary(std::string_view json) {
        return QVToolbox::jsonToDictionary(json);
    }
    std::optional<std::string> dictionaryToJson() const { return QVToolbox::dictionaryToJson(dictionary()); }
    std::string toSortedURLQuery() const { return QVToolbox::toSortedURLQuery(dictionary()); }

private:
    const platform::Any::Dictionary& dictionary() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
