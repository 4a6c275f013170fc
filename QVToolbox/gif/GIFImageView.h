// GIFImageView: an image view that plays animated GIFs: a UIImageView adopting GIFAnimatable
// (and ImageContainer through its image), so each new frame becomes its image.
//
//   auto view = std::make_shared<GIFImageView>(CGRect{{0, 0}, {120, 90}});
//   view->animate(gifBytes, 1, {}, [] { /* played once */ });
//   RunLoop::main().runUntilIdle();   // ticks and display passes: view->image() is the frame
//
// The animator is made on first read (for a view held by a shared_ptr; kept weakly by the
// animator) and may be replaced or removed: once set to none it stays none. The view's display
// pass (after setNeedsDisplay) shows the animator's current frame; like every display pass it
// runs only for a view at least a pixel wide and high.
//
// Thread rule: main thread, as every view.
#pragma once

#include <QVToolbox/gif/GIFAnimatable.h>
#include <QVToolbox/gif/ImageContainer.h>

#include <QVPlatform/ui/UIImageView.h>

#include <memory>

namespace QVToolbox {

class GIFImageView : public platform::NSObjectSubclass<GIFImageView, platform::UIImageView, "GIFImageView">,
                     public GIFAnimatable,
                     public ImageContainer {
public:
    explicit GIFImageView(platform::CGRect frame = {}) : NSObjectSubclass(frame) {}
    explicit GIFImageView(std::shared_ptr<platform::UIImage> image) : NSObjectSubclass(std::move(image)) {}

    // animate(...) plays a GIF here; view animations stay reachable as UIView::animate.
    using GIFAnimatable::animate;

    // GIFAnimatable: the animator, made for this view on first read unless set before.
    std::shared_ptr<Animator> animator() override;
    void setAnimator(std::shared_ptr<Animator> animator) override;
    const std::shared_ptr<platform::CALayer>& layer() const override { return UIView::layer(); }
    platform::CGRect frame() const override { return UIView::frame(); }
    void setFrame(platform::CGRect frame) override { UIView::setFrame(frame); }
    platform::UIViewContentMode contentMode() const override { return UIView::contentMode(); }
    void setContentMode(platform::UIViewContentMode mode) override { UIImageView::setContentMode(mode); }
    std::shared_ptr<GIFAnimatable> sharedAnimatable() override;

    // ImageContainer: the image view's image.
    std::shared_ptr<platform::UIImage> image() const override { return UIImageView::image(); }
    void setImage(std::shared_ptr<platform::UIImage> image) override { UIImageView::setImage(std::move(image)); }

    // The display pass: the base's drawing, then the animator's current frame as the image.
    void draw(platform::CGRect rect) override;

private:
    std::shared_ptr<Animator> animator_;
    bool animatorAssigned_ = false;  // made or set: never made again
};

}  // namespace QVToolbox
