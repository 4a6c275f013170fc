#include <QVPlatform/layers/LayerRenderer.h>

namespace platform {

void LayerRenderer::render(const CALayer&, CGContext&, const StateProvider&) {}

std::optional<Bitmap> LayerRenderer::renderBitmap(const CALayer&, double, std::optional<CGColor>, const StateProvider&) {
    return std::nullopt;
}

std::optional<Data> LayerRenderer::renderPNG(const CALayer&, double, std::optional<CGColor>, const StateProvider&) {
    return std::nullopt;
}

}  // namespace platform
