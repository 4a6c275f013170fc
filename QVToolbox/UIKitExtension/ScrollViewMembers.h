// The pull-to-refresh and empty-state members of a scroll view's QV wrapper (for
// UIScrollView and every subclass: table and collection views); ScrollViewRefresh.h holds
// the rules.
//
//   qv(table).addRefresh(QVRefreshStyle::header, [&] { reload(); });
//   qv(table).usingEmptyDataSet(QVEmptyDataSet{});
//
// Thread rule: main thread only.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/ScrollViewRefresh.h>

#include <type_traits>

namespace QVToolbox {

template <class W, class Base>
struct ScrollViewMembers {};

template <class W, class Base>
    requires std::is_base_of_v<platform::UIScrollView, Base>
struct ScrollViewMembers<W, Base> {
    void addRefresh(QVRefreshStyle style, std::function<void()> block) const {
        QVToolbox::addRefresh(view(), style, std::move(block));
    }
    void addFooterRefresh(std::string noMoreDataTitle, std::function<void()> block) const {
        QVToolbox::addFooterRefresh(view(), std::move(noMoreDataTitle), std::move(block));
    }
    void startRefresh(QVRefreshStyle style) const { QVToolbox::startRefresh(view(), style); }
    void endRefreshing(QVRefreshStyle style) const { QVToolbox::endRefreshing(view(), style); }
    void endRefreshingWithNoMoreData(bool showFooterStateLabel = true) const {
        QVToolbox::endRefreshingWithNoMoreData(view(), showFooterStateLabel);
    }
    void resetNoMoreData() const { QVToolbox::resetNoMoreData(view()); }
    bool hasRefresh(QVRefreshStyle style) const { return QVToolbox::hasRefresh(view(), style); }
    void clearRefresh(QVRefreshStyle style) const { QVToolbox::clearRefresh(view(), style); }
    void ignoredScrollViewContentInsetTop(double inset) const {
        QVToolbox::ignoredScrollViewContentInsetTop(view(), inset);
    }
    void endRefresh(QVEndRefreshState state, bool clearFooterWhenLessData = false, bool addFooter = false,
                    std::function<void()> footerAction = {}) const {
        QVToolbox::endRefresh(view(), state, clearFooterWhenLessData, addFooter, std::move(footerAction));
    }
    void usingEmptyDataSet(QVEmptyDataSet config) const { QVToolbox::usingEmptyDataSet(view(), std::move(config)); }
    void reloadEmptyDataSet() const { QVToolbox::reloadEmptyDataSet(view()); }
    void clearEmptyDataSet() const { QVToolbox::clearEmptyDataSet(view()); }

private:
    platform::UIScrollView& view() const { return *static_cast<const W&>(*this).object; }
};

}  // namespace QVToolbox
