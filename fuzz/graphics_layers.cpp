// Paths, the drawing context and the layer renderer driven by arbitrary numbers (NaN,
// infinities, huge and tiny values, singular transforms): nothing crashes, Cairo never ends
// in an error state, and trimmed paths never grow longer than their source.
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    // Mostly small coordinates, sometimes any double bit pattern.
    double number() {
        const std::uint8_t kind = byte();
        if (kind < 200) return (kind - 100) * 0.5 + byte() / 256.0;
        double v = 0;
        std::uint8_t raw[sizeof v] = {};
        for (auto& b : raw) b = byte();
        std::memcpy(&v, raw, sizeof v);
        return v;
    }
    platform::CGPoint point() { return {number(), number()}; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

platform::CGPathRef readPath(Reader& in) {
    platform::CGMutablePath b;
    for (int i = 0, n = in.byte() % 24; i < n; ++i) {
        switch (in.byte() % 9) {
            case 0: b.moveTo(in.point()); break;
            case 1: b.addLineTo(in.point()); break;
            case 2: { const auto c = in.point(); b.addQuadCurveTo(c, in.point()); break; }
            case 3: { const auto c1 = in.point(), c2 = in.point(); b.addCurveTo(c1, c2, in.point()); break; }
            case 4: b.closeSubpath(); break;
            case 5: b.addRect({in.point(), {in.number(), in.number()}}); break;
            case 6: b.addEllipse({in.point(), {in.number(), in.number()}}); break;
            case 7: { const auto c = in.point(); b.addArc(c, in.number(), in.number(), in.number(), in.byte() & 1); break; }
            case 8: b.addRoundedRect({in.point(), {in.number(), in.number()}}, {in.number(), in.number()}, in.byte()); break;
        }
    }
    return b.copy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform;
    Reader in(data, size);
    auto ctx = CGContext::make(24, 24, 1 + in.byte() % 3);
    auto root = CALayer::layer();
    root->setBounds({{0, 0}, {24, 24}});
    int groups = 0;
    while (!in.empty()) {
        const CGPathRef path = readPath(in);
        const double from = in.number(), to = in.number();
        const double length = path->length(0.5);
        if (std::isfinite(length) && length < 1e6) {
            const double trimmedLength = path->trimmed(from, to, 0.5)->length(0.5);
            if (trimmedLength > length * (1 + 1e-6) + 1e-6) __builtin_trap();
        }
        switch (in.byte() % 8) {
            case 0: ctx->concatCTM({in.number(), in.number(), in.number(), in.number(), in.number(), in.number()}); break;
            case 1: ctx->saveGState(); break;
            case 2: ctx->restoreGState(); break;
            case 3: ctx->setShadow({in.number(), in.number()}, in.number(), CGColor{0, 0, 0, in.number()}); break;
            case 4: ctx->beginTransparencyLayer(); ++groups; break;
            case 5: ctx->endTransparencyLayer(); break;
            case 6: ctx->clipToPath(*path, in.byte() & 1 ? CGPathFillRule::evenOdd : CGPathFillRule::winding); break;
            case 7: ctx->setAlpha(in.number()); break;
        }
        ctx->fillPath(*path, CGColor{in.number(), 0.5, 0.5, 1});
        CGStrokeStyle style;
        style.lineWidth = in.number();
        style.dashes = {in.number(), in.number()};
        ctx->strokePath(*path, CGColor{1, 0, 0, 1}, style);

        auto shape = CAShapeLayer::layer();
        shape->setPath(path);
        shape->setFrame({in.point(), {in.number(), in.number()}});
        shape->setAffineTransform({in.number(), in.number(), in.number(), in.number(), in.number(), in.number()});
        shape->setStrokeColor(CGColor{0, 0, 1, 1});
        shape->setStrokeStart(from);
        shape->setStrokeEnd(to);
        shape->setLineWidth(in.number());
        shape->setCornerRadius(in.number());
        shape->setMasksToBounds(in.byte() & 1);
        shape->setShadowOpacity(in.number());
        shape->setShadowRadius(in.number());
        shape->setOpacity(in.number());
        root->addSublayer(shape);
    }
    // Close every open group: Cairo must not have been put in an error state.
    for (int i = 0; i < groups; ++i) ctx->endTransparencyLayer();
    ctx->clear(CGColor{1, 0, 0, 1});
    if (ctx->bitmap().pixel(5, 5)[0] != 255) __builtin_trap();
    (void)LayerRenderer::renderBitmap(*root, 1);
    return 0;
}
