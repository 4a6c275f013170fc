// The scroll-view members of qv(scrollView) (EmptyDataSet.h holds the contracts):
//
//   qv(collectionView).usingEmptyDataSet(config);   // the overlay, shown while there are no items
//   qv(collectionView).reloadEmptyDataSet();        // after reloadData
//   qv(collectionView).clearEmptyDataSet();
//
// For UIScrollView and every subclass. Thread rule: main thread only.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/UIKitExtension/EmptyDataSet.h>

#include <concepts>

namespace QVToolbox {

template <class W, class Base>
struct ScrollViewMembers {};

template <class W, class Base>
    requires std::derived_from<Base, platform::UIScrollView>
struct ScrollViewMembers<W, Base> {
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
