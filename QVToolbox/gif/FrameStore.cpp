#include <QVToolbox/gif/FrameStore.h>

#include <QVToolbox/gif/FrameDelay.h>

#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/ui/ScreenScale.h>
#include <QVPlatform/ui/UIGraphics.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace QVToolbox {

using platform::CGSize;
using platform::UIImage;
using platform::UIViewContentMode;

namespace {

std::size_t pixelBytes(const UIImage* image) {
    return image ? static_cast<std::size_t>(image->pixelWidth()) * static_cast<std::size_t>(image->pixelHeight()) * 4 : 0;
}

// Whether a drawing target of `size` points is a picture the platform can hold: finite, at
// least one pixel a side and within the image limits.
bool isDrawableTarget(CGSize size) {
    const double scale = platform::mainScreenScale();
    const double w = size.width * scale, h = size.height * scale;
    if (!std::isfinite(w) || !std::isfinite(h) || w < 1 || h < 1) return false;
    return w <= platform::kMaxImageDimension && h <= platform::kMaxImageDimension &&
           w * h <= static_cast<double>(platform::kMaxImagePixels);
}

// Aspect fit or fill of an image of `image` points into `view` points; each side rounded to
// whole points, halves away from zero.
CGSize aspectTarget(CGSize view, CGSize image, bool fill) {
    const double ratio = image.height == 0 ? 1 : image.width / image.height;
    const double widthForHeight = std::round(view.height * ratio);
    const double heightForWidth = std::round(view.width / ratio);
    const bool widthLimits = view.width < widthForHeight;
    if (fill) return widthLimits ? CGSize{widthForHeight, view.height} : CGSize{view.width, heightForWidth};
    return widthLimits ? CGSize{view.width, heightForWidth} : CGSize{widthForHeight, view.height};
}

}  // namespace

std::shared_ptr<FrameStore> FrameStore::make(std::optional<platform::Data> data, std::optional<Images> images,
                                             CGSize size, UIViewContentMode contentMode,
                                             FrameCachingStrategy cachingStrategy, std::int64_t loopCount) {
    auto store = std::make_shared<FrameStore>(Token{}, size, contentMode, cachingStrategy, loopCount);
    if (data) {
        // The store's frame list is the cache: the source keeps no composited frames.
        const platform::Any::Dictionary options{{platform::kCGImageSourceShouldCache, false}};
        store->imageSource_ = platform::CGImageSourceCreateWithData(std::move(*data), options);
        if (!store->imageSource_) store->imageSource_ = platform::CGImageSourceCreateIncremental(options);
        const auto type = platform::CGImageSourceGetType(*store->imageSource_);
        store->isGifSource_ = platform::UTTypeConformsTo(type.value_or(""), platform::kUTTypeGIF);
    }
    store->images_ = std::move(images);
    return store;
}

std::shared_ptr<FrameStore> FrameStore::make(platform::Data data, CGSize size, UIViewContentMode contentMode,
                                             std::int64_t frameBufferSize, std::int64_t loopCount) {
    const auto strategy =
        frameBufferSize >= 1 ? FrameCachingStrategy::cacheUpcoming(frameBufferSize) : FrameCachingStrategy::cacheAll();
    return make(std::move(data), std::nullopt, size, contentMode, strategy, loopCount);
}

FrameStore::FrameStore(Token, CGSize size, UIViewContentMode contentMode, FrameCachingStrategy cachingStrategy,
                       std::int64_t loopCount)
    : cachingStrategy_(cachingStrategy), loopCount_(loopCount), size_(size), contentMode_(contentMode) {}

platform::DispatchQueue& FrameStore::preloadFrameQueue() {
    std::call_once(queueOnce_, [this] { preloadFrameQueue_ = platform::DispatchQueue::make("com.qvtoolbox.gif.FrameStore.preload"); });
    return *preloadFrameQueue_;
}

bool FrameStore::isAnimatable() const {
    if (images_) return !images_->empty();
    if (!imageSource_) return true;
    return isGifSource_ && platform::CGImageSourceGetCount(*imageSource_) >= 2;
}

void FrameStore::prepareFrames(std::function<void()> completionHandler) {
    std::int64_t count = 0;
    if (imageSource_) count = static_cast<std::int64_t>(platform::CGImageSourceGetCount(*imageSource_));
    if (images_) count = static_cast<std::int64_t>(images_->size());
    frameCount_ = count;
    {
        std::lock_guard guard(lock_);
        animatedFrames_.reserve(static_cast<std::size_t>(count));
    }
    preloadFrameQueue().async([self = shared_from_this(), completionHandler = std::move(completionHandler)] {
        self->setupAnimatedFrames();
        if (completionHandler) completionHandler();
    });
}

void FrameStore::setupAnimatedFrames() {
    {
        std::lock_guard guard(lock_);
        for (std::size_t i = 0; i < animatedFrames_.size(); ++i) storeFrameLocked(i, nullptr);
        animatedFrames_.clear();
    }
    const std::int64_t count = frameCount_;
    // Durations come from the GIF only for a GIF of 2 frames or more; other sources give 0.
    const bool timedByGif = imageSource_ && isGifSource_ && platform::CGImageSourceGetCount(*imageSource_) >= 2;
    double total = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        double d = kImageListFrameDuration;
        if (!images_) {
            d = 0;
            if (timedByGif) {
                const auto properties = platform::CGImageSourceCopyPropertiesAtIndex(*imageSource_, static_cast<std::size_t>(i));
                d = frameStoreDelay(properties ? platform::Any(*properties) : platform::Any());
            }
        }
        // Only the loop total is capped per frame; the frame keeps its own duration.
        total += std::min(d, kMaxTimeStep);
        {
            std::lock_guard guard(lock_);
            animatedFrames_.push_back({nullptr, d});
        }
        if (i <= effectiveWindow()) loadIfPlaceholder(i);
    }
    loopDuration_ = total;
}

void FrameStore::loadIfPlaceholder(std::int64_t index) {
    {
        std::lock_guard guard(lock_);
        const auto at = static_cast<std::size_t>(index);
        if (index < 0 || at >= animatedFrames_.size() || !animatedFrames_[at].isPlaceholder()) return;
    }
    auto image = loadFrame(index);  // decoded and redrawn outside the lock
    std::lock_guard guard(lock_);
    const auto at = static_cast<std::size_t>(index);
    if (at < animatedFrames_.size()) storeFrameLocked(at, std::move(image));
}

void FrameStore::storeFrameLocked(std::size_t index, std::shared_ptr<UIImage> image) {
    AnimatedFrame& slot = animatedFrames_[index];
    if (slot.image) {
        --decodedFrames_;
        decodedBytes_ -= pixelBytes(slot.image.get());
    }
    if (image) {
        ++decodedFrames_;
        decodedBytes_ += pixelBytes(image.get());
        peakDecodedFrames_ = std::max(peakDecodedFrames_, decodedFrames_);
        peakDecodedBytes_ = std::max(peakDecodedBytes_, decodedBytes_);
    }
    slot = slot.withImage(std::move(image));
}

std::shared_ptr<UIImage> FrameStore::loadFrame(std::int64_t index) const {
    std::shared_ptr<UIImage> image;
    if (images_) {
        const auto at = static_cast<std::size_t>(index);
        image = at < images_->size() ? (*images_)[at] : nullptr;
    } else if (imageSource_) {
        auto bitmap = platform::CGImageSourceCreateImageAtIndex(*imageSource_, static_cast<std::size_t>(index));
        if (bitmap) image = UIImage::imageWithBitmap(std::move(*bitmap));
    }
    if (!image || !shouldResizeFrames_) return image;
    return resized(std::move(image));
}

std::shared_ptr<UIImage> FrameStore::resized(std::shared_ptr<UIImage> image) const {
    CGSize target = size_;
    if (contentMode_ == UIViewContentMode::scaleAspectFit || contentMode_ == UIViewContentMode::scaleAspectFill) {
        target = aspectTarget(size_, image->size(), contentMode_ == UIViewContentMode::scaleAspectFill);
        // A target no context can hold leaves the frame as decoded.
        if (!isDrawableTarget(target)) return image;
    } else if (target.width == 0 && target.height == 0) {
        return nullptr;
    }
    platform::UIGraphicsBeginImageContextWithOptions(target, false, 0);
    image->drawInRect({{0, 0}, target});
    auto redrawn = platform::UIGraphicsGetImageFromCurrentImageContext();
    platform::UIGraphicsEndImageContext();
    return redrawn ? redrawn : image;
}

bool FrameStore::shouldChangeFrame(double duration, const std::function<void(bool)>& handler) {
    const double step = duration > 0 ? std::min(duration, kMaxTimeStep) : 0;  // NaN and negatives move nothing
    timeSinceLastFrameChange_ += step;
    const double current = currentFrameDuration();
    const bool changed = timeSinceLastFrameChange_ + kDueTolerance >= current;
    if (changed) {
        timeSinceLastFrameChange_ = std::max(0.0, timeSinceLastFrameChange_ - current);
        incrementCurrentFrameIndex();
    }
    if (handler) handler(changed);
    return changed;
}

void FrameStore::incrementCurrentFrameIndex() {
    const std::int64_t count = frameCount_;
    if (count <= 0) return;
    const std::int64_t previous = currentFrameIndex_;
    const std::int64_t current = (previous + 1) % count;
    currentFrameIndex_ = current;
    previousFrameIndex_ = previous;
    // The update works from this change, captured now: it evicts the frame just left even
    // when the queue runs it after later changes.
    preloadFrameQueue().async([self = shared_from_this(), previous, current] { self->updateFrameCache(previous, current); });
    if (current == count - 1) {
        isLoopFinished_ = true;
        if (loopCount_ >= 1 && currentLoop_ == loopCount_ - 1) isFinished_ = true;  // below 1: forever
    } else {
        isLoopFinished_ = false;
        if (current == 0) ++currentLoop_;
    }
}

std::int64_t FrameStore::effectiveWindow() const { return std::max<std::int64_t>(frameBufferSize(), 1); }

void FrameStore::updateFrameCache(std::int64_t previous, std::int64_t current) {
    if (cachingStrategy_.kind() == FrameCachingStrategy::Kind::cacheUpcoming && effectiveWindow() < frameCount_ - 1) {
        deleteCachedFrame(previous);
    }
    {
        std::lock_guard guard(lock_);
        if (std::none_of(animatedFrames_.begin(), animatedFrames_.end(), [](const AnimatedFrame& f) { return f.isPlaceholder(); })) {
            return;
        }
    }
    for (const std::int64_t k : indexesToCache(current)) loadIfPlaceholder(k);
}

std::vector<std::int64_t> FrameStore::indexesToCache(std::int64_t start) const {
    const std::int64_t count = frameCount_;
    if (count <= 0) return {};
    // A window wider than the other frames covers each of them once.
    const std::int64_t ahead = std::min(effectiveWindow(), count - 1);
    std::vector<std::int64_t> indexes;
    indexes.reserve(static_cast<std::size_t>(ahead));
    for (std::int64_t step = 1; step <= ahead; ++step) indexes.push_back((start % count + step) % count);
    return indexes;
}

std::shared_ptr<UIImage> FrameStore::frame(std::int64_t index) const {
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<std::size_t>(index) >= animatedFrames_.size()) return nullptr;
    return animatedFrames_[static_cast<std::size_t>(index)].image;
}

double FrameStore::duration(std::int64_t index) const {
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<std::size_t>(index) >= animatedFrames_.size()) return std::numeric_limits<double>::infinity();
    return animatedFrames_[static_cast<std::size_t>(index)].duration;
}

void FrameStore::deleteCachedFrame(std::int64_t index) {
    std::shared_ptr<UIImage> dropped;  // destroyed after the lock is released
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<std::size_t>(index) >= animatedFrames_.size()) return;
    dropped = animatedFrames_[static_cast<std::size_t>(index)].image;
    storeFrameLocked(static_cast<std::size_t>(index), nullptr);
}

std::vector<AnimatedFrame> FrameStore::animatedFrames() const {
    std::lock_guard guard(lock_);
    return animatedFrames_;
}

std::size_t FrameStore::readLocked(const std::size_t& counter) const {
    std::lock_guard guard(lock_);
    return counter;
}

std::size_t FrameStore::decodedFrameCount() const { return readLocked(decodedFrames_); }
std::size_t FrameStore::peakDecodedFrameCount() const { return readLocked(peakDecodedFrames_); }
std::size_t FrameStore::peakDecodedBytes() const { return readLocked(peakDecodedBytes_); }

}  // namespace QVToolbox
