// UIImageView: a view that shows an image placed by its content mode, or a sequence of images.
//
//   auto view = std::make_shared<UIImageView>(UIImage::named("photo"));  // sized to the image
//   view->setFrame({{0, 0}, {100, 100}});
//   view->setContentMode(UIViewContentMode::scaleAspectFit);   // whole image, letterboxed
//   view->setAnimationImages(frames); view->setAnimationDuration(1); view->startAnimating();
//
// The image is the layer's contents (no copy of the pixels) at the image's scale; the content
// mode is the layer's contents gravity: scale to fill stretches, aspect fit shows the whole
// image, aspect fill covers the bounds (clip with clipsToBounds), centre and the edges keep the
// image's size. An animated image (UIImage::animatedImageWithImages) plays by itself; animation
// images play between start and stop, each for duration / count seconds on the main run loop's
// clock (a duration of 0 means 1/30 s per image). User interaction is off by default.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIView.h>

#include <memory>
#include <vector>

namespace platform {

class UIImageView : public NSObjectSubclass<UIImageView, UIView, "UIImageView"> {
public:
    explicit UIImageView(CGRect frame = {});
    // A view the size of `image` at the origin.
    explicit UIImageView(std::shared_ptr<UIImage> image);
    ~UIImageView() override;

    std::shared_ptr<UIImage> image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);

    const std::vector<std::shared_ptr<UIImage>>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<std::shared_ptr<UIImage>> images);
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_ != nullptr; }
    // The index of the image shown by the running animation.
    std::size_t animationFrame() const { return frame_; }

    // The image's size in points ({0, 0} without one).
    CGSize sizeThatFits(CGSize size) const override;

private:
    void show(const std::shared_ptr<UIImage>& image);
    void play(const std::vector<std::shared_ptr<UIImage>>& frames, double duration);
    void step();

    std::shared_ptr<UIImage> image_;
    std::vector<std::shared_ptr<UIImage>> animationImages_;
    double animationDuration_ = 0;
    std::shared_ptr<Timer> timer_;
    std::vector<std::shared_ptr<UIImage>> frames_;  // what the timer steps through
    std::size_t frame_ = 0;
    bool playingAnimationImages_ = false;
};

}  // namespace platform
