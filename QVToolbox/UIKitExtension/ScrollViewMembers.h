// The scroll-view members of qv(scrollView), for UIScrollView and every subclass (table and
// collection views): pull-to-refresh (ScrollViewRefresh.h holds the rules) and the empty
// state (EmptyDataSet.h holds the contracts).
//
//   qv(table).addRefresh(QVRefreshStyle::header, [&] { reload(); });
//   qv(table).endRefresh(QVEndRefreshState::header(true));
//   qv(collectionView).usingEmptyDataSet(config);   // the overlay, shown while there are no items
//   qv(collectionView).reloadEmptyDataSet();        // after reloadData
//
// A wrapper around a null scroll view does nothing. Thread rule: main thread only.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/EmptyDataSet.h>
#include <QVToolbox/UIKitExtension/ScrollViewRefresh.h>

#include <concepts>

namespace QVToolbox {

template <class W, class Base>
struct ScrollViewMembers {};

template <class W, class Base>
    requires std::derived_from<Base, platform::UIScrollView>
struct ScrollViewMembers<W, Base> {
    void addRefresh(QVRefreshStyle style, std::function<void()> block) const {
        if (view()) QVToolbox::addRefresh(*view(), style, std::move(block));
    }
    void addFooterRefresh(std::string noMoreDataTitle, std::function<void()> block) const {
        if (view()) QVToolbox::addFooterRefresh(*view(), std::move(noMoreDataTitle), std::move(block));
    }
    void startRefresh(QVRefreshStyle style) const {
        if (view()) QVToolbox::startRefresh(*view(), style);
    }
    void endRefreshing(QVRefreshStyle style) const {
        if (view()) QVToolbox::endRefreshing(*view(), style);
    }
    void endRefreshingWithNoMoreData(bool showFooterStateLabel = true) const {
        if (view()) QVToolbox::endRefreshingWithNoMoreData(*view(), showFooterStateLabel);
    }
    void resetNoMoreData() const {
        if (view()) QVToolbox::resetNoMoreData(*view());
    }
    bool hasRefresh(QVRefreshStyle style) const { return view() && QVToolbox::hasRefresh(*view(), style); }
    void clearRefresh(QVRefreshStyle style) const {
        if (view()) QVToolbox::clearRefresh(*view(), style);
    }
    void ignoredScrollViewContentInsetTop(double inset) const {
        if (view()) QVToolbox::ignoredScrollViewContentInsetTop(*view(), inset);
    }
    void endRefresh(QVEndRefreshState state, bool clearFooterWhenLessData = false, bool addFooter = false,
                    std::function<void()> footerAction = {}) const {
        if (view()) QVToolbox::endRefresh(*view(), state, clearFooterWhenLessData, addFooter, std::move(footerAction));
    }

    void usingEmptyDataSet(QVEmptyDataSet config) const { QVToolbox::usingEmptyDataSet(view(), std::move(config)); }
    void reloadEmptyDataSet() const {
        if (view()) QVToolbox::reloadEmptyDataSet(*view());
    }
    void clearEmptyDataSet() const {
        if (view()) QVToolbox::clearEmptyDataSet(*view());
    }

private:
    const std::shared_ptr<Base>& view() const { return static_cast<const W&>(*this).object; }
};

}  // namespace QVToolbox
