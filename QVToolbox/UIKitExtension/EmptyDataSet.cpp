#include <QVToolbox/UIKitExtension/EmptyDataSet.h>

#include <QVPlatform/ui/UICollectionView.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>
#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UITableView.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace QVToolbox {

using namespace platform;

namespace {

constexpr double kSideMargin = 20;     // between the overlay's edges and its texts
constexpr double kButtonHeight = 44;
constexpr double kButtonPadding = 16;  // each side of the button's content
constexpr double kButtonImageGap = 8;  // between the button's image and its title

std::shared_ptr<UILabel> makeLabel(const std::string& text, double size, bool bold, std::shared_ptr<UIColor> color, int lines) {
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(bold ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size));
    label->setTextColor(std::move(color));
    label->setTextAlignment(NSTextAlignment::center);
    label->setNumberOfLines(lines);
    return label;
}

// The button at its natural size: background image filling it, image then title centred in a
// row (they stay centred when the button is narrowed).
std::shared_ptr<UIView> makeButton(const QVEmptyDataSet& c) {
    std::shared_ptr<UILabel> title;
    CGSize titleSize;
    if (!c.buttonTitle.empty()) {
        title = makeLabel(c.buttonTitle, 15, true, UIColor::darkGrayColor(), 1);
        titleSize = title->sizeThatFits({0, 0});
    }
    const CGSize imageSize = c.buttonImage ? c.buttonImage->size() : CGSize{};
    const double gap = title && c.buttonImage ? kButtonImageGap : 0;
    const double contentWidth = imageSize.width + gap + titleSize.width;
    const double width = contentWidth + 2 * kButtonPadding;
    const double height = std::max(kButtonHeight, imageSize.height);
    auto button = std::make_shared<UIView>(CGRect{{0, 0}, {width, height}});
    if (c.buttonBackgroundImage) {
        auto background = std::make_shared<UIImageView>(CGRect{{0, 0}, {width, height}});
        background->setImage(c.buttonBackgroundImage);
        background->setAutoresizingMask(UIViewAutoresizing::flexibleWidth | UIViewAutoresizing::flexibleHeight);
        button->addSubview(background);
    }
    const auto centred = UIViewAutoresizing::flexibleLeftMargin | UIViewAutoresizing::flexibleRightMargin;
    double x = kButtonPadding;
    if (c.buttonImage) {
        auto image = std::make_shared<UIImageView>(c.buttonImage);
        image->setFrame({{x, (height - imageSize.height) / 2}, imageSize});
        image->setAutoresizingMask(centred);
        button->addSubview(image);
        x += imageSize.width + gap;
    }
    if (title) {
        title->setFrame({{x, (height - titleSize.height) / 2}, titleSize});
        title->setAutoresizingMask(centred);
        button->addSubview(title);
    }
    return button;
}

template <class View, class Count>
NSInteger total(View& view, NSInteger sections, Count count) {
    NSInteger sum = 0;
    for (NSInteger s = 0; s < sections; ++s) {
        const NSInteger items = count(view, s);  // zero or more
        if (sum > std::numeric_limits<NSInteger>::max() - items) return std::numeric_limits<NSInteger>::max();
        sum += items;
    }
    return sum;
}

}  // namespace

QVEmptyDataSetView::QVEmptyDataSetView() = default;

void QVEmptyDataSetView::setConfig(QVEmptyDataSet config) {
    // The recognizer needs the view shared, which its constructor cannot see.
    if (gestureRecognizers().empty() && !weak_from_this().expired()) {
        addGestureRecognizer(std::make_shared<UITapGestureRecognizer>([this](UIGestureRecognizer&) { tapped(); }));
    }
    config_ = std::move(config);
    setUserInteractionEnabled(config_.allowTouch);
    rebuild();
}

void QVEmptyDataSetView::tapped() {
    if (!config_.onTap) return;
    const auto onTap = config_.onTap;  // the callback may replace the configuration
    onTap();
}

void QVEmptyDataSetView::rebuild() {
    for (const auto& sub : std::vector(subviews())) sub->removeFromSuperview();
    imageView_.reset(), titleLabel_.reset(), detailLabel_.reset(), button_.reset();
    if (config_.useCustomView && config_.customView) {
        addSubview(config_.customView);
        setNeedsLayout();
        return;
    }
    if (config_.image) imageView_ = std::make_shared<UIImageView>(config_.image);
    if (!config_.title.empty()) titleLabel_ = makeLabel(config_.title, 17, true, UIColor::darkGrayColor(), 0);
    if (!config_.desc.empty()) detailLabel_ = makeLabel(config_.desc, 14, false, UIColor::lightGrayColor(), 0);
    if (!config_.buttonTitle.empty() || config_.buttonImage || config_.buttonBackgroundImage) {
        button_ = makeButton(config_);
        naturalButtonWidth_ = button_->bounds().size.width;
    }
    for (const auto& view : {std::static_pointer_cast<UIView>(imageView_), std::static_pointer_cast<UIView>(titleLabel_),
                             std::static_pointer_cast<UIView>(detailLabel_), button_}) {
        if (view) addSubview(view);
    }
    setNeedsLayout();
}

void QVEmptyDataSetView::layoutSubviews() {
    const CGSize size = bounds().size;
    if (config_.useCustomView && config_.customView) {
        const CGSize own = config_.customView->bounds().size;
        config_.customView->setFrame(
            {{(size.width - own.width) / 2, (size.height - own.height) / 2 + config_.verticalOffset}, own});
        return;
    }
    const double textWidth = std::max(0.0, size.width - 2 * kSideMargin);

    // Each part with its size, top to bottom.
    std::vector<std::pair<std::shared_ptr<UIView>, CGSize>> parts;
    if (imageView_) parts.emplace_back(imageView_, config_.image->size());
    for (const auto& label : {titleLabel_, detailLabel_}) {
        if (label) parts.emplace_back(label, CGSize{textWidth, label->sizeThatFits({textWidth, 0}).height});
    }
    if (button_) parts.emplace_back(button_, CGSize{std::min(naturalButtonWidth_, textWidth), button_->bounds().size.height});
    if (parts.empty()) return;

    double height = config_.spaceHeight * static_cast<double>(parts.size() - 1);
    for (const auto& [view, partSize] : parts) height += partSize.height;
    double y = (size.height - height) / 2 + config_.verticalOffset;
    for (const auto& [view, partSize] : parts) {
        view->setFrame({{(size.width - partSize.width) / 2, y}, partSize});
        y += partSize.height + config_.spaceHeight;
    }
}

std::optional<NSInteger> itemCount(UIScrollView& scrollView) {
    if (auto* collection = dynamic_cast<UICollectionView*>(&scrollView)) {
        return total(*collection, collection->numberOfSections(),
                     [](UICollectionView& v, NSInteger s) { return v.numberOfItemsInSection(s); });
    }
    if (auto* table = dynamic_cast<UITableView*>(&scrollView)) {
        return total(*table, table->numberOfSections(), [](UITableView& v, NSInteger s) { return v.numberOfRowsInSection(s); });
    }
    return std::nullopt;
}

std::shared_ptr<QVEmptyDataSetView> emptyDataSetView(const UIScrollView& scrollView) {
    for (const auto& sub : scrollView.subviews()) {
        if (auto overlay = std::dynamic_pointer_cast<QVEmptyDataSetView>(sub)) return overlay;
    }
    return nullptr;
}

void usingEmptyDataSet(const std::shared_ptr<UIScrollView>& scrollView, QVEmptyDataSet config) {
    if (!scrollView) return;
    auto overlay = emptyDataSetView(*scrollView);
    if (!overlay) {
        overlay = std::make_shared<QVEmptyDataSetView>();
        overlay->setHidden(true);
        scrollView->addSubview(overlay);
    }
    overlay->setConfig(std::move(config));
    reloadEmptyDataSet(*scrollView);
}

void reloadEmptyDataSet(UIScrollView& scrollView) {
    const auto overlay = emptyDataSetView(scrollView);
    if (!overlay) return;
    const auto count = itemCount(scrollView);
    const bool show = count && *count == 0;
    overlay->setHidden(!show);
    if (show) {
        overlay->setFrame({{0, 0}, scrollView.bounds().size});
        scrollView.bringSubviewToFront(*overlay);
        overlay->layoutIfNeeded();
    }
    // Scrolling is held off only while shown, and given back as it was.
    const bool holdScrolling = show && !overlay->config_.allowScroll;
    if (holdScrolling && !overlay->scrollEnabledBefore_) {
        overlay->scrollEnabledBefore_ = scrollView.isScrollEnabled();
        scrollView.setScrollEnabled(false);
    } else if (!holdScrolling && overlay->scrollEnabledBefore_) {
        scrollView.setScrollEnabled(*overlay->scrollEnabledBefore_);
        overlay->scrollEnabledBefore_.reset();
    }
}

void clearEmptyDataSet(UIScrollView& scrollView) {
    const auto overlay = emptyDataSetView(scrollView);
    if (!overlay) return;
    if (overlay->scrollEnabledBefore_) scrollView.setScrollEnabled(*overlay->scrollEnabledBefore_);
    overlay->removeFromSuperview();
}

}  // namespace QVToolbox
