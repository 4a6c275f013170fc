// RefreshControl: the least pull-to-refresh component the scroll-view members drive.
//
//   auto header = RefreshControl::make(RefreshControl::Kind::header, [] { reload(); });
//   header->attach(*scrollView);          // a subview above the content (header) or below it
//   header->beginRefreshing();            // refreshing; the block runs on the next main turn
//   header->endRefreshing();              // idle again, the scroll view's insets restored
//
// A control is a header (placed above the content, at y = −height − ignored top inset) or a
// footer (placed right below the content, at y = content height). It has four states: idle,
// pulling (a host that tracks drags may set it), refreshing and, for footers, no more data.
// Refreshing runs the block asynchronously on the main queue, once per begin; a header that
// is refreshing adds its height to the scroll view's top inset and shows itself by moving the
// offset, and gives the inset back when it ends. A footer adds its height to the bottom inset
// while it is attached. A footer with no more data does not begin refreshing until
// resetNoMoreData. There is no pull physics: drags are the host's business.
// Each state has a title shown in the state label; the footer's no-more-data title is
// "- 已经到底啦 -" unless replaced.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIScrollView.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

namespace QVToolbox::detail {

class RefreshControl : public platform::NSObjectSubclass<RefreshControl, platform::UIView, "QVRefreshControl"> {
public:
    enum class Kind { header, footer };
    enum class State { idle, pulling, refreshing, noMoreData };
    static constexpr double kHeaderHeight = 54;
    static constexpr double kFooterHeight = 44;

    static std::shared_ptr<RefreshControl> make(Kind kind, std::function<void()> block);
    RefreshControl(Kind kind, std::function<void()> block);

    Kind kind() const { return kind_; }
    State state() const { return state_; }
    bool isRefreshing() const { return state_ == State::refreshing; }

    // Adds the control to `scrollView` (taking its inset share) and places it.
    void attach(platform::UIScrollView& scrollView);
    // Leaves the scroll view, giving back every inset it took.
    void detach();

    void beginRefreshing();
    void endRefreshing();
    void endRefreshingWithNoMoreData();
    void resetNoMoreData();
    // Idle ↔ pulling, for a host that tracks drags; nothing in the other states.
    void setPulling(bool pulling);

    const std::string& title(State state) const { return titles_[index(state)]; }
    void setTitle(std::string title, State state);
    const std::shared_ptr<platform::UILabel>& stateLabel() const { return stateLabel_; }
    bool isStateLabelHidden() const { return stateLabel_->isHidden(); }
    void setStateLabelHidden(bool hidden) { stateLabel_->setHidden(hidden); }

    // The header's distance above the content beyond its own height (the top inset a
    // navigation bar already accounts for).
    double ignoredContentInsetTop() const { return ignoredInsetTop_; }
    void setIgnoredContentInsetTop(double inset);

    // Places the control against the scroll view's current content size.
    void place();
    void layoutSubviews() override;

private:
    static std::size_t index(State state) { return static_cast<std::size_t>(state); }
    void setState(State state);
    platform::UIScrollView* scrollView() const;
    void adjustInset(double top, double bottom);

    Kind kind_;
    std::function<void()> block_;
    State state_ = State::idle;
    std::array<std::string, 4> titles_;
    std::shared_ptr<platform::UILabel> stateLabel_;
    double ignoredInsetTop_ = 0;
    double insetTopTaken_ = 0;     // the height added to the top inset while refreshing
    double insetBottomTaken_ = 0;  // the height added to the bottom inset while attached
};

}  // namespace QVToolbox::detail
