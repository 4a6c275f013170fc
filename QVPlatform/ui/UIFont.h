// UIFont: the system font (regular and bold) at any size, its metrics, and measuring text in a box.
//
//   auto font = UIFont::systemFontOfSize(17);
//   font->lineHeight();                                   // ascender - descender + leading
//   boundingRect("你好 world", {100, 1000}, NSStringDrawingOptions::usesLineFragmentOrigin,
//                {.font = font}).size;                    // the wrapped text's box
//
// The system font is Noto Sans CJK SC (see QVPlatform/graphics/TextLayout.h), so Chinese and
// Latin text measure the same on every machine. A size that is not positive or not finite
// counts as 1 point. Thread rule: fonts are immutable; measuring is callable from any thread.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/TextLayout.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>
#include <string>
#include <string_view>

namespace platform {

class UIFont : public NSObjectSubclass<UIFont, NSObject, "UIFont"> {
    struct Token {};

public:
    static std::shared_ptr<UIFont> systemFontOfSize(double pointSize);
    static std::shared_ptr<UIFont> boldSystemFontOfSize(double pointSize);
    // The size labels use when given none: 17 points.
    static double labelFontSize() { return 17; }

    UIFont(Token, TextFont face, FontMetrics metrics) : face_(face), metrics_(metrics) {}

    double pointSize() const { return face_.pointSize; }
    bool isBold() const { return face_.bold; }
    double ascender() const { return metrics_.ascender; }
    double descender() const { return metrics_.descender; }  // negative
    double leading() const { return metrics_.leading; }
    double lineHeight() const { return metrics_.lineHeight; }
    double capHeight() const;
    std::string familyName() const { return "Noto Sans CJK SC"; }
    std::string fontName() const { return face_.bold ? "NotoSansCJKsc-Bold" : "NotoSansCJKsc-Regular"; }
    // The same face at another size.
    std::shared_ptr<UIFont> withSize(double pointSize) const;
    TextFont textFont() const { return face_; }

    friend bool operator==(const UIFont& a, const UIFont& b) { return a.face_ == b.face_; }

private:
    static std::shared_ptr<UIFont> make(double pointSize, bool bold);
    const TextFont face_;
    const FontMetrics metrics_;
};

// Options of boundingRect, combined with `|`.
enum class NSStringDrawingOptions : unsigned {
    none = 0,
    usesLineFragmentOrigin = 1 << 0,  // lay out lines in the box; without it, one line on a baseline at 0
    usesFontLeading = 1 << 1,         // count the font's leading in line heights
    truncatesLastVisibleLine = 1 << 5,
};
constexpr NSStringDrawingOptions operator|(NSStringDrawingOptions a, NSStringDrawingOptions b) {
    return static_cast<NSStringDrawingOptions>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool contains(NSStringDrawingOptions set, NSStringDrawingOptions option) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(option)) != 0;
}

// The attributes boundingRect reads; an absent font is the system font at 12 points, as the
// platform's default for attributed text.
struct TextAttributes {
    std::shared_ptr<UIFont> font;
};

// The box `text` takes when drawn within `size` (a width or height of 0 or less is unlimited).
// With usesLineFragmentOrigin the text wraps by words within the width and keeps the lines
// that fit the height (at least one); the box starts at (0, 0). Without it the text is one
// line whose baseline is at y = 0, so the box starts at y = -ascender. Sizes are fractional.
CGRect boundingRect(std::string_view text, CGSize size, NSStringDrawingOptions options, const TextAttributes& attributes);

}  // namespace platform
