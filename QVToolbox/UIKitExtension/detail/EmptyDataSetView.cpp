#include <QVToolbox/UIKitExtension/detail/EmptyDataSetView.h>

#include <QVPlatform/ui/UIColor.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UIGestureRecognizer.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace QVToolbox::detail {

using platform::CGRect;
using platform::CGSize;
using platform::UIColor;
using platform::UIFont;
using platform::UILabel;

namespace {

constexpr double kTextMargin = 20;
constexpr double kButtonPadding = 16;
constexpr double kButtonMinimumHeight = 44;

std::shared_ptr<UILabel> makeLabel(const std::string& text, double pointSize, double white) {
    auto label = std::make_shared<UILabel>();
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(pointSize));
    label->setTextColor(UIColor::colorWithWhite(white, 1));
    label->setTextAlignment(platform::NSTextAlignment::center);
    label->setNumberOfLines(0);
    return label;
}

CGSize textSize(const UILabel& label, double width) {
    const CGSize fits = label.sizeThatFits({std::max(width, 1.0), std::numeric_limits<double>::max()});
    return {std::ceil(std::min(fits.width, std::max(width, 1.0))), std::ceil(fits.height)};
}

}  // namespace

EmptyDataSetView::EmptyDataSetView(QVEmptyDataSet config) : config_(std::move(config)) {
    setBackgroundColor(UIColor::clearColor());
}

void EmptyDataSetView::build() {
    built_ = true;
    if (config_.useCustomView && config_.customView) {
        addSubview(config_.customView);
    } else {
        if (config_.image) {
            imageView_ = std::make_shared<platform::UIImageView>(config_.image);
            addSubview(imageView_);
        }
        if (config_.title) {
            titleLabel_ = makeLabel(*config_.title, 16, 1.0 / 3);
            addSubview(titleLabel_);
        }
        if (config_.desc) {
            detailLabel_ = makeLabel(*config_.desc, 14, 2.0 / 3);
            addSubview(detailLabel_);
        }
        if (config_.buttonTitle || config_.buttonImage || config_.buttonBackgroundImage) {
            button_ = std::make_shared<platform::UIView>();
            if (config_.buttonBackgroundImage) {
                buttonBackground_ = std::make_shared<platform::UIImageView>(config_.buttonBackgroundImage);
                button_->addSubview(buttonBackground_);
            }
            if (config_.buttonImage) {
                buttonImage_ = std::make_shared<platform::UIImageView>(config_.buttonImage);
                button_->addSubview(buttonImage_);
            }
            if (config_.buttonTitle) {
                buttonLabel_ = makeLabel(*config_.buttonTitle, 15, 0.2);
                button_->addSubview(buttonLabel_);
            }
            addSubview(button_);
        }
    }
    std::weak_ptr<EmptyDataSetView> weak = std::static_pointer_cast<EmptyDataSetView>(shared_from_this());
    addGestureRecognizer(std::make_shared<platform::UITapGestureRecognizer>([weak](platform::UIGestureRecognizer&) {
        const auto self = weak.lock();
        if (self && self->config_.onTap) self->config_.onTap();
    }));
}

void EmptyDataSetView::layoutSubviews() {
    if (!built_) build();
    const CGSize size = bounds().size;
    const double centreY = size.height / 2 + (std::isfinite(config_.verticalOffset) ? config_.verticalOffset : 0);
    if (config_.useCustomView && config_.customView) {
        const CGSize own = config_.customView->bounds().size;
        config_.customView->setFrame({{(size.width - own.width) / 2, centreY - own.height / 2}, own});
        return;
    }
    const double textWidth = size.width - 2 * kTextMargin;
    std::vector<std::pair<platform::UIView*, CGSize>> parts;
    if (imageView_) parts.emplace_back(imageView_.get(), config_.image->size());
    if (titleLabel_) parts.emplace_back(titleLabel_.get(), textSize(*titleLabel_, textWidth));
    if (detailLabel_) parts.emplace_back(detailLabel_.get(), textSize(*detailLabel_, textWidth));
    if (button_) {
        CGSize buttonSize{0, kButtonMinimumHeight};
        const CGSize title = buttonLabel_ ? textSize(*buttonLabel_, textWidth - 2 * kButtonPadding) : CGSize{};
        if (buttonLabel_) buttonSize = {title.width + 2 * kButtonPadding, std::max(kButtonMinimumHeight, title.height + kButtonPadding)};
        if (config_.buttonImage) {
            const CGSize image = config_.buttonImage->size();
            buttonSize = {std::max(buttonSize.width, image.width + (buttonLabel_ ? title.width + 2 * kButtonPadding : 0)),
                          std::max(buttonSize.height, image.height)};
        }
        if (!buttonLabel_ && !config_.buttonImage && config_.buttonBackgroundImage) {
            buttonSize = config_.buttonBackgroundImage->size();
        }
        parts.emplace_back(button_.get(), buttonSize);
        // Inside the button: the background fills it; the image left of the title, both
        // centred as a group.
        if (buttonBackground_) buttonBackground_->setFrame({{0, 0}, buttonSize});
        const double imageWidth = buttonImage_ ? config_.buttonImage->size().width : 0;
        double x = (buttonSize.width - imageWidth - title.width) / 2;
        if (buttonImage_) {
            const CGSize image = config_.buttonImage->size();
            buttonImage_->setFrame({{x, (buttonSize.height - image.height) / 2}, image});
            x += image.width;
        }
        if (buttonLabel_) buttonLabel_->setFrame({{x, (buttonSize.height - title.height) / 2}, title});
    }
    double total = 0;
    for (const auto& [view, partSize] : parts) total += partSize.height;
    if (!parts.empty()) total += config_.spaceHeight * static_cast<double>(parts.size() - 1);
    double y = centreY - total / 2;
    for (const auto& [view, partSize] : parts) {
        view->setFrame({{std::round((size.width - partSize.width) / 2), std::round(y)}, partSize});
        y += partSize.height + config_.spaceHeight;
    }
}

}  // namespace QVToolbox::detail
