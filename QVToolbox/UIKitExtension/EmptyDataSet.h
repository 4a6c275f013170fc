// The empty-state overlay: what a collection or table view shows while it has no items.
//
//   QVEmptyDataSet config;                         // title "什么都没有哦～"
//   config.image = UIImage::named("empty");
//   config.onTap = [] { reload(); };
//   usingEmptyDataSet(collectionView, config);     // shown now if the view has no items
//   collectionView->reloadData(); reloadEmptyDataSet(*collectionView);   // after data changes
//
// The overlay is a subview of the scroll view covering its bounds from the content's origin,
// shown when the view is a UICollectionView with no items in any section or a UITableView with
// no rows (other scroll views never show it), hidden otherwise. Call reloadEmptyDataSet after
// reloadData: the counts are read then. Layout by frames, in the overlay's layoutSubviews:
// - a custom view (useCustomView with a customView set) alone, at its own size, centred;
// - else, from top to bottom, those present of: the image (at its size), the title, the
//   description (both wrapped within the width less 20 points each side, centred), and the
//   button (present with a title, an image or a background image; 44 points high or the
//   image's height if taller, as wide as its content plus 16 points each side, at most the
//   width), `spaceHeight` apart, the group centred horizontally and vertically;
// then everything moves down by `verticalOffset`. While shown, `allowScroll` false turns the
// scroll view's scrolling off (it is restored when hidden or cleared) and `allowTouch` false
// lets touches pass through the overlay; a tap on the overlay or its button calls `onTap`.
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/base/NSRange.h>
#include <QVPlatform/ui/UIImage.h>
#include <QVPlatform/ui/UIScrollView.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform {
class UIImageView;
class UILabel;
}  // namespace platform

namespace QVToolbox {

struct QVEmptyDataSet {
    std::string title = "什么都没有哦～";  // empty: no title
    std::shared_ptr<platform::UIImage> image;
    std::string desc;  // empty: no description
    std::shared_ptr<platform::UIImage> buttonImage;
    std::shared_ptr<platform::UIImage> buttonBackgroundImage;
    std::string buttonTitle;
    double verticalOffset = 0;
    double spaceHeight = 11;
    std::shared_ptr<platform::UIView> customView;
    bool useCustomView = false;
    bool allowScroll = true;
    bool allowTouch = true;
    std::function<void()> onTap;
};

// The overlay view, found among the scroll view's subviews.
class QVEmptyDataSetView : public platform::NSObjectSubclass<QVEmptyDataSetView, platform::UIView, "QVEmptyDataSetView"> {
public:
    QVEmptyDataSetView();

    const QVEmptyDataSet& config() const { return config_; }
    void setConfig(QVEmptyDataSet config);
    // The parts shown (null when absent), for hosts that style them further.
    const std::shared_ptr<platform::UIImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<platform::UILabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<platform::UILabel>& detailLabel() const { return detailLabel_; }
    const std::shared_ptr<platform::UIView>& button() const { return button_; }

    void layoutSubviews() override;

private:
    friend void reloadEmptyDataSet(platform::UIScrollView& scrollView);
    friend void clearEmptyDataSet(platform::UIScrollView& scrollView);
    void rebuild();
    void tapped();

    QVEmptyDataSet config_;
    std::shared_ptr<platform::UIImageView> imageView_;
    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<platform::UILabel> detailLabel_;
    std::shared_ptr<platform::UIView> button_;
    double naturalButtonWidth_ = 0;
    std::optional<bool> scrollEnabledBefore_;  // set while the overlay holds scrolling off
};

// The number of items (collection view) or rows (table view) in all sections, at most the
// largest NSInteger; absent for other scroll views.
std::optional<platform::NSInteger> itemCount(platform::UIScrollView& scrollView);

// Puts the overlay with `config` on the scroll view (replacing an earlier configuration),
// then reloads it.
void usingEmptyDataSet(const std::shared_ptr<platform::UIScrollView>& scrollView, QVEmptyDataSet config);
// Shows or hides the overlay by the item count; nothing without one.
void reloadEmptyDataSet(platform::UIScrollView& scrollView);
// Removes the overlay, restoring scrolling if it had turned it off.
void clearEmptyDataSet(platform::UIScrollView& scrollView);
// The overlay on the scroll view; null when none.
std::shared_ptr<QVEmptyDataSetView> emptyDataSetView(const platform::UIScrollView& scrollView);

}  // namespace QVToolbox
