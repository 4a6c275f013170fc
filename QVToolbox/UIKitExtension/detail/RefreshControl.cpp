#include <QVToolbox/UIKitExtension/detail/RefreshControl.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIFont.h>

#include <cmath>

namespace QVToolbox::detail {

using platform::CGRect;
using platform::UIScrollView;

namespace {

std::array<std::string, 4> defaultTitles(RefreshControl::Kind kind) {
    if (kind == RefreshControl::Kind::header) {
        return {"下拉可以刷新", "松开立即刷新", "正在刷新数据中...", ""};
    }
    return {"上拉加载更多", "松开立即加载更多", "正在加载更多的数据...", "- 已经到底啦 -"};
}

}  // namespace

std::shared_ptr<RefreshControl> RefreshControl::make(Kind kind, std::function<void()> block) {
    return std::make_shared<RefreshControl>(kind, std::move(block));
}

RefreshControl::RefreshControl(Kind kind, std::function<void()> block)
    : NSObjectSubclass(CGRect{{0, 0}, {0, kind == Kind::header ? kHeaderHeight : kFooterHeight}}),
      kind_(kind),
      block_(std::move(block)),
      titles_(defaultTitles(kind)),
      stateLabel_(std::make_shared<platform::UILabel>()) {
    stateLabel_->setFont(platform::UIFont::systemFontOfSize(14));
    stateLabel_->setTextColor(platform::UIColor::colorWithWhite(0.4, 1));
    stateLabel_->setTextAlignment(platform::NSTextAlignment::center);
    stateLabel_->setText(titles_[index(State::idle)]);
}

UIScrollView* RefreshControl::scrollView() const {
    return dynamic_cast<UIScrollView*>(superview().get());
}

void RefreshControl::attach(UIScrollView& scrollView) {
    if (this->scrollView() == &scrollView) return;
    detach();
    if (stateLabel_->superview().get() != this) addSubview(stateLabel_);
    scrollView.addSubview(std::static_pointer_cast<UIView>(shared_from_this()));
    if (kind_ == Kind::footer) adjustInset(0, kFooterHeight);
    place();
}

void RefreshControl::detach() {
    if (!scrollView()) return;
    adjustInset(-insetTopTaken_, -insetBottomTaken_);
    removeFromSuperview();
}

// Adds `top` and `bottom` to the scroll view's insets and to what this control holds of them.
void RefreshControl::adjustInset(double top, double bottom) {
    UIScrollView* scroll = scrollView();
    if (!scroll || (top == 0 && bottom == 0)) return;
    platform::UIEdgeInsets inset = scroll->contentInset();
    inset.top += top;
    inset.bottom += bottom;
    scroll->setContentInset(inset);
    insetTopTaken_ += top;
    insetBottomTaken_ += bottom;
}

void RefreshControl::setState(State state) {
    state_ = state;
    stateLabel_->setText(titles_[index(state)]);
}

void RefreshControl::beginRefreshing() {
    if (state_ == State::refreshing || state_ == State::noMoreData) return;
    setState(State::refreshing);
    if (UIScrollView* scroll = scrollView(); scroll && kind_ == Kind::header) {
        adjustInset(kHeaderHeight, 0);
        // Show the header: the content's top edge moves down below it.
        scroll->setContentOffset({scroll->contentOffset().x, -scroll->contentInset().top});
    }
    // The block runs on the next main turn, and only while the control still refreshes, so an
    // end before it runs (or a control dropped meanwhile) cancels it.
    std::weak_ptr<RefreshControl> weak = std::static_pointer_cast<RefreshControl>(shared_from_this());
    platform::DispatchQueue::main()->async([weak] {
        const auto self = weak.lock();
        if (self && self->state_ == State::refreshing && self->block_) self->block_();
    });
}

void RefreshControl::endRefreshing() {
    if (state_ != State::refreshing && state_ != State::pulling) return;
    setState(State::idle);
    adjustInset(-insetTopTaken_, 0);
}

void RefreshControl::endRefreshingWithNoMoreData() {
    adjustInset(-insetTopTaken_, 0);
    setState(State::noMoreData);
}

void RefreshControl::resetNoMoreData() {
    if (state_ == State::noMoreData) setState(State::idle);
}

void RefreshControl::setPulling(bool pulling) {
    if (pulling && state_ == State::idle) setState(State::pulling);
    if (!pulling && state_ == State::pulling) setState(State::idle);
}

void RefreshControl::setTitle(std::string title, State state) {
    titles_[index(state)] = std::move(title);
    if (state == state_) stateLabel_->setText(titles_[index(state)]);
}

void RefreshControl::setIgnoredContentInsetTop(double inset) {
    ignoredInsetTop_ = std::isfinite(inset) ? inset : 0;
    place();
}

void RefreshControl::place() {
    UIScrollView* scroll = scrollView();
    if (!scroll) return;
    const double width = scroll->bounds().size.width;
    const double height = kind_ == Kind::header ? kHeaderHeight : kFooterHeight;
    const double y = kind_ == Kind::header ? -height - ignoredInsetTop_ : scroll->contentSize().height;
    setFrame({{0, y}, {width, height}});
    setNeedsLayout();
}

void RefreshControl::layoutSubviews() {
    // Follows the content size, which may have changed since the last pass.
    if (UIScrollView* scroll = scrollView()) {
        const double y = kind_ == Kind::header ? -bounds().size.height - ignoredInsetTop_ : scroll->contentSize().height;
        if (frame().origin.y != y || frame().size.width != scroll->bounds().size.width) place();
    }
    stateLabel_->setFrame(bounds());
}

}  // namespace QVToolbox::detail
