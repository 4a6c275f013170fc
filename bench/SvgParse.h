// A document parsed to its finished SVGLayer on the calling (main) thread, for the SVG
// benchmarks: waits for the parser's completion by pumping the main run loop.
#pragma once

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/dispatch/RunLoop.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace svgbench {

inline std::shared_ptr<QVToolbox::SVGLayer> parseOurs(const std::string& text) {
    auto done = std::make_shared<std::shared_ptr<QVToolbox::SVGLayer>>();
    auto parser = QVToolbox::NSXMLSVGParser::make(
        platform::Data::fromString(text), QVToolbox::SVGParserSupportedElements::allSupportedElements(),
        [done](std::shared_ptr<QVToolbox::SVGLayer> layer) { *done = std::move(layer); });
    if (!parser->startParsing()) std::abort();
    while (!*done) platform::RunLoop::main().runFor(0.0005);
    return *done;
}

}  // namespace svgbench
