#include <QVPlatform/layers/CAShapeLayer.h>

namespace platform {

std::shared_ptr<CAShapeLayer> CAShapeLayer::layer() { return std::make_shared<CAShapeLayer>(); }

CAShapeLayer::CAShapeLayer() { useShapeDefaults(); }

ShapeState CAShapeLayer::shapeState() const { return read([](const LayerState& s) { return *s.shape; }); }

CGPathRef CAShapeLayer::path() const { return read([](const LayerState& s) { return s.shape->path; }); }
void CAShapeLayer::setPath(CGPathRef path) { write([&](LayerState& s) { s.shape->path = std::move(path); }); }
std::optional<CGColor> CAShapeLayer::fillColor() const { return read([](const LayerState& s) { return s.shape->fillColor; }); }
void CAShapeLayer::setFillColor(std::optional<CGColor> color) { write([&](LayerState& s) { s.shape->fillColor = color; }); }
std::optional<CGColor> CAShapeLayer::strokeColor() const {
    return read([](const LayerState& s) { return s.shape->strokeColor; });
}
void CAShapeLayer::setStrokeColor(std::optional<CGColor> color) {
    write([&](LayerState& s) { s.shape->strokeColor = color; });
}
CGFloat CAShapeLayer::lineWidth() const { return read([](const LayerState& s) { return s.shape->lineWidth; }); }
void CAShapeLayer::setLineWidth(CGFloat width) { write([&](LayerState& s) { s.shape->lineWidth = width; }); }
CGFloat CAShapeLayer::miterLimit() const { return read([](const LayerState& s) { return s.shape->miterLimit; }); }
void CAShapeLayer::setMiterLimit(CGFloat limit) { write([&](LayerState& s) { s.shape->miterLimit = limit; }); }
std::string CAShapeLayer::lineCap() const { return read([](const LayerState& s) { return s.shape->lineCap; }); }
void CAShapeLayer::setLineCap(std::string cap) { write([&](LayerState& s) { s.shape->lineCap = std::move(cap); }); }
std::string CAShapeLayer::lineJoin() const { return read([](const LayerState& s) { return s.shape->lineJoin; }); }
void CAShapeLayer::setLineJoin(std::string join) { write([&](LayerState& s) { s.shape->lineJoin = std::move(join); }); }
std::string CAShapeLayer::fillRule() const { return read([](const LayerState& s) { return s.shape->fillRule; }); }
void CAShapeLayer::setFillRule(std::string rule) { write([&](LayerState& s) { s.shape->fillRule = std::move(rule); }); }
CGFloat CAShapeLayer::strokeStart() const { return read([](const LayerState& s) { return s.shape->strokeStart; }); }
void CAShapeLayer::setStrokeStart(CGFloat start) { write([&](LayerState& s) { s.shape->strokeStart = start; }); }
CGFloat CAShapeLayer::strokeEnd() const { return read([](const LayerState& s) { return s.shape->strokeEnd; }); }
void CAShapeLayer::setStrokeEnd(CGFloat end) { write([&](LayerState& s) { s.shape->strokeEnd = end; }); }
std::vector<CGFloat> CAShapeLayer::lineDashPattern() const {
    return read([](const LayerState& s) { return s.shape->lineDashPattern; });
}
void CAShapeLayer::setLineDashPattern(std::vector<CGFloat> pattern) {
    write([&](LayerState& s) { s.shape->lineDashPattern = std::move(pattern); });
}
CGFloat CAShapeLayer::lineDashPhase() const { return read([](const LayerState& s) { return s.shape->lineDashPhase; }); }
void CAShapeLayer::setLineDashPhase(CGFloat phase) { write([&](LayerState& s) { s.shape->lineDashPhase = phase; }); }

std::shared_ptr<CALayer> CAShapeLayer::copyLayer() const {
    auto copy = CAShapeLayer::layer();
    std::lock_guard lock(mutex_);
    shareStateWith(*copy);
    return copy;
}

}  // namespace platform
