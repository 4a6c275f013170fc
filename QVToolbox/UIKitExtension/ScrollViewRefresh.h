// Pull-to-refresh and empty-state helpers for scroll views (table and collection views too).
//
//   qv(table).addRefresh(QVRefreshStyle::header, [&] { loadFirstPage(); });
//   qv(table).addRefresh(QVRefreshStyle::footer, [&] { loadNextPage(); });
//   qv(table).endRefresh(QVEndRefreshState::header(true));   // page 1 came, more to come
//   qv(table).endRefresh(QVEndRefreshState::footer(false));  // last page: "- 已经到底啦 -"
//
// The members drive a header and a footer control (detail/RefreshControl.h: states idle,
// pulling, refreshing, no more data; the block runs on the main thread), held by the scroll
// view as associated objects and shown as its subviews, laid out by frames.
//
// Rules chosen here where the platform component has none:
// - addFooterRefresh(with:block:) adds a footer whose no-more-data title is the given text
//   (the default footer of addRefresh(.footer) says "- 已经到底啦 -").
// - endRefresh(.header(hasMore)) ends the header's refreshing; then, with more to come, a
//   footer with no more data is reset to idle, and when there is no footer and `addFooter`
//   is set with a `footerAction`, a footer running that action is added; with nothing more
//   to come, the footer is removed when `clearFooterWhenLessData` is set and otherwise shows
//   no more data.
// - endRefresh(.footer(hasMore)) ends the footer's refreshing with more to come; with nothing
//   more, it removes the footer when `clearFooterWhenLessData` is set and otherwise shows no
//   more data.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIScrollView.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace QVToolbox {

namespace detail {
class RefreshControl;  // detail/RefreshControl.h: not installed, so only named here
}  // namespace detail

enum class QVRefreshStyle { header, footer };

// How a load ended: which control, and whether more data is to come.
struct QVEndRefreshState {
    QVRefreshStyle style;
    bool hasMore;
    static QVEndRefreshState header(bool hasMore) { return {QVRefreshStyle::header, hasMore}; }
    static QVEndRefreshState footer(bool hasMore) { return {QVRefreshStyle::footer, hasMore}; }
};

// The members, as free functions on the scroll view (ScrollViewMembers.h forwards to them).
void addRefresh(platform::UIScrollView& view, QVRefreshStyle style, std::function<void()> block);
void addFooterRefresh(platform::UIScrollView& view, std::string noMoreDataTitle, std::function<void()> block);
void startRefresh(platform::UIScrollView& view, QVRefreshStyle style);
void endRefreshing(platform::UIScrollView& view, QVRefreshStyle style);
void endRefreshingWithNoMoreData(platform::UIScrollView& view, bool showFooterStateLabel);
void resetNoMoreData(platform::UIScrollView& view);
bool hasRefresh(const platform::UIScrollView& view, QVRefreshStyle style);
void clearRefresh(platform::UIScrollView& view, QVRefreshStyle style);
void ignoredScrollViewContentInsetTop(platform::UIScrollView& view, double inset);
void endRefresh(platform::UIScrollView& view, QVEndRefreshState state, bool clearFooterWhenLessData, bool addFooter,
                std::function<void()> footerAction);

// The control of a style on `view`; null when it has none.
std::shared_ptr<detail::RefreshControl> refreshControl(const platform::UIScrollView& view, QVRefreshStyle style);

}  // namespace QVToolbox
