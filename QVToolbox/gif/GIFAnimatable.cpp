#include <QVToolbox/gif/GIFAnimatable.h>

#include <QVToolbox/gif/ImageContainer.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/URLSession.h>
#include <QVPlatform/ui/UIView.h>

#include <cstdio>
#include <string>

namespace QVToolbox {

using platform::Data;

void GIFAnimatable::animate(const GifName& name, std::int64_t loopCount, Block preparationBlock, Block animationBlock,
                            Block loopBlock) {
    if (const auto a = animator()) {
        a->animate(name, viewSize(), contentMode(), loopCount, std::move(preparationBlock), std::move(animationBlock),
                   std::move(loopBlock));
    }
}

void GIFAnimatable::animate(Data data, std::int64_t loopCount, Block preparationBlock, Block animationBlock, Block loopBlock) {
    if (const auto a = animator()) {
        a->animate(std::move(data), viewSize(), contentMode(), loopCount, std::move(preparationBlock),
                   std::move(animationBlock), std::move(loopBlock));
    }
}

void GIFAnimatable::animate(Animator::Images images, std::int64_t loopCount, Block preparationBlock, Block animationBlock,
                            Block loopBlock) {
    if (const auto a = animator()) {
        a->animate(std::move(images), viewSize(), contentMode(), loopCount, std::move(preparationBlock),
                   std::move(animationBlock), std::move(loopBlock));
    }
}

void GIFAnimatable::animate(const platform::URL& url, std::int64_t loopCount, Block preparationBlock, Block animationBlock,
                            Block loopBlock) {
    download(url, [loopCount, preparationBlock = std::move(preparationBlock), animationBlock = std::move(animationBlock),
                   loopBlock = std::move(loopBlock)](GIFAnimatable& view, Data data) {
        view.animate(std::move(data), loopCount, preparationBlock, animationBlock, loopBlock);
    });
}

void GIFAnimatable::prepareForAnimation(const GifName& name, std::int64_t loopCount, Block completionHandler) {
    if (const auto a = animator()) {
        a->prepareForAnimation(name, *platform::Bundle::main(), viewSize(), contentMode(), loopCount,
                               std::move(completionHandler));
    }
}

void GIFAnimatable::prepareForAnimation(Data data, std::int64_t loopCount, Block completionHandler) {
    if (auto* container = dynamic_cast<ImageContainer*>(this)) container->setImage(platform::UIImage::imageWithData(data));
    if (const auto a = animator()) {
        a->prepareForAnimation(std::move(data), viewSize(), contentMode(), loopCount, std::move(completionHandler));
    }
}

void GIFAnimatable::prepareForAnimation(const platform::URL& url, std::int64_t loopCount, Block completionHandler) {
    download(url, [loopCount, completionHandler = std::move(completionHandler)](GIFAnimatable& view, Data data) {
        view.prepareForAnimation(std::move(data), loopCount, completionHandler);
    });
}

void GIFAnimatable::download(const platform::URL& url, std::function<void(GIFAnimatable&, Data)> then) {
    auto self = sharedAnimatable();
    const std::string text = url.absoluteString();
    auto task = platform::URLSession::shared()->dataTaskWithURL(
        url, [self = std::move(self), text, then = std::move(then)](std::optional<Data> data, std::optional<platform::URLResponse>,
                                                                    std::optional<platform::URLError> error) mutable {
            if (data) {
                // The bytes win over an error that came with them; the view is used on the main queue.
                platform::DispatchQueue::main()->async([self = std::move(self), then = std::move(then), data = std::move(*data)] {
                    if (self) then(*self, data);
                });
                return;
            }
            if (error) {
                std::printf("Error downloading gif: %s at url: %s\n", error->localizedDescription().c_str(), text.c_str());
                std::fflush(stdout);
            }
            // The view's last hold may end here; its animator's display link allows that.
            self.reset();
        });
    task->resume();
}

void GIFAnimatable::prepareForReuse() {
    if (const auto a = animator()) a->prepareForReuse();
}

void GIFAnimatable::startAnimatingGIF() {
    if (const auto a = animator()) a->startAnimating();
}

void GIFAnimatable::stopAnimatingGIF() {
    if (const auto a = animator()) a->stopAnimating();
}

void GIFAnimatable::setShouldResizeFrames(bool resize) {
    if (const auto a = animator()) a->setShouldResizeFrames(resize);
}

void GIFAnimatable::setFrameBufferSize(std::int64_t size) {
    if (const auto a = animator()) a->setFrameBufferSize(size);
}

void GIFAnimatable::setFrameBufferCount(std::int64_t count) { setFrameBufferSize(count); }

double GIFAnimatable::gifLoopDuration() {
    const auto a = animator();
    return a ? a->loopDuration() : 0;
}

std::int64_t GIFAnimatable::frameCount() {
    const auto a = animator();
    return a ? a->frameCount() : 0;
}

std::shared_ptr<platform::UIImage> GIFAnimatable::activeFrame() {
    const auto a = animator();
    return a ? a->activeFrame() : nullptr;
}

bool GIFAnimatable::isAnimatingGIF() {
    const auto a = animator();
    return a && a->isAnimating();
}

std::optional<platform::CGSize> GIFAnimatable::intrinsicContentSize() const {
    const auto* container = dynamic_cast<const ImageContainer*>(this);
    if (!container) return std::nullopt;
    const auto image = container->image();
    return image ? image->size() : platform::CGSize{0, 0};
}

void GIFAnimatable::animatorHasNewFrame() {
    if (auto* view = dynamic_cast<platform::UIView*>(this)) {
        view->setNeedsDisplay();
        return;
    }
    updateImageIfNeeded();  // no display pass outside a view
}

void GIFAnimatable::updateImageIfNeeded() {
    const auto a = animator();
    if (!a) return;
    auto frame = a->activeFrame();
    if (auto* container = dynamic_cast<ImageContainer*>(this)) {
        if (frame) container->setImage(std::move(frame));
        return;
    }
    if (!frame) {
        layer()->setContents(nullptr);
        return;
    }
    layer()->setContents(frame->sharedBitmap());
    layer()->setContentsScale(frame->scale());
}

}  // namespace QVToolbox
