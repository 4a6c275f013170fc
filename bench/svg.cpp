// SVG documents parsed to a finished SVGLayer, and parsed and rendered, in process, beside
// librsvg (the library rsvg-convert is built on) on the same documents at the same size; then
// whole processes: `qvtool svg render` beside `rsvg-convert`, with the peak memory of each.
// Documents (generated, bench/SvgDocuments.h) stay inside the subset both draw the same way:
// paths, polygons, basic shapes, groups, fills, strokes; no arcs, gradients, text or CSS.
//   large: 3000 curved paths in groups; map: 100 polygons of 400 points; icon: 24×24, 4 shapes.
#include "Compare.h"
#include "SvgDocuments.h"
#include "SvgParse.h"

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include <cairo.h>
#include <librsvg/rsvg.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Document {
    std::string name;
    std::string text;
    int width, height;
};

const std::vector<Document>& documents() {
    static const std::vector<Document> all{{"large", svgbench::largeDrawing(3000), 1000, 1000},
                                           {"map", svgbench::map(100, 400), 1200, 800},
                                           {"icon", svgbench::icon(), 24, 24}};
    return all;
}

using svgbench::parseOurs;

RsvgHandle* parsePeer(const std::string& text) {
    GError* error = nullptr;
    RsvgHandle* handle = rsvg_handle_new_from_data(reinterpret_cast<const guint8*>(text.data()), text.size(), &error);
    if (!handle) std::abort();
    return handle;
}

void parseOursBench(benchmark::State& state, const Document& d) {
    for (auto _ : state) benchmark::DoNotOptimize(parseOurs(d.text));
}
void parsePeerBench(benchmark::State& state, const Document& d) {
    for (auto _ : state) {
        RsvgHandle* handle = parsePeer(d.text);
        benchmark::DoNotOptimize(handle);
        g_object_unref(handle);
    }
}

void renderOursBench(benchmark::State& state, const Document& d) {
    for (auto _ : state) {
        auto layer = parseOurs(d.text);
        auto canvas = platform::CALayer::layer();
        canvas->setBounds({{0, 0}, {static_cast<double>(d.width), static_cast<double>(d.height)}});
        canvas->addSublayer(layer);
        benchmark::DoNotOptimize(platform::LayerRenderer::renderBitmap(*canvas, 1));
    }
}
void renderPeerBench(benchmark::State& state, const Document& d) {
    for (auto _ : state) {
        RsvgHandle* handle = parsePeer(d.text);
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, d.width, d.height);
        cairo_t* cr = cairo_create(surface);
        const RsvgRectangle viewport{0, 0, static_cast<double>(d.width), static_cast<double>(d.height)};
        GError* error = nullptr;
        rsvg_handle_render_document(handle, cr, &viewport, &error);
        cairo_surface_flush(surface);
        benchmark::DoNotOptimize(cairo_image_surface_get_data(surface));
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        g_object_unref(handle);
    }
}

// Runs a command to its end under /usr/bin/time; the command's peak resident memory in KiB.
// (A child spawned straight from here would report this process's own peak: the kernel
// keeps the high-water mark across the exec.)
long runProcess(const std::vector<std::string>& command, const std::filesystem::path& report) {
    std::vector<std::string> timed{"/usr/bin/time", "-f", "%M", "-o", report.string()};
    timed.insert(timed.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (const auto& a : timed) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) std::abort();
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    long kib = 0;
    std::ifstream(report) >> kib;
    return kib;
}

std::filesystem::path folder() {
    static const std::filesystem::path path = [] {
        auto p = std::filesystem::temp_directory_path() / ("qv-bench-svg-" + std::to_string(getpid()));
        std::filesystem::create_directories(p);
        for (const auto& d : documents()) std::ofstream(p / (d.name + ".svg")) << d.text;
        return p;
    }();
    // Removed when the program ends.
    static const struct Cleanup {
        ~Cleanup() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } cleanup;
    return path;
}

#ifdef QVTOOL_PATH
void processBench(benchmark::State& state, const Document& d, bool ours) {
    const std::string in = (folder() / (d.name + ".svg")).string(), out = (folder() / (d.name + ".png")).string();
    const std::string size = std::to_string(d.width) + "x" + std::to_string(d.height);
    const std::vector<std::string> command =
        ours ? std::vector<std::string>{QVTOOL_PATH, "svg", "render", in, "-o", out, "--size", size}
             : std::vector<std::string>{"rsvg-convert", "-w", std::to_string(d.width), "-h", std::to_string(d.height), in,
                                        "-o", out};
    long peak = 0;
    for (auto _ : state) peak = std::max(peak, runProcess(command, folder() / (d.name + ".time")));
    state.counters["peakKiB"] = static_cast<double>(peak);
}
#endif

void registerAll() {
    for (const auto& d : documents()) {
        benchmark::RegisterBenchmark(("parse/" + d.name + "/ours").c_str(), parseOursBench, d)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("parse/" + d.name + "/peer").c_str(), parsePeerBench, d)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("render/" + d.name + "/ours").c_str(), renderOursBench, d)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("render/" + d.name + "/peer").c_str(), renderPeerBench, d)->Unit(benchmark::kMillisecond);
    }
#ifdef QVTOOL_PATH
    for (const auto& d : documents()) {
        benchmark::RegisterBenchmark(("process/" + d.name + "/ours").c_str(), processBench, d, true)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
        benchmark::RegisterBenchmark(("process/" + d.name + "/peer").c_str(), processBench, d, false)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
#endif
}

}  // namespace

int main(int argc, char** argv) {
    registerAll();
    return qvbench::run(argc, argv);
}
