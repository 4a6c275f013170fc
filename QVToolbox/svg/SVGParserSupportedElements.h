// SVGParserSupportedElements: the registry that tells the SVG parser which tags it builds
// elements for, and how.
//
//   auto all = SVGParserSupportedElements::allSupportedElements();  // nine tags
//   auto bare = SVGParserSupportedElements::barebones();            // "svg", and "path" with d + fill
//   SVGParserSupportedElements custom({{"shape", [] { return makeSVGPath(); }}});
//
// A builder returns a fresh element with its attribute table filled (own geometry first,
// then the families in their fixed order, SVGAttributes.h). Any tag may map to any element:
// the parser matches end tags against the tag an element was opened under. Every path built
// here parses its outline asynchronously. Thread rule: a value; builders may run anywhere.
#pragma once

#include <QVToolbox/svg/SVGElement.h>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace QVToolbox {

struct SVGParserSupportedElements {
    using Builder = std::function<std::shared_ptr<SVGElement>()>;
    std::map<std::string, Builder, std::less<>> tags;

    SVGParserSupportedElements() = default;
    explicit SVGParserSupportedElements(std::map<std::string, Builder, std::less<>> tags) : tags(std::move(tags)) {}

    // circle, ellipse, g, line, path, polygon, polyline, rect, svg.
    static const SVGParserSupportedElements& allSupportedElements();
    // path (with only "d" and "fill") and svg (with no attribute).
    static const SVGParserSupportedElements& barebones();
};

}  // namespace QVToolbox
