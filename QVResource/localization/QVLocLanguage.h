// The lookup conveniences: texts and images of a module by its name, through the registry of
// QVLocalized (a module is registered at its first lookup).
//
//   loc("title", "Login");                        // QVLocalized::resourceBundle("Login")->localizedStr("title")
//   imageLoc("Login", "icon_back");               // ...->image("icon_back")
//   QVLocLanguage::loc("Login", "title");         // the same text, as a platform string
//
// Thread rule: callable from any thread.
#pragma once

#include <QVPlatform/base/NSString.h>
#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVResource/localization/QVRLocalizedStringKey.h>

#include <memory>
#include <string>
#include <string_view>

namespace QVResource {

// The translation of `key` in module `moduleName`, or the key.
std::string loc(std::string_view key, std::string_view moduleName);
// The image `key` of module `moduleName`, found language- and theme-aware; null when none.
std::shared_ptr<platform::UIImage> imageLoc(std::string_view moduleName, std::string_view key);

// The conveniences for callers that speak platform strings.
class QVLocLanguage : public platform::NSObjectSubclass<QVLocLanguage, platform::NSObject, "QVLocLanguage"> {
public:
    static platform::NSString loc(std::string_view bundleName, std::string_view str);
    static platform::NSString locByInterpolation(std::string_view bundleName, const QVRLocalizedStringKey& strInterpolation);
};

}  // namespace QVResource
