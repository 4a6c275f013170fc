// CAShapeLayer: a layer that fills and strokes a path, with a partial stroke between
// `strokeStart` and `strokeEnd` (fractions of the path's length).
//
//   auto shape = CAShapeLayer::layer();
//   shape->setPath(circlePath);                    // shared, never copied
//   shape->setFillColor(std::nullopt);
//   shape->setStrokeColor(CGColor{0, 0, 1, 1});
//   shape->setLineWidth(4);
//   shape->setStrokeEnd(0.25);                     // a quarter of the outline
//
// Defaults are the platform's: fill opaque black, no stroke, line width 1, miter limit 10, cap
// "butt", join "miter", fill rule "non-zero", stroke start 0 and end 1, no dash. Cap, join and
// fill rule are the platform's texts (constants below); any other text draws as the default.
// Thread rule: as CALayer, every setter and getter from any thread.
#pragma once

#include <QVPlatform/layers/CALayer.h>

namespace platform {

inline constexpr const char* kCALineCapButt = "butt";
inline constexpr const char* kCALineCapRound = "round";
inline constexpr const char* kCALineCapSquare = "square";
inline constexpr const char* kCALineJoinMiter = "miter";
inline constexpr const char* kCALineJoinRound = "round";
inline constexpr const char* kCALineJoinBevel = "bevel";
inline constexpr const char* kCAFillRuleNonZero = "non-zero";
inline constexpr const char* kCAFillRuleEvenOdd = "even-odd";

class CAShapeLayer : public NSObjectSubclass<CAShapeLayer, CALayer, "CAShapeLayer"> {
public:
    static std::shared_ptr<CAShapeLayer> layer();
    CAShapeLayer();

    CGPathRef path() const;
    void setPath(CGPathRef path);
    std::optional<CGColor> fillColor() const;
    void setFillColor(std::optional<CGColor> color);
    std::optional<CGColor> strokeColor() const;
    void setStrokeColor(std::optional<CGColor> color);
    CGFloat lineWidth() const;
    void setLineWidth(CGFloat width);
    CGFloat miterLimit() const;
    void setMiterLimit(CGFloat limit);
    std::string lineCap() const;
    void setLineCap(std::string cap);
    std::string lineJoin() const;
    void setLineJoin(std::string join);
    std::string fillRule() const;
    void setFillRule(std::string rule);
    CGFloat strokeStart() const;
    void setStrokeStart(CGFloat start);
    CGFloat strokeEnd() const;
    void setStrokeEnd(CGFloat end);
    std::vector<CGFloat> lineDashPattern() const;
    void setLineDashPattern(std::vector<CGFloat> pattern);
    CGFloat lineDashPhase() const;
    void setLineDashPhase(CGFloat phase);

    // The shape part of the snapshot; the base part as CALayer's.
    ShapeState shapeState() const;

protected:
    std::shared_ptr<CALayer> copyLayer() const override;
};

}  // namespace platform
