// TextLayout: measuring and drawing text with Pango, on the Noto Sans CJK fonts loaded by file.
//
//   TextStyle style{.font = {17, false}, .maxWidth = 100, .maxLines = 2,
//                   .lineBreakMode = NSLineBreakMode::byTruncatingTail};
//   measureText("Hello 你好 world", style).size;   // the box the lines take, in points
//   fontMetrics({17, false}).lineHeight;            // ascender + descender + leading
//   drawText(*context, "你好", style, {10, 10}, CGColor::black());
//
// Text is laid out in points with unhinted metrics, so a size is the same at every scale and
// on every machine: the fonts come only from Debian's fonts-noto-cjk files (NotoSansCJK-Regular
// and -Bold), added to a private font configuration that sees nothing else installed. Latin
// and Chinese are both in those faces. Laid-out text is kept in a bounded cache (the most
// recently used 1024 layouts of texts up to 4096 bytes), so measuring the same text in the same
// style again costs a lookup, and drawing a label that was measured reuses its layout.
//
// Wrapping: word wrapping breaks between words and inside a word too long for a line; character
// wrapping breaks between any two characters. With a line limit, the truncating modes put an
// ellipsis on the last line (tail: at its end, head: at the start, middle: in the middle); the
// other modes cut the text after the last line. A width of 0 or less is unlimited (one line per
// paragraph), as is a line limit of 0.
//
// Thread rule: callable from any thread; the Pango state and the cache are guarded by one lock.
#pragma once

#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/Geometry.h>

#include <cstddef>
#include <string_view>

namespace platform {

enum class NSLineBreakMode { byWordWrapping, byCharWrapping, byClipping, byTruncatingHead, byTruncatingTail, byTruncatingMiddle };
enum class NSTextAlignment { left, center, right, justified, natural };

// A face of the system font: Noto Sans CJK SC, regular or bold, at a size in points.
struct TextFont {
    double pointSize = 17;
    bool bold = false;
    friend bool operator==(const TextFont&, const TextFont&) = default;
};

// The vertical metrics of a font, in points; the descender is negative, as the platform's.
struct FontMetrics {
    double ascender = 0;
    double descender = 0;
    double leading = 0;     // the font's line gap
    double lineHeight = 0;  // ascender - descender + leading
};

struct TextStyle {
    TextFont font;
    double maxWidth = 0;  // 0 or less: unlimited
    int maxLines = 0;     // 0 or less: unlimited
    NSLineBreakMode lineBreakMode = NSLineBreakMode::byWordWrapping;
    NSTextAlignment alignment = NSTextAlignment::natural;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct TextMeasure {
    CGSize size;            // the widest line's width and the height of the lines shown
    int lineCount = 0;      // lines shown (after the line limit)
    bool truncated = false; // text was cut or ellipsized by the line limit
};

FontMetrics fontMetrics(TextFont font);
// The box the text takes in `style`; an empty text measures {0, 0} with no lines.
TextMeasure measureText(std::string_view text, const TextStyle& style);

// Draws the text laid out in `style` with the top-left of its box at `origin` (in the
// context's user space) in `color`. Lines past the limit are not drawn; alignment places lines
// within style.maxWidth. Nothing is drawn under a transform that cannot be inverted.
void drawText(CGContext& context, std::string_view text, const TextStyle& style, CGPoint origin, const CGColor& color);

// Number of cached layouts, and emptying the cache (for tests and benchmarks).
std::size_t textLayoutCacheCount();
void clearTextLayoutCache();

}  // namespace platform
