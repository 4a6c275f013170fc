// The scroll-view members of qv(scrollView) (Refresh.h and EmptyDataSet.h hold the contracts):
//
//   qv(table).addRefresh(QVRefreshStyle::header, [&] { load(); });
//   qv(table).endRefresh(QVEndRefreshState::footer(false), false, false, nullptr);  // "- 已经到底啦 -"
//   qv(collectionView).usingEmptyDataSet(config);   // the overlay, shown while there are no items
//   qv(collectionView).reloadEmptyDataSet();        // after reloadData
//
// For UIScrollView and every subclass. Thread rule: main thread only.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/EmptyDataSet.h>
#include <QVToolbox/UIKitExtension/Refresh.h>

#include <concepts>

namespace QVToolbox {

template <class W, class Base>
struct ScrollViewMembers {};

template <class W, class Base>
    requires std::derived_from<Base, platform::UIScrollView>
struct ScrollViewMembers<W, Base> {
    void addRefresh(QVRefreshStyle style, std::function<void()> block) const { QVToolbox::addRefresh(view(), style, std::move(block)); }
    void addFooterRefresh(const std::string& noMoreDataTitle, std::function<void()> block) const {
        QVToolbox::addFooterRefresh(view(), noMoreDataTitle, std::move(block));
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
                    std::function<void()> footerAction = nullptr) const {
        QVToolbox::endRefresh(view(), state, clearFooterWhenLessData, addFooter, std::move(footerAction));
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
