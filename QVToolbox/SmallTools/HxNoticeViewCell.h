// HxNoticeViewCell: one row of the rolling notice board, recycled by reuse identifier.
//
//   auto cell = std::make_shared<HxNoticeViewCell>("text", 10, 10);
//   cell->textLabel()->setText("Sale ends today");   // label inset 10 pt left and right
//   cell->setFrame({{0, 0}, {300, 44}});              // laid out at the next commit
//
// `contentView` and `textLabel` are made on first use: the content view is added to the cell
// and fills its bounds; the label sits in the content view at x = leading, full height,
// width = cell width − leading − trailing (0 when that is negative). `reuseIdentifier` can be
// set through key-value coding ("reuseIdentifier", a text or null), as cells from a nib are.
// Thread rule: main thread only, as every view.
#pragma once

#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIView.h>

#include <memory>
#include <optional>
#include <string>

namespace QVToolbox {

class HxNoticeViewCell : public platform::NSObjectSubclass<HxNoticeViewCell, platform::UIView, "HxNoticeViewCell"> {
public:
    HxNoticeViewCell(std::optional<std::string> reuseIdentifier, double textLabelLeading, double textLabelTrailing);
    HxNoticeViewCell() : HxNoticeViewCell(std::nullopt, 10, 10) {}

    static void registerClass(platform::ObjCClass& cls);

    const std::shared_ptr<platform::UIView>& contentView();
    const std::shared_ptr<platform::UILabel>& textLabel();
    const std::optional<std::string>& reuseIdentifier() const { return reuseIdentifier_; }
    void setReuseIdentifier(std::optional<std::string> identifier) { reuseIdentifier_ = std::move(identifier); }
    bool isAddedContentView() const { return isAddedContentView_; }
    double textLabelLeading() const { return textLabelLeading_; }
    double textLabelTrailing() const { return textLabelTrailing_; }

    void layoutSubviews() override;

private:
    std::shared_ptr<platform::UIView> contentView_;
    std::shared_ptr<platform::UILabel> textLabel_;
    std::optional<std::string> reuseIdentifier_;
    bool isAddedContentView_ = false;
    double textLabelLeading_;
    double textLabelTrailing_;
};

}  // namespace QVToolbox
