#include <QVToolbox/gif/Animator.h>

#include <QVToolbox/gif/DisplayLinkProxy.h>
#include <QVToolbox/gif/GIFAnimatable.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/URLLoading.h>

#include <string_view>

namespace QVToolbox {

using platform::CGSize;
using platform::UIViewContentMode;

namespace {

// The resource name a GIF name stands for: the first piece between dots, skipping empty
// pieces ("spinner.gif" and "spinner.v2" give "spinner", ".hidden" gives "hidden"); empty
// when there is none.
std::string_view resourceName(std::string_view name) {
    while (!name.empty() && name.front() == '.') name.remove_prefix(1);
    return name.substr(0, name.find('.'));
}

}  // namespace

std::shared_ptr<Animator> Animator::make(std::weak_ptr<GIFAnimatable> delegate) {
    return std::make_shared<Animator>(Token{}, std::move(delegate));
}

Animator::Animator(Token, std::weak_ptr<GIFAnimatable> delegate)
    : bundle_(platform::Bundle::main()), delegate_(std::move(delegate)) {}

Animator::~Animator() {
    // Safe from any thread: the last owner may let go on a preload or download queue.
    if (displayLinkInitialized_) displayLink_->invalidate();
}

platform::CADisplayLink& Animator::displayLink() {
    if (!displayLink_) {
        // The link holds the proxy; the proxy holds this animator weakly.
        auto proxy = std::make_shared<DisplayLinkProxy>(weak_from_this());
        displayLink_ = platform::CADisplayLink::make([proxy](platform::CADisplayLink&) { proxy->onScreenUpdate(); });
        displayLink_->setPaused(true);
        displayLinkInitialized_ = true;
    }
    return *displayLink_;
}

double Animator::loopDuration() const { return frameStore_ ? frameStore_->loopDuration() : 0; }

std::int64_t Animator::frameCount() const { return frameStore_ ? frameStore_->frameCount() : 0; }

std::shared_ptr<platform::UIImage> Animator::activeFrame() const {
    return frameStore_ ? frameStore_->currentFrameImage() : nullptr;
}

bool Animator::isAnimating() { return !displayLink().isPaused(); }

void Animator::updateFrameIfNeeded() {
    // The store and the blocks are held for the tick: the callbacks may replace them.
    const auto store = frameStore_;
    if (!store) return;
    if (store->isFinished()) {
        stopAnimating();
        if (const auto block = animationBlock_) block();
        return;
    }
    if (!store->shouldChangeFrame(displayLink().duration())) return;
    if (const auto delegate = delegate_.lock()) delegate->animatorHasNewFrame();
    if (store->isLoopFinished()) {
        if (const auto block = loopBlock_) block();
    }
}

void Animator::prepareForAnimation(const GifName& name, const platform::Bundle& bundle, CGSize size,
                                   UIViewContentMode contentMode, std::int64_t loopCount, Block completionHandler) {
    const auto resource = resourceName(name.name);
    if (resource.empty()) return;
    const auto url = bundle.urlForResource(resource, "gif");
    if (!url) return;
    auto data = platform::dataWithContentsOfURL(*url);
    if (!data) return;
    prepareForAnimation(std::move(*data), size, contentMode, loopCount, std::move(completionHandler));
}

void Animator::prepareForAnimation(platform::Data data, CGSize size, UIViewContentMode contentMode, std::int64_t loopCount,
                                   Block completionHandler) {
    adopt(FrameStore::make(std::move(data), size, contentMode, frameBufferSize_, loopCount), std::move(completionHandler));
}

void Animator::prepareForAnimation(Images images, CGSize size, UIViewContentMode contentMode, std::int64_t loopCount,
                                   Block completionHandler) {
    const auto strategy = frameBufferSize_ >= 1 ? FrameStore::FrameCachingStrategy::cacheUpcoming(frameBufferSize_)
                                                : FrameStore::FrameCachingStrategy::cacheAll();
    adopt(FrameStore::make(std::nullopt, std::move(images), size, contentMode, strategy, loopCount),
          std::move(completionHandler));
}

void Animator::adopt(std::shared_ptr<FrameStore> store, Block completionHandler) {
    store->setShouldResizeFrames(shouldResizeFrames_);
    frameStore_ = store;  // the previous store ends once its queued work has run
    store->prepareFrames(std::move(completionHandler));
    attachDisplayLink();
}

void Animator::attachDisplayLink() { displayLink().addToRunLoop(platform::RunLoop::main(), platform::RunLoop::Mode::common); }

void Animator::startAnimating() {
    if (frameStore_ && frameStore_->isAnimatable()) displayLink().setPaused(false);
}

void Animator::stopAnimating() { displayLink().setPaused(true); }

void Animator::setBlocks(Block animationBlock, Block loopBlock) {
    animationBlock_ = std::move(animationBlock);
    loopBlock_ = std::move(loopBlock);
}

void Animator::animate(Images images, CGSize size, UIViewContentMode contentMode, std::int64_t loopCount,
                       Block preparationBlock, Block animationBlock, Block loopBlock) {
    setBlocks(std::move(animationBlock), std::move(loopBlock));
    prepareForAnimation(std::move(images), size, contentMode, loopCount, std::move(preparationBlock));
    startAnimating();
}

void Animator::animate(const GifName& name, CGSize size, UIViewContentMode contentMode, std::int64_t loopCount,
                       Block preparationBlock, Block animationBlock, Block loopBlock) {
    setBlocks(std::move(animationBlock), std::move(loopBlock));
    const auto bundle = bundle_ ? bundle_ : platform::Bundle::main();
    prepareForAnimation(name, *bundle, size, contentMode, loopCount, std::move(preparationBlock));
    startAnimating();
}

void Animator::animate(platform::Data data, CGSize size, UIViewContentMode contentMode, std::int64_t loopCount,
                       Block preparationBlock, Block animationBlock, Block loopBlock) {
    setBlocks(std::move(animationBlock), std::move(loopBlock));
    prepareForAnimation(std::move(data), size, contentMode, loopCount, std::move(preparationBlock));
    startAnimating();
}

void Animator::prepareForReuse() {
    stopAnimating();
    frameStore_.reset();
}

}  // namespace QVToolbox
