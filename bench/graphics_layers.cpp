// Drawing a layer tree and a long path through our renderer, beside the same drawing done
// with Cairo directly (the floor: what is left is our own overhead).
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include "Compare.h"

#include <cairo.h>

#include <cmath>
#include <vector>

using namespace platform;

namespace {

constexpr int kSize = 512;
constexpr int kShapes = 200;

CGPoint shapeOrigin(int i) { return {double((i * 37) % 480), double((i * 53) % 480)}; }

std::shared_ptr<CALayer> makeTree() {
    auto root = CALayer::layer();
    root->setBounds({{0, 0}, {kSize, kSize}});
    CGMutablePath circle;
    circle.addEllipse({{0, 0}, {32, 32}});
    const CGPathRef path = circle.copy();
    for (int i = 0; i < kShapes; ++i) {
        auto shape = CAShapeLayer::layer();
        shape->setFrame({shapeOrigin(i), {32, 32}});
        shape->setPath(path);
        shape->setFillColor(CGColor{i / double(kShapes), 0.3, 0.6, 1});
        shape->setStrokeColor(CGColor::black());
        shape->setLineWidth(2);
        root->addSublayer(shape);
    }
    return root;
}

void LayerTree200Shapes_ours(benchmark::State& state) {
    const auto root = makeTree();
    for (auto _ : state) {
        auto ctx = CGContext::make(kSize, kSize);
        LayerRenderer::render(*root, *ctx);
        benchmark::DoNotOptimize(ctx.get());
    }
}

void LayerTree200Shapes_peer(benchmark::State& state) {
    for (auto _ : state) {
        cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
        cairo_t* cr = cairo_create(surface);
        for (int i = 0; i < kShapes; ++i) {
            const CGPoint o = shapeOrigin(i);
            cairo_new_path(cr);
            cairo_arc(cr, o.x + 16, o.y + 16, 16, 0, 2 * M_PI);
            cairo_set_source_rgba(cr, i / double(kShapes), 0.3, 0.6, 1);
            cairo_fill_preserve(cr);
            cairo_set_source_rgba(cr, 0, 0, 0, 1);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
        }
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
        benchmark::DoNotOptimize(surface);
    }
}

std::vector<CGPoint> star(int points) {
    std::vector<CGPoint> out;
    for (int i = 0; i < points; ++i) {
        const double a = i * 2 * M_PI / points, r = i % 2 ? 250 : 120;
        out.push_back({256 + r * std::cos(a), 256 + r * std::sin(a)});
    }
    return out;
}

void FillPath10kPoints_ours(benchmark::State& state) {
    CGMutablePath b;
    for (const CGPoint& p : star(10000)) b.addLineTo(p);
    b.closeSubpath();
    const CGPathRef path = b.copy();
    auto ctx = CGContext::make(kSize, kSize);
    for (auto _ : state) ctx->fillPath(*path, CGColor{1, 0, 0, 1}, CGPathFillRule::evenOdd);
}

void FillPath10kPoints_peer(benchmark::State& state) {
    const auto points = star(10000);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kSize, kSize);
    cairo_t* cr = cairo_create(surface);
    for (auto _ : state) {
        cairo_new_path(cr);
        for (const CGPoint& p : points) cairo_line_to(cr, p.x, p.y);
        cairo_close_path(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_set_source_rgba(cr, 1, 0, 0, 1);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
}

}  // namespace

BENCHMARK(LayerTree200Shapes_ours)->Name("LayerTree200Shapes/ours");
BENCHMARK(LayerTree200Shapes_peer)->Name("LayerTree200Shapes/peer");
BENCHMARK(FillPath10kPoints_ours)->Name("FillPath10kPoints/ours");
BENCHMARK(FillPath10kPoints_peer)->Name("FillPath10kPoints/peer");

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
