#include <QVPlatform/ui/UIImageAsset.h>

#include <QVPlatform/ui/UIImage.h>

#include <algorithm>

namespace platform {

void UIImageAsset::registerImage(const std::shared_ptr<UIImage>& image, const UITraitCollection& traits) {
    if (!image) return;
    // An asset not held by a shared_ptr still resolves; its images just cannot point back.
    if (const auto self = weak_from_this().lock()) image->setImageAsset(std::static_pointer_cast<UIImageAsset>(self));
    const UIUserInterfaceStyle style = traits.userInterfaceStyle();
    std::lock_guard guard(lock_);
    for (auto& v : variants_) {
        if (v.style == style) {
            v.image = image;
            return;
        }
    }
    variants_.push_back({style, image});
}

void UIImageAsset::unregisterImage(const UITraitCollection& traits) {
    std::lock_guard guard(lock_);
    std::erase_if(variants_, [&](const Variant& v) { return v.style == traits.userInterfaceStyle(); });
}

std::shared_ptr<UIImage> UIImageAsset::imageWithTraitCollection(const UITraitCollection& traits) const {
    const UIUserInterfaceStyle wanted =
        traits.filledWith(UITraitCollection::systemUserInterfaceStyle()).userInterfaceStyle();
    std::lock_guard guard(lock_);
    for (const UIUserInterfaceStyle style : {wanted, UIUserInterfaceStyle::unspecified, UIUserInterfaceStyle::light}) {
        const auto it = std::find_if(variants_.begin(), variants_.end(), [&](const Variant& v) { return v.style == style; });
        if (it != variants_.end()) return it->image;
    }
    return variants_.empty() ? nullptr : variants_.front().image;
}

}  // namespace platform
