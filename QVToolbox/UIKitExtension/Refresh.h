// The refresh control: a header above a scroll view's content or a footer below it, with a
// state, a title per state and a block that runs when refreshing begins. No pull physics:
// a host's drag (or a test) calls setState(pulling) and beginRefreshing().
//
//   qv(table).addRefresh(QVRefreshStyle::header, [&] { load(); });   // a header, idle
//   qv(table).startRefresh(QVRefreshStyle::header);   // refreshing; load() runs on the main queue
//   qv(table).endRefresh(QVEndRefreshState::header(false), false, false, nullptr);
//   // header idle, footer "- 已经到底啦 -"
//
// States: idle, pulling, refreshing, noMoreData. beginRefreshing from any state but refreshing
// and noMoreData moves to refreshing and queues the block on the main queue (a control removed from
// its scroll view by then runs nothing); endRefreshing returns to idle; endRefreshingWithNoMoreData and
// resetNoMoreData move to and from noMoreData. The control is a subview of the scroll view laid
// out by frames: a header 54 high just above the content (and above `ignoredScrollViewContentInsetTop`
// more), a footer 44 high just below it (at the content height, or the bounds' height when
// the content is shorter); it spans the bounds' width. While a header refreshes, the scroll
// view's top inset grows by its height, and gives it back at the end.
//
// Rules of the scroll-view members (ScrollViewMembers.h forwards to the functions below):
// - addRefresh(style, block) replaces a control of that style. A footer's no-more-data title
//   is "- 已经到底啦 -"; addFooterRefresh(title, block) adds a footer with that title instead
//   (empty: the default).
// - endRefreshingWithNoMoreData(showFooterStateLabel) moves the footer to noMoreData and shows
//   or hides its title.
// - endRefresh(state, clearFooterWhenLessData, addFooter, footerAction): header(hasMore) ends
//   the header; footer(hasMore) ends the footer. Then, when there is more, the footer (added
//   with footerAction first when `addFooter` is true and there is none) goes back to idle;
//   when there is no more, the footer is removed if `clearFooterWhenLessData`, else shows
//   no more data with its title.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIScrollView.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace platform {
class UILabel;
}

namespace QVToolbox {

enum class QVRefreshStyle { header, footer };

// How a refresh ended: header(hasMore:) or footer(hasMore:).
struct QVEndRefreshState {
    QVRefreshStyle style;
    bool hasMore;
    static QVEndRefreshState header(bool hasMore) { return {QVRefreshStyle::header, hasMore}; }
    static QVEndRefreshState footer(bool hasMore) { return {QVRefreshStyle::footer, hasMore}; }
};

enum class QVRefreshState { idle, pulling, refreshing, noMoreData };

class QVRefreshControl : public platform::NSObjectSubclass<QVRefreshControl, platform::UIView, "QVRefreshControl"> {
public:
    static constexpr double kHeaderHeight = 54;
    static constexpr double kFooterHeight = 44;
    static constexpr const char* kNoMoreDataTitle = "- 已经到底啦 -";

    QVRefreshControl(QVRefreshStyle style, std::function<void()> block);

    QVRefreshStyle style() const { return style_; }
    QVRefreshState state() const { return state_; }
    // Moves to `state`; to refreshing as beginRefreshing does.
    void setState(QVRefreshState state);
    void beginRefreshing();
    void endRefreshing();
    void endRefreshingWithNoMoreData();
    void resetNoMoreData();
    bool isRefreshing() const { return state_ == QVRefreshState::refreshing; }

    const std::string& title(QVRefreshState state) const { return titles_[static_cast<std::size_t>(state)]; }
    void setTitle(std::string title, QVRefreshState state);
    const std::shared_ptr<platform::UILabel>& stateLabel();
    double ignoredScrollViewContentInsetTop() const { return ignoredInsetTop_; }
    void setIgnoredScrollViewContentInsetTop(double inset);

    // Places the control by its scroll view's content size and bounds (done at every state change).
    void place();
    void layoutSubviews() override;

private:
    platform::UIScrollView* scrollView() const;
    void showTitle();

    QVRefreshStyle style_;
    QVRefreshState state_ = QVRefreshState::idle;
    std::function<void()> block_;
    std::array<std::string, 4> titles_;
    std::shared_ptr<platform::UILabel> label_;
    double ignoredInsetTop_ = 0;
    bool insetTaken_ = false;  // a refreshing header has grown the top inset
};

// The control of `style` on the scroll view; null when none.
std::shared_ptr<QVRefreshControl> refreshControl(const platform::UIScrollView& scrollView, QVRefreshStyle style);
void addRefresh(const std::shared_ptr<platform::UIScrollView>& scrollView, QVRefreshStyle style, std::function<void()> block);
void addFooterRefresh(const std::shared_ptr<platform::UIScrollView>& scrollView, const std::string& noMoreDataTitle,
                      std::function<void()> block);
void startRefresh(platform::UIScrollView& scrollView, QVRefreshStyle style);
void endRefreshing(platform::UIScrollView& scrollView, QVRefreshStyle style);
void endRefreshingWithNoMoreData(platform::UIScrollView& scrollView, bool showFooterStateLabel);
void resetNoMoreData(platform::UIScrollView& scrollView);
bool hasRefresh(const platform::UIScrollView& scrollView, QVRefreshStyle style);
void clearRefresh(platform::UIScrollView& scrollView, QVRefreshStyle style);
void ignoredScrollViewContentInsetTop(platform::UIScrollView& scrollView, double inset);
void endRefresh(const std::shared_ptr<platform::UIScrollView>& scrollView, QVEndRefreshState state,
                bool clearFooterWhenLessData, bool addFooter, std::function<void()> footerAction);

}  // namespace QVToolbox
