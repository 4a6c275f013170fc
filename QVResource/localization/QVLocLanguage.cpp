#include <QVResource/localization/QVLocLanguage.h>

#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>

namespace QVResource {

std::string loc(std::string_view key, std::string_view moduleName) {
    return QVLocalized::resourceBundle(moduleName)->localizedStr(key);
}

std::shared_ptr<platform::UIImage> imageLoc(std::string_view moduleName, std::string_view key) {
    return QVLocalized::resourceBundle(moduleName)->image(key);
}

platform::NSString QVLocLanguage::loc(std::string_view bundleName, std::string_view str) {
    return QVResource::loc(str, bundleName);
}

platform::NSString QVLocLanguage::locByInterpolation(std::string_view bundleName,
                                                     const QVRLocalizedStringKey& strInterpolation) {
    return QVLocalized::resourceBundle(bundleName)->localizedStrByInterpolation(strInterpolation);
}

}  // namespace QVResource
