#include <QVPlatform/ui/UICollectionViewLayout.h>

#include <QVPlatform/ui/UICollectionView.h>

#include <cmath>

namespace platform {

// --- UICollectionViewLayoutAttributes ---

std::shared_ptr<UICollectionViewLayoutAttributes>
UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(IndexPath indexPath) {
    return std::make_shared<UICollectionViewLayoutAttributes>(indexPath);
}

CGRect UICollectionViewLayoutAttributes::frame() const {
    return {{center_.x - size_.width / 2, center_.y - size_.height / 2}, size_};
}

void UICollectionViewLayoutAttributes::setFrame(CGRect frame) {
    if (!std::isfinite(frame.minX()) || !std::isfinite(frame.minY()) || !std::isfinite(frame.maxX()) ||
        !std::isfinite(frame.maxY())) {
        return;
    }
    const CGRect f = frame.standardized();
    size_ = f.size;
    center_ = {f.midX(), f.midY()};
}

void UICollectionViewLayoutAttributes::setCenter(CGPoint center) {
    if (std::isfinite(center.x) && std::isfinite(center.y)) center_ = center;
}

void UICollectionViewLayoutAttributes::setSize(CGSize size) {
    if (std::isfinite(size.width) && std::isfinite(size.height)) size_ = size;
}

// --- UICollectionViewLayout ---

std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> UICollectionViewLayout::layoutAttributesForElements(CGRect) const {
    return {};
}

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionViewLayout::layoutAttributesForItem(IndexPath) const {
    return nullptr;
}

bool UICollectionViewLayout::shouldInvalidateLayoutForBoundsChange(CGRect) const { return false; }

void UICollectionViewLayout::invalidateLayout() {
    invalid_ = true;
    if (collectionView_) collectionView_->setNeedsLayout();
}

void UICollectionViewLayout::prepareIfInvalid() {
    if (!invalid_) return;
    invalid_ = false;  // before prepare(): a prepare() that invalidates again runs next pass
    prepare();
}

}  // namespace platform
