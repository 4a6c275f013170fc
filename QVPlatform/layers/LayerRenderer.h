// LayerRenderer: draws a layer tree into a CGContext, a Bitmap or PNG bytes.
//
//   LayerRenderer::render(*root, *context);                       // as the platform's renderInContext
//   auto bitmap = LayerRenderer::renderBitmap(*root, 2);          // bounds size × 2 pixels
//   auto png = LayerRenderer::renderPNG(*root, 1, CGColor::white());
//
// The root is drawn in its own coordinate space (its bounds origin at the context's user
// origin; its own position and transform do not apply); every sublayer is placed by its
// position, anchor point and affine transform, in list order stably sorted by zPosition.
// Per layer: hidden layers and their subtrees are skipped; opacity below 1 composites the
// layer with its sublayers as one group; a shadow (blurred, from the shadow path or from the
// alpha of everything the layer draws) is cast under the group; then the background with
// rounded corners, the contents bitmap placed by its gravity, the shape (filled, then
// stroked, the stroke cut to strokeStart...strokeEnd of the path's length), drawInContext,
// the sublayers (clipped to the rounded bounds when masksToBounds), and the border on top.
// A group (opacity or shadow) covers only the box of what the layer and its sublayers draw,
// their shadows included; custom drawing is taken to stay inside the bounds, as the
// platform's backing store does, and is cut to that box inside a group. Trees deeper than
// 512 levels are drawn to that depth.
//
// Each layer is drawn from a LayerState snapshot: by default its presentation state (the model
// with running animations applied) at the clock's time when drawing began; `StateProvider`
// lets a caller substitute other values. Thread rule: drawing reads each layer
// under its lock; the context belongs to the calling thread.
#pragma once

#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/DrawingContext.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/layers/CALayer.h>

#include <functional>
#include <optional>

namespace platform {

class LayerRenderer {
public:
    // The values to draw a layer with; the default is the layer's `presentationState()`.
    using StateProvider = std::function<LayerState(const CALayer&)>;

    static constexpr int kMaxDepth = 512;

    static void render(const CALayer& root, CGContext& context, const StateProvider& provider = {});
    // The root's bounds at `scale` pixels per point, on `background` (transparent when
    // absent). Null when the size is empty or too large for a bitmap.
    static std::optional<Bitmap> renderBitmap(const CALayer& root, double scale = 1,
                                              std::optional<CGColor> background = std::nullopt,
                                              const StateProvider& provider = {});
    static std::optional<Data> renderPNG(const CALayer& root, double scale = 1,
                                         std::optional<CGColor> background = std::nullopt,
                                         const StateProvider& provider = {});
};

}  // namespace platform
