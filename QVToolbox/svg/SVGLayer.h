// SVGLayer: the shape layer a parsed SVG document is delivered as, with the union of its
// shapes' boxes, and `resizeToFit`.
//
//   parser completion: [](std::shared_ptr<SVGLayer> layer) {
//       layer->boundingBox();                          // {{10, 10}, {10, 10}} for a 10×10 square at (10, 10)
//       layer->setFillColor(CGColor{1, 0, 0, 1});       // every shape layer below turns red
//       resizeToFit(*layer, {{0, 0}, {100, 100}});      // scaled by 10 on the main thread
//   }
//
// `setFillColor`, `setStrokeColor` and `setLineWidth` called on an SVGLayer set its own value
// and then every shape layer below it, at any depth. (Called through a CAShapeLayer
// reference they set only the layer's own value.) `svgLayerCopy` is a deep copy of the tree:
// each layer keeps its class and properties, paths are shared. Thread rule: as every layer,
// setters and getters from any thread.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <memory>

namespace QVToolbox {

class SVGLayer : public platform::NSObjectSubclass<SVGLayer, platform::CAShapeLayer, "SVGLayer"> {
public:
    static std::shared_ptr<SVGLayer> make();

    // The union of the boxes of the shapes the parser saw; CGRectNull when none.
    platform::CGRect boundingBox() const;
    void setBoundingBox(platform::CGRect box);

    void setFillColor(std::optional<platform::CGColor> color);
    void setStrokeColor(std::optional<platform::CGColor> color);
    void setLineWidth(platform::CGFloat width);

    // A deep copy, or null if the copy is not an SVGLayer.
    std::shared_ptr<SVGLayer> svgLayerCopy() const;

protected:
    std::shared_ptr<platform::CALayer> copyLayer() const override;

private:
    platform::CGRect boundingBox_ = platform::CGRectNull;  // guarded by the layer's mutex_
};

// The largest uniform scale at which `box` fits inside `rect`, or none when it is not finite
// or not above zero (a null or empty box, an empty rectangle).
std::optional<double> fitFactor(platform::CGRect box, platform::CGRect rect);

// `resizeToFit(_:)`: sets the layer's transform to a uniform scale by fitFactor(boundingBox,
// rect), on the main thread (at once when already there, else queued on the main queue). No
// translation. Without a finite factor above zero the transform is left unchanged.
void resizeToFit(SVGLayer& layer, platform::CGRect rect);

}  // namespace QVToolbox
