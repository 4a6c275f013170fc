#include <QVToolbox/SmallTools/HxWaterFallLayout.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/ui/UICollectionView.h>

#include <algorithm>
#include <cmath>

namespace QVToolbox {

using platform::CGRect;
using platform::CGSize;
using platform::IndexPath;
using platform::NSInteger;
using platform::UICollectionViewLayoutAttributes;

void HxWaterFallLayout::setCols(NSInteger cols) {
    if (cols == cols_) return;
    cols_ = cols;
    restData();
    invalidateLayout();
}

NSInteger HxWaterFallLayout::columnCount() const { return std::clamp<NSInteger>(cols_, 1, kMaximumCols); }

const std::vector<double>& HxWaterFallLayout::totalHeights() const {
    if (totalHeights_.size() != static_cast<std::size_t>(columnCount())) {
        totalHeights_.assign(static_cast<std::size_t>(columnCount()), sectionInset().top);
    }
    return totalHeights_;
}

void HxWaterFallLayout::restData() {
    preCount_ = 0;
    cellAttributes_.clear();
    totalHeights_.assign(static_cast<std::size_t>(columnCount()), sectionInset().top);
}

HxWaterFallLayout::Geometry HxWaterFallLayout::currentGeometry() const {
    const auto* view = collectionView();
    return {view ? view->bounds().size.width : 0, sectionInset(), minimumInteritemSpacing(), minimumLineSpacing()};
}

double HxWaterFallLayout::heightOf(HxWaterFallLayoutDataSoure& source, NSInteger item) {
    const double h = source.waterfall(*this, item);
    return std::isfinite(h) && h > 0 ? h : 0;
}

void HxWaterFallLayout::prepare() {
    UICollectionViewFlowLayout::prepare();
    // Cells placed for another width, other insets or spacings, or more items than there are
    // now would be in the wrong places: start again.
    const Geometry geometry = currentGeometry();
    auto* view = collectionView();
    const NSInteger count = view ? view->numberOfItemsInSection(0) : 0;
    if (geometry != placedWith_ || count < preCount_) restData();
    placedWith_ = geometry;

    const auto source = dataSource.lock();
    if (!source) {
        platform::debugPrint(kMissingDataSourceMessage);
        restData();
        return;
    }
    const auto cols = static_cast<double>(columnCount());
    const double width = std::max(0.0, (geometry.width - geometry.inset.left - geometry.inset.right -
                                        geometry.interitem * (cols - 1)) / cols);
    for (NSInteger item = preCount_; item < count; ++item) {
        const double height = heightOf(*source, item);
        // The data source may have reset the layout (or changed its columns) while asked.
        if (cellAttributes_.size() != static_cast<std::size_t>(item) ||
            totalHeights().size() != static_cast<std::size_t>(cols)) {
            break;
        }
        const auto shortest = std::min_element(totalHeights_.begin(), totalHeights_.end());  // the first of equals
        const auto column = static_cast<double>(shortest - totalHeights_.begin());
        const double y = *shortest;
        auto record = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(IndexPath(item, 0));
        record->setFrame({{geometry.inset.left + (width + geometry.interitem) * column, y}, {width, height}});
        cellAttributes_.push_back(std::move(record));
        *shortest = y + geometry.line + height;
    }
    preCount_ = static_cast<NSInteger>(cellAttributes_.size());
}

std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> HxWaterFallLayout::layoutAttributesForElements(CGRect) const {
    return cellAttributes_;
}

std::shared_ptr<UICollectionViewLayoutAttributes> HxWaterFallLayout::layoutAttributesForItem(IndexPath indexPath) const {
    if (indexPath.section() != 0 || indexPath.item() < 0 || indexPath.item() >= static_cast<NSInteger>(cellAttributes_.size())) {
        return nullptr;
    }
    return cellAttributes_[static_cast<std::size_t>(indexPath.item())];
}

CGSize HxWaterFallLayout::collectionViewContentSize() const {
    const auto& heights = totalHeights();
    const double tallest = *std::max_element(heights.begin(), heights.end());
    return {0, std::max(0.0, tallest + sectionInset().bottom - minimumLineSpacing())};
}

}  // namespace QVToolbox
