#include <QVToolbox/UIKitExtension/ScrollViewRefresh.h>

#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UITableView.h>

namespace QVToolbox {

using detail::EmptyDataSetView;
using detail::RefreshControl;
using platform::AssociationPolicy;
using platform::UIScrollView;

namespace {

const char kHeaderKey = 0;
const char kFooterKey = 0;
const char kEmptyKey = 0;

const void* keyOf(QVRefreshStyle style) { return style == QVRefreshStyle::header ? &kHeaderKey : &kFooterKey; }

// The empty-state record of a scroll view, its overlay while shown, and the scroll view's own
// scrolling setting to give back when the overlay hides.
struct EmptyState {
    QVEmptyDataSet config;
    std::shared_ptr<EmptyDataSetView> overlay;
    bool scrollEnabled = true;
};

std::shared_ptr<EmptyState> emptyState(const UIScrollView& view) {
    return platform::objc_getAssociatedObject<std::shared_ptr<EmptyState>>(view, &kEmptyKey).value_or(nullptr);
}

// Rows of a table view, items of a collection view; none for other scroll views.
std::optional<platform::NSInteger> itemCount(UIScrollView& view) {
    platform::NSInteger count = 0;
    if (auto* table = dynamic_cast<platform::UITableView*>(&view)) {
        for (platform::NSInteger s = 0, n = table->numberOfSections(); s < n; ++s) count += table->numberOfRowsInSection(s);
        return count;
    }
    if (auto* collection = dynamic_cast<platform::UICollectionView*>(&view)) {
        for (platform::NSInteger s = 0, n = collection->numberOfSections(); s < n; ++s) {
            count += collection->numberOfItemsInSection(s);
        }
        return count;
    }
    return std::nullopt;
}

void hideOverlay(UIScrollView& view, EmptyState& state) {
    if (!state.overlay) return;
    state.overlay->removeFromSuperview();
    state.overlay.reset();
    view.setScrollEnabled(state.scrollEnabled);
}

void showOverlay(UIScrollView& view, EmptyState& state) {
    if (!state.overlay) {
        state.scrollEnabled = view.isScrollEnabled();
        state.overlay = std::make_shared<EmptyDataSetView>(state.config);
    }
    state.overlay->setFrame(view.bounds());
    state.overlay->setUserInteractionEnabled(state.config.allowTouch);
    state.overlay->setNeedsLayout();
    view.addSubview(state.overlay);  // on top, also when it already showed
    view.setScrollEnabled(state.config.allowScroll);
}

void addControl(UIScrollView& view, QVRefreshStyle style, std::shared_ptr<RefreshControl> control) {
    clearRefresh(view, style);
    control->attach(view);
    platform::objc_setAssociatedObject(view, keyOf(style), std::move(control), AssociationPolicy::retainNonatomic);
}

}  // namespace

std::shared_ptr<RefreshControl> refreshControl(const UIScrollView& view, QVRefreshStyle style) {
    return platform::objc_getAssociatedObject<std::shared_ptr<RefreshControl>>(view, keyOf(style)).value_or(nullptr);
}

std::shared_ptr<EmptyDataSetView> emptyDataSetView(const UIScrollView& view) {
    const auto state = emptyState(view);
    return state ? state->overlay : nullptr;
}

void addRefresh(UIScrollView& view, QVRefreshStyle style, std::function<void()> block) {
    const auto kind = style == QVRefreshStyle::header ? RefreshControl::Kind::header : RefreshControl::Kind::footer;
    addControl(view, style, RefreshControl::make(kind, std::move(block)));
}

void addFooterRefresh(UIScrollView& view, std::string noMoreDataTitle, std::function<void()> block) {
    auto footer = RefreshControl::make(RefreshControl::Kind::footer, std::move(block));
    footer->setTitle(std::move(noMoreDataTitle), RefreshControl::State::noMoreData);
    addControl(view, QVRefreshStyle::footer, std::move(footer));
}

void startRefresh(UIScrollView& view, QVRefreshStyle style) {
    if (const auto control = refreshControl(view, style)) {
        control->place();
        control->beginRefreshing();
    }
}

void endRefreshing(UIScrollView& view, QVRefreshStyle style) {
    if (const auto control = refreshControl(view, style)) {
        control->endRefreshing();
        control->place();
    }
}

void endRefreshingWithNoMoreData(UIScrollView& view, bool showFooterStateLabel) {
    if (const auto footer = refreshControl(view, QVRefreshStyle::footer)) {
        footer->endRefreshingWithNoMoreData();
        footer->setStateLabelHidden(!showFooterStateLabel);
        footer->place();
    }
}

void resetNoMoreData(UIScrollView& view) {
    if (const auto footer = refreshControl(view, QVRefreshStyle::footer)) {
        footer->resetNoMoreData();
        footer->setStateLabelHidden(false);
    }
}

bool hasRefresh(const UIScrollView& view, QVRefreshStyle style) { return refreshControl(view, style) != nullptr; }

void clearRefresh(UIScrollView& view, QVRefreshStyle style) {
    if (const auto control = refreshControl(view, style)) {
        control->detach();
        platform::objc_removeAssociatedObject(view, keyOf(style));
    }
}

void ignoredScrollViewContentInsetTop(UIScrollView& view, double inset) {
    if (const auto header = refreshControl(view, QVRefreshStyle::header)) header->setIgnoredContentInsetTop(inset);
}

void endRefresh(UIScrollView& view, QVEndRefreshState state, bool clearFooterWhenLessData, bool addFooter,
                std::function<void()> footerAction) {
    const auto lastPage = [&] {
        if (clearFooterWhenLessData) {
            clearRefresh(view, QVRefreshStyle::footer);
        } else {
            endRefreshingWithNoMoreData(view, true);
        }
    };
    if (state.style == QVRefreshStyle::header) {
        endRefreshing(view, QVRefreshStyle::header);
        if (!state.hasMore) {
            lastPage();
        } else if (hasRefresh(view, QVRefreshStyle::footer)) {
            resetNoMoreData(view);
        } else if (addFooter && footerAction) {
            addRefresh(view, QVRefreshStyle::footer, std::move(footerAction));
        }
        return;
    }
    if (state.hasMore) {
        endRefreshing(view, QVRefreshStyle::footer);
    } else {
        lastPage();
    }
}

void usingEmptyDataSet(UIScrollView& view, QVEmptyDataSet config) {
    clearEmptyDataSet(view);
    auto state = std::make_shared<EmptyState>();
    state->config = std::move(config);
    platform::objc_setAssociatedObject(view, &kEmptyKey, state, AssociationPolicy::retainNonatomic);
    reloadEmptyDataSet(view);
}

void reloadEmptyDataSet(UIScrollView& view) {
    const auto state = emptyState(view);
    if (!state) return;
    const auto count = itemCount(view);
    if (count && *count == 0) {
        showOverlay(view, *state);
    } else {
        hideOverlay(view, *state);
    }
}

void clearEmptyDataSet(UIScrollView& view) {
    const auto state = emptyState(view);
    if (!state) return;
    hideOverlay(view, *state);
    platform::objc_removeAssociatedObject(view, &kEmptyKey);
}

}  // namespace QVToolbox
