#include <QVPlatform/ui/UIFont.h>

#include <algorithm>
#include <cmath>

namespace platform {

std::shared_ptr<UIFont> UIFont::make(double pointSize, bool bold) {
    const double size = std::isfinite(pointSize) && pointSize > 0 ? std::min(pointSize, 10000.0) : 1.0;
    const TextFont face{size, bold};
    return std::make_shared<UIFont>(Token{}, face, fontMetrics(face));
}

std::shared_ptr<UIFont> UIFont::systemFontOfSize(double pointSize) { return make(pointSize, false); }

std::shared_ptr<UIFont> UIFont::boldSystemFontOfSize(double pointSize) { return make(pointSize, true); }

std::shared_ptr<UIFont> UIFont::withSize(double pointSize) const { return make(pointSize, face_.bold); }

// Noto Sans CJK's capital height is 0.733 em (its OS/2 sCapHeight of 733 units per 1000).
double UIFont::capHeight() const { return face_.pointSize * 0.733; }

CGRect boundingRect(std::string_view text, CGSize size, NSStringDrawingOptions options, const TextAttributes& attributes) {
    const auto font = attributes.font ? attributes.font : UIFont::systemFontOfSize(12);
    TextStyle style{.font = font->textFont()};
    if (!contains(options, NSStringDrawingOptions::usesLineFragmentOrigin)) {
        const TextMeasure m = measureText(text, style);
        return {{0, -font->ascender()}, {m.size.width, m.lineCount > 0 ? font->lineHeight() : 0}};
    }
    style.maxWidth = size.width > 0 ? size.width : 0;
    const bool truncates = contains(options, NSStringDrawingOptions::truncatesLastVisibleLine);
    const double lineHeight = font->lineHeight();
    if (size.height > 0 && lineHeight > 0) {
        style.maxLines = std::max(1, static_cast<int>(std::floor(std::min(size.height, 1e7) / lineHeight + 1e-9)));
        if (truncates) style.lineBreakMode = NSLineBreakMode::byTruncatingTail;
    }
    const TextMeasure m = measureText(text, style);
    double height = m.size.height;
    // Lines are laid out at ascender + descender; leading, when asked for, goes between lines.
    if (contains(options, NSStringDrawingOptions::usesFontLeading) && m.lineCount > 1)
        height += font->leading() * (m.lineCount - 1);
    return {{0, 0}, {m.size.width, height}};
}

}  // namespace platform
