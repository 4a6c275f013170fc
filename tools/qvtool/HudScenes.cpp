#include "HudScenes.h"
#include "Replay.h"

#include <QVToolbox/hud/AnimationType.h>
#include <QVToolbox/hud/ProgressHUD.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIWindow.h>

#include <array>
#include <cstdio>

namespace qvtool {

using namespace platform;

namespace {

std::shared_ptr<UIColor> backdropColor(bool dark) { return dark ? UIColor::colorWithWhite(0.11, 1) : UIColor::colorWithWhite(0.96, 1); }
std::shared_ptr<UIColor> contentColor(bool dark) { return dark ? UIColor::colorWithWhite(0.24, 1) : UIColor::colorWithWhite(0.85, 1); }

// Rows of rounded placeholder bars, as an application's screen would have.
void addPlaceholderContent(UIView& window, bool dark) {
    const double width = window.bounds().size.width;
    double y = window.safeAreaInsets().top + 24;
    while (y + 60 < window.bounds().size.height) {
        auto avatar = std::make_shared<UIView>(CGRect{{20, y}, {44, 44}});
        avatar->setBackgroundColor(contentColor(dark));
        avatar->layer()->setCornerRadius(22);
        window.addSubview(avatar);
        for (int line = 0; line < 2; ++line) {
            auto bar = std::make_shared<UIView>(CGRect{{76, y + 6 + line * 20}, {(width - 96) * (line == 0 ? 0.8 : 0.55), 12}});
            bar->setBackgroundColor(contentColor(dark));
            bar->layer()->setCornerRadius(6);
            window.addSubview(bar);
        }
        y += 68;
    }
}

std::shared_ptr<UIView> sheetCell(QVToolbox::AnimationType type, double at, CGPoint origin, bool dark) {
    auto cell = std::make_shared<UIView>(CGRect{origin, {110, 124}});
    auto panel = std::make_shared<UIView>(CGRect{{15, 8}, {80, 80}});
    panel->setBackgroundColor(dark ? UIColor::colorWithWhite(0.25, 1) : UIColor::colorWithWhite(0.2, 0.85));
    panel->layer()->setCornerRadius(10);
    auto host = std::make_shared<UIView>(CGRect{{15, 15}, {50, 50}});
    QVToolbox::addAnimationContent(type, *host->layer(), 50, CGColor{1, 1, 1, 1});
    panel->addSubview(host);
    cell->addSubview(panel);
    char instant[16];
    std::snprintf(instant, sizeof instant, "%.1f s", at);
    auto caption = std::make_shared<UILabel>(CGRect{{0, 92}, {110, 30}});
    caption->setText(std::string(QVToolbox::animationTypeName(type)) + "\n" + instant);
    caption->setNumberOfLines(2);
    caption->setFont(UIFont::systemFontOfSize(9));
    caption->setTextAlignment(NSTextAlignment::center);
    caption->setTextColor(dark ? UIColor::whiteColor() : UIColor::blackColor());
    cell->addSubview(caption);
    return cell;
}

}  // namespace

std::optional<Data> renderHudScene(bool dark, double at, const std::function<void(UIWindow&)>& show) {
    const ManualClockScope manual;
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(backdropColor(dark));
    window->setOverrideUserInterfaceStyle(dark ? UIUserInterfaceStyle::dark : UIUserInterfaceStyle::light);
    addPlaceholderContent(*window, dark);
    window->makeKeyAndVisible();
    ManualClock::drain();
    show(*window);
    ManualClock::drain();
    ManualClock::advance(at);
    auto png = window->renderPNG();
    QVToolbox::ProgressHUD::remove();
    ManualClock::drain();
    return png;
}

void useBannerColors(bool dark) {
    using QVToolbox::ProgressHUD;
    ProgressHUD::setColorBanner(dark ? UIColor::colorWithWhite(0.22, 0.95) : UIColor::colorWithWhite(1, 0.95));
    ProgressHUD::setColorBannerTitle(dark ? UIColor::whiteColor() : UIColor::blackColor());
    ProgressHUD::setColorBannerMessage(dark ? UIColor::lightGrayColor() : UIColor::darkGrayColor());
}

std::optional<Data> renderAnimationSheet(bool dark) {
    const ManualClockScope manual;
    std::vector<QVToolbox::AnimationType> drawn;
    for (auto type : QVToolbox::allAnimationTypes())
        if (QVToolbox::isDrawnAnimation(type)) drawn.push_back(type);
    constexpr std::array<double, 3> kInstants{0.8, 0.5, 0.2};  // built oldest first
    const std::size_t rows = (drawn.size() + 1) / 2;
    auto sheet = std::make_shared<UIView>(CGRect{{0, 0}, {660, 12 + rows * 124.0}});
    sheet->setBackgroundColor(backdropColor(dark));
    for (std::size_t k = 0; k < kInstants.size(); ++k) {
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const CGPoint origin{static_cast<double>((i % 2) * 330 + (2 - k) * 110), 6 + static_cast<double>(i / 2) * 124};
            sheet->addSubview(sheetCell(drawn[i], kInstants[k], origin, dark));
        }
        ManualClock::advance(k + 1 < kInstants.size() ? kInstants[k] - kInstants[k + 1] : kInstants[k]);
    }
    return sheet->renderPNG();
}

}  // namespace qvtool
