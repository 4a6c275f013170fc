// UIToolbar: a bar along an edge of the screen, translucent by default (tinted, no blur).
//
//   auto bar = std::make_shared<UIToolbar>(CGRect{{0, 618}, {375, 49}});
//   bar->setBarTintColor(UIColor::whiteColor());   // shown at 85% while translucent
//   bar->setTranslucent(false);                     // fully opaque
//
// The bar's background is its tint colour (light grey when none) at alpha 0.85 while
// translucent, opaque otherwise, with a hairline along its top edge; what lies under a
// translucent bar shows through. Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIView.h>

#include <memory>

namespace platform {

class UIToolbar : public NSObjectSubclass<UIToolbar, UIView, "UIToolbar"> {
public:
    static constexpr double kTranslucentAlpha = 0.85;

    explicit UIToolbar(CGRect frame = {});

    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent);
    std::shared_ptr<UIColor> barTintColor() const { return tint_; }
    // Null restores the default light grey.
    void setBarTintColor(std::shared_ptr<UIColor> color);

    // 44 points high (plus the screen's bottom inset for a bar at the bottom is the host's
    // choice); as wide as offered.
    CGSize sizeThatFits(CGSize size) const override { return {size.width, 44}; }
    void layoutSubviews() override;

private:
    void applyBackground();

    std::shared_ptr<UIColor> tint_;
    std::shared_ptr<CALayer> hairline_;
    bool translucent_ = true;
};

}  // namespace platform
