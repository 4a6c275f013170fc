#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/RunLoop.h>

#include <cmath>

namespace QVToolbox {

using platform::CALayer;
using platform::CAShapeLayer;
using platform::CGRect;

namespace {

// Every shape layer below `layer`, depth first.
template <class F>
void forEachShapeBelow(const CALayer& layer, const F& f) {
    for (const auto& sublayer : layer.sublayers()) {
        if (auto* shape = dynamic_cast<CAShapeLayer*>(sublayer.get())) f(*shape);
        forEachShapeBelow(*sublayer, f);
    }
}

}  // namespace

std::shared_ptr<SVGLayer> SVGLayer::make() { return std::make_shared<SVGLayer>(); }

CGRect SVGLayer::boundingBox() const {
    std::lock_guard lock(mutex_);
    return boundingBox_;
}

void SVGLayer::setBoundingBox(CGRect box) {
    std::lock_guard lock(mutex_);
    boundingBox_ = box;
}

void SVGLayer::setFillColor(std::optional<platform::CGColor> color) {
    CAShapeLayer::setFillColor(color);
    forEachShapeBelow(*this, [&](CAShapeLayer& shape) { shape.setFillColor(color); });
}

void SVGLayer::setStrokeColor(std::optional<platform::CGColor> color) {
    CAShapeLayer::setStrokeColor(color);
    forEachShapeBelow(*this, [&](CAShapeLayer& shape) { shape.setStrokeColor(color); });
}

void SVGLayer::setLineWidth(platform::CGFloat width) {
    CAShapeLayer::setLineWidth(width);
    forEachShapeBelow(*this, [&](CAShapeLayer& shape) { shape.setLineWidth(width); });
}

std::shared_ptr<CALayer> SVGLayer::copyLayer() const {
    auto copy = make();
    std::lock_guard lock(mutex_);
    shareStateWith(*copy);
    copy->boundingBox_ = boundingBox_;  // the copy is new: no other thread sees it yet
    return copy;
}

std::shared_ptr<SVGLayer> SVGLayer::svgLayerCopy() const { return std::dynamic_pointer_cast<SVGLayer>(deepCopy()); }

std::optional<double> fitFactor(CGRect box, CGRect rect) {
    if (box.isNull() || rect.isNull()) return std::nullopt;
    const double bw = box.width(), bh = box.height(), rw = rect.width(), rh = rect.height();
    const double factor = bw / bh <= rw / rh ? rh / bh : rw / bw;
    if (!std::isfinite(factor) || !(factor > 0)) return std::nullopt;
    return factor;
}

void resizeToFit(SVGLayer& layer, CGRect rect) {
    const auto factor = fitFactor(layer.boundingBox(), rect);
    if (!factor) return;
    const auto transform = platform::CGAffineTransformMakeScale(*factor, *factor);
    if (platform::RunLoop::isMainThread()) {
        layer.setAffineTransform(transform);
        return;
    }
    auto held = std::static_pointer_cast<SVGLayer>(layer.shared_from_this());
    platform::DispatchQueue::main()->async([held, transform] { held->setAffineTransform(transform); });
}

}  // namespace QVToolbox
