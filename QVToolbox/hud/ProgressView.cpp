#include <QVToolbox/hud/ProgressView.h>

#include <QVPlatform/layers/CAAnimation.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace QVToolbox {

using namespace platform;

namespace {

constexpr double kPi = std::numbers::pi;

double finiteOrZero(double value) { return std::isfinite(value) ? value : 0; }

std::shared_ptr<CAShapeLayer> ring(CGPoint centre, double radius, double width, const UIColor& color) {
    CGMutablePath p;
    p.addArc(centre, std::max(0.0, radius), -kPi / 2, 3 * kPi / 2, true);
    auto layer = CAShapeLayer::layer();
    layer->setPath(p.copy());
    layer->setLineWidth(width);
    layer->setFillColor(std::nullopt);
    layer->setStrokeColor(color.cgColor());
    return layer;
}

}  // namespace

std::string percentageText(double value) {
    // value × 100 rounded to 1e-9 first: 0.29 × 100 is 28.999999999999996 in binary.
    const double percent = std::round(finiteOrZero(value) * 100 * 1e9) / 1e9;
    const double whole = std::floor(percent);
    if (std::abs(whole) > 1e15) return (whole < 0 ? "-" : "") + std::string("1000000000000000%");
    return std::to_string(static_cast<long long>(whole)) + "%";
}

ProgressView::ProgressView(CGRect frame, std::shared_ptr<UIColor> color)
    : NSObjectSubclass(frame), color_(color ? std::move(color) : UIColor::lightGrayColor()) {
    labelPercentage_ = std::make_shared<UILabel>();
    labelPercentage_->setTextAlignment(NSTextAlignment::center);
    labelPercentage_->setFont(UIFont::systemFontOfSize(12));
    labelPercentage_->setTextColor(color_);
    labelPercentage_->setText("0%");
    rebuild();
}

void ProgressView::layoutSubviews() {
    if (bounds().size != builtFor_) rebuild();
}

// Track ring, progress ring and label, sized to the bounds; the progress ring keeps the value.
void ProgressView::rebuild() {
    const CGRect b = bounds();
    builtFor_ = b.size;
    if (layerCircle_) layerCircle_->removeFromSuperlayer();
    if (layerProgress_) layerProgress_->removeFromSuperlayer();
    const CGPoint c{b.size.width / 2, b.size.height / 2};
    layerCircle_ = ring(c, b.size.width / 2, 3, *color_);
    layerProgress_ = ring(c, b.size.width / 2 - 5, 7, *color_);
    layerProgress_->setStrokeEnd(std::clamp(progress_, 0.0, 1.0));
    layer()->insertSublayer(layerCircle_, 0);
    layer()->insertSublayer(layerProgress_, 1);
    labelPercentage_->setFrame(b);
    // Joining the tree needs this view's shared pointer, which does not exist yet while it is
    // being made: the label is then added by the first layout or value.
    if (labelPercentage_->superview().get() != this && !weak_from_this().expired()) addSubview(labelPercentage_);
}

void ProgressView::setProgress(double value) {
    const double ring = std::clamp(finiteOrZero(value), 0.0, 1.0);
    CABasicAnimation grow("strokeEnd");
    grow.fromValue = std::clamp(progress_, 0.0, 1.0);
    grow.toValue = ring;
    grow.duration = 0.2;
    grow.fillMode = CAFillMode::forwards;
    grow.removedOnCompletion = false;
    layerProgress_->setStrokeEnd(ring);
    layerProgress_->addAnimation(grow, "animation");
    progress_ = finiteOrZero(value);
    labelPercentage_->setText(percentageText(value));
    if (labelPercentage_->superview().get() != this) addSubview(labelPercentage_);
}

}  // namespace QVToolbox
