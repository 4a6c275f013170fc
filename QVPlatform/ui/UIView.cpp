#include <QVPlatform/ui/UIView.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/LayerRenderer.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIWindow.h>
#include <QVPlatform/ui/detail/LazyContext.h>
#include <QVPlatform/ui/detail/ViewAnimation.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace platform {

void assertMainThread(const char* what) {
#ifndef NDEBUG
    if (!RunLoop::isMainThread()) {
        std::fprintf(stderr, "%s must be used on the main thread\n", what);
        std::abort();
    }
#else
    (void)what;
#endif
}

// The commit step: trees with a view marked for layout or display are laid out, then drawn,
// at the end of the main run-loop turn. Main thread only, so no lock.
class ViewCommit {
public:
    static void schedule(UIView& view) {
        if (view.queuedForCommit_) return;
        auto self = view.weak_from_this().lock();
        if (!self || !RunLoop::isMainThread()) return;  // not shared yet: its superview marks it
        static const bool installed = [] {
            RunLoop::main().addEndOfTurnObserver([] { run(); });
            return true;
        }();
        (void)installed;
        view.queuedForCommit_ = true;
        pending().push_back(std::static_pointer_cast<UIView>(self));
    }

    static void run() {
        auto marked = std::move(pending());
        pending().clear();
        std::vector<std::shared_ptr<UIView>> roots;
        for (const auto& weak : marked) {
            auto view = weak.lock();
            if (!view) continue;
            view->queuedForCommit_ = false;
            auto root = view;
            while (auto up = root->superview()) root = up;
            if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
        }
        for (const auto& root : roots) root->commitNow();
    }

private:
    static std::vector<std::weak_ptr<UIView>>& pending() {
        static std::vector<std::weak_ptr<UIView>> views;
        return views;
    }
};

namespace {

bool finite(CGRect r) {
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) &&
           std::isfinite(r.size.height);
}

CAContentsGravity gravityFor(UIViewContentMode mode) {
    switch (mode) {
        case UIViewContentMode::scaleToFill:
        case UIViewContentMode::redraw: return CAContentsGravity::resize;
        case UIViewContentMode::scaleAspectFit: return CAContentsGravity::resizeAspect;
        case UIViewContentMode::scaleAspectFill: return CAContentsGravity::resizeAspectFill;
        case UIViewContentMode::center: return CAContentsGravity::center;
        case UIViewContentMode::top: return CAContentsGravity::top;
        case UIViewContentMode::bottom: return CAContentsGravity::bottom;
        case UIViewContentMode::left: return CAContentsGravity::left;
        case UIViewContentMode::right: return CAContentsGravity::right;
        case UIViewContentMode::topLeft: return CAContentsGravity::topLeft;
        case UIViewContentMode::topRight: return CAContentsGravity::topRight;
        case UIViewContentMode::bottomLeft: return CAContentsGravity::bottomLeft;
        case UIViewContentMode::bottomRight: return CAContentsGravity::bottomRight;
    }
    return CAContentsGravity::resize;
}

// One axis of autoresizing: the flexible parts among (leading margin, length, trailing
// margin) share the change of the superview's length in proportion to their current sizes
// (equally when those are all zero).
void resizeAxis(CGFloat& position, CGFloat& length, CGFloat oldTotal, CGFloat newTotal, bool flexLead, bool flexLength,
                bool flexTrail) {
    const CGFloat delta = newTotal - oldTotal;
    const int count = int(flexLead) + int(flexLength) + int(flexTrail);
    if (delta == 0 || count == 0) return;
    const CGFloat lead = flexLead ? std::max<CGFloat>(0, position) : 0;
    const CGFloat body = flexLength ? std::max<CGFloat>(0, length) : 0;
    const CGFloat trail = flexTrail ? std::max<CGFloat>(0, oldTotal - position - length) : 0;
    const CGFloat sum = lead + body + trail;
    const auto share = [&](bool flexible, CGFloat part) {
        if (!flexible) return CGFloat(0);
        return sum > 0 ? delta * part / sum : delta / count;
    };
    position += share(flexLead, lead);
    length = std::max<CGFloat>(0, length + share(flexLength, body));
}

// The bounding box of a rectangle's four corners after `map`.
template <class Map>
CGRect mappedBox(CGRect rect, Map map) {
    const CGRect r = rect.standardized();
    const CGPoint corners[] = {r.origin, {r.maxX(), r.minY()}, {r.minX(), r.maxY()}, {r.maxX(), r.maxY()}};
    CGFloat x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
    for (const CGPoint c : corners) {
        const CGPoint p = map(c);
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    return {{x0, y0}, {x1 - x0, y1 - y0}};
}

}  // namespace

UIView::UIView(CGRect frame) : layer_(CALayer::layer()) {
    assertMainThread("UIView");
    if (finite(frame)) layer_->setFrame(frame);
}

UIView::~UIView() = default;

// --- Geometry ---

CGRect UIView::frame() const { return layer_->frame(); }

void UIView::setFrame(CGRect frame) {
    assertMainThread("UIView::setFrame");
    if (!finite(frame)) {
        debugPrint("UIView: a frame that is not finite is ignored");
        return;
    }
    const CGSize old = bounds().size;
    detail::viewWillChange(*layer_, {"position", "bounds"});
    layer_->setFrame(frame);
    sizeChanged(old);
}

CGRect UIView::bounds() const { return layer_->bounds(); }

void UIView::setBounds(CGRect bounds) {
    assertMainThread("UIView::setBounds");
    if (!finite(bounds)) return;
    const CGSize old = this->bounds().size;
    detail::viewWillChange(*layer_, {"bounds"});
    layer_->setBounds(bounds);
    sizeChanged(old);
}

CGPoint UIView::center() const { return layer_->position(); }

void UIView::setCenter(CGPoint center) {
    assertMainThread("UIView::setCenter");
    if (!std::isfinite(center.x) || !std::isfinite(center.y)) return;
    detail::viewWillChange(*layer_, {"position"});
    layer_->setPosition(center);
}

CGAffineTransform UIView::transform() const { return layer_->affineTransform(); }

void UIView::setTransform(const CGAffineTransform& transform) {
    assertMainThread("UIView::setTransform");
    detail::viewWillChange(*layer_, {"transform"});
    layer_->setAffineTransform(transform);
}

void UIView::sizeChanged(CGSize old) {
    const CGSize now = bounds().size;
    if (now == old) return;
    resizeSubviews(old);
    setNeedsLayout();
    if (contentMode_ == UIViewContentMode::redraw) setNeedsDisplay();
}

void UIView::resizeSubviews(CGSize old) {
    if (!autoresizesSubviews_) return;
    const CGSize now = bounds().size;
    for (const auto& sub : subviews_) sub->autoresize(old, now);
}

void UIView::autoresize(CGSize oldSuper, CGSize newSuper) {
    using A = UIViewAutoresizing;
    const A m = autoresizingMask_;
    if (m == A::none) return;
    CGRect f = frame();
    resizeAxis(f.origin.x, f.size.width, oldSuper.width, newSuper.width, contains(m, A::flexibleLeftMargin),
               contains(m, A::flexibleWidth), contains(m, A::flexibleRightMargin));
    resizeAxis(f.origin.y, f.size.height, oldSuper.height, newSuper.height, contains(m, A::flexibleTopMargin),
               contains(m, A::flexibleHeight), contains(m, A::flexibleBottomMargin));
    setFrame(f);
}

// --- Appearance ---

double UIView::alpha() const { return layer_->opacity(); }
void UIView::setAlpha(double alpha) {
    assertMainThread("UIView::setAlpha");
    detail::viewWillChange(*layer_, {"opacity"});
    layer_->setOpacity(std::isnan(alpha) ? 0 : std::clamp(alpha, 0.0, 1.0));
}
bool UIView::isHidden() const { return layer_->isHidden(); }
void UIView::setHidden(bool hidden) {
    assertMainThread("UIView::setHidden");
    layer_->setHidden(hidden);
}
bool UIView::clipsToBounds() const { return layer_->masksToBounds(); }
void UIView::setClipsToBounds(bool clips) { layer_->setMasksToBounds(clips); }

void UIView::setBackgroundColor(std::shared_ptr<UIColor> color) {
    assertMainThread("UIView::setBackgroundColor");
    backgroundColor_ = std::move(color);
    detail::viewWillChange(*layer_, {"backgroundColor"});
    applyTraitColors(traitCollection());
}

// --- Traits ---

void UIView::applyTraitColors(const UITraitCollection& traits) {
    if (backgroundColor_)
        layer_->setBackgroundColor(backgroundColor_->cgColorFor(traits));
    else
        layer_->setBackgroundColor(std::nullopt);
}

void UIView::setOverrideUserInterfaceStyle(UIUserInterfaceStyle style) {
    assertMainThread("UIView::setOverrideUserInterfaceStyle");
    overrideStyle_ = style;
    updateTraits();
}

UITraitCollection UIView::traitCollection() const {
    for (const UIView* v = this; v; v = v->superview_.lock().get()) {
        if (v->overrideStyle_ != UIUserInterfaceStyle::unspecified)
            return UITraitCollection::withUserInterfaceStyle(v->overrideStyle_);
    }
    return UITraitCollection::withUserInterfaceStyle(UITraitCollection::systemUserInterfaceStyle());
}

void UIView::updateTraits() {
    const auto parent = superview();
    const UIUserInterfaceStyle inherited =
        parent ? parent->traitCollection().userInterfaceStyle() : UITraitCollection::systemUserInterfaceStyle();
    updateTraits(inherited);
}

void UIView::updateTraits(UIUserInterfaceStyle inherited) {
    const UIUserInterfaceStyle style = overrideStyle_ != UIUserInterfaceStyle::unspecified ? overrideStyle_ : inherited;
    if (style != appliedStyle_) {
        const auto previous = appliedStyle_ == UIUserInterfaceStyle::unspecified
                                  ? std::nullopt
                                  : std::optional(UITraitCollection::withUserInterfaceStyle(appliedStyle_));
        appliedStyle_ = style;
        applyTraitColors(UITraitCollection::withUserInterfaceStyle(style));
        if (drewContents_) setNeedsDisplay();
        traitCollectionDidChange(previous);
    }
    const auto subs = subviews_;  // traitCollectionDidChange may edit the list
    for (const auto& sub : subs) sub->updateTraits(style);
}

void UIView::setContentMode(UIViewContentMode mode) {
    contentMode_ = mode;
    layer_->setContentsGravity(gravityFor(mode));
}

// --- Identity and touches ---

std::shared_ptr<UIView> UIView::viewWithTag(int tag) {
    if (tag_ == tag) return std::static_pointer_cast<UIView>(shared_from_this());
    for (const auto& sub : subviews_) {
        if (auto found = sub->viewWithTag(tag)) return found;
    }
    return nullptr;
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer) {
    assertMainThread("UIView::addGestureRecognizer");
    if (!recognizer) return;
    if (auto old = recognizer->view(); old && old.get() != this) old->removeGestureRecognizer(*recognizer);
    if (std::find(recognizers_.begin(), recognizers_.end(), recognizer) != recognizers_.end()) return;
    recognizers_.push_back(recognizer);
    recognizer->attach(std::static_pointer_cast<UIView>(shared_from_this()));
}

void UIView::removeGestureRecognizer(const UIGestureRecognizer& recognizer) {
    const auto it = std::find_if(recognizers_.begin(), recognizers_.end(),
                                 [&](const auto& r) { return r.get() == &recognizer; });
    if (it == recognizers_.end()) return;
    const auto kept = *it;  // alive until detached
    recognizers_.erase(it);
    kept->attach(nullptr);
}

// --- Safe area ---

UIEdgeInsets UIView::safeAreaInsets() const {
    const auto w = window();
    if (!w) return {};
    const UIEdgeInsets outer = w->safeAreaInsets();
    const CGRect wb = w->bounds();
    const CGRect r = convertRect(bounds(), nullptr);
    const auto clampTo = [](CGFloat v, CGFloat limit) { return std::clamp<CGFloat>(v, 0, std::max<CGFloat>(0, limit)); };
    return {clampTo(wb.minY() + outer.top - r.minY(), r.height()), clampTo(wb.minX() + outer.left - r.minX(), r.width()),
            clampTo(r.maxY() - (wb.maxY() - outer.bottom), r.height()),
            clampTo(r.maxX() - (wb.maxX() - outer.right), r.width())};
}

// --- The tree ---

const UIView* UIView::root() const {
    const UIView* v = this;
    for (auto up = v->superview(); up; up = up->superview()) v = up.get();
    return v;
}

std::shared_ptr<UIWindow> UIView::window() const {
    const UIView* top = root();
    if (!dynamic_cast<const UIWindow*>(top)) return nullptr;
    return std::static_pointer_cast<UIWindow>(const_cast<UIView*>(top)->shared_from_this());
}

bool UIView::isDescendantOfView(const UIView& view) const {
    for (const UIView* v = this; v;) {
        if (v == &view) return true;
        const auto up = v->superview();
        v = up.get();
    }
    return false;
}

void UIView::addSubview(const std::shared_ptr<UIView>& view) { insertAt(view, subviews_.size()); }

void UIView::insertSubview(const std::shared_ptr<UIView>& view, std::size_t index) { insertAt(view, index); }

void UIView::insertSubviewBelow(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    const auto it = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& s) { return s.get() == sibling; });
    if (it == subviews_.end() || it->get() == view.get()) return addSubview(view);
    std::size_t index = static_cast<std::size_t>(it - subviews_.begin());
    insertAt(view, index);
}

void UIView::insertSubviewAbove(const std::shared_ptr<UIView>& view, const UIView* sibling) {
    const auto it = std::find_if(subviews_.begin(), subviews_.end(), [&](const auto& s) { return s.get() == sibling; });
    if (it == subviews_.end() || it->get() == view.get()) return addSubview(view);
    insertAt(view, static_cast<std::size_t>(it - subviews_.begin()) + 1);
}

void UIView::insertAt(std::shared_ptr<UIView> view, std::size_t index) {
    assertMainThread("UIView::addSubview");
    if (!view || isDescendantOfView(*view)) return;
    const auto oldWindow = view->window();
    if (view->superview().get() == this) {
        const auto it = std::find(subviews_.begin(), subviews_.end(), view);
        if (static_cast<std::size_t>(it - subviews_.begin()) < index) --index;
        subviews_.erase(it);
    } else {
        view->detachFromSuperview();
    }
    index = std::min(index, subviews_.size());
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(index), view);
    // The view's layer goes between its neighbours' layers; other sublayers keep their places.
    if (index + 1 < subviews_.size())
        layer_->insertSublayerBelow(view->layer_, subviews_[index + 1]->layer_.get());
    else if (index > 0)
        layer_->insertSublayerAbove(view->layer_, subviews_[index - 1]->layer_.get());
    else
        layer_->addSublayer(view->layer_);
    view->superview_ = std::static_pointer_cast<UIView>(shared_from_this());
    didAddSubview(*view);
    view->didMoveToSuperview();
    if (view->window() != oldWindow) view->notifyWindowChanged();
    view->updateTraits();
    setNeedsLayout();
    view->setNeedsLayout();
}

void UIView::bringSubviewToFront(const UIView& view) {
    for (const auto& s : subviews_) {
        if (s.get() == &view) return insertAt(std::shared_ptr<UIView>(s), subviews_.size());
    }
}

void UIView::sendSubviewToBack(const UIView& view) {
    for (const auto& s : subviews_) {
        if (s.get() == &view) return insertAt(std::shared_ptr<UIView>(s), 0);
    }
}

void UIView::detachFromSuperview() {
    const auto parent = superview();
    if (!parent) return;
    parent->willRemoveSubview(*this);
    const auto self = std::static_pointer_cast<UIView>(shared_from_this());  // alive while detaching
    auto& siblings = parent->subviews_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    layer_->removeFromSuperlayer();
    superview_.reset();
    parent->setNeedsLayout();
}

void UIView::removeFromSuperview() {
    assertMainThread("UIView::removeFromSuperview");
    if (!superview()) return;
    const auto self = std::static_pointer_cast<UIView>(shared_from_this());
    const bool hadWindow = window() != nullptr;
    detachFromSuperview();
    didMoveToSuperview();
    if (hadWindow) notifyWindowChanged();
    updateTraits();
}

void UIView::notifyWindowChanged() {
    didMoveToWindow();
    const auto subs = subviews_;  // didMoveToWindow may edit the list
    for (const auto& sub : subs) sub->notifyWindowChanged();
}

// --- Layout and display ---

void UIView::setNeedsLayout() {
    needsLayout_ = true;
    ViewCommit::schedule(*this);
}

void UIView::layoutIfNeeded() {
    assertMainThread("UIView::layoutIfNeeded");
    layoutTree();
}

void UIView::layoutTree() {
    if (needsLayout_) {
        needsLayout_ = false;
        layoutSubviews();
    }
    const auto subs = subviews_;  // layoutSubviews may edit the list
    for (const auto& sub : subs) sub->layoutTree();
}

CGSize UIView::sizeThatFits(CGSize) const { return bounds().size; }

void UIView::sizeToFit() {
    const CGSize size = sizeThatFits(bounds().size);
    setFrame({frame().origin, size});
}

void UIView::setNeedsDisplay() {
    needsDisplay_ = true;
    ViewCommit::schedule(*this);
}

void UIView::draw(CGRect) {}

void UIView::commitNow() {
    assertMainThread("UIView::commitNow");
    updateTraits();
    layoutTree();
    displayTree(UIScreen::main()->scale());
}

void UIView::displayTree(double scale) {
    if (needsDisplay_) display(scale);
    const auto subs = subviews_;
    for (const auto& sub : subs) sub->displayTree(scale);
}

void UIView::display(double scale) {
    needsDisplay_ = false;
    const CGRect b = bounds();
    const double w = std::ceil(b.width() * scale), h = std::ceil(b.height() * scale);
    const bool drawable = w >= 1 && h >= 1 && w <= kMaxImageDimension && h <= kMaxImageDimension;
    if (drawable) {
        detail::pushLazyContext(static_cast<int>(w), static_cast<int>(h), scale, b.origin);
        traitCollection().performAsCurrent([&] { draw(b); });
    }
    const auto context = drawable ? detail::popLazyContext() : nullptr;
    if (context) {
        layer_->setContents(std::make_shared<const Bitmap>(context->takeBitmap()));
        layer_->setContentsScale(scale);
        drewContents_ = true;
    } else if (drewContents_) {
        layer_->setContents(nullptr);
        drewContents_ = false;
    }
}

// --- Conversion ---

CGPoint UIView::toSuperview(CGPoint p) const {
    const CGRect b = bounds();
    const CGPoint a = layer_->anchorPoint();
    const CGPoint local{p.x - b.origin.x - a.x * b.size.width, p.y - b.origin.y - a.y * b.size.height};
    const CGPoint moved = CGPointApplyAffineTransform(local, transform());
    const CGPoint position = center();
    return {moved.x + position.x, moved.y + position.y};
}

CGPoint UIView::fromSuperview(CGPoint p) const {
    const CGRect b = bounds();
    const CGPoint a = layer_->anchorPoint();
    const CGPoint position = center();
    const CGPoint local = CGPointApplyAffineTransform({p.x - position.x, p.y - position.y}, transform().inverted());
    return {local.x + b.origin.x + a.x * b.size.width, local.y + b.origin.y + a.y * b.size.height};
}

CGPoint UIView::convertPoint(CGPoint point, const UIView* toView) const {
    // Up to this tree's root (a window's own frame is not applied: that is window space).
    const UIView* top = this;
    for (auto up = superview(); up; up = up->superview()) {
        point = top->toSuperview(point);
        top = up.get();
    }
    if (!toView) return point;
    const UIView* targetRoot = toView->root();
    if (targetRoot != top) point = targetRoot->fromSuperview(top->toSuperview(point));  // through screen space
    return toView->downFromRoot(point);
}

CGPoint UIView::convertPointFrom(CGPoint point, const UIView* fromView) const {
    return fromView ? fromView->convertPoint(point, this) : downFromRoot(point);
}

CGPoint UIView::downFromRoot(CGPoint point) const {
    std::vector<const UIView*> chain;
    for (const UIView* v = this;;) {
        const auto up = v->superview();
        if (!up) break;
        chain.push_back(v);
        v = up.get();
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) point = (*it)->fromSuperview(point);
    return point;
}

CGRect UIView::convertRect(CGRect rect, const UIView* toView) const {
    return mappedBox(rect, [&](CGPoint p) { return convertPoint(p, toView); });
}

CGRect UIView::convertRectFrom(CGRect rect, const UIView* fromView) const {
    if (fromView) return fromView->convertRect(rect, this);
    return mappedBox(rect, [&](CGPoint p) { return downFromRoot(p); });
}

// --- Hit testing ---

bool UIView::pointInside(CGPoint point) const { return bounds().contains(point); }

std::shared_ptr<UIView> UIView::hitTest(CGPoint point) {
    if (isHidden() || !userInteractionEnabled_ || alpha() < 0.01 || !pointInside(point) ||
        detail::animationBlocksTouches(*layer_))
        return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        if (auto hit = (*it)->hitTest((*it)->fromSuperview(point))) return hit;
    }
    return std::static_pointer_cast<UIView>(shared_from_this());
}

// --- Rendering ---

std::optional<Bitmap> UIView::renderBitmap(double scale) {
    commitNow();
    if (!(scale > 0) || !std::isfinite(scale)) scale = UIScreen::main()->scale();
    return LayerRenderer::renderBitmap(*layer_, scale);
}

std::optional<Data> UIView::renderPNG(double scale) {
    commitNow();
    if (!(scale > 0) || !std::isfinite(scale)) scale = UIScreen::main()->scale();
    return LayerRenderer::renderPNG(*layer_, scale);
}

}  // namespace platform
