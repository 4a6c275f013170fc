#include <QVPlatform/ui/UICollectionViewFlowLayout.h>

#include <QVPlatform/ui/UICollectionView.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

bool finite(const UIEdgeInsets& i) {
    return std::isfinite(i.top) && std::isfinite(i.left) && std::isfinite(i.bottom) && std::isfinite(i.right);
}

// The index range [first, last] of steps of `step` from `origin` that meet [from, to], within
// [0, count); empty (first > last) when none do.
std::pair<NSInteger, NSInteger> stepsMeeting(CGFloat origin, CGFloat step, CGFloat from, CGFloat to, NSInteger count) {
    const double limit = static_cast<double>(count - 1);
    const double first = std::clamp(std::floor((from - origin) / step), 0.0, limit);
    const double last = std::clamp(std::floor((to - origin) / step), -1.0, limit);
    return {static_cast<NSInteger>(first), static_cast<NSInteger>(last)};
}

}  // namespace

void UICollectionViewFlowLayout::setItemSize(CGSize size) {
    if (!std::isfinite(size.width) || !std::isfinite(size.height)) return;
    itemSize_ = size;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setMinimumLineSpacing(CGFloat spacing) {
    if (!std::isfinite(spacing)) return;
    minimumLineSpacing_ = spacing;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setMinimumInteritemSpacing(CGFloat spacing) {
    if (!std::isfinite(spacing)) return;
    minimumInteritemSpacing_ = spacing;
    invalidateLayout();
}

void UICollectionViewFlowLayout::setSectionInset(UIEdgeInsets inset) {
    if (!finite(inset)) return;
    sectionInset_ = inset;
    invalidateLayout();
}

void UICollectionViewFlowLayout::prepare() {
    sections_.clear();
    UICollectionView* view = collectionView();
    width_ = view ? view->bounds().size.width : 0;
    const CGFloat room = width_ - sectionInset_.left - sectionInset_.right;
    const CGFloat w = std::max<CGFloat>(0, itemSize_.width), h = std::max<CGFloat>(0, itemSize_.height);
    const CGFloat s = minimumInteritemSpacing_;

    // How many fit in a row; at least one, and no more than a count an index can hold.
    double fit = w + s > 0 ? std::floor((room + s) / (w + s)) : 1;
    fit = std::clamp(fit, 1.0, 1e15);
    const auto perRow = static_cast<NSInteger>(fit);
    if (perRow > 1) {
        columnStep_ = w + (room - fit * w) / (fit - 1);
        firstColumnX_ = sectionInset_.left;
    } else {
        columnStep_ = 0;
        firstColumnX_ = sectionInset_.left + std::max<CGFloat>(0, (room - w) / 2);
    }

    CGFloat y = 0;
    const NSInteger count = view ? view->numberOfSections() : 0;
    sections_.reserve(static_cast<std::size_t>(count));
    for (NSInteger i = 0; i < count; ++i) {
        Section section;
        section.count = view->numberOfItemsInSection(i);
        section.perRow = perRow;
        section.top = y + sectionInset_.top;
        section.bottom = y;
        if (section.count > 0) {
            const auto rows = static_cast<double>((section.count - 1) / perRow + 1);
            section.bottom = section.top + rows * h + (rows - 1) * minimumLineSpacing_ + sectionInset_.bottom;
        }
        y = section.bottom;
        sections_.push_back(section);
    }
}

CGRect UICollectionViewFlowLayout::frameOf(const Section& section, NSInteger item) const {
    const NSInteger row = item / section.perRow, column = item % section.perRow;
    const CGSize size{std::max<CGFloat>(0, itemSize_.width), std::max<CGFloat>(0, itemSize_.height)};
    return {{firstColumnX_ + static_cast<CGFloat>(column) * columnStep_,
             section.top + static_cast<CGFloat>(row) * (size.height + minimumLineSpacing_)},
            size};
}

std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>>
UICollectionViewFlowLayout::layoutAttributesForElements(CGRect rect) const {
    std::vector<std::shared_ptr<UICollectionViewLayoutAttributes>> found;
    const CGFloat h = itemSize_.height, rowStep = h + minimumLineSpacing_;
    if (rect.isNull() || itemSize_.width <= 0 || h <= 0 || rowStep <= 0) return found;
    const CGRect r = rect.standardized();
    if (std::isnan(r.minY()) || std::isnan(r.maxY())) return found;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const Section& section = sections_[s];
        if (section.count == 0 || section.bottom <= r.minY() || section.top >= r.maxY()) continue;
        const NSInteger rows = (section.count - 1) / section.perRow + 1;
        // Rows whose top lies in [minY - h, maxY) may meet the rectangle; the exact test follows.
        const auto [first, last] = stepsMeeting(section.top, rowStep, r.minY() - h, r.maxY(), rows);
        for (NSInteger row = first; row <= last; ++row) {
            const NSInteger end = std::min(section.count, (row + 1) * section.perRow);
            for (NSInteger item = row * section.perRow; item < end; ++item) {
                const CGRect frame = frameOf(section, item);
                if (!CGRectIntersectsRect(frame, r)) continue;
                auto record = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(
                    IndexPath(item, static_cast<NSInteger>(s)));
                record->setFrame(frame);
                found.push_back(std::move(record));
            }
        }
    }
    return found;
}

std::shared_ptr<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForItem(IndexPath indexPath) const {
    if (indexPath.section() < 0 || static_cast<std::size_t>(indexPath.section()) >= sections_.size()) return nullptr;
    const Section& section = sections_[static_cast<std::size_t>(indexPath.section())];
    if (indexPath.item() < 0 || indexPath.item() >= section.count) return nullptr;
    auto record = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(indexPath);
    record->setFrame(frameOf(section, indexPath.item()));
    return record;
}

CGSize UICollectionViewFlowLayout::collectionViewContentSize() const {
    return {width_, sections_.empty() ? 0 : sections_.back().bottom};
}

bool UICollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(CGRect newBounds) const {
    return newBounds.size.width != width_;
}

}  // namespace platform
