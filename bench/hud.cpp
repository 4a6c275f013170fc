// Toasts and the progress HUD:
// - 1,000 toasts made on one view with queueing on and run to their end on the manual clock
//   (fade in, timer, fade out, the next one pulled), beside building the same 1,000 panels and
//   adding, drawing and removing them by hand without the engine;
// - one frame of a window showing the HUD (a looping animation and a status text), beside
//   the same view tree built by hand and rendered without the engine or any animation.
#include "Compare.h"

#include <QVToolbox/hud/AnimationType.h>
#include <QVToolbox/hud/ProgressHUD.h>
#include <QVToolbox/hud/Toast.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UILabel.h>
#include <QVPlatform/ui/UIWindow.h>

#include <cmath>

namespace {

using namespace platform;
using namespace QVToolbox;

constexpr int kToasts = 1000;

void toastsOurs(benchmark::State& state) {
    ManualClock::start();
    for (auto _ : state) {
        auto view = std::make_shared<UIView>(CGRect{{0, 0}, {375, 667}});
        for (int i = 0; i < kToasts; ++i) makeToast(*view, "Toast " + std::to_string(i), 0.5);
        ManualClock::advance(kToasts * 1.0);
        if (!activeToasts(*view).empty()) state.SkipWithError("toasts left over");
    }
}
BENCHMARK(toastsOurs)->Name("toasts_1000_queued/ours")->Unit(benchmark::kMillisecond);

void toastsPeer(benchmark::State& state) {
    const ToastStyle style;
    for (auto _ : state) {
        auto view = std::make_shared<UIView>(CGRect{{0, 0}, {375, 667}});
        for (int i = 0; i < kToasts; ++i) {
            auto panel = toastViewForMessage(*view, "Toast " + std::to_string(i), std::nullopt, nullptr, style);
            panel->setCenter(toastCenterPoint(*view, ToastPosition::bottom, *panel));
            view->addSubview(panel);
            view->commitNow();  // laid out and drawn once, as the run loop's commit step does for a shown toast
            panel->removeFromSuperview();
        }
    }
}
BENCHMARK(toastsPeer)->Name("toasts_1000_queued/peer")->Unit(benchmark::kMillisecond);

std::shared_ptr<UIWindow> backdropWindow() {
    auto window = std::make_shared<UIWindow>();
    window->setBackgroundColor(UIColor::whiteColor());
    window->makeKeyAndVisible();
    return window;
}

void hudFrameOurs(benchmark::State& state) {
    ManualClock::start();
    auto window = backdropWindow();
    ProgressHUD::animate("Loading", AnimationType::circleDotSpinFade);
    ManualClock::advance(0.5);
    for (auto _ : state) benchmark::DoNotOptimize(window->renderBitmap(2));
    ProgressHUD::remove();
    ManualClock::drain();
}
BENCHMARK(hudFrameOurs)->Name("hud_frame/ours")->Unit(benchmark::kMillisecond);

// The HUD's view tree as the engine builds it (backdrop, panel, status label, the animation's
// eight dots), still.
void hudFramePeer(benchmark::State& state) {
    auto window = backdropWindow();
    auto backdrop = std::make_shared<UIView>(window->bounds());
    backdrop->setBackgroundColor(UIColor::colorWithWhite(0, 0.2));
    window->addSubview(backdrop);
    auto panel = std::make_shared<UIView>(CGRect{{0, 0}, {110, 144}});
    panel->setCenter({187.5, 333.5});
    panel->setBackgroundColor(UIColor::grayColor());
    panel->layer()->setCornerRadius(10);
    panel->setClipsToBounds(true);
    backdrop->addSubview(panel);
    auto host = std::make_shared<UIView>(CGRect{{30, 30}, {50, 50}});
    for (int i = 0; i < 8; ++i) {
        auto dot = CAShapeLayer::layer();
        const double a = i * 0.785398;
        dot->setFrame({{25 + 19 * std::cos(a) - 4.5, 25 + 19 * std::sin(a) - 4.5}, {9, 9}});
        CGMutablePath p;
        p.addEllipse({{0, 0}, {9, 9}});
        dot->setPath(p.copy());
        dot->setFillColor(CGColor{0.667, 0.667, 0.667, 1});
        host->layer()->addSublayer(dot);
    }
    panel->addSubview(host);
    auto label = std::make_shared<UILabel>(CGRect{{13, 95}, {84, 34}});
    label->setText("Loading");
    label->setFont(UIFont::boldSystemFontOfSize(24));
    label->setTextAlignment(NSTextAlignment::center);
    panel->addSubview(label);
    for (auto _ : state) benchmark::DoNotOptimize(window->renderBitmap(2));
}
BENCHMARK(hudFramePeer)->Name("hud_frame/peer")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
