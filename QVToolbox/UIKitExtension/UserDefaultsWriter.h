// The settings writer: stores a value in the standard user defaults and writes them to disk
// at once.
//
//   userDefaultsSetValue(platform::Any(true), "HxDarkToSystemKey");      // true
//   HxPOP<platform::NSUserDefaults>::userDefaultsSetValue(value, key);   // the same, as a member
//   userDefaultsSetValue(platform::Any(), "HxDarkToSystemKey");          // false: no value
//
// A null value or an absent key stores nothing and gives false, as does a value the user
// defaults refuse (one a property list cannot hold). The flush is best effort: when the file
// cannot be written now, the value stays stored in memory and the defaults write it later.
//
// Thread rule: any thread (the user defaults guard themselves).
#pragma once

#include <QVPlatform/base/Any.h>

#include <optional>
#include <string_view>

namespace QVToolbox {

bool userDefaultsSetValue(const platform::Any& value, std::optional<std::string_view> key);

}  // namespace QVToolbox
