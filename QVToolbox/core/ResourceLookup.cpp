#include <QVToolbox/core/ResourceLookup.h>

namespace QVToolbox {

std::vector<std::shared_ptr<platform::Bundle>> resourceBundles(std::string_view bundleName) {
    std::vector<std::shared_ptr<platform::Bundle>> found;
    const auto main = platform::Bundle::main();
    if (!main || bundleName.empty()) return found;
    const std::string n(bundleName);
    const std::filesystem::path root = main->resourcePath();
    for (const auto& relative : {n + ".bundle", "Frameworks/" + n + ".framework/" + n + ".bundle",
                                 "Frameworks/" + n + ".framework"}) {
        if (auto bundle = platform::Bundle::atPath(root / relative)) found.push_back(std::move(bundle));
    }
    return found;
}

std::shared_ptr<platform::UIImage> loadImage(std::string_view name, std::string_view bundleName) {
    for (const auto& bundle : resourceBundles(bundleName)) {
        if (auto image = platform::UIImage::named(std::string(name), bundle)) return image;
    }
    return platform::UIImage::named(std::string(name));
}

std::shared_ptr<platform::Bundle> loadBundle(std::string_view bundleName) {
    auto bundles = resourceBundles(bundleName);
    return bundles.empty() ? platform::Bundle::main() : bundles.front();
}

std::shared_ptr<platform::UIImage> QVImageResource::qv_img(std::string_view name) const {
    return loadImage(name, resourceBundleName());
}

}  // namespace QVToolbox
