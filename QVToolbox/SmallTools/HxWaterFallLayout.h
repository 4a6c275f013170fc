// HxWaterFallLayout: the first section's cells in equally wide columns, each new cell going to
// the shortest column, with heights from a data source.
//
//   auto layout = std::make_shared<HxWaterFallLayout>();
//   layout->setCols(2);
//   layout->dataSource = heights;                   // held weakly; waterfall(layout, item) → height
//   auto view = std::make_shared<UICollectionView>(frame, layout);
//   // heights 100, 50, 30 at width 320, no insets, spacings 10: cells at (0, 0), (165, 0), (165, 60)
//
// A flow layout that takes its margins (`sectionInset`) and gaps (`minimumInteritemSpacing`
// between columns, `minimumLineSpacing` within one) from the flow settings. prepare() places
// only the cells added since the last pass; ties for the shortest column go to the leftmost.
// `layoutAttributesForElements` returns every placed record, whatever the rectangle; the
// content is 0 wide and as tall as the tallest column plus the bottom inset less one line
// spacing (never below zero).
//
// Placement starts again from the top (as restData() does) when the column count changes,
// when the item count falls below the count placed, and when the width, insets or spacings
// differ from those the placed cells were laid out with. Fewer than one column counts as one
// and more than `kMaximumCols` as that many; a height that is not a finite number of zero or
// more counts as zero. Without a data source the layout is empty and says so on the debug
// channel ("请实现对应的数据源的方法，并且返回cell的高度").
// Thread rule: main thread only, as the collection view that drives it.
#pragma once

#include <QVPlatform/ui/UICollectionViewFlowLayout.h>

#include <memory>
#include <vector>

namespace QVToolbox {

class HxWaterFallLayout;

// (The misspelt name is the one callers know.)
class HxWaterFallLayoutDataSoure {
public:
    virtual ~HxWaterFallLayoutDataSoure() = default;
    // The height of item `item` of the first section.
    virtual double waterfall(HxWaterFallLayout& layout, platform::NSInteger item) = 0;
};

class HxWaterFallLayout
    : public platform::NSObjectSubclass<HxWaterFallLayout, platform::UICollectionViewFlowLayout, "HxWaterFallLayout"> {
public:
    static constexpr platform::NSInteger kMaximumCols = 1024;
    static constexpr const char* kMissingDataSourceMessage = "请实现对应的数据源的方法，并且返回cell的高度";

    HxWaterFallLayout() = default;

    std::weak_ptr<HxWaterFallLayoutDataSoure> dataSource;

    // The column count as set (2 unless set); a change starts placement again.
    platform::NSInteger cols() const { return cols_; }
    void setCols(platform::NSInteger cols);
    // One record per placed cell, in item order.
    const std::vector<std::shared_ptr<platform::UICollectionViewLayoutAttributes>>& cellAttributes() const { return cellAttributes_; }
    // Per column, the y where its next cell starts.
    const std::vector<double>& totalHeights() const;
    platform::NSInteger preCount() const { return preCount_; }
    // Forgets every placement: nothing placed, every column at the top inset.
    void restData();

    void prepare() override;
    std::vector<std::shared_ptr<platform::UICollectionViewLayoutAttributes>> layoutAttributesForElements(platform::CGRect rect) const override;
    std::shared_ptr<platform::UICollectionViewLayoutAttributes> layoutAttributesForItem(platform::IndexPath indexPath) const override;
    platform::CGSize collectionViewContentSize() const override;

private:
    // What the placed cells depend on besides their heights.
    struct Geometry {
        double width = 0;
        platform::UIEdgeInsets inset;
        double interitem = 0, line = 0;
        friend bool operator==(const Geometry&, const Geometry&) = default;
    };
    platform::NSInteger columnCount() const;
    Geometry currentGeometry() const;
    double heightOf(HxWaterFallLayoutDataSoure& source, platform::NSInteger item);

    platform::NSInteger cols_ = 2;
    std::vector<std::shared_ptr<platform::UICollectionViewLayoutAttributes>> cellAttributes_;
    mutable std::vector<double> totalHeights_;  // made on first use, as the column count says
    platform::NSInteger preCount_ = 0;
    Geometry placedWith_;
};

}  // namespace QVToolbox
