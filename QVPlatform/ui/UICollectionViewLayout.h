// UICollectionViewLayout: where a collection view's cells go, as one record per cell.
//
//   class Grid : public NSObjectSubclass<Grid, UICollectionViewLayout, "Grid"> {
//       void prepare() override { /* compute the records */ }
//       std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> layoutAttributesForElements(CGRect rect) const override;
//       CGSize collectionViewContentSize() const override;
//   };
//
// A collection view asks its layout, in its layout pass: `prepare()` first when the layout
// was invalidated (at the start, after `invalidateLayout`, after the view's `reloadData`, and
// after a bounds change that `shouldInvalidateLayoutForBoundsChange` accepts), then
// `collectionViewContentSize()` and `layoutAttributesForElements(in: bounds)` for the cells to
// show. `collectionView()` is the view that uses the layout (null before it is given to one).
// The base class lays nothing out.
//
// UICollectionViewLayoutAttributes holds one cell's frame (kept as centre and size, as the
// platform does), index path, alpha, hidden flag and z-index.
// Thread rule: main thread only, as the collection view that drives them.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/runtime/NSObject.h>
#include <QVPlatform/ui/IndexPath.h>

#include <memory>
#include <vector>

namespace platform {

class UICollectionView;

class UICollectionViewLayoutAttributes
    : public NSObjectSubclass<UICollectionViewLayoutAttributes, NSObject, "UICollectionViewLayoutAttributes"> {
public:
    // A record for the cell at `indexPath`, with an empty frame.
    static std::shared_ptr<UICollectionViewLayoutAttributes> layoutAttributesForCellWithIndexPath(IndexPath indexPath);
    explicit UICollectionViewLayoutAttributes(IndexPath indexPath = {}) : indexPath_(indexPath) {}

    IndexPath indexPath() const { return indexPath_; }
    void setIndexPath(IndexPath indexPath) { indexPath_ = indexPath; }
    // The frame, from centre and size. A frame with a negative size is stored standardized; one
    // that is not finite is ignored.
    CGRect frame() const;
    void setFrame(CGRect frame);
    CGPoint center() const { return center_; }
    void setCenter(CGPoint center);
    CGSize size() const { return size_; }
    void setSize(CGSize size);
    double alpha() const { return alpha_; }
    void setAlpha(double alpha) { alpha_ = alpha; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    NSInteger zIndex() const { return zIndex_; }
    void setZIndex(NSInteger zIndex) { zIndex_ = zIndex; }

private:
    IndexPath indexPath_;
    CGPoint center_;
    CGSize size_;
    double alpha_ = 1;
    NSInteger zIndex_ = 0;
    bool hidden_ = false;
};

class UICollectionViewLayout : public NSObjectSubclass<UICollectionViewLayout, NSObject, "UICollectionViewLayout"> {
public:
    UICollectionViewLayout() = default;

    // The collection view using this layout; null when none does.
    UICollectionView* collectionView() const { return collectionView_; }

    // Computes what the queries below answer. The base does nothing.
    virtual void prepare() {}
    // The records of the cells whose frames meet `rect`; the base has none.
    virtual std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> layoutAttributesForElements(CGRect rect) const;
    // The record of one item; null when the layout has none for it.
    virtual std::shared_ptr<UICollectionViewLayoutAttributes> layoutAttributesForItem(IndexPath indexPath) const;
    // The size of all the content; zero in the base.
    virtual CGSize collectionViewContentSize() const { return {}; }
    // Whether a change of the collection view's bounds to `newBounds` needs a new prepare();
    // the base says no.
    virtual bool shouldInvalidateLayoutForBoundsChange(CGRect newBounds) const;

    // Marks the layout for prepare() in the collection view's next layout pass.
    virtual void invalidateLayout();
    bool isInvalid() const { return invalid_; }

private:
    friend class UICollectionView;
    // Called by the collection view: the layout is valid again after prepare().
    void prepareIfInvalid();

    UICollectionView* collectionView_ = nullptr;  // cleared by the view when it lets go
    bool invalid_ = true;
};

}  // namespace platform
