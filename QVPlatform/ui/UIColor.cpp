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

std::shared_ptr<UIColor> UIColor::colorWithAlphaComponent(double alpha) const {
    return colorWithRed(components_.red, components_.green, components_.blue, alpha);
}

std::string UIColor::hexString() const {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", eightBits(components_.red), eightBits(components_.green),
                  eightBits(components_.blue));
    return buffer;
}

std::string UIColor::description() const {
    return "UIExtendedSRGBColorSpace " + NSNumber(components_.red).stringValue() + " " +
           NSNumber(components_.green).stringValue() + " " + NSNumber(components_.blue).stringValue() + " " +
           NSNumber(components_.alpha).stringValue();
}

}  // namespace platform
