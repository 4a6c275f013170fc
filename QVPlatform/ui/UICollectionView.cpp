#include <QVPlatform/ui/UICollectionView.h>

#include <QVPlatform/base/Debug.h>

#include <algorithm>

namespace platform {

namespace {

// Sections kept per reload at most: the counts are held in memory.
constexpr NSInteger kMaximumSections = NSInteger{1} << 20;

}  // namespace

// --- UICollectionViewCell ---

UICollectionViewCell::UICollectionViewCell(CGRect frame)
    : NSObjectSubclass(frame), contentView_(std::make_shared<UIView>(CGRect{{0, 0}, frame.size})) {
    contentView_->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleHeight);
}

const std::shared_ptr<UIView>& UICollectionViewCell::contentView() {
    attachContentView();
    return contentView_;
}

void UICollectionViewCell::attachContentView() {
    // A view joins a tree only once it is shared, which a constructor cannot see.
    if (contentView_->superview().get() == this || weak_from_this().expired()) return;
    contentView_->setFrame({{0, 0}, bounds().size});
    insertSubview(contentView_, 0);
}

void UICollectionViewCell::applyLayoutAttributes(const UICollectionViewLayoutAttributes& attributes) {
    attachContentView();
    setFrame(attributes.frame());
    setAlpha(attributes.alpha());
    setHidden(attributes.isHidden());
    layer()->setZPosition(static_cast<double>(attributes.zIndex()));
}

// --- UICollectionView ---

UICollectionView::UICollectionView(CGRect frame, std::shared_ptr<UICollectionViewLayout> layout) : NSObjectSubclass(frame) {
    setCollectionViewLayout(std::move(layout));
}

UICollectionView::~UICollectionView() {
    if (layout_ && layout_->collectionView_ == this) layout_->collectionView_ = nullptr;
}

void UICollectionView::setCollectionViewLayout(std::shared_ptr<UICollectionViewLayout> layout) {
    if (layout_ && layout_->collectionView_ == this) layout_->collectionView_ = nullptr;
    layout_ = std::move(layout);
    if (layout_) {
        layout_->collectionView_ = this;
        layout_->invalidateLayout();
    }
    setNeedsLayout();
}

void UICollectionView::setDataSource(const std::shared_ptr<UICollectionViewDataSource>& source) {
    dataSource_ = source;
    reloadData();
}

void UICollectionView::reloadData() {
    counts_.reset();
    recycleAll_ = true;
    if (layout_) layout_->invalidateLayout();
    setNeedsLayout();
}

void UICollectionView::loadCounts() {
    counts_.emplace();
    const auto source = dataSource();
    if (!source) return;
    NSInteger sections = std::max<NSInteger>(0, source->numberOfSections(*this));
    if (sections > kMaximumSections) {
        debugPrint("UICollectionView: " + std::to_string(sections) + " sections are more than can be shown; the first " +
                   std::to_string(kMaximumSections) + " are");
        sections = kMaximumSections;
    }
    std::vector<NSInteger> counts;
    counts.reserve(static_cast<std::size_t>(sections));
    for (NSInteger s = 0; s < sections; ++s) counts.push_back(std::max<NSInteger>(0, source->numberOfItemsInSection(*this, s)));
    counts_ = std::move(counts);
}

NSInteger UICollectionView::numberOfSections() {
    if (!counts_) loadCounts();
    return static_cast<NSInteger>(counts_->size());
}

NSInteger UICollectionView::numberOfItemsInSection(NSInteger section) {
    if (section < 0 || section >= numberOfSections()) return 0;
    return (*counts_)[static_cast<std::size_t>(section)];
}

void UICollectionView::register_(CellFactory factory, const std::string& identifier) {
    factories_[identifier] = std::move(factory);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::dequeueReusableCell(const std::string& identifier, IndexPath) {
    auto pool = reusePool_.find(identifier);
    if (pool != reusePool_.end() && !pool->second.empty()) {
        auto cell = std::move(pool->second.back());
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    const auto factory = factories_.find(identifier);
    if (factory == factories_.end() || !factory->second) {
        debugPrint("UICollectionView: no cell is registered for the identifier \"" + identifier + "\"");
        return nullptr;
    }
    auto cell = factory->second();
    if (cell) cell->reuseIdentifier_ = identifier;
    return cell;
}

void UICollectionView::recycle(IndexPath indexPath, const std::shared_ptr<UICollectionViewCell>& cell) {
    cell->removeFromSuperview();
    if (const auto d = delegate()) d->didEndDisplayingCell(*this, *cell, indexPath);
    // Only cells made by a registered factory can be handed out again by identifier.
    if (!cell->reuseIdentifier_.empty()) reusePool_[cell->reuseIdentifier_].push_back(cell);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellFor(IndexPath indexPath,
                                                                std::map<IndexPath, std::shared_ptr<UICollectionViewCell>>& shown) {
    if (const auto kept = visible_.find(indexPath); kept != visible_.end()) {
        auto cell = std::move(kept->second);
        visible_.erase(kept);
        return cell;
    }
    const auto source = dataSource();
    if (!source) return nullptr;
    auto cell = source->cellForItemAt(*this, indexPath);
    if (!cell) {
        debugPrint("UICollectionView: the data source gave no cell for item " + std::to_string(indexPath.item()) +
                   " of section " + std::to_string(indexPath.section()));
        return nullptr;
    }
    for (const auto& [path, other] : shown) {
        if (other == cell) {
            debugPrint("UICollectionView: the data source gave one cell for two items; the second is not shown");
            return nullptr;
        }
    }
    if (const auto d = delegate()) d->willDisplayCell(*this, *cell, indexPath);
    return cell;
}

void UICollectionView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    const auto layout = layout_;  // the data source may change it while asked for cells
    if (!layout) return;
    const CGRect b = bounds();
    if (b.size != laidOutSize_) {
        if (layout->shouldInvalidateLayoutForBoundsChange(b)) layout->invalid_ = true;
        laidOutSize_ = b.size;
    }
    if (recycleAll_) {
        recycleAll_ = false;
        auto old = std::move(visible_);
        visible_.clear();
        for (const auto& [path, cell] : old) recycle(path, cell);
    }
    layout->prepareIfInvalid();
    setContentSize(layout->collectionViewContentSize());

    // The records of the items in view, once each; cells of items that left go to the pool
    // first, so the newcomers can take them.
    std::map<IndexPath, std::shared_ptr<UICollectionViewLayoutAttributes>> records;
    for (auto& record : layout->layoutAttributesForElements(b)) {
        if (!record) continue;
        const IndexPath path = record->indexPath();
        if (path.item() < 0 || path.item() >= numberOfItemsInSection(path.section())) continue;
        records.emplace(path, std::move(record));
    }
    for (auto it = visible_.begin(); it != visible_.end();) {
        if (records.contains(it->first)) {
            ++it;
            continue;
        }
        const auto [path, cell] = *it;
        it = visible_.erase(it);
        recycle(path, cell);
    }

    std::map<IndexPath, std::shared_ptr<UICollectionViewCell>> shown;
    for (const auto& [path, record] : records) {
        auto cell = cellFor(path, shown);
        if (!cell) continue;
        cell->applyLayoutAttributes(*record);
        if (cell->superview().get() != this) addSubview(cell);
        shown.emplace(path, std::move(cell));
    }
    // What is left had its item's record dropped while cells were asked for.
    auto gone = std::move(visible_);
    visible_ = std::move(shown);
    for (const auto& [path, cell] : gone) recycle(path, cell);
}

std::shared_ptr<UICollectionViewCell> UICollectionView::cellForItem(IndexPath indexPath) const {
    const auto it = visible_.find(indexPath);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<UICollectionViewCell>> UICollectionView::visibleCells() const {
    std::vector<std::shared_ptr<UICollectionViewCell>> cells;
    cells.reserve(visible_.size());
    for (const auto& [path, cell] : visible_) cells.push_back(cell);
    return cells;
}

std::vector<IndexPath> UICollectionView::indexPathsForVisibleItems() const {
    std::vector<IndexPath> paths;
    paths.reserve(visible_.size());
    for (const auto& [path, cell] : visible_) paths.push_back(path);
    return paths;
}

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionView::layoutAttributesForItem(IndexPath indexPath) const {
    return layout_ ? layout_->layoutAttributesForItem(indexPath) : nullptr;
}

}  // namespace platform
