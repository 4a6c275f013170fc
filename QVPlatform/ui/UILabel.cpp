#include <QVPlatform/ui/UILabel.h>

#include <QVPlatform/ui/UIGraphics.h>

#include <algorithm>
#include <cmath>

namespace platform {

UILabel::UILabel(CGRect frame)
    : NSObjectSubclass(frame),
      font_(UIFont::systemFontOfSize(UIFont::labelFontSize())),
      textColor_(UIColor::blackColor()) {
    setUserInteractionEnabled(false);
    setContentMode(UIViewContentMode::redraw);
}

void UILabel::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    setNeedsDisplay();
}

void UILabel::setFont(std::shared_ptr<UIFont> font) {
    font_ = font ? std::move(font) : UIFont::systemFontOfSize(UIFont::labelFontSize());
    setNeedsDisplay();
}

void UILabel::setTextColor(std::shared_ptr<UIColor> color) {
    textColor_ = color ? std::move(color) : UIColor::blackColor();
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(int lines) {
    lines_ = std::max(0, lines);
    setNeedsDisplay();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode) {
    lineBreak_ = mode;
    setNeedsDisplay();
}

TextStyle UILabel::styleFor(CGFloat width, int lines) const {
    return {.font = font_->textFont(), .maxWidth = width > 0 ? width : 0, .maxLines = lines,
            .lineBreakMode = lineBreak_, .alignment = alignment_};
}

CGSize UILabel::sizeThatFits(CGSize size) const {
    if (text_.empty()) return {0, 0};
    // A one-line label asks for its whole line, as on the platform; more lines wrap in the width.
    const TextMeasure m = measureText(text_, styleFor(lines_ == 1 ? 0 : size.width, lines_));
    return {std::ceil(m.size.width), std::ceil(m.size.height)};
}

int UILabel::linesWithin(CGFloat height, int numberOfLines) const {
    const double lineHeight = font_->lineHeight();
    if (!(lineHeight > 0) || !(height > 0)) return numberOfLines;
    const int fitting = std::max(1, static_cast<int>(std::floor(std::min(height, 1e7) / lineHeight + 1e-6)));
    return numberOfLines > 0 ? std::min(numberOfLines, fitting) : fitting;
}

CGRect UILabel::textRectForBounds(CGRect bounds, int numberOfLines) const {
    if (text_.empty()) return {bounds.origin, {0, 0}};
    const TextMeasure m = measureText(text_, styleFor(bounds.width(), linesWithin(bounds.height(), numberOfLines)));
    return {bounds.origin, {std::min(m.size.width, bounds.width()), m.size.height}};
}

void UILabel::draw(CGRect) { drawTextInRect(bounds()); }

void UILabel::drawTextInRect(CGRect rect) {
    if (text_.empty()) return;
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const TextStyle style = styleFor(rect.width(), linesWithin(rect.height(), lines_));
    const TextMeasure m = measureText(text_, style);
    const CGFloat y = rect.minY() + (rect.height() - m.size.height) / 2;
    const auto c = textColor_->rgba();
    drawText(*context, text_, style, {rect.minX(), y}, CGColor{c.red, c.green, c.blue, c.alpha});
}

}  // namespace platform
