// The settings writer as a static member of the user defaults' wrapper (UserDefaultsWriter.h
// holds the contract):
//
//   HxPOP<platform::NSUserDefaults>::userDefaultsSetValue(platform::Any(false), "HxLightDarkKey");
//
// Thread rule: as UserDefaultsWriter.h.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/UserDefaultsWriter.h>

#include <QVPlatform/foundation/UserDefaults.h>

namespace QVToolbox {

template <class W, class Base>
struct UserDefaultsWriterMembers {};

template <class W>
struct UserDefaultsWriterMembers<W, platform::NSUserDefaults> {
    static bool userDefaultsSetValue(const platform::Any& value, std::optional<std::string_view> key) {
        return QVToolbox::userDefaultsSetValue(value, key);
    }
};

}  // namespace QVToolbox
