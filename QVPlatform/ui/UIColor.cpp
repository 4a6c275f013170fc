#include <QVPlatform/ui/UIColor.h>

#include <QVPlatform/base/NSNumber.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform {

namespace {

int eightBits(double component) {
    if (std::isnan(component)) return 0;
    return static_cast<int>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
}

}  // namespace

std::shared_ptr<UIColor> UIColor::colorWithRed(double red, double green, double blue, double alpha) {
    return std::make_shared<UIColor>(Token{}, RGBA{red, green, blue, alpha});
}

std::shared_ptr<UIColor> UIColor::colorWithWhite(double white, double alpha) {
    return colorWithRed(white, white, white, alpha);
}

std::shared_ptr<UIColor> UIColor::colorWithCGColor(const CGColor& color) {
    return colorWithRed(color.red, color.green, color.blue, color.alpha);
}

std::shared_ptr<UIColor> UIColor::blackColor() { return colorWithWhite(0, 1); }
std::shared_ptr<UIColor> UIColor::whiteColor() { return colorWithWhite(1, 1); }
std::shared_ptr<UIColor> UIColor::clearColor() { return colorWithWhite(0, 0); }
std::shared_ptr<UIColor> UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
std::shared_ptr<UIColor> UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }
std::shared_ptr<UIColor> UIColor::grayColor() { return colorWithWhite(0.5, 1); }
std::shared_ptr<UIColor> UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
std::shared_ptr<UIColor> UIColor::cyanColor() { return colorWithRed(0, 1, 1, 1); }
std::shared_ptr<UIColor> UIColor::yellowColor() { return colorWithRed(1, 1, 0, 1); }
std::shared_ptr<UIColor> UIColor::magentaColor() { return colorWithRed(1, 0, 1, 1); }
std::shared_ptr<UIColor> UIColor::orangeColor() { return colorWithRed(1, 0.5, 0, 1); }
std::shared_ptr<UIColor> UIColor::purpleColor() { return colorWithRed(0.5, 0, 0.5, 1); }
std::shared_ptr<UIColor> UIColor::brownColor() { return colorWithRed(0.6, 0.4, 0.2, 1); }

std::shared_ptr<UIColor> UIColor::colorWithDynamicProvider(DynamicProvider provider) {
    if (!provider) return clearColor();
    return std::make_shared<UIColor>(Token{}, std::move(provider));
}

UIColor::RGBA UIColor::rgbaFor(const UITraitCollection& traits) const {
    if (!provider_) return components_;
    const UITraitCollection filled = traits.filledWith(UITraitCollection::systemUserInterfaceStyle());
    // A provider may hand back another dynamic colour; follow a few, then give up on a loop.
    constexpr int kMaxDepth = 8;
    const UIColor* color = this;
    std::shared_ptr<UIColor> held;  // keeps the colour being followed alive
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        held = color->provider_(filled);
        if (!held) return {};
        if (!held->provider_) return held->components_;
        color = held.get();
    }
    return {};
}

std::shared_ptr<UIColor> UIColor::resolvedColorWithTraitCollection(const UITraitCollection& traits) const {
    if (!provider_) return std::static_pointer_cast<UIColor>(std::const_pointer_cast<NSObject>(shared_from_this()));
    const RGBA c = rgbaFor(traits);
    return colorWithRed(c.red, c.green, c.blue, c.alpha);
}

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(double alpha) const {
    if (provider_) {
        auto base = std::static_pointer_cast<UIColor>(std::const_pointer_cast<NSObject>(shared_from_this()));
        return colorWithDynamicProvider([base, alpha](const UITraitCollection& traits) {
            return base->resolvedColorWithTraitCollection(traits)->colorWithAlphaComponent(alpha);
        });
    }
    return colorWithRed(components_.red, components_.green, components_.blue, alpha);
}

std::string UIColor::hexString() const {
    const RGBA c = rgba();
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", eightBits(c.red), eightBits(c.green), eightBits(c.blue));
    return buffer;
}

std::string UIColor::description() const {
    const RGBA c = rgba();
    return "UIExtendedSRGBColorSpace " + NSNumber(c.red).stringValue() + " " + NSNumber(c.green).stringValue() + " " +
           NSNumber(c.blue).stringValue() + " " + NSNumber(c.alpha).stringValue();
}

}  // namespace platform
