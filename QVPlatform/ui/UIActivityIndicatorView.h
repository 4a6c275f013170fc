// UIActivityIndicatorView: the spinning wheel of twelve spokes shown while work goes on.
//
//   auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::large);
//   spinner->setColor(UIColor::whiteColor());
//   spinner->startAnimating();   // shown; the bright spoke moves one place every 1/12 s
//   spinner->stopAnimating();    // hidden again (hidesWhenStopped)
//
// The medium style is 20 x 20 points, the large 37 x 37; the default colour is grey. Spokes
// step with the main run loop's clock (a manual clock in tests), one turn a second. Thread
// rule: main thread only.
#pragma once

#include <QVPlatform/dispatch/Timer.h>
#include <QVPlatform/ui/UIView.h>

#include <memory>

namespace platform {

enum class UIActivityIndicatorViewStyle { medium, large };

class UIActivityIndicatorView : public NSObjectSubclass<UIActivityIndicatorView, UIView, "UIActivityIndicatorView"> {
public:
    static constexpr int kSpokes = 12;

    explicit UIActivityIndicatorView(UIActivityIndicatorViewStyle style = UIActivityIndicatorViewStyle::medium);
    ~UIActivityIndicatorView() override;

    UIActivityIndicatorViewStyle style() const { return style_; }
    // Changes the style and the view's size to the style's (the centre stays).
    void setStyle(UIActivityIndicatorViewStyle style);
    std::shared_ptr<UIColor> color() const { return color_; }
    // Null restores grey.
    void setColor(std::shared_ptr<UIColor> color);
    bool hidesWhenStopped() const { return hidesWhenStopped_; }
    void setHidesWhenStopped(bool hides);

    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_ != nullptr; }
    // The brightest spoke, 0 (at the top) to 11 clockwise.
    int currentSpoke() const { return spoke_; }

    CGSize sizeThatFits(CGSize size) const override;
    void draw(CGRect rect) override;

private:
    UIActivityIndicatorViewStyle style_;
    std::shared_ptr<UIColor> color_;
    bool hidesWhenStopped_ = true;
    std::shared_ptr<Timer> timer_;
    int spoke_ = 0;
};

}  // namespace platform
