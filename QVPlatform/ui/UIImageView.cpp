#include <QVPlatform/ui/UIImageView.h>

#include <algorithm>
#include <cmath>

namespace platform {

UIImageView::UIImageView(CGRect frame) : NSObjectSubclass(frame) { setUserInteractionEnabled(false); }

UIImageView::UIImageView(std::shared_ptr<UIImage> image) : UIImageView(CGRect{{0, 0}, image ? image->size() : CGSize{}}) {
    setImage(std::move(image));
}

UIImageView::~UIImageView() {
    if (timer_) timer_->invalidate();
}

void UIImageView::setImage(std::shared_ptr<UIImage> image) {
    assertMainThread("UIImageView::setImage");
    image_ = std::move(image);
    // An animated image plays by itself, unless animation images are playing.
    if (timer_ && playingAnimationImages_) return;
    stopAnimating();
    show(image_);
    if (image_ && image_->images().size() > 1) play(image_->images(), image_->duration());
}

void UIImageView::setAnimationImages(std::vector<std::shared_ptr<UIImage>> images) {
    std::erase(images, nullptr);
    const bool wasAnimating = isAnimating();
    stopAnimating();
    animationImages_ = std::move(images);
    if (wasAnimating) startAnimating();
}

void UIImageView::setAnimationDuration(double seconds) {
    animationDuration_ = std::isfinite(seconds) && seconds > 0 ? seconds : 0;
}

void UIImageView::startAnimating() {
    if (animationImages_.empty()) return;
    play(animationImages_, animationDuration_);
    playingAnimationImages_ = true;
}

void UIImageView::stopAnimating() {
    if (!timer_) return;
    timer_->invalidate();
    timer_.reset();
    frames_.clear();
    frame_ = 0;
    playingAnimationImages_ = false;
    show(image_);
}

void UIImageView::play(const std::vector<std::shared_ptr<UIImage>>& frames, double duration) {
    if (timer_) timer_->invalidate();
    frames_ = frames;
    frame_ = 0;
    playingAnimationImages_ = false;
    show(frames_.front());
    const double interval = duration > 0 ? duration / static_cast<double>(frames.size()) : 1.0 / 30;
    // The timer is invalidated by stopAnimating and the destructor, both on the main thread,
    // where it fires: `this` is alive whenever the block runs (even from the constructor).
    timer_ = Timer::scheduledTimer(interval, true, [this](Timer&) { step(); });
}

void UIImageView::step() {
    if (frames_.empty()) return;
    frame_ = (frame_ + 1) % frames_.size();
    show(frames_[frame_]);
}

void UIImageView::show(const std::shared_ptr<UIImage>& image) {
    if (!image) {
        layer()->setContents(nullptr);
        return;
    }
    layer()->setContents(image->sharedBitmap());
    layer()->setContentsScale(image->scale());
}

CGSize UIImageView::sizeThatFits(CGSize) const { return image_ ? image_->size() : CGSize{0, 0}; }

}  // namespace platform
