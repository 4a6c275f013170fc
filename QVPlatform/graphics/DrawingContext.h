// CGContext: an RGBA bitmap drawing context on Cairo. The origin is the top-left corner and y
// grows downwards (the UI kit's convention); one point is `scale` pixels.
//
//   auto ctx = CGContext::make(200, 100, 2);          // 100 × 50 points at 2×
//   ctx->fillPath(*path, CGColor{1, 0, 0, 1});
//   ctx->saveGState(); ctx->concatCTM(CGAffineTransformMakeRotation(0.3)); ...; ctx->restoreGState();
//   ctx->setShadow({0, 3}, 6, CGColor::black().withAlpha(0.5));
//   ctx->beginTransparencyLayer(); ...; ctx->endTransparencyLayer();   // alpha and shadow as one
//   Bitmap out = ctx->bitmap();                       // un-premultiplied RGBA
//   auto png = ctx->pngData();                        // fast zlib setting
//
// The graphics state (CTM, clip, alpha, shadow) is saved and restored as a stack. Safety: a
// transform that would make the CTM singular or non-finite is kept aside and nothing is drawn
// until the state is restored (Cairo would otherwise stop drawing for good); colours are
// clamped to 0...1; coordinates are transformed to pixels here and clamped inside Cairo's
// fixed-point range (±8 million); line widths, dashes, blur radii and alphas that are not
// finite or are negative draw nothing or fall back to the plain form. Shadows (offset and blur
// in points, not affected by the CTM, y down; the blur is Gaussian-like with a spread of half
// the blur radius, capped at 256 pixels) are applied to each drawing operation, or to a
// transparency layer as a whole. Thread rule: one thread at a time; distinct contexts are
// independent.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/graphics/Path.h>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

enum class CGLineCap { butt, round, square };
enum class CGLineJoin { miter, round, bevel };
enum class CGPathFillRule { winding, evenOdd };
enum class CGInterpolationQuality { default_, none, low, medium, high };

struct CGStrokeStyle {
    CGFloat lineWidth = 1;
    CGLineCap cap = CGLineCap::butt;
    CGLineJoin join = CGLineJoin::miter;
    CGFloat miterLimit = 10;
    std::vector<CGFloat> dashes;  // on, off, ... lengths; empty: a solid line
    CGFloat dashPhase = 0;
};

class CGContext {
public:
    // A transparent context of pixelWidth × pixelHeight pixels, `scale` pixels per point.
    // Null for a size outside 1...16384 per side or over 50 million pixels, or a scale that is
    // not finite and positive.
    static std::unique_ptr<CGContext> make(int pixelWidth, int pixelHeight, double scale = 1);
    ~CGContext();
    CGContext(const CGContext&) = delete;
    CGContext& operator=(const CGContext&) = delete;

    int pixelWidth() const;
    int pixelHeight() const;
    double scale() const;
    // The drawing area in points.
    CGSize size() const;

    void saveGState();
    // Restores the state saved last; unbalanced calls are ignored.
    void restoreGState();
    // Applies `t` before the current transform (as the platform's CGContextConcatCTM).
    void concatCTM(const CGAffineTransform& t);
    void translateBy(CGFloat x, CGFloat y) { concatCTM(CGAffineTransformMakeTranslation(x, y)); }
    void scaleBy(CGFloat x, CGFloat y) { concatCTM(CGAffineTransformMakeScale(x, y)); }
    void rotateBy(CGFloat radians) { concatCTM(CGAffineTransformMakeRotation(radians)); }
    // User space to points (the context's scale is not included).
    CGAffineTransform ctm() const;

    // Multiplies everything drawn from now on (0...1, clamped).
    void setAlpha(double alpha);
    // A shadow under what is drawn next; a null colour or zero alpha turns it off.
    void setShadow(CGSize offset, CGFloat blur, std::optional<CGColor> color);

    void fillPath(const CGPath& path, const CGColor& color, CGPathFillRule rule = CGPathFillRule::winding);
    void fillRect(CGRect rect, const CGColor& color);
    void strokePath(const CGPath& path, const CGColor& color, const CGStrokeStyle& style);
    // Paints only the shadow that filling `path` would cast with the shadow in force (nothing
    // without one), multiplied by the alpha in force; the outline itself is not drawn.
    void castShadow(const CGPath& path, CGPathFillRule rule = CGPathFillRule::winding);
    // Sets the whole context (ignoring CTM, clip and alpha) to one colour.
    void clear(const CGColor& color = CGColor::clear());

    // Intersects the clip with the filled outline / rectangle.
    void clipToPath(const CGPath& path, CGPathFillRule rule = CGPathFillRule::winding);
    void clipToRect(CGRect rect);

    // Draws the bitmap (un-premultiplied RGBA, its top row at the rectangle's top) stretched
    // into `rect`; nearest-neighbour for `none`, bilinear or better otherwise.
    void drawBitmap(const Bitmap& bitmap, CGRect rect,
                    CGInterpolationQuality quality = CGInterpolationQuality::default_);
    // The same for a shared bitmap that must not change while shared (a layer's contents): its
    // prepared pixels are kept, per thread, while it lives, so drawing it again costs no
    // conversion.
    void drawBitmap(const std::shared_ptr<const Bitmap>& bitmap, CGRect rect,
                    CGInterpolationQuality quality = CGInterpolationQuality::default_);

    // Everything drawn until the matching end is composited as one picture, with the alpha
    // and shadow in force at the begin; inside, alpha is 1 and there is no shadow.
    void beginTransparencyLayer();
    // The same, with what is drawn inside cut to `rect` (user space, at the begin): the group
    // and its shadow cost only that area rather than the whole context.
    void beginTransparencyLayerWithRect(CGRect rect);
    void endTransparencyLayer();

    // The pixels as un-premultiplied RGBA, top row first.
    Bitmap bitmap() const;
    // The same, handed over without a copy; the context is left 0 × 0 and draws nothing more.
    Bitmap takeBitmap();
    // The pixels as PNG, compressed with a fast zlib level.
    std::optional<Data> pngData() const;

private:
    friend struct CGContextAccess;  // text drawing reaches the Cairo context (detail/CairoAccess.h)
    struct Impl;
    explicit CGContext(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

}  // namespace platform
