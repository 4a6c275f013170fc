// The element model of the SVG parser: what every element offers the parser, and the two
// kinds of element (shapes, which draw into a shape layer, and containers, which hold their
// children's layers).
//
//   auto circle = SVGParserSupportedElements::allSupportedElements().tags.at("circle")();
//   circle->applyAttributes({{"cx", "10"}, {"fill", "red"}});  // fixed order, see below
//   circle->didProcessElement(&group);                         // outline built, layer attached
//
// `supportedAttributes` is an ordered table: attributes are applied in the table's order,
// never in a document's or a hash map's order. The registry builds it as the element's own
// geometry, then the families "id", fill ("color" before "fill"), stroke, "style" and
// "transform" (SVGAttributes.h). A handler receives the element it belongs to, so a table
// holds no reference to its element and elements never keep themselves alive.
// Thread rule: an element is built and fed by the parser's thread; a path hands its layer to
// one pool job (SVGPath.h). Layers are safe from any thread.
#pragma once

#include <QVPlatform/graphics/Geometry.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform {
class CALayer;
class CAShapeLayer;
}  // namespace platform

namespace QVToolbox {

class SVGElement;
class SVGContainerElement;

using SVGAttributeHandler = std::function<void(SVGElement&, std::string_view)>;
// Attribute name and handler, in the order they are applied.
using SVGAttributeTable = std::vector<std::pair<std::string, SVGAttributeHandler>>;
// The attributes of one start tag, as the XML reader gives them.
using SVGAttributeMap = std::map<std::string, std::string, std::less<>>;

class SVGElement : public std::enable_shared_from_this<SVGElement> {
public:
    virtual ~SVGElement() = default;

    // The registry key of the element's type: "circle", "path", "g", "svg"...
    virtual std::string_view elementName() const = 0;
    // Called at the end tag with the parent container, or null.
    virtual void didProcessElement(SVGContainerElement* parent) = 0;
    // The layer "transform" and "id" write to.
    virtual platform::CALayer& layerToTransform() = 0;

    // Calls the handler of every attribute in `attributes` that the table declares, in the
    // table's order; the others are ignored.
    void applyAttributes(const SVGAttributeMap& attributes);
    // The handler for `name`, or null.
    const SVGAttributeHandler* handler(std::string_view name) const;

    SVGAttributeTable supportedAttributes;
};

// `DelaysApplyingAttributes`: values that wait for later (a group's for its children, a
// path's "clip-rule" for its outline). A later value replaces an earlier one of the name.
struct DelayedAttributes {
    std::vector<std::pair<std::string, std::string>> pairs;
    void record(std::string_view name, std::string_view value);
};

class SVGContainerElement : public SVGElement {
public:
    SVGContainerElement();
    platform::CALayer& layerToTransform() override { return *containerLayer; }

    std::shared_ptr<platform::CALayer> containerLayer;  // plain layer, zero frame
    DelayedAttributes delayedAttributes;
};

class SVGShapeElement : public SVGElement {
public:
    SVGShapeElement();
    platform::CALayer& layerToTransform() override;

    // The bounding box of the layer's path (control points included, transforms not), or
    // none without a path.
    std::optional<platform::CGRect> boundingBox() const;
    // Adds the layer to the parent container's layer when there is a parent container.
    void attach(SVGContainerElement* parent);

    std::shared_ptr<platform::CAShapeLayer> svgLayer;
};

}  // namespace QVToolbox
