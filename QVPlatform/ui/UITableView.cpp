#include <QVPlatform/ui/UITableView.h>

#include <algorithm>

namespace platform {

namespace {

// Sections kept per reload at most: the counts are held in memory.
constexpr NSInteger kMaximumSections = NSInteger{1} << 20;

}  // namespace

void UITableView::setDataSource(const std::shared_ptr<UITableViewDataSource>& source) {
    dataSource_ = source;
    reloadData();
}

void UITableView::reloadData() {
    counts_.reset();
    setNeedsLayout();
}

NSInteger UITableView::numberOfSections() {
    if (!counts_) {
        counts_.emplace();
        if (const auto source = dataSource()) {
            const NSInteger sections = std::clamp<NSInteger>(source->numberOfSections(*this), 0, kMaximumSections);
            for (NSInteger s = 0; s < sections; ++s) counts_->push_back(std::max<NSInteger>(0, source->numberOfRowsInSection(*this, s)));
        }
    }
    return static_cast<NSInteger>(counts_->size());
}

NSInteger UITableView::numberOfRowsInSection(NSInteger section) {
    if (section < 0 || section >= numberOfSections()) return 0;
    return (*counts_)[static_cast<std::size_t>(section)];
}

}  // namespace platform
