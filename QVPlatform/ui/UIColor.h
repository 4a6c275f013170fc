// UIColor: an immutable colour with red, green, blue and alpha components in the sRGB space.
//
//   auto purple = UIColor::colorWithRed(0x5F / 255.0, 0x2A / 255.0, 0xD1 / 255.0, 1);
//   purple->hexString();                  // "#5F2AD1"
//   UIColor::clearColor()->alpha();       // 0
//
// Components are kept exactly as given (values outside 0...1 are allowed, as in the
// platform's extended range); `hexString` clamps them to 0...255. Two plain colours are equal
// when their four components are.
//
// A dynamic colour has no components of its own: a provider picks a colour for a trait
// collection.
//
//   auto panel = UIColor::colorWithDynamicProvider([](const UITraitCollection& t) {
//       return t.userInterfaceStyle() == UIUserInterfaceStyle::dark ? UIColor::blackColor()
//                                                                   : UIColor::whiteColor();
//   });
//   panel->resolvedColorWithTraitCollection(dark);   // black, a plain colour
//   panel->red();                                    // resolved for UITraitCollection::current()
//
// Every component reader of a dynamic colour resolves it for the current trait collection; a
// view resolves it for its own traits (see UIView). A provider that answers null, or keeps
// answering dynamic colours, resolves to clear. Dynamic colours are equal only to themselves.
// Thread rule: immutable, share between threads freely; a provider may run on any thread.
#pragma once

#include <QVPlatform/graphics/Color.h>
#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/ui/UITraitCollection.h>

#include <functional>

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

    using DynamicProvider = std::function<std::shared_ptr<UIColor>(const UITraitCollection&)>;
    // A colour that `provider` picks for each trait collection; null `provider` gives clear.
    static std::shared_ptr<UIColor> colorWithDynamicProvider(DynamicProvider provider);

    UIColor(Token, RGBA components) : components_(components) {}
    UIColor(Token, DynamicProvider provider) : provider_(std::move(provider)) {}

    bool isDynamic() const { return provider_ != nullptr; }
    // The plain colour for `traits` (unspecified traits fall through to the system
    // appearance); a plain colour gives itself.
    std::shared_ptr<UIColor> resolvedColorWithTraitCollection(const UITraitCollection& traits) const;
    // The components for `traits`.
    RGBA rgbaFor(const UITraitCollection& traits) const;

    // Components; a dynamic colour resolves for UITraitCollection::current().
    double red() const { return rgba().red; }
    double green() const { return rgba().green; }
    double blue() const { return rgba().blue; }
    double alpha() const { return rgba().alpha; }
    // The four components at once, as the platform's getRed:green:blue:alpha: gives them.
    RGBA rgba() const { return provider_ ? rgbaFor(UITraitCollection::current()) : components_; }
    // The colour as the value layers and the drawing context hold.
    CGColor cgColor() const { return toCGColor(rgba()); }
    CGColor cgColorFor(const UITraitCollection& traits) const { return toCGColor(rgbaFor(traits)); }
    // The same colour with another alpha (for a dynamic colour, a dynamic colour whose
    // resolutions take that alpha).
    std::shared_ptr<UIColor> colorWithAlphaComponent(double alpha) const;

    // "#RRGGBB": each component clamped to 0...1 and rounded to 8 bits; alpha is not shown.
    std::string hexString() const;
    // "UIExtendedSRGBColorSpace 1 0 0 1", as the platform describes colours.
    std::string description() const override;

    friend bool operator==(const UIColor& a, const UIColor& b) {
        if (a.provider_ || b.provider_) return &a == &b;
        return a.components_ == b.components_;
    }

private:
    static CGColor toCGColor(RGBA c) { return {c.red, c.green, c.blue, c.alpha}; }

    const RGBA components_;
    const DynamicProvider provider_;
};

}  // namespace platform
