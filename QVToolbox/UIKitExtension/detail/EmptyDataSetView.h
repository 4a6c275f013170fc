// EmptyDataSetView: the least empty-state overlay the scroll-view members drive.
//
//   auto overlay = std::make_shared<EmptyDataSetView>(config);   // a QVEmptyDataSet
//   overlay->setFrame(scrollView->bounds());
//   scrollView->addSubview(overlay);                              // laid out by frames
//
// With `useCustomView` and a custom view, the overlay shows that view alone, at its own size,
// centred. Otherwise it stacks, centred horizontally, the parts the record has: the image at
// its size, the title (16 pt, dark gray), the description (14 pt, light gray, wrapped within
// the width less 2 × 20), and the button (its images and title; at least 44 pt tall, the
// title padded by 16 on each side); `spaceHeight` separates parts that are present. The
// stack's centre is the overlay's centre moved down by `verticalOffset`. A tap anywhere on the
// overlay calls `onTap`, when the overlay takes touches (`allowTouch`).
// Thread rule: main thread only.
#pragma once

#include <QVPlatform/ui/UIImageView.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIView.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace QVToolbox {

// What the empty-state overlay shows and how the scroll view behaves under it.
struct QVEmptyDataSet {
    std::optional<std::string> title = "什么都没有哦～";
    std::shared_ptr<platform::UIImage> image;
    std::optional<std::string> desc;
    std::shared_ptr<platform::UIImage> buttonImage;
    std::shared_ptr<platform::UIImage> buttonBackgroundImage;
    std::optional<std::string> buttonTitle;
    double verticalOffset = 0;
    double spaceHeight = 11;
    std::shared_ptr<platform::UIView> customView;
    bool useCustomView = false;
    bool allowScroll = true;   // the scroll view keeps scrolling while the overlay shows
    bool allowTouch = true;    // the overlay takes taps (and calls onTap)
    std::function<void()> onTap;
};

namespace detail {

class EmptyDataSetView : public platform::NSObjectSubclass<EmptyDataSetView, platform::UIView, "QVEmptyDataSetView"> {
public:
    explicit EmptyDataSetView(QVEmptyDataSet config);

    const QVEmptyDataSet& config() const { return config_; }
    // Builds the parts on first layout; call after the overlay is held by a shared_ptr.
    void layoutSubviews() override;

    // The parts (null when the record has none), for hosts and tests.
    std::shared_ptr<platform::UIImageView> imageView() const { return imageView_; }
    std::shared_ptr<platform::UILabel> titleLabel() const { return titleLabel_; }
    std::shared_ptr<platform::UILabel> detailLabel() const { return detailLabel_; }
    std::shared_ptr<platform::UIView> button() const { return button_; }

private:
    void build();

    QVEmptyDataSet config_;
    bool built_ = false;
    std::shared_ptr<platform::UIImageView> imageView_;
    std::shared_ptr<platform::UILabel> titleLabel_;
    std::shared_ptr<platform::UILabel> detailLabel_;
    std::shared_ptr<platform::UIView> button_;
    std::shared_ptr<platform::UIImageView> buttonBackground_;
    std::shared_ptr<platform::UIImageView> buttonImage_;
    std::shared_ptr<platform::UILabel> buttonLabel_;
};

}  // namespace detail
}  // namespace QVToolbox
