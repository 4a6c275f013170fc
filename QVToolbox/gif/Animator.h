// Animator: plays one FrameStore at a time on a display link, telling its view when the
// frame shown should change.
//
//   auto animator = Animator::make(view);                       // view: a GIFAnimatable, kept weakly
//   animator->animate(gifBytes, {100, 100}, UIViewContentMode::scaleAspectFit, 2,
//                     {}, [] { /* finished */ }, [] { /* a loop ended */ });
//   animator->activeFrame();                                    // the image to show now
//
// Each display tick adds the link's nominal duration (1/60 s; a frame counts at most 1 s) to
// the store's clock and changes at most one frame; on a change the view's
// animatorHasNewFrame() runs, then, when the last frame just became current, the loop block.
// The tick after the last frame of the last loop appeared pauses the link and runs the
// animation block. Every prepare or animate replaces the store (frame 0, loop 0); a store
// that is not animatable (a still, no image, an empty image list) never unpauses the link.
// Stores get the animator's frameBufferSize (1 or more: cacheUpcoming(n); 0 or less:
// cacheAll) and shouldResizeFrames (default false: frames shown as decoded).
//
// The display link is made on first use, paused; it holds a DisplayLinkProxy that holds the
// animator weakly, so the link never keeps the animator alive. Releasing the animator
// invalidates the link, from whichever thread the last owner lets go.
//
// Thread rule: main thread (the tick, the callbacks of animate except the preparation block,
// which runs on the store's preload queue). Releasing the animator is safe from any thread.
#pragma once

#include <QVToolbox/gif/FrameStore.h>
#include <QVToolbox/gif/GIFImageBuilders.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/layers/CADisplayLink.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIView.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace QVToolbox {

class GIFAnimatable;

class Animator : public std::enable_shared_from_this<Animator> {
    struct Token {};

public:
    using Block = std::function<void()>;
    using Images = FrameStore::Images;

    // init(withDelegate:): an animator for `delegate` (held weakly); no store, no link yet.
    static std::shared_ptr<Animator> make(std::weak_ptr<GIFAnimatable> delegate);
    Animator(Token, std::weak_ptr<GIFAnimatable> delegate);
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;
    ~Animator();

    // The store's values, or 0 / none without a store.
    double loopDuration() const;
    std::int64_t frameCount() const;
    std::shared_ptr<platform::UIImage> activeFrame() const;
    // True while the display link is not paused (reading it creates the link).
    bool isAnimating();

    // Frames kept decoded by stores made from now on (default 50).
    std::int64_t frameBufferSize() const { return frameBufferSize_; }
    void setFrameBufferSize(std::int64_t size) { frameBufferSize_ = size; }
    // Whether stores made from now on redraw frames at the view's size (default false).
    bool shouldResizeFrames() const { return shouldResizeFrames_; }
    void setShouldResizeFrames(bool value) { shouldResizeFrames_ = value; }
    const std::shared_ptr<FrameStore>& frameStore() const { return frameStore_; }
    void setFrameStore(std::shared_ptr<FrameStore> store) { frameStore_ = std::move(store); }
    // Where animate(GifName...) looks (default the main bundle).
    const std::shared_ptr<platform::Bundle>& bundle() const { return bundle_; }
    void setBundle(std::shared_ptr<platform::Bundle> bundle) { bundle_ = std::move(bundle); }

    // One display tick: finish, or advance the store and report a change.
    void updateFrameIfNeeded();

    // A new store over the GIF resource `name` in `bundle`: the text before the first "."
    // (empty pieces skipped) with the extension "gif". Does nothing when it is not found or
    // not readable.
    void prepareForAnimation(const GifName& name, const platform::Bundle& bundle, platform::CGSize size,
                             platform::UIViewContentMode contentMode, std::int64_t loopCount = 0,
                             Block completionHandler = {});
    // A new store over `data`, set up on its preload queue, then `completionHandler` there;
    // the display link is scheduled on the main run loop (still paused).
    void prepareForAnimation(platform::Data data, platform::CGSize size, platform::UIViewContentMode contentMode,
                             std::int64_t loopCount = 0, Block completionHandler = {});
    // The same over a list of images, each shown 0.05 s.
    void prepareForAnimation(Images images, platform::CGSize size, platform::UIViewContentMode contentMode,
                             std::int64_t loopCount = 0, Block completionHandler = {});

    // Unpauses the link when the store is animatable; otherwise nothing.
    void startAnimating();
    void stopAnimating();

    // Replaces the animation and loop blocks (also with none), prepares with
    // `preparationBlock` as the completion handler, then startAnimating(). The name variant
    // looks in bundle().
    void animate(Images images, platform::CGSize size, platform::UIViewContentMode contentMode, std::int64_t loopCount = 0,
                 Block preparationBlock = {}, Block animationBlock = {}, Block loopBlock = {});
    void animate(const GifName& name, platform::CGSize size, platform::UIViewContentMode contentMode,
                 std::int64_t loopCount = 0, Block preparationBlock = {}, Block animationBlock = {}, Block loopBlock = {});
    void animate(platform::Data data, platform::CGSize size, platform::UIViewContentMode contentMode,
                 std::int64_t loopCount = 0, Block preparationBlock = {}, Block animationBlock = {}, Block loopBlock = {});

    // Pauses the link and drops the store.
    void prepareForReuse();

private:
    platform::CADisplayLink& displayLink();
    // Puts the display link on the main run loop (once; later calls do nothing).
    void attachDisplayLink();
    // Makes `store` current with the animator's settings, prepares it and attaches the link.
    void adopt(std::shared_ptr<FrameStore> store, Block completionHandler);
    void setBlocks(Block animationBlock, Block loopBlock);

    std::int64_t frameBufferSize_ = 50;
    bool shouldResizeFrames_ = false;
    std::shared_ptr<FrameStore> frameStore_;
    std::shared_ptr<platform::Bundle> bundle_;
    bool displayLinkInitialized_ = false;
    std::weak_ptr<GIFAnimatable> delegate_;
    Block animationBlock_;
    Block loopBlock_;
    std::shared_ptr<platform::CADisplayLink> displayLink_;  // made on first use
};

}  // namespace QVToolbox
