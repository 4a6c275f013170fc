#include <QVPlatform/ui/UIScrollView.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

bool finite(CGPoint p) { return std::isfinite(p.x) && std::isfinite(p.y); }
bool finite(CGSize s) { return std::isfinite(s.width) && std::isfinite(s.height); }
bool finite(const UIEdgeInsets& i) {
    return std::isfinite(i.top) && std::isfinite(i.left) && std::isfinite(i.bottom) && std::isfinite(i.right);
}

}  // namespace

UIScrollView::UIScrollView(CGRect frame) : NSObjectSubclass(frame) { setClipsToBounds(true); }

void UIScrollView::setContentOffset(CGPoint offset, bool /*animated*/) {
    assertMainThread("UIScrollView::setContentOffset");
    if (!finite(offset)) return;
    CGRect b = bounds();
    if (b.origin == offset) return;
    b.origin = offset;
    setBounds(b);
    contentOffsetDidChange();
}

void UIScrollView::setContentSize(CGSize size) {
    if (finite(size)) contentSize_ = size;
}

void UIScrollView::setContentInset(UIEdgeInsets inset) {
    if (finite(inset)) contentInset_ = inset;
}

CGPoint UIScrollView::minimumContentOffset() const { return {-contentInset_.left, -contentInset_.top}; }

CGPoint UIScrollView::maximumContentOffset() const {
    const CGSize view = bounds().size;
    const CGPoint least = minimumContentOffset();
    return {std::max(least.x, contentSize_.width + contentInset_.right - view.width),
            std::max(least.y, contentSize_.height + contentInset_.bottom - view.height)};
}

}  // namespace platform
