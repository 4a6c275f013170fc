#include <QVResource/localization/QVLocalizedResource.h>

#include <QVPlatform/foundation/StringFormat.h>
#include <QVResource/localization/QVLocalized.h>
#include <QVResource/theme/QVThemeManager.h>

#include <iostream>

namespace QVResource {

namespace fs = std::filesystem;
using platform::Bundle;

namespace {

struct FoundBundles {
    std::shared_ptr<Bundle> module;
    std::shared_ptr<Bundle> lproj;
};

// The `L.lproj` bundle directly inside `bundle`, or null.
std::shared_ptr<Bundle> lprojIn(const Bundle& bundle, std::string_view language) {
    const auto path = bundle.pathForResource(language, "lproj");
    return path ? Bundle::atPath(*path) : nullptr;
}

// The bundle at `folder` and its `L.lproj` bundle (either may be null).
FoundBundles openAt(const fs::path& folder, std::string_view language) {
    FoundBundles found;
    found.module = Bundle::atPath(folder);
    if (found.module) found.lproj = lprojIn(*found.module, language);
    return found;
}

// A module name that stays one folder name inside the application bundle.
bool isSafeModuleName(std::string_view name) {
    return !name.empty() && name.find('/') == std::string_view::npos && name.find("..") == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// The five attempts of the header, in order.
FoundBundles findModuleBundles(std::string_view module, std::string_view language) {
    if (!isSafeModuleName(module)) return {};
    const std::shared_ptr<Bundle> main = Bundle::main();
    const std::string name(module);
    if (const auto path = main->pathForResource(name, "bundle")) {
        if (auto found = openAt(*path, language); found.module && found.lproj) return found;
        if (auto localized = openAt(*path / "Localized", language); localized.module && localized.lproj)
            return {Bundle::atPath(*path), localized.lproj};
    }
    const fs::path resources = main->resourcePath();
    if (auto found = openAt(resources / (name + ".bundle"), language); found.module) return found;
    // Frameworks/ in the resource folder, then at the bundle root when that differs.
    std::vector<fs::path> frameworkRoots = {resources / "Frameworks"};
    if (main->bundlePath() != resources) frameworkRoots.push_back(main->bundlePath() / "Frameworks");
    for (const auto& frameworks : frameworkRoots) {
        const fs::path framework = frameworks / (name + ".framework");
        if (auto found = openAt(framework / (name + ".bundle"), language); found.module) return found;
    }
    for (const auto& frameworks : frameworkRoots) {
        if (auto found = openAt(frameworks / (name + ".framework"), language); found.module) return found;
    }
    return {};
}

// U+FFFE U+FCFB: a default value no translation can be, so a miss is told from a hit.
constexpr std::string_view kMissingSentinel = "\xEF\xBF\xBE\xEF\xB3\xBB";

}  // namespace

std::shared_ptr<QVLocalizedResource> QVLocalizedResource::create(std::string_view moduleName) {
    const QVLanguageType language = QVLocalized::currentLanguage();
    FoundBundles found = findModuleBundles(moduleName, language.rawValue());
    const std::shared_ptr<Bundle> main = Bundle::main();
    auto lproj = found.module && found.lproj ? found.lproj : main;
    auto module = found.module ? found.module : main;
    return std::make_shared<QVLocalizedResource>(std::string(moduleName), std::move(module), std::move(lproj));
}

QVLocalizedResource::QVLocalizedResource(std::string moduleName, std::shared_ptr<Bundle> moduleBundle,
                                         std::shared_ptr<Bundle> lprojBundle)
    : moduleName_(std::move(moduleName)),
      moduleBundle_(moduleBundle ? std::move(moduleBundle) : Bundle::main()),
      lprojBundle_(lprojBundle ? std::move(lprojBundle) : Bundle::main()) {}

std::string QVLocalizedResource::localizedStr(std::string_view key) const {
    if (key.empty()) return {};
    return lprojBundle_->localizedStringForKey(key, "", moduleName_);
}

std::string QVLocalizedResource::localizedStrByInterpolation(const QVRLocalizedStringKey& key) const {
    return QVRText(key, moduleName_, lprojBundle_);
}

std::shared_ptr<platform::UIImage> QVLocalizedResource::image(std::string_view name) const {
    const std::string base(name);
    const std::string language = "_" + std::string(QVLocalized::currentLanguage().sign());
    const std::string theme = "_" + std::string(QVThemeManager::shared().currentTheme()->type().rawValue());
    const std::shared_ptr<Bundle> main = Bundle::main();
    for (const std::string& candidate : {base + language + theme, base + language, base + theme, base}) {
        if (auto found = platform::UIImage::named(candidate, moduleBundle_)) return found;
        if (auto found = platform::UIImage::named(candidate, main)) return found;
    }
    if (!name.empty()) std::cout << "未找到图片资源文件, imageName:" << name << std::endl;
    return platform::UIImage::named(base, main);
}

std::string QVRText(const QVRLocalizedStringKey& key, std::optional<std::string_view> tableName,
                    std::shared_ptr<Bundle> bundle, std::optional<std::string_view>) {
    const std::shared_ptr<Bundle> b = bundle ? std::move(bundle) : Bundle::main();
    const std::string k = key.key();
    const std::string s = b->localizedStringForKey(k, kMissingSentinel, tableName);
    const std::string& format = s != kMissingSentinel ? s : k;
    if (key.args().empty()) return format;
    return platform::stringWithFormat(format, key.args());
}

}  // namespace QVResource
