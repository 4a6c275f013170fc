// UIColor: an immutable colour with red, green, blue and alpha components in the sRGB space.
//
//   auto purple = UIColor::colorWithRed(0x5F / 255.0, 0x2A / 255.0, 0xD1 / 255.0, 1);
//   purple->hexString();                  // "#5F2AD1"
//   UIColor::clearColor()->alpha();       // 0
//
// Components are kept exactly as given (values outside 0...1 are allowed, as in the
// platform's extended range); `hexString` clamps them to 0...255. Two colours are equal when
// their four components are. Thread rule: immutable, share between threads freely.
#pragma once

#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>
#include <string>

namespace platform {

class UIColor : public NSObjectSubclass<UIColor, NSObject, "UIColor"> {
    struct Token {};

public:
    struct RGBA {
        double red = 0, green = 0, blue = 0, alpha = 0;
        friend bool operator==(const RGBA&, const RGBA&) = default;
    };

    static std::shared_ptr<UIColor> colorWithRed(double red, double green, double blue, double alpha);
    // A grey: `white` for each of red, green and blue.
    static std::shared_ptr<UIColor> colorWithWhite(double white, double alpha);
    // The same components as `color`.
    static std::shared_ptr<UIColor> colorWithCGColor(const CGColor& color);

    // The platform's named colours.
    static std::shared_ptr<UIColor> blackColor();      // 0, 0, 0
    static std::shared_ptr<UIColor> whiteColor();      // 1, 1, 1
    static std::shared_ptr<UIColor> clearColor();      // 0, 0, 0, alpha 0
    static std::shared_ptr<UIColor> redColor();        // 1, 0, 0
    static std::shared_ptr<UIColor> greenColor();      // 0, 1, 0
    static std::shared_ptr<UIColor> blueColor();       // 0, 0, 1
    static std::shared_ptr<UIColor> grayColor();       // white 0.5
    static std::shared_ptr<UIColor> lightGrayColor();  // white 2/3
    static std::shared_ptr<UIColor> darkGrayColor();   // white 1/3
    static std::shared_ptr<UIColor> cyanColor();       // 0, 1, 1
    static std::shared_ptr<UIColor> yellowColor();     // 1, 1, 0
    static std::shared_ptr<UIColor> magentaColor();    // 1, 0, 1
    static std::shared_ptr<UIColor> orangeColor();     // 1, 0.5, 0
    static std::shared_ptr<UIColor> purpleColor();     // 0.5, 0, 0.5
    static std::shared_ptr<UIColor> brownColor();      // 0.6, 0.4, 0.2

    UIColor(Token, RGBA components) : components_(components) {}

    double red() const { return components_.red; }
    double green() const { return components_.green; }
    double blue() const { return components_.blue; }
    double alpha() const { return components_.alpha; }
    // The four components at once, as the platform's getRed:green:blue:alpha: gives them.
    RGBA rgba() const { return components_; }
    // The colour as the value layers and the drawing context hold.
    CGColor cgColor() const { return {components_.red, components_.green, components_.blue, components_.alpha}; }
    // The same colour with another alpha.
    std::shared_ptr<UIColor> colorWithAlphaComponent(double alpha) const;

    // "#RRGGBB": each component clamped to 0...1 and rounded to 8 bits; alpha is not shown.
    std::string hexString() const;
    // "UIExtendedSRGBColorSpace 1 0 0 1", as the platform describes colours.
    std::string description() const override;

    friend bool operator==(const UIColor& a, const UIColor& b) { return a.components_ == b.components_; }

private:
    const RGBA components_;
};

}  // namespace platform
