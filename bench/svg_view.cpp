// An SVGView showing a cached drawing beside parsing that drawing once: the 3,000-path
// document of bench/SvgDocuments.h, named in a bundle folder. Each "ours" iteration makes a
// new SVGView and sets its SVGName: the file is read, digested and found in SVGCache, and a
// deep copy of the layer tree is attached (100 iterations: the view shown 100 times). Each
// "peer" iteration parses the same bytes to a finished SVGLayer. Neither side times the
// teardown of what it made. Goal: ratio ≤ 0.1.
#include "Compare.h"
#include "SvgDocuments.h"
#include "SvgParse.h"

#include <QVToolbox/svg/SVGView.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/Host.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string& document() {
    static const std::string text = svgbench::largeDrawing(3000);
    return text;
}

// A bundle folder holding the document as large.svg, configured as the main bundle.
struct Bundle {
    fs::path root = fs::temp_directory_path() / ("qv-bench-svg-view-" + std::to_string(::getpid()));
    Bundle() {
        fs::create_directories(root);
        std::ofstream(root / "large.svg", std::ios::binary) << document();
        platform::Host::configure({.mainBundlePath = root});
    }
    ~Bundle() {
        platform::Host::configure({});
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

std::shared_ptr<QVToolbox::SVGView> show() {
    auto view = std::make_shared<QVToolbox::SVGView>(platform::CGRect{{0, 0}, {1000, 1000}});
    view->setSVGName("large");
    return view;
}

void BM_CachedViewShown(benchmark::State& state) {
    const Bundle bundle;
    // Fill the cache: the first view parses; its copy is stored on the global queue.
    auto first = show();
    while (first->layer()->sublayers().empty()) platform::RunLoop::main().runFor(0.0005);
    while (show()->layer()->sublayers().empty()) platform::RunLoop::main().runFor(0.01);
    for (auto _ : state) {
        auto view = show();
        if (view->layer()->sublayers().size() != 1) std::abort();  // a hit attaches before returning
        state.PauseTiming();  // tearing the tree down is not showing it (nor, below, parsing it)
        view.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CachedViewShown)->Name("svg_view_3000_paths/ours")->Iterations(100)->Unit(benchmark::kMillisecond);

void BM_ParseOnce(benchmark::State& state) {
    for (auto _ : state) {
        auto drawing = svgbench::parseOurs(document());
        state.PauseTiming();
        drawing.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ParseOnce)->Name("svg_view_3000_paths/peer")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    platform::RunLoop::setMainThread();
    return qvbench::run(argc, argv);
}
