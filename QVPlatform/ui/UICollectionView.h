// UICollectionView: a scroll view that shows a data source's items as cells placed by a layout.
//
//   auto view = std::make_shared<UICollectionView>(CGRect{{0, 0}, {320, 480}}, flowLayout);
//   view->registerCell<PhotoCell>("photo");
//   view->setDataSource(source);                    // held weakly
//   // in source->cellForItemAt(view, path): view.dequeueReusableCell("photo", path)
//   view->layoutIfNeeded();                         // cells for the items in bounds are subviews
//
// The layout pass (layoutSubviews, run by the commit step or layoutIfNeeded) prepares the
// layout when it is invalid, takes its content size, and asks it for the records of the
// elements in the bounds: each item there gets a cell, kept while it stays in view and
// otherwise asked of the data source, framed from its record and added as a subview. Cells
// that left the view go to the reuse pool of their identifier, and dequeueReusableCell hands
// them out again (after prepareForReuse) before making new ones from the registered factory.
// Scrolling (a new content offset) runs the pass again without preparing the layout.
//
// Item counts are asked of the data source once and kept until reloadData, which also
// invalidates the layout and recycles every shown cell at the next pass. Without a data source
// there are no sections. A count below zero counts as zero; records for items that are not
// in the counts, and null cells, are skipped (with a line on the debug channel for the
// latter). Dequeuing an identifier that was never registered gives null and a debug line.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/IndexPath.h>
#include <QVPlatform/ui/UICollectionViewLayout.h>
#include <QVPlatform/ui/UIScrollView.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class UICollectionView;

// A cell: a view with a content view that fills it, where a cell's own subviews go.
class UICollectionViewCell : public NSObjectSubclass<UICollectionViewCell, UIView, "UICollectionViewCell"> {
public:
    explicit UICollectionViewCell(CGRect frame = {});

    // The content view, the cell's first subview once the cell is held by a shared_ptr.
    const std::shared_ptr<UIView>& contentView();
    // The identifier it was dequeued with; empty for a cell made otherwise.
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }
    // Called before the cell is handed out again by dequeueReusableCell.
    virtual void prepareForReuse() {}
    // Takes the frame, alpha, hidden flag and z-order of a layout record.
    virtual void applyLayoutAttributes(const UICollectionViewLayoutAttributes& attributes);

protected:
    void didMoveToSuperview() override { attachContentView(); }

private:
    friend class UICollectionView;
    void attachContentView();

    std::shared_ptr<UIView> contentView_;
    std::string reuseIdentifier_;
};

class UICollectionViewDataSource {
public:
    virtual ~UICollectionViewDataSource() = default;
    virtual NSInteger numberOfSections(UICollectionView& /*view*/) { return 1; }
    virtual NSInteger numberOfItemsInSection(UICollectionView& view, NSInteger section) = 0;
    virtual std::shared_ptr<UICollectionViewCell> cellForItemAt(UICollectionView& view, IndexPath indexPath) = 0;
};

class UICollectionViewDelegate {
public:
    virtual ~UICollectionViewDelegate() = default;
    virtual void willDisplayCell(UICollectionView&, UICollectionViewCell&, IndexPath) {}
    virtual void didEndDisplayingCell(UICollectionView&, UICollectionViewCell&, IndexPath) {}
};

class UICollectionView : public NSObjectSubclass<UICollectionView, UIScrollView, "UICollectionView"> {
public:
    using CellFactory = std::function<std::shared_ptr<UICollectionViewCell>()>;

    UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewLayout> layout);
    ~UICollectionView() override;

    const std::shared_ptr<UICollectionViewLayout>& collectionViewLayout() const { return layout_; }
    // Takes `layout` (taking it from a collection view that had it) and lays out again.
    void setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout);

    std::shared_ptr<UICollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const std::shared_ptr<UICollectionViewDataSource>& source);
    std::shared_ptr<UICollectionViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UICollectionViewDelegate>& delegate) { delegate_ = delegate; }

    // Forgets the counts, invalidates the layout and recycles every shown cell at the next pass.
    void reloadData();
    NSInteger numberOfSections();
    // 0 for a section that does not exist.
    NSInteger numberOfItemsInSection(NSInteger section);

    // `register` is a C++ keyword: the trailing underscore. Replaces an earlier factory.
    void register_(CellFactory factory, const std::string& identifier);
    template <class Cell>
    void registerCell(const std::string& identifier) {
        register_([] { return std::make_shared<Cell>(); }, identifier);
    }
    // A cell from the identifier's pool, prepared for reuse, or a new one; null (and a debug
    // line) when the identifier was never registered.
    std::shared_ptr<UICollectionViewCell> dequeueReusableCell(const std::string& identifier, IndexPath indexPath);

    // The cell shown for an item; null when it is not in view.
    std::shared_ptr<UICollectionViewCell> cellForItem(IndexPath indexPath) const;
    // The cells shown, in index-path order.
    std::vector<std::shared_ptr<UICollectionViewCell>> visibleCells() const;
    std::vector<IndexPath> indexPathsForVisibleItems() const;
    std::shared_ptr<UICollectionViewLayoutAttributes> layoutAttributesForItem(IndexPath indexPath) const;

    void layoutSubviews() override;

protected:
    void contentOffsetDidChange() override { setNeedsLayout(); }

private:
    void recycle(IndexPath indexPath, const std::shared_ptr<UICollectionViewCell>& cell);
    std::shared_ptr<UICollectionViewCell> cellFor(IndexPath indexPath, std::map<IndexPath, std::shared_ptr<UICollectionViewCell>>& shown);
    void loadCounts();

    std::shared_ptr<UICollectionViewLayout> layout_;
    std::weak_ptr<UICollectionViewDataSource> dataSource_;
    std::weak_ptr<UICollectionViewDelegate> delegate_;
    std::optional<std::vector<NSInteger>> counts_;  // per section, until reloadData
    std::map<std::string, CellFactory> factories_;
    std::map<std::string, std::vector<std::shared_ptr<UICollectionViewCell>>> reusePool_;
    std::map<IndexPath, std::shared_ptr<UICollectionViewCell>> visible_;
    CGSize laidOutSize_{-1, -1};  // the bounds size of the last pass
    bool recycleAll_ = false;
};

}  // namespace platform
