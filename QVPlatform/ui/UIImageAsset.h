// UIImageAsset: one image in several variants, one per interface style, resolved for a trait
// collection.
//
//   auto asset = std::make_shared<UIImageAsset>();
//   asset->registerImage(lightIcon, UITraitCollection::withUserInterfaceStyle(UIUserInterfaceStyle::light));
//   asset->registerImage(darkIcon, UITraitCollection::withUserInterfaceStyle(UIUserInterfaceStyle::dark));
//   asset->imageWithTraitCollection(dark);   // darkIcon
//   lightIcon->withTraitCollection(dark);    // darkIcon, through lightIcon->imageAsset()
//
// Registering a second image for the same style replaces the first. Resolution takes the
// variant of the requested style (an unspecified style counts as the system appearance),
// else the variant registered with unspecified traits, else the light one, else any; null
// when nothing is registered. The asset keeps its images; each image refers back to its
// asset weakly, so drop neither while the other is wanted through it.
// Thread rule: register and resolve from any thread (a lock guards the variants).
#pragma once

#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/ui/UITraitCollection.h>

#include <memory>
#include <mutex>
#include <vector>

namespace platform {

class UIImage;

class UIImageAsset : public NSObjectSubclass<UIImageAsset, NSObject, "UIImageAsset"> {
public:
    UIImageAsset() = default;

    // Adds `image` as the variant for `traits`; null does nothing. The image's `imageAsset`
    // becomes this asset (it leaves any asset it was in before only in that asset's lookups).
    void registerImage(const std::shared_ptr<UIImage>& image, const UITraitCollection& traits);
    std::shared_ptr<UIImage> imageWithTraitCollection(const UITraitCollection& traits) const;
    // Removes the variant registered for `traits`.
    void unregisterImage(const UITraitCollection& traits);

private:
    struct Variant {
        UIUserInterfaceStyle style;
        std::shared_ptr<UIImage> image;
    };
    mutable std::mutex lock_;
    std::vector<Variant> variants_;
};

}  // namespace platform
