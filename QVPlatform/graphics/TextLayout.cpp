#include <QVPlatform/graphics/TextLayout.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/graphics/detail/CairoAccess.h>
#include <QVPlatform/graphics/detail/PangoText.h>

#include <fontconfig/fontconfig.h>
#include <pango/pangocairo.h>
#include <pango/pangofc-fontmap.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform {

namespace {

constexpr std::size_t kCacheCapacity = 1024;
constexpr std::size_t kMaxCachedTextBytes = 4096;
constexpr const char* kFamily = "Noto Sans CJK SC";

// The font files, from fonts-noto-cjk; QV_FONT_DIR points elsewhere for an unusual install.
std::string fontDirectory() {
    const char* dir = std::getenv("QV_FONT_DIR");
    return dir && *dir ? dir : "/usr/share/fonts/opentype/noto";
}

struct GObjectUnref {
    void operator()(void* object) const { g_object_unref(object); }
};
template <class T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

struct FontDescriptionFree {
    void operator()(PangoFontDescription* d) const { pango_font_description_free(d); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

// A layout and what measuring it gave.
struct CachedLayout {
    GObjectPtr<PangoLayout> layout;
    TextMeasure measure;
};

double fromPango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

int toPango(double points) { return static_cast<int>(std::lround(std::min(points, 1e6) * PANGO_SCALE)); }

// The one Pango font map and context, and the cache of layouts made from it.
class TextEngine {
public:
    static TextEngine& shared() {
        static auto* engine = new TextEngine();  // lives for the process: layouts outlive callers
        return *engine;
    }

    FontMetrics metrics(TextFont font) {
        std::lock_guard lock(mutex_);
        const FontDescriptionPtr description = describe(font);
        PangoFontMetrics* m = pango_context_get_metrics(context_.get(), description.get(), nullptr);
        FontMetrics result;
        result.ascender = fromPango(pango_font_metrics_get_ascent(m));
        result.descender = -fromPango(pango_font_metrics_get_descent(m));
        const double height = fromPango(pango_font_metrics_get_height(m));
        result.leading = std::max(0.0, height - (result.ascender - result.descender));
        result.lineHeight = result.ascender - result.descender + result.leading;
        pango_font_metrics_unref(m);
        return result;
    }

    TextMeasure measure(std::string_view text, const TextStyle& style) {
        std::lock_guard lock(mutex_);
        return layoutFor(text, style).measure;
    }

    void show(cairo_t* cr, std::string_view text, const TextStyle& style, CGPoint origin) {
        std::lock_guard lock(mutex_);
        const CachedLayout& entry = layoutFor(text, style);
        if (entry.measure.lineCount == 0) return;
        cairo_save(cr);
        // Lines past the limit exist in an unellipsized layout: clip them away.
        if (entry.measure.truncated) {
            const double width = style.maxWidth > 0 ? style.maxWidth : entry.measure.size.width;
            cairo_rectangle(cr, origin.x, origin.y, width, entry.measure.size.height);
            cairo_clip(cr);
        }
        cairo_move_to(cr, origin.x, origin.y);
        pango_cairo_show_layout(cr, entry.layout.get());
        cairo_restore(cr);
    }

    std::size_t count() {
        std::lock_guard lock(mutex_);
        return index_.size();
    }

    void clear() {
        std::lock_guard lock(mutex_);
        index_.clear();
        order_.clear();
    }

private:
    TextEngine() {
        FcConfig* config = FcConfigCreate();
        const std::string dir = fontDirectory();
        for (const char* file : {"/NotoSansCJK-Regular.ttc", "/NotoSansCJK-Bold.ttc"}) {
            const std::string path = dir + file;
            if (!FcConfigAppFontAddFile(config, reinterpret_cast<const FcChar8*>(path.c_str())))
                debugPrint("font file not loaded: " + path);
        }
        fontMap_.reset(PANGO_FONT_MAP(pango_cairo_font_map_new_for_font_type(CAIRO_FONT_TYPE_FT)));
        pango_fc_font_map_set_config(PANGO_FC_FONT_MAP(fontMap_.get()), config);
        FcConfigDestroy(config);  // the font map holds its own reference
        context_.reset(pango_font_map_create_context(fontMap_.get()));
        // Unhinted outlines and metrics: positions scale linearly, so sizes do not depend on scale.
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(context_.get(), options);
        cairo_font_options_destroy(options);
        pango_context_set_round_glyph_positions(context_.get(), FALSE);
    }

    static FontDescriptionPtr describe(TextFont font) {
        FontDescriptionPtr d(pango_font_description_new());
        pango_font_description_set_family_static(d.get(), kFamily);
        pango_font_description_set_weight(d.get(), font.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
        const double size = std::isfinite(font.pointSize) ? std::clamp(font.pointSize, 0.0, 10000.0) : 0.0;
        pango_font_description_set_absolute_size(d.get(), std::max(1, toPango(size)));
        return d;
    }

    static std::string keyOf(std::string_view text, const TextStyle& s) {
        std::string key;
        key.reserve(text.size() + 48);
        key += std::to_string(s.font.pointSize) + (s.font.bold ? 'b' : 'r') + std::to_string(s.maxWidth) + '/' +
               std::to_string(s.maxLines) + '/' + char('0' + static_cast<int>(s.lineBreakMode)) +
               char('0' + static_cast<int>(s.alignment)) + '|';
        key.append(text);
        return key;
    }

    // Must be called with mutex_ held; the reference is valid until the lock is released.
    const CachedLayout& layoutFor(std::string_view text, const TextStyle& style) {
        if (text.size() > kMaxCachedTextBytes) {
            uncached_ = make(text, style);
            return uncached_;
        }
        std::string key = keyOf(text, style);
        if (auto it = index_.find(key); it != index_.end()) {
            order_.splice(order_.begin(), order_, it->second);
            return it->second->second;
        }
        order_.emplace_front(key, make(text, style));
        index_.emplace(std::move(key), order_.begin());
        if (order_.size() > kCacheCapacity) {
            index_.erase(order_.back().first);
            order_.pop_back();
        }
        return order_.front().second;
    }

    CachedLayout make(std::string_view text, const TextStyle& style) {
        GObjectPtr<PangoLayout> layout(pango_layout_new(context_.get()));
        PangoLayout* l = layout.get();
        setText(l, text);
        const FontDescriptionPtr description = describe(style.font);
        pango_layout_set_font_description(l, description.get());
        const bool limitedWidth = style.maxWidth > 0 && std::isfinite(style.maxWidth);
        if (limitedWidth) pango_layout_set_width(l, std::max(1, toPango(style.maxWidth)));
        pango_layout_set_wrap(l, style.lineBreakMode == NSLineBreakMode::byCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
        switch (style.alignment) {
            case NSTextAlignment::center: pango_layout_set_alignment(l, PANGO_ALIGN_CENTER); break;
            case NSTextAlignment::right: pango_layout_set_alignment(l, PANGO_ALIGN_RIGHT); break;
            case NSTextAlignment::justified: pango_layout_set_justify(l, TRUE); break;
            case NSTextAlignment::left:
                pango_layout_set_auto_dir(l, FALSE);  // left even for right-to-left text
                break;
            case NSTextAlignment::natural: break;
        }
        const int maxLines = style.maxLines > 0 ? style.maxLines : 0;
        if (maxLines > 0 && limitedWidth) {
            PangoEllipsizeMode mode = PANGO_ELLIPSIZE_NONE;
            if (style.lineBreakMode == NSLineBreakMode::byTruncatingTail) mode = PANGO_ELLIPSIZE_END;
            if (style.lineBreakMode == NSLineBreakMode::byTruncatingHead) mode = PANGO_ELLIPSIZE_START;
            if (style.lineBreakMode == NSLineBreakMode::byTruncatingMiddle) mode = PANGO_ELLIPSIZE_MIDDLE;
            pango_layout_set_ellipsize(l, mode);
            if (mode != PANGO_ELLIPSIZE_NONE) pango_layout_set_height(l, -maxLines);
        }
        CachedLayout entry{std::move(layout), {}};
        entry.measure = measureLines(l, text.empty(), maxLines);
        return entry;
    }

    // Pango takes valid UTF-8 only: damaged bytes become U+FFFD.
    static void setText(PangoLayout* layout, std::string_view text) {
        const auto length = static_cast<gssize>(std::min<std::size_t>(text.size(), INT32_MAX / 4));
        if (g_utf8_validate_len(text.data(), length, nullptr)) {
            pango_layout_set_text(layout, text.data(), static_cast<int>(length));
            return;
        }
        gchar* valid = g_utf8_make_valid(text.data(), length);
        pango_layout_set_text(layout, valid, -1);
        g_free(valid);
    }

    // The extent of the first `maxLines` lines (all when 0).
    static TextMeasure measureLines(PangoLayout* layout, bool empty, int maxLines) {
        TextMeasure m;
        if (empty) return m;
        const int total = pango_layout_get_line_count(layout);
        const int shown = maxLines > 0 ? std::min(total, maxLines) : total;
        m.truncated = shown < total || pango_layout_is_ellipsized(layout);
        m.lineCount = shown;
        PangoLayoutIter* iter = pango_layout_get_iter(layout);
        int width = 0;
        int bottom = 0;
        for (int i = 0; i < shown; ++i) {
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(iter, nullptr, &logical);
            width = std::max(width, logical.width);
            bottom = logical.y + logical.height;
            if (!pango_layout_iter_next_line(iter)) break;
        }
        pango_layout_iter_free(iter);
        m.size = {fromPango(width), fromPango(bottom)};
        return m;
    }

    std::mutex mutex_;  // guards fontMap_, context_, order_, index_ and uncached_ (Pango is single-threaded)
    GObjectPtr<PangoFontMap> fontMap_;
    GObjectPtr<PangoContext> context_;
    using Entry = std::pair<std::string, CachedLayout>;
    std::list<Entry> order_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
    CachedLayout uncached_;  // the last layout of a text too long to cache
};

}  // namespace

FontMetrics fontMetrics(TextFont font) { return TextEngine::shared().metrics(font); }

TextMeasure measureText(std::string_view text, const TextStyle& style) { return TextEngine::shared().measure(text, style); }

std::size_t textLayoutCacheCount() { return TextEngine::shared().count(); }

void clearTextLayoutCache() { TextEngine::shared().clear(); }

void drawText(CGContext& context, std::string_view text, const TextStyle& style, CGPoint origin, const CGColor& color) {
    if (!std::isfinite(origin.x) || !std::isfinite(origin.y)) return;
    cairo_t* cr = detail::cairoOf(context);
    const CGAffineTransform t = context.ctm();
    const double s = context.scale();
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, t.a * s, t.b * s, t.c * s, t.d * s, t.tx * s, t.ty * s);
    cairo_matrix_t inverse = matrix;
    // A singular matrix would put the Cairo context in an error state for good.
    if (!cr || cairo_matrix_invert(&inverse) != CAIRO_STATUS_SUCCESS) return;
    cairo_save(cr);
    cairo_set_matrix(cr, &matrix);
    const CGColor c = color.clamped();
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
    detail::showText(cr, text, style, origin);
    cairo_restore(cr);
}

namespace detail {

void showText(cairo_t* cr, std::string_view text, const TextStyle& style, CGPoint origin) {
    TextEngine::shared().show(cr, text, style, origin);
}

}  // namespace detail

}  // namespace platform
