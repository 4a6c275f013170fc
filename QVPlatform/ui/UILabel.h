// UILabel: a view that shows text in one font and colour.
//
//   auto label = std::make_shared<UILabel>();
//   label->setText("你好 Hello");
//   label->setNumberOfLines(0);                       // as many lines as the text needs
//   label->sizeThatFits({120, 0});                    // wrapped within 120 points, rounded up
//   label->sizeToFit();
//
// Defaults are the platform's: system font of 17 points, black text, natural alignment, one
// line, tail truncation, no background, user interaction off. The text is centred vertically
// in the bounds; lines that do not fit the height are left out (with an ellipsis when the mode
// truncates). Measured sizes are rounded up to whole points. Thread rule: main thread only.
#pragma once

#include <QVPlatform/graphics/TextLayout.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIView.h>

#include <memory>
#include <string>

namespace platform {

class UILabel : public NSObjectSubclass<UILabel, UIView, "UILabel"> {
public:
    explicit UILabel(CGRect frame = {});

    const std::string& text() const { return text_; }
    void setText(std::string text);
    std::shared_ptr<UIFont> font() const { return font_; }
    // Null restores the default font.
    void setFont(std::shared_ptr<UIFont> font);
    std::shared_ptr<UIColor> textColor() const { return textColor_; }
    void setTextColor(std::shared_ptr<UIColor> color);
    NSTextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(NSTextAlignment alignment);
    // 0: unlimited.
    int numberOfLines() const { return lines_; }
    void setNumberOfLines(int lines);
    NSLineBreakMode lineBreakMode() const { return lineBreak_; }
    void setLineBreakMode(NSLineBreakMode mode);
    // The width multi-line text wraps at for intrinsicContentSize (0: unlimited).
    CGFloat preferredMaxLayoutWidth() const { return preferredMaxLayoutWidth_; }
    void setPreferredMaxLayoutWidth(CGFloat width) { preferredMaxLayoutWidth_ = width; }

    // The text's size wrapped within size.width (0 or less: unlimited) and the line limit;
    // {0, 0} for an empty text. A one-line label gives its whole line's width; the height of
    // `size` is not applied, as on the platform.
    CGSize sizeThatFits(CGSize size) const override;
    CGSize intrinsicContentSize() const { return sizeThatFits({preferredMaxLayoutWidth_, 0}); }
    // The text's box within `bounds` for `numberOfLines` lines (0: as many as fit).
    CGRect textRectForBounds(CGRect bounds, int numberOfLines) const;

    void draw(CGRect rect) override;
    // Draws the text in `rect`, vertically centred.
    virtual void drawTextInRect(CGRect rect);

private:
    TextStyle styleFor(CGFloat width, int lines) const;
    // `numberOfLines` (0: unlimited) cut to the lines a height holds (at least one).
    int linesWithin(CGFloat height, int numberOfLines) const;

    std::string text_;
    std::shared_ptr<UIFont> font_;
    std::shared_ptr<UIColor> textColor_;
    NSTextAlignment alignment_ = NSTextAlignment::natural;
    int lines_ = 1;
    NSLineBreakMode lineBreak_ = NSLineBreakMode::byTruncatingTail;
    CGFloat preferredMaxLayoutWidth_ = 0;
};

}  // namespace platform
