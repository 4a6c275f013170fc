#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGPath.h>

#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace QVToolbox;
using platform::CALayer;
using platform::CAShapeLayer;
using platform::CGRect;
using platform::Data;

namespace {

struct Parsed {
    bool ok = false;
    int completions = 0;
    std::shared_ptr<SVGLayer> layer;
    std::shared_ptr<NSXMLSVGParser> parser;
};

// Parses on the main thread and lets every job and the main queue finish.
Parsed parse(const std::string& svg,
             std::optional<SVGParserSupportedElements> registry = SVGParserSupportedElements::allSupportedElements()) {
    auto result = std::make_shared<Parsed>();
    result->parser = NSXMLSVGParser::make(Data::fromString(svg), std::move(registry), [result](std::shared_ptr<SVGLayer> layer) {
        ++result->completions;
        result->layer = std::move(layer);
    });
    platform::ManualClock::start();
    result->ok = result->parser->startParsing();
    platform::ManualClock::drain();
    platform::RunLoop::main().runUntilIdle();
    platform::ManualClock::stop();
    Parsed out = *result;
    out.parser = result->parser;
    return out;
}

// The shape layers of the document's first root, depth first.
void collectShapes(const CALayer& layer, std::vector<std::shared_ptr<CAShapeLayer>>& out) {
    for (const auto& sub : layer.sublayers()) {
        if (auto shape = std::dynamic_pointer_cast<CAShapeLayer>(sub)) out.push_back(shape);
        collectShapes(*sub, out);
    }
}
std::vector<std::shared_ptr<CAShapeLayer>> shapes(const Parsed& p) {
    std::vector<std::shared_ptr<CAShapeLayer>> out;
    if (p.layer) collectShapes(*p.layer, out);
    return out;
}

std::shared_ptr<CAShapeLayer> onlyShape(const std::string& svg) {
    const auto all = shapes(parse(svg));
    return all.size() == 1 ? all.front() : nullptr;
}

}  // namespace
