// The cost of the presentation pass: one frame of 1,000 small layers, each under a running
// position and colour animation ("ours"), beside the same frame without animations ("peer").
#include <QVPlatform/layers/CAAnimation.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include "Compare.h"

using namespace platform;

namespace {

std::shared_ptr<CALayer> scene(bool animated) {
    auto root = CALayer::layer();
    root->setBounds({{0, 0}, {320, 320}});
    for (int i = 0; i < 1000; ++i) {
        auto layer = CALayer::layer();
        layer->setFrame({{double(i % 40) * 8, double(i / 40) * 8}, {6, 6}});
        layer->setBackgroundColor(CGColor{1, 0, 0, 1});
        if (animated) {
            CABasicAnimation move("position");
            move.byValue = CGPoint{4, 4};
            move.duration = 1e6;  // running throughout the run
            layer->addAnimation(move, "move");
            CABasicAnimation tint("backgroundColor");  // not opacity: that would add group compositing
            tint.fromValue = CGColor{0, 0, 1, 1};
            tint.duration = 1e6;
            layer->addAnimation(tint, "tint");
        }
        root->addSublayer(layer);
    }
    return root;
}

void frame(benchmark::State& state, bool animated) {
    const auto root = scene(animated);
    for (auto _ : state) benchmark::DoNotOptimize(LayerRenderer::renderBitmap(*root));
}

void BM_Frame1000Layers_ours(benchmark::State& state) { frame(state, true); }
void BM_Frame1000Layers_peer(benchmark::State& state) { frame(state, false); }

}  // namespace

BENCHMARK(BM_Frame1000Layers_ours)->Name("frame_1000_layers/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame1000Layers_peer)->Name("frame_1000_layers/peer")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
