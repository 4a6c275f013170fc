// Resource bundles for images and bundles of a module, and QVImageResource.
//
//   QV<platform::UIImage>::loadImage("icon", "QVToolbox");   // from QVToolbox.bundle, else the main bundle
//   QV<platform::Bundle>::loadBundle("QVToolbox");            // the module's bundle, else the main bundle
//   struct Icons : QVImageResource { std::string resourceBundleName() const override { return "Icons"; } };
//   Icons().qv_img("close");
//
// For a bundle name N the lookup tries, under the main bundle's resource folder, in order:
// "/N.bundle", "/Frameworks/N.framework/N.bundle", "/Frameworks/N.framework", and uses the
// first that opens as a bundle (for images: the first in which the image is found). Thread-safe.
#pragma once

#include <QVToolbox/core/HxPOP.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/ui/UIImage.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// The candidate bundles for `bundleName` that exist, in lookup order.
std::vector<std::shared_ptr<platform::Bundle>> resourceBundles(std::string_view bundleName);
// The image named `name` from the first candidate bundle that has it, else from the main bundle.
std::shared_ptr<platform::UIImage> loadImage(std::string_view name, std::string_view bundleName);
// The first candidate bundle that opens, else the main bundle.
std::shared_ptr<platform::Bundle> loadBundle(std::string_view bundleName);

// Module resource lookup as static members of qv's image and bundle wrappers.
template <class W, class Base>
struct ResourceLookupMembers {};

template <class W>
struct ResourceLookupMembers<W, platform::UIImage> {
    static std::shared_ptr<platform::UIImage> loadImage(std::string_view name, std::string_view bundleName) {
        return QVToolbox::loadImage(name, bundleName);
    }
};

template <class W>
struct ResourceLookupMembers<W, platform::Bundle> {
    static std::shared_ptr<platform::Bundle> loadBundle(std::string_view bundleName) {
        return QVToolbox::loadBundle(bundleName);
    }
};

// Images of one module's resource bundle. Override resourceBundleName() in a subclass.
class QVImageResourceBundleProtocol {
public:
    virtual ~QVImageResourceBundleProtocol() = default;
    virtual std::string resourceBundleName() const = 0;
};

class QVImageResource : public QVImageResourceBundleProtocol {
public:
    // The default names no bundle: images come from the main bundle.
    std::string resourceBundleName() const override { return ""; }
    // The image from resourceBundleName()'s bundle, else by plain lookup in the main bundle.
    std::shared_ptr<platform::UIImage> qv_img(std::string_view name) const;
};

}  // namespace QVToolbox
