// Reading an SVG document to its layer and drawing it into a PNG, for `qvtool svg` and the demo.
//
//   const SvgDocument doc = readSvgFile("in.svg", SVGParserSupportedElements::allSupportedElements());
//   platform::Data png = renderSvg(doc, std::pair{256, 256}, CGColor::white(), "in.svg");
//
// The parse waits for the parser's completion by pumping the main run loop. A document the
// reader refuses throws Failure with the reader's line, column and reason. Main thread only.
#pragma once

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/graphics/Color.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace qvtool {

struct SvgDocument {
    std::shared_ptr<QVToolbox::SVGLayer> layer;
    double milliseconds = 0;  // from the start of the parse to the completion
};

SvgDocument readSvg(platform::Data bytes, const std::string& name, const QVToolbox::SVGParserSupportedElements& registry);
SvgDocument readSvgFile(const std::string& file, const QVToolbox::SVGParserSupportedElements& registry);

// The document's own rectangle: the first root's frame when it has a size, else the box of
// its shapes.
platform::CGRect documentRect(const QVToolbox::SVGLayer& layer);

// PNG bytes of the drawing at its own size, or scaled uniformly to fit `size` and centred.
platform::Data renderSvg(const SvgDocument& document, std::optional<std::pair<int, int>> size,
                         std::optional<platform::CGColor> background, const std::string& name);

}  // namespace qvtool
