// `qvtool ui sample -o OUT.png` and `qvtool ui empty -o OUT.png`: the view system's sample
// scene and an empty collection view with its empty-state overlay, as PNGs.
// `qvtool ui animate --at T,T... -o DIR`: frames of a sample animation at instants of the
// manual clock, one PNG per instant.
#include "../Cli.h"
#include "../Input.h"
#include "../Replay.h"
#include "../UiSample.h"

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIScreen.h>
#include <QVPlatform/ui/UIView.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace qvtool {
namespace {

using namespace platform;
namespace fs = std::filesystem;


void writePng(const std::string& path, const Data& png) {
    std::string error;
    if (!writeFileAtomically(path, png.view(), &error)) throw Failure("cannot write " + path + ": " + error);
}

void defineRender(CLI::App& group, std::string name, std::string description,
                  std::optional<Data> (*render)()) {
    Verb verb(group, std::move(name), std::move(description));
    const auto& out = verb.option("-o", "OUT.png", "where to write the PNG", true);
    verb.run([&out, render] {
        const auto png = render();
        if (!png) throw Failure("the scene did not render");
        writePng(*out, *png);
        const auto size = UIScreen::main()->pixelSize();
        std::cout << "wrote " << *out << " (" << size.width << " x " << size.height << " pixels)\n";
        return 0;
    });
}

// A 240 x 240 point card: a rounded panel fading and scaling in over 0.3 s (ease-out), and a
// check mark on it drawing itself over 0.25 s from 0.1 s on.
std::shared_ptr<UIView> animatedScene() {
    auto root = std::make_shared<UIView>(CGRect{{0, 0}, {240, 240}});
    root->setBackgroundColor(UIColor::whiteColor());
    auto panel = std::make_shared<UIView>(CGRect{{40, 40}, {160, 160}});
    panel->setBackgroundColor(UIColor::colorWithRed(0x5F / 255.0, 0x2A / 255.0, 0xD1 / 255.0, 1));
    panel->layer()->setCornerRadius(20);
    panel->setAlpha(0);
    panel->setTransform(CGAffineTransformMakeScale(0.6, 0.6));
    root->addSubview(panel);

    auto check = CAShapeLayer::layer();
    check->setFrame({{0, 0}, {160, 160}});
    CGMutablePath mark;
    mark.moveTo({42, 84});
    mark.addLineTo({70, 112});
    mark.addLineTo({120, 54});
    check->setPath(mark.copy());
    check->setFillColor(std::nullopt);
    check->setStrokeColor(CGColor{1, 1, 1, 1});
    check->setLineWidth(12);
    check->setLineCap(kCALineCapRound);
    check->setLineJoin("round");
    panel->layer()->addSublayer(check);

    UIView::animate(0.3, 0, UIViewAnimationOptions::curveEaseOut, [&] {
        panel->setAlpha(1);
        panel->setTransform(CGAffineTransformIdentity);
    });
    CABasicAnimation draw("strokeEnd");
    draw.fromValue = 0.0;
    draw.toValue = 1.0;
    draw.duration = 0.25;
    draw.beginTime = CACurrentMediaTime() + 0.1;
    draw.fillMode = CAFillMode::backwards;
    draw.timingFunction = CAMediaTimingFunction::named(CAMediaTimingFunction::Name::easeInEaseOut);
    check->addAnimation(draw, "draw");
    return root;
}

void defineAnimate(CLI::App& group) {
    Verb verb(group, "animate", "frames of a sample animation (a panel fading and scaling in, a check mark drawing itself) at clock instants: DIR/frame-0.png...");
    const auto& at = verb.option("--at", "T,T...", "seconds from the start, not decreasing (default 0,0.1,0.25)");
    const auto& folder = verb.option("-o", "DIR", "the folder to write into (made when missing)", true);
    verb.run([&at, &folder] {
        const auto times = clockInstants(at.value_or("0,0.1,0.25"), "--at");
        std::error_code error;
        fs::create_directories(*folder, error);
        if (error) throw Failure("cannot make " + *folder + ": " + error.message());
        const ManualClockScope manual;
        const auto scene = animatedScene();
        double now = 0;
        for (std::size_t i = 0; i < times.size(); ++i) {
            ManualClock::advance(times[i] - now);
            now = times[i];
            const auto png = scene->renderPNG(0);
            if (!png) throw Failure("the scene did not render");
            const std::string path = (fs::path(*folder) / ("frame-" + std::to_string(i) + ".png")).string();
            writePng(path, *png);
            std::cout << "wrote " << path << " (t = " << times[i] << " s)\n";
        }
        return 0;
    });
}

void define(CLI::App& group) {
    defineRender(group, "sample", "draws the sample scene (labels, images, panel, indicator) at the screen's pixel size",
                 renderUiSample);
    defineRender(group, "empty", "draws an empty collection view with its empty-state overlay at the screen's pixel size",
                 renderEmptyStateSample);
    defineAnimate(group);
}

const GroupRegistration registration{
    {"ui", "views rendered to PNGs: the sample scene, the empty state, frames of an animation", 90, define}};

}  // namespace
}  // namespace qvtool
