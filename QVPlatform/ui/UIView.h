// UIView: a rectangle on screen, the thin owner of one CALayer, in a tree of views.
//
//   auto panel = std::make_shared<UIView>(CGRect{{20, 40}, {200, 100}});
//   panel->setBackgroundColor(UIColor::whiteColor());
//   panel->layer()->setCornerRadius(12);
//   window->addSubview(panel);
//   panel->convertPoint({0, 0}, nullptr);   // {20, 40}: the panel's origin in its window
//
// Geometry, alpha, hidden, clipping and colour live on the layer as model values, so what the
// renderer draws is the layer tree, and a later presentation pass can put animated values in
// their place. Subviews' layers are the layer's sublayers in the same order.
//
// Layout and display happen in the commit step at the end of each main run-loop turn
// (`RunLoop::main().runUntilIdle()` in tests): every tree with a view marked by
// `setNeedsLayout` is laid out top-down (`layoutSubviews`), then every view marked by
// `setNeedsDisplay` is drawn: `draw(rect)` runs with a bitmap context at the screen's scale
// made current (UIGraphicsGetCurrentContext creates it on first use); the bitmap becomes the
// layer's contents, and a view whose `draw` asks for no context has none. Changing a view's
// size applies its subviews' autoresizing masks at once and marks it for layout.
//
// Hit testing skips hidden views, views with alpha below 0.01, views with user interaction
// off and views under an animation that does not allow it, with their subviews; the frontmost (last) subview containing the point wins.
//
// Traits: a view's trait collection takes its interface style from the nearest
// `overrideUserInterfaceStyle` that is not unspecified, on the view itself or up its
// superviews (a window is a view), else from the system appearance. When a view's effective
// style changes (an override set, the view moved, the system appearance switched, picked up
// at the next commit or render) its layer colours are resolved again from their dynamic
// colours, a view that draws is marked for display, and `traitCollectionDidChange` runs.
// `draw` runs with the view's trait collection current.
//
// Thread rule: a view is used on the main thread only (asserted in debug builds).
#pragma once

#include <QVPlatform/graphics/AffineTransform.h>
#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/layers/CALayer.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIResponder.h>
#include <QVPlatform/ui/UITraitCollection.h>
#include <QVPlatform/ui/UIViewAnimation.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace platform {

class UIGestureRecognizer;
class UIWindow;

struct UIEdgeInsets {
    CGFloat top = 0, left = 0, bottom = 0, right = 0;
    friend constexpr bool operator==(const UIEdgeInsets&, const UIEdgeInsets&) = default;
};

// Which of a view's margins and sizes follow its superview's size; combine with `|`.
enum class UIViewAutoresizing : unsigned {
    none = 0,
    flexibleLeftMargin = 1 << 0,
    flexibleWidth = 1 << 1,
    flexibleRightMargin = 1 << 2,
    flexibleTopMargin = 1 << 3,
    flexibleHeight = 1 << 4,
    flexibleBottomMargin = 1 << 5,
};
constexpr UIViewAutoresizing operator|(UIViewAutoresizing a, UIViewAutoresizing b) {
    return static_cast<UIViewAutoresizing>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}
constexpr bool contains(UIViewAutoresizing set, UIViewAutoresizing flag) {
    return (static_cast<unsigned>(set) & static_cast<unsigned>(flag)) != 0;
}

enum class UIViewContentMode {
    scaleToFill, scaleAspectFit, scaleAspectFill, redraw, center, top, bottom, left, right,
    topLeft, topRight, bottomLeft, bottomRight
};

class UIView : public NSObjectSubclass<UIView, UIResponder, "UIView"> {
public:
    explicit UIView(CGRect frame = {});
    ~UIView() override;

    const std::shared_ptr<CALayer>& layer() const { return layer_; }

    // --- Geometry ---
    CGRect frame() const;
    void setFrame(CGRect frame);
    CGRect bounds() const;
    void setBounds(CGRect bounds);
    CGPoint center() const;
    void setCenter(CGPoint center);
    CGAffineTransform transform() const;
    void setTransform(const CGAffineTransform& transform);

    // --- Appearance ---
    double alpha() const;
    void setAlpha(double alpha);
    bool isHidden() const;
    void setHidden(bool hidden);
    std::shared_ptr<UIColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::shared_ptr<UIColor> color);
    bool clipsToBounds() const;
    void setClipsToBounds(bool clips);
    UIViewContentMode contentMode() const { return contentMode_; }
    virtual void setContentMode(UIViewContentMode mode);

    // --- Traits ---
    UIUserInterfaceStyle overrideUserInterfaceStyle() const { return overrideStyle_; }
    void setOverrideUserInterfaceStyle(UIUserInterfaceStyle style);
    // The traits in effect here, never with an unspecified style.
    UITraitCollection traitCollection() const;
    // Called after the effective traits changed; `previous` is absent the first time.
    virtual void traitCollectionDidChange(std::optional<UITraitCollection> /*previous*/) {}

    // --- Identity and touches ---
    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    // This view when its tag matches, else the first match depth-first among its subviews.
    std::shared_ptr<UIView> viewWithTag(int tag);
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool isExclusiveTouch() const { return exclusiveTouch_; }
    void setExclusiveTouch(bool exclusive) { exclusiveTouch_ = exclusive; }
    void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer);
    void removeGestureRecognizer(const UIGestureRecognizer& recognizer);
    const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const { return recognizers_; }

    // --- Autoresizing and safe area ---
    UIViewAutoresizing autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(UIViewAutoresizing mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool autoresizes) { autoresizesSubviews_ = autoresizes; }
    // The part of the window's safe-area insets that overlaps this view (zero outside a window).
    virtual UIEdgeInsets safeAreaInsets() const;

    // --- The tree ---
    std::shared_ptr<UIView> superview() const { return superview_.lock(); }
    const std::vector<std::shared_ptr<UIView>>& subviews() const { return subviews_; }
    // The window at the root of this view's tree; null when the root is not a window.
    std::shared_ptr<UIWindow> window() const;
    // Adds `view` on top, first removing it from its superview. Adding null, this view or
    // one of its ancestors does nothing.
    void addSubview(const std::shared_ptr<UIView>& view);
    // Inserts at `index` (clamped to the count).
    void insertSubview(const std::shared_ptr<UIView>& view, std::size_t index);
    // Inserts just below / above `sibling`; adds on top when `sibling` is not a subview here.
    void insertSubviewBelow(const std::shared_ptr<UIView>& view, const UIView* sibling);
    void insertSubviewAbove(const std::shared_ptr<UIView>& view, const UIView* sibling);
    void bringSubviewToFront(const UIView& view);
    void sendSubviewToBack(const UIView& view);
    void removeFromSuperview();
    // True for this view itself and every view below it.
    bool isDescendantOfView(const UIView& view) const;

    // --- Layout ---
    void setNeedsLayout();
    bool needsLayout() const { return needsLayout_; }
    // Lays out this view's tree now when marked: this view first, then its subviews.
    void layoutIfNeeded();
    // Places subviews; the default does nothing (autoresizing has already happened).
    virtual void layoutSubviews() {}
    // The size this view would like within `size`; the default is its current size.
    virtual CGSize sizeThatFits(CGSize size) const;
    // Resizes the view to sizeThatFits(bounds size), keeping its origin.
    void sizeToFit();

    // --- Drawing ---
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    // Draws the view's content into UIGraphicsGetCurrentContext(), in the view's bounds
    // coordinates; `rect` is the part to draw. The default draws nothing.
    virtual void draw(CGRect rect);
    // Lays out and draws this view's tree now (what the commit step does for a marked tree).
    void commitNow();

    // --- Conversion between views (null `view`: the window's coordinates) ---
    CGPoint convertPoint(CGPoint point, const UIView* toView) const;
    CGPoint convertPointFrom(CGPoint point, const UIView* fromView) const;
    CGRect convertRect(CGRect rect, const UIView* toView) const;
    CGRect convertRectFrom(CGRect rect, const UIView* fromView) const;

    // --- Hit testing ---
    virtual bool pointInside(CGPoint point) const;
    // The deepest view under `point` (in this view's coordinates) that takes touches.
    virtual std::shared_ptr<UIView> hitTest(CGPoint point);

    // --- Rendering ---
    // This view's tree, laid out and drawn first, as pixels at `scale` (0: the screen's).
    std::optional<Bitmap> renderBitmap(double scale = 0);
    std::optional<Data> renderPNG(double scale = 0);

    // --- Animation (UIViewAnimation.h: what animates, timing, the replacement rule) ---
    static void animate(double duration, double delay, UIViewAnimationOptions options,
                        const std::function<void()>& animations, std::function<void(bool finished)> completion = {});
    static void animate(double duration, const std::function<void()>& animations,
                        std::function<void(bool finished)> completion = {});
    // Runs `actions` with property changes applied at once, even inside an animations block.
    static void performWithoutAnimation(const std::function<void()>& actions);

    std::shared_ptr<UIResponder> nextResponder() const override { return superview(); }

protected:
    // Called after the view joined or left a superview, and when its window changed.
    virtual void didMoveToSuperview() {}
    virtual void didMoveToWindow() {}
    virtual void didAddSubview(UIView&) {}
    virtual void willRemoveSubview(UIView&) {}
    // Applies the autoresizing masks of the subviews for a size change from `old`.
    void resizeSubviews(CGSize old);

private:
    friend class ViewCommit;
    void insertAt(std::shared_ptr<UIView> view, std::size_t index);  // a copy: `view` may be in subviews_
    void detachFromSuperview();
    void notifyWindowChanged();
    // Brings this subtree up to date with its effective traits.
    void updateTraits();
    void updateTraits(UIUserInterfaceStyle inherited);
    void applyTraitColors(const UITraitCollection& traits);
    void autoresize(CGSize oldSuper, CGSize newSuper);
    void sizeChanged(CGSize old);
    void layoutTree();
    void displayTree(double scale);
    void display(double scale);
    CGPoint toSuperview(CGPoint p) const;
    CGPoint fromSuperview(CGPoint p) const;
    CGPoint downFromRoot(CGPoint point) const;  // from the root's coordinates to this view's
    const UIView* root() const;

    std::shared_ptr<CALayer> layer_;
    std::weak_ptr<UIView> superview_;
    std::vector<std::shared_ptr<UIView>> subviews_;
    std::vector<std::shared_ptr<UIGestureRecognizer>> recognizers_;
    std::shared_ptr<UIColor> backgroundColor_;
    UIViewContentMode contentMode_ = UIViewContentMode::scaleToFill;
    UIUserInterfaceStyle overrideStyle_ = UIUserInterfaceStyle::unspecified;
    UIUserInterfaceStyle appliedStyle_ = UIUserInterfaceStyle::unspecified;  // unspecified: not yet
    UIViewAutoresizing autoresizingMask_ = UIViewAutoresizing::none;
    int tag_ = 0;
    bool userInteractionEnabled_ = true;
    bool exclusiveTouch_ = false;
    bool autoresizesSubviews_ = true;
    bool needsLayout_ = true;
    bool needsDisplay_ = true;
    bool queuedForCommit_ = false;
    bool drewContents_ = false;  // the layer's contents came from draw()
};

// Debug builds: stops with a message when called off the main thread. Release: nothing.
void assertMainThread(const char* what);

}  // namespace platform
