#include <QVPlatform/graphics/DrawingContext.h>

#include <QVPlatform/graphics/detail/CairoAccess.h>

#include <QVPlatform/graphics/detail/BoxBlur.h>
#include <QVPlatform/graphics/detail/Cairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace platform {

using detail::CairoPatternPtr;
using detail::CairoPtr;
using detail::CairoSurfacePtr;

namespace {

// Cairo keeps coordinates as 24.8 fixed point (about ±8.4 million pixels); stroke outlines
// reach past the path, so points are kept well inside.
constexpr double kMaxCoordinate = 4'000'000;

constexpr double kMaxShadowSigma = 256;  // pixels

double clampCoordinate(double v) {
    if (std::isnan(v)) return 0;
    return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

double clampUnit(double v) { return std::isnan(v) ? 0 : std::clamp(v, 0.0, 1.0); }

static_assert(std::endian::native == std::endian::little, "pixel conversions read RGBA bytes as words");

// RGBA bytes read as a little-endian word and Cairo's native ARGB word differ by the places of
// red and blue; swapping them is its own inverse.
constexpr std::uint32_t swapRedBlue(std::uint32_t v) { return (v & 0xFF00FF00u) | (v >> 16 & 0xFFu) | (v & 0xFFu) << 16; }

// Pixels are converted in blocks: a block of only opaque and clear pixels (most of any
// picture) is just swapped, in straight code the compiler vectorises.
constexpr int kBlock = 8;

// True when every alpha in the block is 0 or 255.
bool plainBlock(const std::uint32_t (&block)[kBlock]) {
    bool plain = true;
    for (std::uint32_t v : block) plain &= (((v >> 24) + 1) & 0xFEu) == 0;
    return plain;
}

// Un-premultiplied RGBA bytes to Cairo's premultiplied ARGB words; clear pixels lose their
// colour.
void premultiplyRow(const std::uint8_t* in, std::uint32_t* out, int count) {
    for (int x = 0; x < count; x += kBlock) {
        const int n = std::min(kBlock, count - x);
        std::uint32_t block[kBlock] = {};
        std::memcpy(block, in + static_cast<std::ptrdiff_t>(x) * 4, static_cast<std::size_t>(n) * 4);
        if (plainBlock(block)) {
            for (std::uint32_t& v : block) v = v >> 24 ? swapRedBlue(v) : 0;
        } else {
            for (std::uint32_t& v : block) {
                const unsigned a = v >> 24;
                auto pre = [a](unsigned c) { return (c * a + 127) / 255; };
                v = a << 24 | pre(v & 0xFF) << 16 | pre(v >> 8 & 0xFF) << 8 | pre(v >> 16 & 0xFF);
            }
        }
        std::memcpy(out + x, block, static_cast<std::size_t>(n) * 4);
    }
}

// The reverse: premultiplied ARGB words to RGBA bytes, rounding to the nearest value. `in`
// and `out` may be the same memory.
void unpremultiplyRow(const std::uint32_t* in, std::uint8_t* out, int count) {
    for (int x = 0; x < count; x += kBlock) {
        const int n = std::min(kBlock, count - x);
        std::uint32_t block[kBlock] = {};
        std::memcpy(block, in + x, static_cast<std::size_t>(n) * 4);
        if (plainBlock(block)) {
            for (std::uint32_t& v : block) v = swapRedBlue(v);  // premultiplied clear is all zero
        } else {
            for (std::uint32_t& v : block) {
                const unsigned a = v >> 24;
                if (a == 0) continue;
                auto un = [a](unsigned c) { return std::min(255u, (c * 255 + a / 2) / a); };
                v = a << 24 | un(v & 0xFF) << 16 | un(v >> 8 & 0xFF) << 8 | un(v >> 16 & 0xFF);
            }
        }
        std::memcpy(out + static_cast<std::ptrdiff_t>(x) * 4, block, static_cast<std::size_t>(n) * 4);
    }
}

// A matrix Cairo accepts and that maps to a drawable area: finite, with a determinant that
// is neither zero nor so small that inverting it overflows.
bool usable(const CGAffineTransform& t) {
    if (!t.isInvertible()) return false;
    const double det = std::abs(t.a * t.d - t.b * t.c);
    return det > 1e-20 && det < 1e20;
}

struct Shadow {
    CGSize offset{};
    CGFloat blur = 0;
    CGColor color = CGColor::clear();
    bool active() const { return color.alpha > 0; }
};

struct GState {
    CGAffineTransform ctm{};  // user space to points
    double alpha = 1;
    Shadow shadow;
};

struct Group {
    GState outer;            // the state at the begin, restored at the end
    std::size_t stackDepth;  // saves made inside the group are unwound at its end
    bool cropped = false;    // a Cairo save holds the crop clip, undone after the pop
};

// A device-space box, in whole pixels.
struct PixelBox {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

PixelBox roundedOut(double x1, double y1, double x2, double y2) {
    return {std::floor(clampCoordinate(x1)), std::floor(clampCoordinate(y1)), std::ceil(clampCoordinate(x2)),
            std::ceil(clampCoordinate(y2))};
}

}  // namespace

struct CGContext::Impl {
    int width = 0, height = 0;
    double scale = 1;
    std::vector<std::uint8_t> pixels;  // the surface's memory, rows of width * 4 bytes
    CairoSurfacePtr surface;
    CairoPtr cr;
    GState gs;
    std::vector<GState> stack;
    std::vector<Group> groups;

    // Draws the premultiplied `surface` (width × height pixels) stretched into `rect`.
    void drawSurface(cairo_surface_t* surface, int width, int height, CGRect rect, CGInterpolationQuality quality);

    CGAffineTransform device() const { return gs.ctm.concatenating(CGAffineTransformMakeScale(scale, scale)); }
    bool canDraw() const { return usable(device()); }

    // Puts `path` into Cairo in pixel coordinates (identity matrix), clamped to the safe range.
    void setPath(const CGPath& path) const {
        const CGAffineTransform m = device();
        cairo_identity_matrix(cr.get());
        cairo_new_path(cr.get());
        CGPoint current{};
        auto map = [&](CGPoint p) {
            const CGPoint d = CGPointApplyAffineTransform(p, m);
            return CGPoint{clampCoordinate(d.x), clampCoordinate(d.y)};
        };
        for (const CGPathElement& e : path) {
            switch (e.type) {
                case CGPathElementType::moveToPoint:
                    current = map(e.points[0]);
                    cairo_move_to(cr.get(), current.x, current.y);
                    break;
                case CGPathElementType::addLineToPoint:
                    current = map(e.points[0]);
                    cairo_line_to(cr.get(), current.x, current.y);
                    break;
                case CGPathElementType::addQuadCurveToPoint: {
                    // A quadratic is the cubic with controls two thirds of the way to its control.
                    const CGPoint c = map(e.points[0]), end = map(e.points[1]);
                    cairo_curve_to(cr.get(), current.x + 2.0 / 3 * (c.x - current.x), current.y + 2.0 / 3 * (c.y - current.y),
                                   end.x + 2.0 / 3 * (c.x - end.x), end.y + 2.0 / 3 * (c.y - end.y), end.x, end.y);
                    current = end;
                    break;
                }
                case CGPathElementType::addCurveToPoint: {
                    const CGPoint c1 = map(e.points[0]), c2 = map(e.points[1]);
                    current = map(e.points[2]);
                    cairo_curve_to(cr.get(), c1.x, c1.y, c2.x, c2.y, current.x, current.y);
                    break;
                }
                case CGPathElementType::closeSubpath: {
                    cairo_close_path(cr.get());
                    double x = 0, y = 0;
                    cairo_get_current_point(cr.get(), &x, &y);
                    current = {x, y};
                    break;
                }
            }
        }
    }

    void setColor(const CGColor& color) const {
        const CGColor c = color.clamped();
        cairo_set_source_rgba(cr.get(), c.red, c.green, c.blue, c.alpha * gs.alpha);
    }

    // The device box of the current Cairo path, filled.
    PixelBox fillBox() const {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        cairo_fill_extents(cr.get(), &x1, &y1, &x2, &y2);
        return roundedOut(x1, y1, x2, y2);
    }

    // The device box of `rect` in user space.
    PixelBox deviceBox(CGRect rect) const {
        const CGRect r = CGRectApplyAffineTransform(rect.standardized(), device());
        return roundedOut(r.minX(), r.minY(), r.maxX(), r.maxY());
    }

    // Starts a group whose surface covers only `box` (and the clip): Cairo sizes a group by
    // the clip, so a small box keeps both the group and its shadow mask small.
    void pushGroup(const std::optional<PixelBox>& box) {
        if (box) {
            cairo_save(cr.get());
            cairo_identity_matrix(cr.get());
            cairo_new_path(cr.get());
            cairo_rectangle(cr.get(), box->x1, box->y1, box->x2 - box->x1, box->y2 - box->y1);
            cairo_clip(cr.get());
        }
        cairo_push_group(cr.get());
    }

    CairoPatternPtr popGroup(bool cropped) {
        CairoPatternPtr group(cairo_pop_group(cr.get()));
        if (cropped) cairo_restore(cr.get());
        return group;
    }

    // Runs `paint` (which draws with the current source and alpha); with a shadow in force,
    // draws it into a group first (cropped to `box`, what `paint` covers, when known) and
    // casts the group's shadow under it.
    template <class Paint>
    void draw(Paint&& paint, const std::optional<PixelBox>& box = std::nullopt) {
        if (!gs.shadow.active()) {
            paint();
            return;
        }
        pushGroup(box);
        paint();
        CairoPatternPtr group = popGroup(box.has_value());
        castShadow(group.get(), gs.shadow);
        cairo_identity_matrix(cr.get());
        cairo_set_source(cr.get(), group.get());
        cairo_paint(cr.get());
    }

    // Paints `shadow` shaped by the blurred alpha of `group`, offset, under whatever follows.
    void castShadow(cairo_pattern_t* group, const Shadow& shadow) const {
        cairo_surface_t* source = nullptr;
        if (cairo_pattern_get_surface(group, &source) != CAIRO_STATUS_SUCCESS) return;
        cairo_surface_t* image = cairo_surface_map_to_image(source, nullptr);
        if (!image || cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) return;
        const int gw = cairo_image_surface_get_width(image), gh = cairo_image_surface_get_height(image);
        double dx = 0, dy = 0;
        cairo_surface_get_device_offset(source, &dx, &dy);
        // Past a few hundred pixels a wider blur only spreads a faint haze; the cap bounds the
        // mask's padding and so its memory.
        const int half = detail::boxHalfWidthForSigma(std::min(std::max(0.0, shadow.blur) * scale / 2, kMaxShadowSigma));
        const int pad = 3 * half + 1;
        const int w = gw + 2 * pad, h = gh + 2 * pad;
        CairoSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
        if (cairo_surface_status(mask.get()) != CAIRO_STATUS_SUCCESS || gw <= 0 || gh <= 0) {
            cairo_surface_unmap_image(source, image);
            return;
        }
        cairo_surface_flush(mask.get());
        const int stride = cairo_image_surface_get_stride(mask.get());
        std::uint8_t* out = cairo_image_surface_get_data(mask.get());
        const std::uint8_t* in = cairo_image_surface_get_data(image);
        const int inStride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < gh; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(in + static_cast<std::ptrdiff_t>(y) * inStride);
            std::uint8_t* target = out + static_cast<std::ptrdiff_t>(y + pad) * stride + pad;
            for (int x = 0; x < gw; ++x) target[x] = static_cast<std::uint8_t>(row[x] >> 24);
        }
        cairo_surface_unmap_image(source, image);
        detail::boxBlur3({out, static_cast<std::size_t>(stride) * h}, w, h, stride, half);
        cairo_surface_mark_dirty(mask.get());

        cairo_save(cr.get());
        cairo_identity_matrix(cr.get());
        const CGColor c = shadow.color.clamped();
        cairo_set_source_rgba(cr.get(), c.red, c.green, c.blue, c.alpha);
        const double ox = clampCoordinate(shadow.offset.width * scale), oy = clampCoordinate(shadow.offset.height * scale);
        cairo_mask_surface(cr.get(), mask.get(), -dx - pad + ox, -dy - pad + oy);
        cairo_restore(cr.get());
    }
};

CGContext::CGContext(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
CGContext::~CGContext() = default;

struct CGContextAccess {
    static cairo_t* cairo(CGContext& context) { return context.impl_->cr.get(); }
};

cairo_t* detail::cairoOf(CGContext& context) {
    cairo_identity_matrix(CGContextAccess::cairo(context));
    return CGContextAccess::cairo(context);
}

std::unique_ptr<CGContext> CGContext::make(int pixelWidth, int pixelHeight, double scale) {
    if (pixelWidth <= 0 || pixelHeight <= 0 || pixelWidth > kMaxImageDimension || pixelHeight > kMaxImageDimension ||
        static_cast<std::size_t>(pixelWidth) * pixelHeight > kMaxImagePixels || !std::isfinite(scale) || scale <= 0) {
        return nullptr;
    }
    auto impl = std::make_unique<Impl>();
    impl->width = pixelWidth;
    impl->height = pixelHeight;
    impl->scale = scale;
    // Our own memory under the surface, so that takeBitmap can hand it over without a copy.
    impl->pixels.resize(static_cast<std::size_t>(pixelWidth) * pixelHeight * 4);
    impl->surface.reset(cairo_image_surface_create_for_data(impl->pixels.data(), CAIRO_FORMAT_ARGB32, pixelWidth,
                                                            pixelHeight, pixelWidth * 4));
    if (cairo_surface_status(impl->surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    impl->cr.reset(cairo_create(impl->surface.get()));
    if (cairo_status(impl->cr.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    return std::unique_ptr<CGContext>(new CGContext(std::move(impl)));
}

int CGContext::pixelWidth() const { return impl_->width; }
int CGContext::pixelHeight() const { return impl_->height; }
double CGContext::scale() const { return impl_->scale; }
CGSize CGContext::size() const { return {impl_->width / impl_->scale, impl_->height / impl_->scale}; }

void CGContext::saveGState() {
    cairo_save(impl_->cr.get());
    impl_->stack.push_back(impl_->gs);
}

void CGContext::restoreGState() {
    const std::size_t floor = impl_->groups.empty() ? 0 : impl_->groups.back().stackDepth;
    if (impl_->stack.size() <= floor) return;
    cairo_restore(impl_->cr.get());
    impl_->gs = impl_->stack.back();
    impl_->stack.pop_back();
}

void CGContext::concatCTM(const CGAffineTransform& t) { impl_->gs.ctm = t.concatenating(impl_->gs.ctm); }
CGAffineTransform CGContext::ctm() const { return impl_->gs.ctm; }

void CGContext::setAlpha(double alpha) { impl_->gs.alpha = clampUnit(alpha); }

void CGContext::setShadow(CGSize offset, CGFloat blur, std::optional<CGColor> color) {
    Shadow& s = impl_->gs.shadow;
    const bool valid = color && std::isfinite(offset.width) && std::isfinite(offset.height);
    s.offset = valid ? offset : CGSize{};
    s.blur = std::isfinite(blur) && blur > 0 ? std::min(blur, 2000.0) : 0;
    s.color = valid ? color->clamped() : CGColor::clear();
}

void CGContext::fillPath(const CGPath& path, const CGColor& color, CGPathFillRule rule) {
    Impl& d = *impl_;
    if (path.isEmpty() || !d.canDraw()) return;
    std::optional<PixelBox> box;
    if (d.gs.shadow.active()) {
        d.setPath(path);
        box = d.fillBox();
    }
    d.draw(
        [&] {
            d.setPath(path);
            cairo_set_fill_rule(d.cr.get(), rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
            d.setColor(color);
            cairo_fill(d.cr.get());
        },
        box);
}

void CGContext::fillRect(CGRect rect, const CGColor& color) {
    CGMutablePath path;
    path.addRect(rect);
    fillPath(path.path(), color);
}

void CGContext::strokePath(const CGPath& path, const CGColor& color, const CGStrokeStyle& style) {
    Impl& d = *impl_;
    if (path.isEmpty() || !d.canDraw() || !std::isfinite(style.lineWidth) || style.lineWidth <= 0) return;
    const CGAffineTransform m = d.device();
    // The pen is in user space; keep its width in pixels inside Cairo's range too.
    const double pixelsPerUnit = std::sqrt(std::abs(m.a * m.d - m.b * m.c));
    const double width = std::min(style.lineWidth, kMaxCoordinate / std::max(pixelsPerUnit, 1e-9));
    d.draw([&] {
        d.setPath(path);
        const cairo_matrix_t cm = detail::toCairo(m);
        cairo_set_matrix(d.cr.get(), &cm);
        cairo_set_line_width(d.cr.get(), width);
        cairo_set_line_cap(d.cr.get(), style.cap == CGLineCap::round    ? CAIRO_LINE_CAP_ROUND
                                       : style.cap == CGLineCap::square ? CAIRO_LINE_CAP_SQUARE
                                                                        : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(d.cr.get(), style.join == CGLineJoin::round   ? CAIRO_LINE_JOIN_ROUND
                                        : style.join == CGLineJoin::bevel ? CAIRO_LINE_JOIN_BEVEL
                                                                          : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(d.cr.get(), std::isfinite(style.miterLimit) && style.miterLimit >= 1 ? style.miterLimit : 10);
        const auto& dashes = style.dashes;
        double sum = 0;
        bool dashesValid = !dashes.empty();
        for (double v : dashes) {
            dashesValid = dashesValid && std::isfinite(v) && v >= 0;
            sum += v;
        }
        if (dashesValid && sum > 0 && std::isfinite(sum)) {
            const double phase = std::isfinite(style.dashPhase) ? style.dashPhase : 0;
            cairo_set_dash(d.cr.get(), dashes.data(), static_cast<int>(dashes.size()), phase);
        } else {
            cairo_set_dash(d.cr.get(), nullptr, 0, 0);
        }
        d.setColor(color);
        cairo_stroke(d.cr.get());
        cairo_identity_matrix(d.cr.get());
    });
}

void CGContext::castShadow(const CGPath& path, CGPathFillRule rule) {
    Impl& d = *impl_;
    if (path.isEmpty() || !d.canDraw() || !d.gs.shadow.active()) return;
    d.setPath(path);
    d.pushGroup(d.fillBox());
    d.setPath(path);
    cairo_set_fill_rule(d.cr.get(), rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_set_source_rgba(d.cr.get(), 0, 0, 0, d.gs.alpha);
    cairo_fill(d.cr.get());
    CairoPatternPtr group = d.popGroup(true);
    d.castShadow(group.get(), d.gs.shadow);
}

void CGContext::clear(const CGColor& color) {
    cairo_t* cr = impl_->cr.get();
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_reset_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const CGColor c = color.clamped();
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
    cairo_paint(cr);
    cairo_restore(cr);
}

void CGContext::clipToPath(const CGPath& path, CGPathFillRule rule) {
    Impl& d = *impl_;
    if (!d.canDraw()) {
        // Under a degenerate transform the outline has no area: nothing stays visible.
        cairo_new_path(d.cr.get());
        cairo_identity_matrix(d.cr.get());
        cairo_rectangle(d.cr.get(), 0, 0, 0, 0);
        cairo_clip(d.cr.get());
        return;
    }
    d.setPath(path);
    cairo_set_fill_rule(d.cr.get(), rule == CGPathFillRule::evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    cairo_clip(d.cr.get());
}

void CGContext::clipToRect(CGRect rect) {
    CGMutablePath path;
    path.addRect(rect);
    clipToPath(path.path());
}

namespace {

// The bitmap as a premultiplied Cairo image.
CairoSurfacePtr surfaceFromBitmap(const Bitmap& bitmap) {
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, bitmap.width, bitmap.height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
    cairo_surface_flush(surface.get());
    std::uint8_t* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < bitmap.height; ++y) {
        premultiplyRow(bitmap.pixel(0, y), reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride),
                       bitmap.width);
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

// Shared bitmaps drawn again and again (a layer's contents, frame after frame) keep their
// premultiplied surface here, one cache per thread so that no surface crosses threads. An
// entry is found by address and is valid while its bitmap lives, which the weak hold tells;
// past the byte limit, entries whose bitmaps died go first, then the oldest.
class PreparedBitmaps {
public:
    static constexpr std::size_t kMaxBytes = 16 << 20;

    cairo_surface_t* surfaceFor(const std::shared_ptr<const Bitmap>& bitmap) {
        for (auto it = entries_.begin(); it != entries_.end(); ++it) {
            if (it->bitmap == bitmap.get() && !it->weak.owner_before(bitmap) && !bitmap.owner_before(it->weak)) {
                return it->surface.get();
            }
        }
        const std::size_t bytes = bitmap->rgba.size();
        if (bytes > kMaxBytes / 4) return nullptr;  // large pictures are converted each time
        CairoSurfacePtr surface = surfaceFromBitmap(*bitmap);
        if (!surface) return nullptr;
        std::erase_if(entries_, [](const Entry& e) { return e.weak.expired(); });
        bytes_ = 0;
        for (const Entry& e : entries_) bytes_ += e.bytes;
        while (!entries_.empty() && bytes_ + bytes > kMaxBytes) {
            bytes_ -= entries_.front().bytes;
            entries_.erase(entries_.begin());
        }
        bytes_ += bytes;
        entries_.push_back({bitmap.get(), bitmap, bytes, std::move(surface)});
        return entries_.back().surface.get();
    }

private:
    struct Entry {
        const Bitmap* bitmap;
        std::weak_ptr<const Bitmap> weak;
        std::size_t bytes;
        CairoSurfacePtr surface;
    };
    std::vector<Entry> entries_;
    std::size_t bytes_ = 0;
};

cairo_filter_t filterFor(CGInterpolationQuality quality) {
    switch (quality) {
        case CGInterpolationQuality::none: return CAIRO_FILTER_NEAREST;
        case CGInterpolationQuality::low: return CAIRO_FILTER_FAST;
        case CGInterpolationQuality::medium: return CAIRO_FILTER_GOOD;
        case CGInterpolationQuality::high: return CAIRO_FILTER_BEST;
        case CGInterpolationQuality::default_: return CAIRO_FILTER_GOOD;
    }
    return CAIRO_FILTER_GOOD;
}

}  // namespace

void CGContext::drawBitmap(const std::shared_ptr<const Bitmap>& bitmap, CGRect rect, CGInterpolationQuality quality) {
    if (!bitmap) return;
    thread_local PreparedBitmaps prepared;
    const bool consistent = bitmap->rgba.size() == static_cast<std::size_t>(bitmap->width) * bitmap->height * 4;
    cairo_surface_t* surface = consistent && !bitmap->empty() ? prepared.surfaceFor(bitmap) : nullptr;
    if (!surface) return drawBitmap(*bitmap, rect, quality);
    impl_->drawSurface(surface, bitmap->width, bitmap->height, rect, quality);
}

void CGContext::drawBitmap(const Bitmap& bitmap, CGRect rect, CGInterpolationQuality quality) {
    if (bitmap.empty() || bitmap.rgba.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height * 4) return;
    if (rect.isEmpty() || !impl_->canDraw()) return;
    CairoSurfacePtr surface = surfaceFromBitmap(bitmap);
    if (surface) impl_->drawSurface(surface.get(), bitmap.width, bitmap.height, rect, quality);
}

void CGContext::Impl::drawSurface(cairo_surface_t* surface, int width, int height, CGRect rect,
                                  CGInterpolationQuality quality) {
    Impl& d = *this;
    if (rect.isEmpty() || !d.canDraw()) return;
    const CGRect r = rect.standardized();
    // Bitmap pixels to user space, then to device pixels.
    const CGAffineTransform place{r.width() / width, 0, 0, r.height() / height, r.minX(), r.minY()};
    const CGAffineTransform toDevice = place.concatenating(d.device());
    if (!usable(toDevice)) return;
    CairoPatternPtr pattern(cairo_pattern_create_for_surface(surface));
    const cairo_matrix_t inverse = detail::toCairo(toDevice.inverted());
    cairo_pattern_set_matrix(pattern.get(), &inverse);
    cairo_pattern_set_filter(pattern.get(), filterFor(quality));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    CGMutablePath outline;
    outline.addRect(r);
    d.draw(
        [&] {
            d.setPath(outline.path());
            cairo_set_source(d.cr.get(), pattern.get());
            if (d.gs.alpha >= 1) {
                cairo_fill(d.cr.get());
            } else {
                cairo_save(d.cr.get());
                cairo_clip(d.cr.get());
                cairo_paint_with_alpha(d.cr.get(), d.gs.alpha);
                cairo_restore(d.cr.get());
            }
        },
        d.deviceBox(r));
}

void CGContext::beginTransparencyLayer() {
    Impl& d = *impl_;
    d.groups.push_back({d.gs, d.stack.size()});
    d.pushGroup(std::nullopt);
    d.gs.alpha = 1;
    d.gs.shadow = Shadow{};
}

void CGContext::beginTransparencyLayerWithRect(CGRect rect) {
    Impl& d = *impl_;
    if (!d.canDraw()) return beginTransparencyLayer();
    d.groups.push_back({d.gs, d.stack.size(), true});
    d.pushGroup(d.deviceBox(rect));
    d.gs.alpha = 1;
    d.gs.shadow = Shadow{};
}

void CGContext::endTransparencyLayer() {
    Impl& d = *impl_;
    if (d.groups.empty()) return;
    while (d.stack.size() > d.groups.back().stackDepth) restoreGState();
    const GState outer = d.groups.back().outer;
    const bool cropped = d.groups.back().cropped;
    d.groups.pop_back();
    CairoPatternPtr group = d.popGroup(cropped);
    d.gs = outer;
    if (d.gs.shadow.active()) {
        // The group was drawn at alpha 1; its shadow fades with the alpha it is composited at.
        Shadow shadow = d.gs.shadow;
        shadow.color.alpha *= d.gs.alpha;
        d.castShadow(group.get(), shadow);
    }
    cairo_save(d.cr.get());
    cairo_identity_matrix(d.cr.get());
    cairo_set_source(d.cr.get(), group.get());
    cairo_paint_with_alpha(d.cr.get(), d.gs.alpha);
    cairo_restore(d.cr.get());
}

Bitmap CGContext::bitmap() const {
    cairo_surface_t* surface = impl_->surface.get();
    cairo_surface_flush(surface);
    const std::uint8_t* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    Bitmap out = Bitmap::make(impl_->width, impl_->height);
    for (int y = 0; y < out.height; ++y) {
        unpremultiplyRow(reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride),
                         out.pixel(0, y), out.width);
    }
    return out;
}

Bitmap CGContext::takeBitmap() {
    Impl& d = *impl_;
    cairo_surface_flush(d.surface.get());
    // Cairo lets go of the memory first; a 1 × 1 surface keeps later calls harmless.
    d.cr.reset();
    d.surface.reset();
    Bitmap out{d.width, d.height, std::move(d.pixels)};
    for (int y = 0; y < out.height; ++y) {
        std::uint8_t* row = out.pixel(0, y);
        unpremultiplyRow(reinterpret_cast<const std::uint32_t*>(row), row, out.width);
    }
    d.width = d.height = 0;
    d.pixels.clear();
    d.stack.clear();
    d.groups.clear();
    d.gs = GState{};
    d.surface.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1));
    d.cr.reset(cairo_create(d.surface.get()));
    return out;
}

std::optional<Data> CGContext::pngData() const { return encodePNG(bitmap(), PNGCompression::fast); }

}  // namespace platform
