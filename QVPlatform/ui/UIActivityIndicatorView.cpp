#include <QVPlatform/ui/UIActivityIndicatorView.h>

#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/ui/UIGraphics.h>

#include <cmath>
#include <numbers>

namespace platform {

namespace {

CGFloat sideOf(UIActivityIndicatorViewStyle style) { return style == UIActivityIndicatorViewStyle::large ? 37 : 20; }

}  // namespace

UIActivityIndicatorView::UIActivityIndicatorView(UIActivityIndicatorViewStyle style)
    : NSObjectSubclass(CGRect{{0, 0}, {sideOf(style), sideOf(style)}}), style_(style), color_(UIColor::grayColor()) {
    setHidden(true);
}

UIActivityIndicatorView::~UIActivityIndicatorView() {
    if (timer_) timer_->invalidate();
}

void UIActivityIndicatorView::setStyle(UIActivityIndicatorViewStyle style) {
    style_ = style;
    const CGPoint c = center();
    setBounds({{0, 0}, {sideOf(style), sideOf(style)}});
    setCenter(c);
    setNeedsDisplay();
}

void UIActivityIndicatorView::setColor(std::shared_ptr<UIColor> color) {
    color_ = color ? std::move(color) : UIColor::grayColor();
    setNeedsDisplay();
}

void UIActivityIndicatorView::setHidesWhenStopped(bool hides) {
    hidesWhenStopped_ = hides;
    if (!isAnimating()) setHidden(hides);
}

void UIActivityIndicatorView::startAnimating() {
    assertMainThread("UIActivityIndicatorView::startAnimating");
    setHidden(false);
    if (timer_) return;
    std::weak_ptr<UIActivityIndicatorView> weak = std::static_pointer_cast<UIActivityIndicatorView>(shared_from_this());
    timer_ = Timer::scheduledTimer(1.0 / kSpokes, true, [weak](Timer& t) {
        const auto self = weak.lock();
        if (!self) return t.invalidate();
        self->spoke_ = (self->spoke_ + 1) % kSpokes;
        self->setNeedsDisplay();
    });
    setNeedsDisplay();
}

void UIActivityIndicatorView::stopAnimating() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    if (hidesWhenStopped_) setHidden(true);
}

CGSize UIActivityIndicatorView::sizeThatFits(CGSize) const { return {sideOf(style_), sideOf(style_)}; }

void UIActivityIndicatorView::draw(CGRect) {
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGRect b = bounds();
    const CGFloat radius = std::min(b.width(), b.height()) / 2;
    const CGPoint c{b.midX(), b.midY()};
    const auto rgba = color_->rgba();
    CGStrokeStyle stroke;
    stroke.lineWidth = radius * 0.17;
    stroke.cap = CGLineCap::round;
    for (int i = 0; i < kSpokes; ++i) {
        // Spoke i points at i * 30 degrees clockwise from the top; the current one is brightest
        // and the ones behind it fade.
        const double angle = 2 * std::numbers::pi * i / kSpokes - std::numbers::pi / 2;
        const int behind = (spoke_ - i + kSpokes) % kSpokes;
        const double alpha = rgba.alpha * (1.0 - 0.8 * behind / (kSpokes - 1));
        CGMutablePath spoke;
        spoke.moveTo({c.x + std::cos(angle) * radius * 0.5, c.y + std::sin(angle) * radius * 0.5});
        spoke.addLineTo({c.x + std::cos(angle) * (radius - stroke.lineWidth / 2), c.y + std::sin(angle) * (radius - stroke.lineWidth / 2)});
        context->strokePath(spoke.path(), CGColor{rgba.red, rgba.green, rgba.blue, alpha}, stroke);
    }
}

}  // namespace platform
