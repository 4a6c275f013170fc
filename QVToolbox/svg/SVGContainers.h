// The container elements: "g" (a group) and "svg" (a document's root).
//
//   auto group = SVGGroup::make();                     // fill, stroke... recorded, not drawn
//   group->applyAttributes({{"fill", "red"}, {"opacity", "0.5"}});
//   group->didProcessElement(&root);                   // direct child shapes turn red, opacity 0.5
//
// A group hands its recorded values to the shape layers directly inside it at its end tag
// (so they replace the children's own values; a nested group's shapes are not touched), then
// attaches its layer to the parent. The root reads "width", "height" and then "viewBox" (so
// a viewBox decides the size when all three are given): width and height set the size of
// its layer; a viewBox of exactly four numbers (split at spaces and commas) sets the size to
// its width and height and makes its minimum x and y the layer's top-left corner (its bounds
// origin), so content at (min-x, min-y) is drawn at the layer's corner.
// Thread rule: built and fed on the parser's thread.
#pragma once

#include <QVToolbox/svg/SVGElement.h>

#include <memory>

namespace QVToolbox {

class SVGGroup final : public SVGContainerElement {
public:
    static std::shared_ptr<SVGGroup> make();
    std::string_view elementName() const override { return "g"; }
    void didProcessElement(SVGContainerElement* parent) override;
};

class SVGRootElement final : public SVGContainerElement {
public:
    // `withAttributes` false: an empty table (the barebones root).
    static std::shared_ptr<SVGRootElement> make(bool withAttributes = true);
    std::string_view elementName() const override { return "svg"; }
    // Attaches the layer to the parent (the parser attaches roots to its own layer itself).
    void didProcessElement(SVGContainerElement* parent) override;

    void setWidth(double width);
    void setHeight(double height);
    void setViewBox(std::string_view text);
};

}  // namespace QVToolbox
