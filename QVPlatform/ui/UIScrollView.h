// UIScrollView: a view whose bounds are a window onto a larger content area.
//
//   auto scroll = std::make_shared<UIScrollView>(CGRect{{0, 0}, {320, 480}});
//   scroll->setContentSize({320, 2000});
//   scroll->addSubview(tallContent);                 // placed in content coordinates
//   scroll->setContentOffset({0, 300});              // bounds.origin is now {0, 300}
//
// The content offset is the bounds' origin, so the renderer draws subviews shifted up and left
// by it, and hit testing and conversions follow. A scroll view clips to its bounds. Content
// size and insets are plain values here: a host's scrolling (or a test) moves the offset with
// setContentOffset, which accepts any finite point whether or not scrolling is enabled, as
// programmatic scrolling does on the platform; `isScrollEnabled` only tells drags whether to
// scroll. Subclasses learn of each change made by setContentOffset through
// `contentOffsetDidChange` (setBounds moves the offset without telling them).
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIView.h>

namespace platform {

class UIScrollView : public NSObjectSubclass<UIScrollView, UIView, "UIScrollView"> {
public:
    explicit UIScrollView(CGRect frame = {});

    // The point of the content shown at the top left: bounds().origin.
    CGPoint contentOffset() const { return bounds().origin; }
    // Moves the bounds' origin to `offset`; a point that is not finite is ignored. There is no
    // animation here: `animated` moves at once.
    void setContentOffset(CGPoint offset, bool animated = false);

    CGSize contentSize() const { return contentSize_; }
    // A size that is not finite is ignored.
    void setContentSize(CGSize size);
    UIEdgeInsets contentInset() const { return contentInset_; }
    // Insets that are not finite are ignored.
    void setContentInset(UIEdgeInsets inset);

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }

    // The offsets that show the content's edges with the insets: the top-left one and the
    // bottom-right one (never above or left of the first, for content smaller than the bounds).
    CGPoint minimumContentOffset() const;
    CGPoint maximumContentOffset() const;

protected:
    // Called after the content offset changed.
    virtual void contentOffsetDidChange() {}

private:
    CGSize contentSize_;
    UIEdgeInsets contentInset_;
    bool scrollEnabled_ = true;
};

}  // namespace platform
