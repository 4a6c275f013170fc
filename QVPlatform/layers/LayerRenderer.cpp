#include <QVPlatform/layers/LayerRenderer.h>

#include <QVPlatform/layers/CAMediaTimingFunction.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double unit(double v) { return std::isnan(v) ? 0 : std::clamp(v, 0.0, 1.0); }

CGLineCap capFor(const std::string& text) {
    if (text == "round") return CGLineCap::round;
    if (text == "square") return CGLineCap::square;
    return CGLineCap::butt;
}

CGLineJoin joinFor(const std::string& text) {
    if (text == "round") return CGLineJoin::round;
    if (text == "bevel") return CGLineJoin::bevel;
    return CGLineJoin::miter;
}

// The layer's bounds with its corner radius (clamped to half the shorter side by the path).
CGPath roundedBounds(const LayerState& s, CGFloat inset = 0) {
    CGMutablePath path;
    const CGRect r = s.bounds.standardized().insetBy(inset, inset);
    const CGFloat radius = std::isfinite(s.cornerRadius) ? std::max(0.0, s.cornerRadius - inset) : 0;
    if (!r.isNull()) path.addRoundedRect(r, {radius, radius});
    return path.path();
}

// Where the contents bitmap goes inside the bounds, by gravity. Top means the top on screen.
CGRect contentsRect(const LayerState& s, const Bitmap& bitmap) {
    const CGRect b = s.bounds.standardized();
    const double scale = std::isfinite(s.contentsScale) && s.contentsScale > 0 ? s.contentsScale : 1;
    const double w = bitmap.width / scale, h = bitmap.height / scale;
    switch (s.contentsGravity) {
        case CAContentsGravity::resize: return b;
        case CAContentsGravity::resizeAspect:
        case CAContentsGravity::resizeAspectFill: {
            const double fx = b.width() / w, fy = b.height() / h;
            const double f = s.contentsGravity == CAContentsGravity::resizeAspect ? std::min(fx, fy) : std::max(fx, fy);
            return {{b.midX() - w * f / 2, b.midY() - h * f / 2}, {w * f, h * f}};
        }
        default: break;
    }
    double x = b.midX() - w / 2, y = b.midY() - h / 2;
    switch (s.contentsGravity) {
        case CAContentsGravity::top: y = b.minY(); break;
        case CAContentsGravity::bottom: y = b.maxY() - h; break;
        case CAContentsGravity::left: x = b.minX(); break;
        case CAContentsGravity::right: x = b.maxX() - w; break;
        case CAContentsGravity::topLeft: x = b.minX(); y = b.minY(); break;
        case CAContentsGravity::topRight: x = b.maxX() - w; y = b.minY(); break;
        case CAContentsGravity::bottomLeft: x = b.minX(); y = b.maxY() - h; break;
        case CAContentsGravity::bottomRight: x = b.maxX() - w; y = b.maxY() - h; break;
        default: break;
    }
    return {{x, y}, {w, h}};
}

void drawShape(const ShapeState& shape, CGContext& ctx) {
    if (!shape.path || shape.path->isEmpty()) return;
    if (shape.fillColor && shape.fillColor->alpha > 0) {
        ctx.fillPath(*shape.path, *shape.fillColor,
                     shape.fillRule == "even-odd" ? CGPathFillRule::evenOdd : CGPathFillRule::winding);
    }
    if (!shape.strokeColor || !(shape.strokeColor->alpha > 0) || !(shape.lineWidth > 0)) return;
    const double start = unit(shape.strokeStart), end = std::isnan(shape.strokeEnd) ? 1 : unit(shape.strokeEnd);
    if (start >= end) return;
    CGPathRef outline = shape.path;
    if (start > 0 || end < 1) outline = shape.path->trimmed(start, end, 0.02);
    CGStrokeStyle style;
    style.lineWidth = shape.lineWidth;
    style.cap = capFor(shape.lineCap);
    style.join = joinFor(shape.lineJoin);
    style.miterLimit = shape.miterLimit;
    style.dashes = shape.lineDashPattern;
    style.dashPhase = shape.lineDashPhase;
    ctx.strokePath(*outline, *shape.strokeColor, style);
}

bool finite(CGRect r) {
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.maxX()) && std::isfinite(r.maxY());
}

// How far one point of the space `t` maps to points may reach in that space, at most:
// 1 / the smallest singular value, bounded by √(a² + b² + c² + d²) / |det|.
double unitsPerPoint(const CGAffineTransform& t) {
    const double det = std::abs(t.a * t.d - t.b * t.c);
    return std::sqrt(t.a * t.a + t.b * t.b + t.c * t.c + t.d * t.d) / det;
}

// The sublayer's placement in its superlayer's space: position, anchor point and transform.
CGAffineTransform placementOf(const LayerState& s) {
    const CGRect b = s.bounds;
    const CGPoint anchor{b.origin.x + s.anchorPoint.x * b.size.width, b.origin.y + s.anchorPoint.y * b.size.height};
    return CGAffineTransformMakeTranslation(-anchor.x, -anchor.y)
        .concatenating(s.affineTransform)
        .concatenating(CGAffineTransformMakeTranslation(s.position.x, s.position.y));
}

bool castsShadow(const LayerState& s) {
    return s.shadowColor && unit(s.shadowOpacity) > 0 && s.shadowColor->alpha > 0;
}

class Renderer {
public:
    // Without a provider every layer is drawn as presented at one instant, read once per frame.
    Renderer(CGContext& ctx, const LayerRenderer::StateProvider& provider)
        : ctx_(ctx), provider_(provider), time_(CACurrentMediaTime()) {}

    LayerState stateOf(const CALayer& layer) const { return provider_ ? provider_(layer) : layer.presentationState(time_); }

    // A sublayer: placed in its superlayer's space by position, anchor point and transform.
    void drawSublayer(const CALayer& layer, const LayerState& s, int depth) {
        if (s.hidden) return;
        ctx_.saveGState();
        ctx_.concatCTM(placementOf(s));
        drawLayer(layer, s, depth);
        ctx_.restoreGState();
    }

    // A layer in its own coordinate space.
    void drawLayer(const CALayer& layer, const LayerState& s, int depth) {
        if (s.hidden || depth > LayerRenderer::kMaxDepth) return;
        const double opacity = unit(s.opacity);
        if (opacity <= 0) return;
        const bool shadow = castsShadow(s);
        ctx_.saveGState();
        ctx_.setAlpha(opacity);
        if (shadow) {
            const CGColor color = s.shadowColor->withAlpha(s.shadowColor->clamped().alpha * unit(s.shadowOpacity));
            ctx_.setShadow(s.shadowOffset, s.shadowRadius, color);
            if (s.shadowPath) {
                ctx_.castShadow(*s.shadowPath);
                ctx_.setShadow({}, 0, std::nullopt);
            }
        }
        const bool group = opacity < 1 || (shadow && !s.shadowPath);
        if (group) {
            // The group covers only what the layer and its sublayers draw, when that is known.
            int budget = kBoxBudget;
            const auto box = drawnBox(layer, s, ctx_.ctm(), budget);
            if (box) {
                ctx_.beginTransparencyLayerWithRect(*box);
            } else {
                ctx_.beginTransparencyLayer();
            }
        }
        drawContent(layer, s, depth);
        if (group) ctx_.endTransparencyLayer();
        ctx_.restoreGState();
    }

private:
    // Layers looked at to find a group's box; past it, the group takes the whole clip.
    static constexpr int kBoxBudget = 256;

    // A box in the layer's space holding everything the layer and its sublayers draw (custom
    // drawing is taken to stay inside the bounds, as the platform's backing store does), or
    // nothing when it is not known. `toPoints` maps the layer's space to points.
    std::optional<CGRect> drawnBox(const CALayer& layer, const LayerState& s, const CGAffineTransform& toPoints,
                                   int& budget) const {
        if (--budget < 0) return std::nullopt;
        CGRect box = s.bounds.standardized();
        if (s.contents && !s.contents->empty()) box = CGRectUnion(box, contentsRect(s, *s.contents));
        if (s.shape && s.shape->path && !s.shape->path->isEmpty()) {
            const ShapeState& shape = *s.shape;
            // A stroke reaches past the path by half its width, or up to the miter limit at joins.
            const double reach = std::max(0.0, shape.lineWidth) / 2 * std::max(std::abs(shape.miterLimit), 1.5);
            box = CGRectUnion(box, shape.path->boundingBox().insetBy(-reach, -reach));
        }
        if (!s.masksToBounds) {
            for (const auto& sub : layer.sublayers()) {
                const LayerState t = stateOf(*sub);
                if (t.hidden || !(unit(t.opacity) > 0)) continue;
                const CGAffineTransform placement = placementOf(t);
                const CGAffineTransform subToPoints = placement.concatenating(toPoints);
                if (!subToPoints.isInvertible()) continue;  // draws nothing
                const auto inner = drawnBox(*sub, t, subToPoints, budget);
                if (!inner) return std::nullopt;
                CGRect placed = CGRectApplyAffineTransform(*inner, placement);
                if (castsShadow(t)) {
                    // The shadow moves by its offset and spreads by about 1.5 blur radii, in
                    // points whatever the transform.
                    const CGRect source = t.shadowPath ? CGRectApplyAffineTransform(t.shadowPath->boundingBox(), placement) : placed;
                    const double reach = (std::hypot(t.shadowOffset.width, t.shadowOffset.height) +
                                          2 * std::max(0.0, t.shadowRadius) + 2) * unitsPerPoint(toPoints);
                    placed = CGRectUnion(placed, source.insetBy(-reach, -reach));
                }
                box = CGRectUnion(box, placed);
            }
        }
        if (box.isNull() || !finite(box)) return std::nullopt;
        return box;
    }

    void drawContent(const CALayer& layer, const LayerState& s, int depth) {
        const bool background = s.backgroundColor && s.backgroundColor->alpha > 0;
        const CGPath rounded = background || s.masksToBounds ? roundedBounds(s) : CGPath{};
        if (background) ctx_.fillPath(rounded, *s.backgroundColor);
        ctx_.saveGState();
        if (s.masksToBounds) ctx_.clipToPath(rounded);
        if (s.contents && !s.contents->empty()) {
            ctx_.drawBitmap(s.contents, contentsRect(s, *s.contents), CGInterpolationQuality::default_);
        }
        if (s.shape) drawShape(*s.shape, ctx_);
        layer.drawInContext(ctx_);
        if (depth < LayerRenderer::kMaxDepth) drawSublayers(layer, depth + 1);
        ctx_.restoreGState();
        if (s.borderWidth > 0 && s.borderColor && s.borderColor->alpha > 0) {
            // The border lies inside the bounds.
            CGStrokeStyle style;
            style.lineWidth = s.borderWidth;
            ctx_.strokePath(roundedBounds(s, s.borderWidth / 2), *s.borderColor, style);
        }
    }

    // Each sublayer drawn from one snapshot, in list order stably sorted by zPosition.
    void drawSublayers(const CALayer& layer, int depth) {
        std::vector<std::pair<std::shared_ptr<CALayer>, LayerState>> sublayers;
        for (auto& sub : layer.sublayers()) {
            LayerState s = stateOf(*sub);
            sublayers.emplace_back(std::move(sub), std::move(s));
        }
        std::stable_sort(sublayers.begin(), sublayers.end(),
                         [](const auto& a, const auto& b) { return a.second.zPosition < b.second.zPosition; });
        for (const auto& [sub, s] : sublayers) drawSublayer(*sub, s, depth);
    }

    CGContext& ctx_;
    const LayerRenderer::StateProvider& provider_;
    double time_;
};

}  // namespace

void LayerRenderer::render(const CALayer& root, CGContext& context, const StateProvider& provider) {
    Renderer renderer(context, provider);
    const LayerState s = renderer.stateOf(root);
    context.saveGState();
    context.translateBy(-s.bounds.standardized().minX(), -s.bounds.standardized().minY());
    renderer.drawLayer(root, s, 0);
    context.restoreGState();
}

std::optional<Bitmap> LayerRenderer::renderBitmap(const CALayer& root, double scale, std::optional<CGColor> background,
                                                  const StateProvider& provider) {
    if (!std::isfinite(scale) || scale <= 0) return std::nullopt;
    const LayerState s = provider ? provider(root) : root.presentationState();
    const double w = std::ceil(s.bounds.width() * scale - 1e-9), h = std::ceil(s.bounds.height() * scale - 1e-9);
    if (!(w >= 1 && h >= 1 && w <= kMaxImageDimension && h <= kMaxImageDimension)) return std::nullopt;
    auto context = CGContext::make(static_cast<int>(w), static_cast<int>(h), scale);
    if (!context) return std::nullopt;
    if (background) context->clear(*background);
    render(root, *context, provider);
    return context->takeBitmap();
}

std::optional<Data> LayerRenderer::renderPNG(const CALayer& root, double scale, std::optional<CGColor> background,
                                             const StateProvider& provider) {
    auto bitmap = renderBitmap(root, scale, background, provider);
    if (!bitmap) return std::nullopt;
    return encodePNG(*bitmap, PNGCompression::fast);
}

}  // namespace platform
