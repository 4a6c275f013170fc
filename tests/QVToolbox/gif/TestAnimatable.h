// A GIFAnimatable that is no view, for the animator tests: a layer, a 4 x 4 frame, scale to
// fill, and an animator made for it. Frames show as the layer's contents.
#pragma once

#include <QVToolbox/gif/Animator.h>
#include <QVToolbox/gif/GIFAnimatable.h>

#include <QVPlatform/layers/CALayer.h>

#include <memory>

namespace giftest {

class TestAnimatable : public QVToolbox::GIFAnimatable, public std::enable_shared_from_this<TestAnimatable> {
public:
    // An adopter of type T (a TestAnimatable) with its animator.
    template <class T = TestAnimatable>
    static std::shared_ptr<T> make() {
        auto adopter = std::make_shared<T>();
        adopter->setAnimator(QVToolbox::Animator::make(adopter));
        return adopter;
    }

    std::shared_ptr<QVToolbox::Animator> animator() override { return animator_; }
    void setAnimator(std::shared_ptr<QVToolbox::Animator> animator) override { animator_ = std::move(animator); }
    const std::shared_ptr<platform::CALayer>& layer() const override { return layer_; }
    platform::CGRect frame() const override { return frame_; }
    void setFrame(platform::CGRect frame) override { frame_ = frame; }
    platform::UIViewContentMode contentMode() const override { return mode_; }
    void setContentMode(platform::UIViewContentMode mode) override { mode_ = mode; }
    std::shared_ptr<QVToolbox::GIFAnimatable> sharedAnimatable() override { return shared_from_this(); }

private:
    std::shared_ptr<QVToolbox::Animator> animator_;
    std::shared_ptr<platform::CALayer> layer_ = platform::CALayer::layer();
    platform::CGRect frame_{{0, 0}, {4, 4}};
    platform::UIViewContentMode mode_ = platform::UIViewContentMode::scaleToFill;
};

}  // namespace giftest
