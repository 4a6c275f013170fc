#include <QVToolbox/UIKitExtension/ScrollViewRefresh.h>

#include <QVToolbox/UIKitExtension/detail/RefreshControl.h>

namespace QVToolbox {

using detail::RefreshControl;
using platform::AssociationPolicy;
using platform::UIScrollView;

namespace {

const char kHeaderKey = 0;
const char kFooterKey = 0;

const void* keyOf(QVRefreshStyle style) { return style == QVRefreshStyle::header ? &kHeaderKey : &kFooterKey; }

void addControl(UIScrollView& view, QVRefreshStyle style, std::shared_ptr<RefreshControl> control) {
    clearRefresh(view, style);
    control->attach(view);
    platform::objc_setAssociatedObject(view, keyOf(style), std::move(control), AssociationPolicy::retainNonatomic);
}

}  // namespace

std::shared_ptr<RefreshControl> refreshControl(const UIScrollView& view, QVRefreshStyle style) {
    return platform::objc_getAssociatedObject<std::shared_ptr<RefreshControl>>(view, keyOf(style)).value_or(nullptr);
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

}  // namespace QVToolbox
