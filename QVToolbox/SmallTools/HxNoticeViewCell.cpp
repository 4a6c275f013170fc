#include <QVToolbox/SmallTools/HxNoticeViewCell.h>

#include <QVToolbox/core/TextProperty.h>

#include <QVPlatform/ui/UIFont.h>

#include <algorithm>

namespace QVToolbox {

using platform::CGRect;

HxNoticeViewCell::HxNoticeViewCell(std::optional<std::string> reuseIdentifier, double textLabelLeading,
                                   double textLabelTrailing)
    : reuseIdentifier_(std::move(reuseIdentifier)),
      textLabelLeading_(textLabelLeading),
      textLabelTrailing_(textLabelTrailing) {}

void HxNoticeViewCell::registerClass(platform::ObjCClass& cls) {
    cls.addProperty("reuseIdentifier",
                    textProperty<HxNoticeViewCell>(&HxNoticeViewCell::reuseIdentifier, &HxNoticeViewCell::setReuseIdentifier));
}

const std::shared_ptr<platform::UIView>& HxNoticeViewCell::contentView() {
    if (!contentView_) {
        contentView_ = std::make_shared<platform::UIView>(bounds());
        addSubview(contentView_);
        isAddedContentView_ = true;
        setNeedsLayout();
    }
    return contentView_;
}

const std::shared_ptr<platform::UILabel>& HxNoticeViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = std::make_shared<platform::UILabel>();
        textLabel_->setFont(platform::UIFont::systemFontOfSize(15));
        contentView()->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

void HxNoticeViewCell::layoutSubviews() {
    const CGRect box = bounds();
    if (contentView_) contentView_->setFrame({{0, 0}, box.size});
    if (textLabel_) {
        const double width = std::max(0.0, box.size.width - textLabelLeading_ - textLabelTrailing_);
        textLabel_->setFrame({{textLabelLeading_, 0}, {width, box.size.height}});
    }
}

}  // namespace QVToolbox
