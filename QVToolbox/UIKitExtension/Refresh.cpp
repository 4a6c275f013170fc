#include <QVToolbox/UIKitExtension/Refresh.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UILabel.h>

#include <algorithm>

namespace QVToolbox {

using namespace platform;

QVRefreshControl::QVRefreshControl(QVRefreshStyle style, std::function<void()> block)
    : style_(style), block_(std::move(block)) {
    if (style == QVRefreshStyle::header) {
        titles_ = {"下拉可以刷新", "松开立即刷新", "正在刷新数据中...", ""};
    } else {
        titles_ = {"点击或上拉加载更多", "松开立即加载更多", "正在加载更多的数据...", kNoMoreDataTitle};
    }
    label_ = std::make_shared<UILabel>();
    label_->setFont(UIFont::boldSystemFontOfSize(14));
    label_->setTextColor(UIColor::colorWithWhite(0.4, 1));
    label_->setTextAlignment(NSTextAlignment::center);
    label_->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleHeight);
    showTitle();
}

const std::shared_ptr<UILabel>& QVRefreshControl::stateLabel() { return label_; }

void QVRefreshControl::setTitle(std::string title, QVRefreshState state) {
    titles_[static_cast<std::size_t>(state)] = std::move(title);
    showTitle();
}

// Every state change shows its title and places the control again (the content may have grown).
void QVRefreshControl::showTitle() {
    label_->setText(title(state_));
    place();
}

UIScrollView* QVRefreshControl::scrollView() const { return dynamic_cast<UIScrollView*>(superview().get()); }

void QVRefreshControl::setState(QVRefreshState state) {
    if (state == QVRefreshState::refreshing) {
        beginRefreshing();
        return;
    }
    UIScrollView* scroll = scrollView();
    if (insetTaken_ && scroll) {
        UIEdgeInsets inset = scroll->contentInset();
        inset.top -= kHeaderHeight;
        scroll->setContentInset(inset);
    }
    insetTaken_ = false;
    state_ = state;
    showTitle();
}

void QVRefreshControl::beginRefreshing() {
    if (state_ == QVRefreshState::refreshing || state_ == QVRefreshState::noMoreData) return;
    state_ = QVRefreshState::refreshing;
    showTitle();
    UIScrollView* scroll = scrollView();
    if (style_ == QVRefreshStyle::header && scroll) {
        UIEdgeInsets inset = scroll->contentInset();
        inset.top += kHeaderHeight;
        scroll->setContentInset(inset);
        insetTaken_ = true;
    }
    if (!block_) return;
    // As the platform's refresh component: the block runs on the main queue, after this call.
    const auto self = std::static_pointer_cast<QVRefreshControl>(weak_from_this().lock());
    if (!self) {
        block_();
        return;
    }
    DispatchQueue::main()->async([weak = std::weak_ptr<QVRefreshControl>(self)] {
        if (const auto control = weak.lock(); control && control->block_ && control->superview()) {
            const auto block = control->block_;  // the block may replace the control
            block();
        }
    });
}

void QVRefreshControl::endRefreshing() {
    if (state_ != QVRefreshState::noMoreData) setState(QVRefreshState::idle);
}

void QVRefreshControl::endRefreshingWithNoMoreData() { setState(QVRefreshState::noMoreData); }

void QVRefreshControl::resetNoMoreData() {
    if (state_ == QVRefreshState::noMoreData) setState(QVRefreshState::idle);
}

void QVRefreshControl::setIgnoredScrollViewContentInsetTop(double inset) {
    ignoredInsetTop_ = inset;
    place();
}

void QVRefreshControl::place() {
    const UIScrollView* scroll = scrollView();
    if (!scroll) return;
    const CGSize view = scroll->bounds().size;
    if (style_ == QVRefreshStyle::header) {
        setFrame({{0, -kHeaderHeight - ignoredInsetTop_}, {view.width, kHeaderHeight}});
    } else {
        setFrame({{0, std::max(scroll->contentSize().height, view.height)}, {view.width, kFooterHeight}});
    }
}

void QVRefreshControl::layoutSubviews() {
    if (label_->superview().get() != this) addSubview(label_);
    label_->setFrame({{0, 0}, bounds().size});
}

std::shared_ptr<QVRefreshControl> refreshControl(const UIScrollView& scrollView, QVRefreshStyle style) {
    for (const auto& sub : scrollView.subviews()) {
        auto control = std::dynamic_pointer_cast<QVRefreshControl>(sub);
        if (control && control->style() == style) return control;
    }
    return nullptr;
}

void addRefresh(const std::shared_ptr<UIScrollView>& scrollView, QVRefreshStyle style, std::function<void()> block) {
    if (!scrollView) return;
    clearRefresh(*scrollView, style);
    auto control = std::make_shared<QVRefreshControl>(style, std::move(block));
    scrollView->addSubview(control);
    control->place();
    control->layoutIfNeeded();
}

void addFooterRefresh(const std::shared_ptr<UIScrollView>& scrollView, const std::string& noMoreDataTitle,
                      std::function<void()> block) {
    if (!scrollView) return;
    addRefresh(scrollView, QVRefreshStyle::footer, std::move(block));
    if (!noMoreDataTitle.empty()) refreshControl(*scrollView, QVRefreshStyle::footer)->setTitle(noMoreDataTitle, QVRefreshState::noMoreData);
}

void startRefresh(UIScrollView& scrollView, QVRefreshStyle style) {
    if (const auto control = refreshControl(scrollView, style)) control->beginRefreshing();
}

void endRefreshing(UIScrollView& scrollView, QVRefreshStyle style) {
    if (const auto control = refreshControl(scrollView, style)) control->endRefreshing();
}

void endRefreshingWithNoMoreData(UIScrollView& scrollView, bool showFooterStateLabel) {
    const auto footer = refreshControl(scrollView, QVRefreshStyle::footer);
    if (!footer) return;
    footer->endRefreshingWithNoMoreData();
    footer->stateLabel()->setHidden(!showFooterStateLabel);
}

void resetNoMoreData(UIScrollView& scrollView) {
    const auto footer = refreshControl(scrollView, QVRefreshStyle::footer);
    if (!footer) return;
    footer->resetNoMoreData();
    footer->stateLabel()->setHidden(false);
}

bool hasRefresh(const UIScrollView& scrollView, QVRefreshStyle style) { return refreshControl(scrollView, style) != nullptr; }

void clearRefresh(UIScrollView& scrollView, QVRefreshStyle style) {
    if (const auto control = refreshControl(scrollView, style)) {
        control->setState(QVRefreshState::idle);  // gives back a refreshing header's inset
        control->removeFromSuperview();
    }
}

void ignoredScrollViewContentInsetTop(UIScrollView& scrollView, double inset) {
    if (const auto header = refreshControl(scrollView, QVRefreshStyle::header)) header->setIgnoredScrollViewContentInsetTop(inset);
}

void endRefresh(const std::shared_ptr<UIScrollView>& scrollView, QVEndRefreshState state, bool clearFooterWhenLessData,
                bool addFooter, std::function<void()> footerAction) {
    if (!scrollView) return;
    endRefreshing(*scrollView, state.style);
    if (state.hasMore) {
        if (addFooter && !hasRefresh(*scrollView, QVRefreshStyle::footer)) {
            addRefresh(scrollView, QVRefreshStyle::footer, std::move(footerAction));
        }
        resetNoMoreData(*scrollView);
    } else if (clearFooterWhenLessData) {
        clearRefresh(*scrollView, QVRefreshStyle::footer);
    } else {
        endRefreshingWithNoMoreData(*scrollView, true);
    }
}

}  // namespace QVToolbox
