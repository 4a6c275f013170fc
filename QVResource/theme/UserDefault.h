// UserDefault<T>: a typed read of one user-defaults entry with a default.
//
//   UserDefault<std::string> selected{"selectedTheme", "main"};
//   selected.wrappedValue();     // the stored text, or "main" when absent or not a text
//
// T is one of bool, std::int64_t, double, std::string, platform::Data, platform::Any::List or
// platform::Any::Dictionary; a stored value of another kind gives `defaultValue` (an integer
// is not a double, a number is not a text). Only reading: writers use NSUserDefaults directly.
// Thread rule: reads the shared user defaults, which may be used from any thread.
#pragma once

#include <QVPlatform/base/Any.h>
#include <QVPlatform/foundation/UserDefaults.h>

#include <cstdint>
#include <string>

namespace QVResource {

template <class T>
struct UserDefault {
    std::string key;
    T defaultValue;

    T wrappedValue() const {
        const platform::Any stored = platform::NSUserDefaults::standardUserDefaults().objectForKey(key);
        if constexpr (std::is_same_v<T, bool>) {
            if (stored.isBool()) return stored.boolValue();
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
            if (stored.isInteger()) return stored.integerValue();
        } else if constexpr (std::is_same_v<T, double>) {
            if (stored.isDouble()) return stored.doubleValue();
        } else if constexpr (std::is_same_v<T, std::string>) {
            if (stored.isString()) return stored.string();
        } else if constexpr (std::is_same_v<T, platform::Data>) {
            if (const auto* data = stored.asData()) return *data;
        } else if constexpr (std::is_same_v<T, platform::Any::List>) {
            if (const auto* list = stored.asList()) return *list;
        } else {
            static_assert(std::is_same_v<T, platform::Any::Dictionary>, "UserDefault of an unsupported type");
            if (const auto* dictionary = stored.asDictionary()) return *dictionary;
        }
        return defaultValue;
    }
};

}  // namespace QVResource
