// GIFAnimatable: what a view adopts to play an animated GIF (or a list of images). The adopter
// provides an animator, its layer, frame and content mode; every other member comes here,
// built on the animator.
//
//   auto view = std::make_shared<GIFImageView>(CGRect{{0, 0}, {120, 90}});
//   view->animate(GifName{"spinner"}, 0);     // the bundle's spinner.gif, forever, at 120 x 90
//   view->isAnimatingGIF();                   // true; each frame reaches view->image()
//
// Every member that needs the animator does nothing, or gives 0, none or false, without one.
// A new frame travels animatorHasNewFrame() -> setNeedsDisplay -> the view's display pass ->
// updateImageIfNeeded(): an ImageContainer adopter shows it as its image, any other sets its
// layer's contents. An adopter that is not a UIView has no display pass, so there the frame
// is applied at once. Frame size and content mode are read when a store is made.
//
// Thread rule: main thread. The URL variants download on the global queue and continue on
// the main queue, holding the adopter until then; preparation blocks run on the store's
// preload queue.
#pragma once

#include <QVToolbox/gif/Animator.h>

#include <QVPlatform/base/URL.h>
#include <QVPlatform/layers/CALayer.h>

#include <cstdint>
#include <memory>
#include <optional>

namespace QVToolbox {

class GIFAnimatable {
public:
    using Block = Animator::Block;

    virtual ~GIFAnimatable() = default;

    // --- What the adopter provides ---
    virtual std::shared_ptr<Animator> animator() = 0;
    virtual void setAnimator(std::shared_ptr<Animator> animator) = 0;
    virtual const std::shared_ptr<platform::CALayer>& layer() const = 0;
    virtual platform::CGRect frame() const = 0;
    virtual void setFrame(platform::CGRect frame) = 0;
    virtual platform::UIViewContentMode contentMode() const = 0;
    virtual void setContentMode(platform::UIViewContentMode mode) = 0;
    // The adopter itself, shared (adopters live in a shared_ptr); held by pending downloads.
    virtual std::shared_ptr<GIFAnimatable> sharedAnimatable() = 0;

    // --- Playing ---
    // The animator's animate(...) at the view's frame size and content mode. The name
    // variant looks in the animator's bundle.
    void animate(const GifName& name, std::int64_t loopCount = 0, Block preparationBlock = {}, Block animationBlock = {},
                 Block loopBlock = {});
    void animate(platform::Data data, std::int64_t loopCount = 0, Block preparationBlock = {}, Block animationBlock = {},
                 Block loopBlock = {});
    void animate(Animator::Images images, std::int64_t loopCount = 0, Block preparationBlock = {},
                 Block animationBlock = {}, Block loopBlock = {});
    // Downloads `url`, then animate(data...) on the main queue. A download with no bytes and
    // an error prints "Error downloading gif: <description> at url: <url>" on standard output.
    void animate(const platform::URL& url, std::int64_t loopCount = 0, Block preparationBlock = {},
                 Block animationBlock = {}, Block loopBlock = {});

    // The name variant looks in the main bundle, not the animator's.
    void prepareForAnimation(const GifName& name, std::int64_t loopCount = 0, Block completionHandler = {});
    // An ImageContainer first shows the platform's still of the data (none clears it).
    void prepareForAnimation(platform::Data data, std::int64_t loopCount = 0, Block completionHandler = {});
    // Downloads, then prepareForAnimation(data...) on the main queue.
    void prepareForAnimation(const platform::URL& url, std::int64_t loopCount = 0, Block completionHandler = {});
    void prepareForReuse();

    void startAnimatingGIF();
    void stopAnimatingGIF();
    // Settings for stores made from now on.
    void setShouldResizeFrames(bool resize);
    void setFrameBufferSize(std::int64_t size);
    void setFrameBufferCount(std::int64_t count);

    // --- State ---
    double gifLoopDuration();
    std::int64_t frameCount();
    std::shared_ptr<platform::UIImage> activeFrame();
    bool isAnimatingGIF();
    // For ImageContainer adopters: the image's size, or {0, 0} without one; else absent.
    std::optional<platform::CGSize> intrinsicContentSize() const;

    // --- Showing frames ---
    // Called by the animator when the frame changed: marks the adopter for display.
    virtual void animatorHasNewFrame();
    // Shows the animator's current frame (an ImageContainer keeps its image when there is none).
    void updateImageIfNeeded();

private:
    // The adopter's size and content mode, read when a store is made.
    platform::CGSize viewSize() const { return frame().size; }
    // Downloads `url` on the shared session; `then` runs on the main queue with the bytes.
    void download(const platform::URL& url, std::function<void(GIFAnimatable&, platform::Data)> then);
};

}  // namespace QVToolbox
