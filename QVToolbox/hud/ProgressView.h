// ProgressView: the progress HUD's circular gauge: a thin track ring, a thick progress ring
// and the whole percent in the middle.
//
//   auto gauge = std::make_shared<ProgressView>(CGRect{{0, 0}, {50, 50}}, UIColor::lightGrayColor());
//   gauge->setProgress(0.456);       // the ring grows to 0.456 over 0.2 s; the label says "45%"
//   gauge->setProgress(0.29);        // "29%": whole percent without binary error
//
// The label shows the rounded-down whole percent; a value that is not finite counts as 0 and
// the ring clamps to 0...1. Thread rule: main thread only.
#pragma once

#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIFont.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIView.h>

#include <memory>
#include <string>

namespace QVToolbox {

class ProgressView : public platform::NSObjectSubclass<ProgressView, platform::UIView, "ProgressView"> {
public:
    ProgressView(platform::CGRect frame, std::shared_ptr<platform::UIColor> color);

    std::shared_ptr<platform::UIColor> color() const { return color_; }
    double progress() const { return progress_; }
    // Animates the ring from the previous value to `value` (key "animation", held at its end)
    // and sets the label.
    void setProgress(double value);

    const std::shared_ptr<platform::CAShapeLayer>& layerCircle() const { return layerCircle_; }
    const std::shared_ptr<platform::CAShapeLayer>& layerProgress() const { return layerProgress_; }
    const std::shared_ptr<platform::UILabel>& labelPercentage() const { return labelPercentage_; }

    void layoutSubviews() override;

private:
    void rebuild();

    std::shared_ptr<platform::UIColor> color_;
    double progress_ = 0;
    platform::CGSize builtFor_{-1, -1};
    std::shared_ptr<platform::CAShapeLayer> layerCircle_;
    std::shared_ptr<platform::CAShapeLayer> layerProgress_;
    std::shared_ptr<platform::UILabel> labelPercentage_;
};

// The label text for `value`: the whole percent rounded down after removing binary error
// (0.29 gives "29%"), "0%" for a value that is not finite.
std::string percentageText(double value);

}  // namespace QVToolbox
