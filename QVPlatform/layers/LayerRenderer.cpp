#include <QVPlatform/layers/LayerRenderer.h>

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

class Renderer {
public:
    Renderer(CGContext& ctx, const LayerRenderer::StateProvider& provider) : ctx_(ctx), provider_(provider) {}

    LayerState stateOf(const CALayer& layer) const { return provider_ ? provider_(layer) : layer.state(); }

    // A sublayer: placed in its superlayer's space by position, anchor point and transform.
    void drawSublayer(const CALayer& layer, const LayerState& s, int depth) {
        if (s.hidden) return;
        const CGRect b = s.bounds;
        const CGPoint anchor{b.origin.x + s.anchorPoint.x * b.size.width, b.origin.y + s.anchorPoint.y * b.size.height};
        const CGAffineTransform placement = CGAffineTransformMakeTranslation(-anchor.x, -anchor.y)
                                                .concatenating(s.affineTransform)
                                                .concatenating(CGAffineTransformMakeTranslation(s.position.x, s.position.y));
        ctx_.saveGState();
        ctx_.concatCTM(placement);
        drawLayer(layer, s, depth);
        ctx_.restoreGState();
    }

    // A layer in its own coordinate space.
    void drawLayer(const CALayer& layer, const LayerState& s, int depth) {
        if (s.hidden || depth > LayerRenderer::kMaxDepth) return;
        const double opacity = unit(s.opacity);
        if (opacity <= 0) return;
        const bool shadow = s.shadowColor && unit(s.shadowOpacity) > 0 && s.shadowColor->alpha > 0;
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
        if (group) ctx_.beginTransparencyLayer();
        drawContent(layer, s, depth);
        if (group) ctx_.endTransparencyLayer();
        ctx_.restoreGState();
    }

private:
    void drawContent(const CALayer& layer, const LayerState& s, int depth) {
        const CGPath rounded = roundedBounds(s);
        if (s.backgroundColor && s.backgroundColor->alpha > 0) ctx_.fillPath(rounded, *s.backgroundColor);
        ctx_.saveGState();
        if (s.masksToBounds) ctx_.clipToPath(rounded);
        if (s.contents && !s.contents->empty()) {
            ctx_.drawBitmap(*s.contents, contentsRect(s, *s.contents), CGInterpolationQuality::default_);
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
    const LayerState s = provider ? provider(root) : root.state();
    const double w = std::ceil(s.bounds.width() * scale - 1e-9), h = std::ceil(s.bounds.height() * scale - 1e-9);
    if (!(w >= 1 && h >= 1 && w <= kMaxImageDimension && h <= kMaxImageDimension)) return std::nullopt;
    auto context = CGContext::make(static_cast<int>(w), static_cast<int>(h), scale);
    if (!context) return std::nullopt;
    if (background) context->clear(*background);
    render(root, *context, provider);
    return context->bitmap();
}

std::optional<Data> LayerRenderer::renderPNG(const CALayer& root, double scale, std::optional<CGColor> background,
                                             const StateProvider& provider) {
    auto bitmap = renderBitmap(root, scale, background, provider);
    if (!bitmap) return std::nullopt;
    return encodePNG(*bitmap, PNGCompression::fast);
}

}  // namespace platform
