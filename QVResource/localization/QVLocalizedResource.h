// QVLocalizedResource: one module's texts and images in the effective language: the module's
// resource bundle, the `.lproj` bundle of the language inside it, and lookups through them.
//
//   auto login = QVLocalizedResource::create("Login");
//   login->localizedStr("title");           // from <lproj>/Login.strings, or "title"
//   login->image("icon_back");              // icon_back_en-US_main, icon_back_en-US, ...
//
// Finding the bundles for module M and language L (the effective language's raw value):
//  1. the main bundle's resource M.bundle, with L.lproj inside it;
//  2. the same M.bundle with L.lproj inside its "Localized" folder (M.bundle stays the
//     module bundle: images are looked up in it);
//  3. <resources>/M.bundle, 4. Frameworks/M.framework/M.bundle, 5. Frameworks/M.framework,
//     each accepted with or without L.lproj; Frameworks/ is looked up in the resource folder
//     and then at the bundle root (where a bundle with a Resources folder keeps it).
// Attempts 1 and 2 need both bundles; attempts 3 and 4 move on only when no module bundle
// exists; attempt 5 is final. Without a module bundle both bundles are the main bundle;
// without an `.lproj` bundle the `.lproj` bundle is the main bundle. A module name with "/"
// or ".." finds no module bundle, so nothing outside the application bundle is read.
//
// Lookups do not cache languages or themes: every image lookup reads both afresh.
// Thread rule: a resource is immutable; use it from any thread.
#pragma once

#include <QVResource/localization/QVRLocalizedStringKey.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/ui/UIImage.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace QVResource {

class QVLocalizedResource {
public:
    // The resource of `moduleName` for the effective language (found as described above).
    static std::shared_ptr<QVLocalizedResource> create(std::string_view moduleName);

    QVLocalizedResource(std::string moduleName, std::shared_ptr<platform::Bundle> moduleBundle,
                        std::shared_ptr<platform::Bundle> lprojBundle);
    virtual ~QVLocalizedResource() = default;
    QVLocalizedResource(const QVLocalizedResource&) = delete;
    QVLocalizedResource& operator=(const QVLocalizedResource&) = delete;

    // The module's name, which is also the name of its strings table.
    const std::string& moduleName() const { return moduleName_; }
    const std::shared_ptr<platform::Bundle>& moduleBundle() const { return moduleBundle_; }
    const std::shared_ptr<platform::Bundle>& lprojBundle() const { return lprojBundle_; }

    // The translation of `key` in the table moduleName() of lprojBundle(); the key itself when
    // there is none. The empty key gives the empty text without a lookup.
    virtual std::string localizedStr(std::string_view key) const;
    // QVRText(key, moduleName(), lprojBundle()).
    virtual std::string localizedStrByInterpolation(const QVRLocalizedStringKey& key) const;
    // The first image found of name + "_" + sign + "_" + theme type, name + "_" + sign,
    // name + "_" + theme type and name, each in moduleBundle() and then the main bundle. When
    // none is found and the name is not empty, prints "未找到图片资源文件, imageName:" and the
    // name on standard output. Null when not found.
    virtual std::shared_ptr<platform::UIImage> image(std::string_view name) const;

private:
    const std::string moduleName_;
    const std::shared_ptr<platform::Bundle> moduleBundle_;
    const std::shared_ptr<platform::Bundle> lprojBundle_;
};

// The translation of key.key() in `tableName` of `bundle` (the main bundle when null),
// formatted with key.args() when there are arguments; a key without a translation is itself
// formatted with the arguments. `comment` is not used.
std::string QVRText(const QVRLocalizedStringKey& key, std::optional<std::string_view> tableName = std::nullopt,
                    std::shared_ptr<platform::Bundle> bundle = nullptr,
                    std::optional<std::string_view> comment = std::nullopt);

}  // namespace QVResource
