#include <QVPlatform/ui/UIToolbar.h>

namespace platform {

UIToolbar::UIToolbar(CGRect frame) : NSObjectSubclass(frame), hairline_(CALayer::layer()) {
    hairline_->setBackgroundColor(CGColor::gray(0, 0.3));
    layer()->addSublayer(hairline_);
    applyBackground();
    layoutSubviews();
}

void UIToolbar::setTranslucent(bool translucent) {
    translucent_ = translucent;
    applyBackground();
}

void UIToolbar::setBarTintColor(std::shared_ptr<UIColor> color) {
    tint_ = std::move(color);
    applyBackground();
}

void UIToolbar::applyBackground() {
    const auto base = tint_ ? tint_ : UIColor::colorWithWhite(0.97, 1);
    setBackgroundColor(base->colorWithAlphaComponent(translucent_ ? base->alpha() * kTranslucentAlpha : base->alpha()));
}

void UIToolbar::layoutSubviews() { hairline_->setFrame({{0, 0}, {bounds().size.width, 0.5}}); }

}  // namespace platform
