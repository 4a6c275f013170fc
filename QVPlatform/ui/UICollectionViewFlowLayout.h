// UICollectionViewFlowLayout: cells of one size in rows, row after row, section after section.
//
//   auto flow = std::make_shared<UICollectionViewFlowLayout>();
//   flow->setItemSize({90, 40});
//   flow->setSectionInset({10, 10, 10, 10});          // top, left, bottom, right
//   auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {320, 480}}, flow);
//
// Vertical flow. Within the width left by the section's left and right insets, a row holds as
// many items as fit with at least `minimumInteritemSpacing` between them; the room left over
// is shared equally between the gaps of a full row, and every row of the section (a short
// last one too) uses that spacing, so items stand in columns. When only one item fits, it is
// centred (or placed at the left inset when wider than the room). Rows are
// `minimumLineSpacing` apart. A section with items takes its top inset, its rows and its
// bottom inset; an empty section takes no room. The content is as wide as the collection
// view. Items with no width or height are not shown. The geometry is arithmetic over the
// item index, so queries cost the number of items they return, whatever the item count.
//
// Changing a setting invalidates the layout; so does a change of the collection view's width.
// Defaults, as on the platform: items 50 × 50, spacings 10, no insets.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UICollectionViewLayout.h>
#include <QVPlatform/ui/UIView.h>

namespace platform {

class UICollectionViewFlowLayout
    : public NSObjectSubclass<UICollectionViewFlowLayout, UICollectionViewLayout, "UICollectionViewFlowLayout"> {
public:
    UICollectionViewFlowLayout() = default;

    CGSize itemSize() const { return itemSize_; }
    void setItemSize(CGSize size);
    CGFloat minimumLineSpacing() const { return minimumLineSpacing_; }
    void setMinimumLineSpacing(CGFloat spacing);
    CGFloat minimumInteritemSpacing() const { return minimumInteritemSpacing_; }
    void setMinimumInteritemSpacing(CGFloat spacing);
    UIEdgeInsets sectionInset() const { return sectionInset_; }
    void setSectionInset(UIEdgeInsets inset);

    void prepare() override;
    std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> layoutAttributesForElements(CGRect rect) const override;
    std::shared_ptr<UICollectionViewLayoutAttributes> layoutAttributesForItem(IndexPath indexPath) const override;
    CGSize collectionViewContentSize() const override;
    // True when the width changes.
    bool shouldInvalidateLayoutForBoundsChange(CGRect newBounds) const override;

private:
    // One section's placement, from prepare().
    struct Section {
        NSInteger count = 0;
        NSInteger perRow = 1;
        CGFloat top = 0;     // y of the first row
        CGFloat bottom = 0;  // y where the next section starts
    };
    CGRect frameOf(const Section& section, NSInteger item) const;

    CGSize itemSize_{50, 50};
    CGFloat minimumLineSpacing_ = 10;
    CGFloat minimumInteritemSpacing_ = 10;
    UIEdgeInsets sectionInset_;
    // From the last prepare():
    std::vector<Section> sections_;
    CGFloat width_ = 0;
    CGFloat columnStep_ = 0;    // from one column's x to the next
    CGFloat firstColumnX_ = 0;
};

}  // namespace platform
