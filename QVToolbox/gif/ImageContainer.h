// ImageContainer: something that shows one optional image, such as an image view. A
// GIFAnimatable that is also an ImageContainer shows each new frame as its image.
//
//   class Poster : public GIFAnimatable, public ImageContainer { ... image() / setImage() ... };
//   poster.setImage(animator->activeFrame());
//
// Thread rule: as the adopter's (views: main thread).
#pragma once

#include <QVPlatform/ui/UIImage.h>

#include <memory>

namespace QVToolbox {

class ImageContainer {
public:
    virtual ~ImageContainer() = default;

    // The image shown; null for none.
    virtual std::shared_ptr<platform::UIImage> image() const = 0;
    virtual void setImage(std::shared_ptr<platform::UIImage> image) = 0;
};

}  // namespace QVToolbox
