#include "SvgRender.h"

#include "Cli.h"
#include "Input.h"

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/layers/LayerRenderer.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qvtool {

using namespace QVToolbox;
using platform::CGRect;

SvgDocument readSvg(platform::Data bytes, const std::string& name, const SVGParserSupportedElements& registry) {
    auto done = std::make_shared<std::shared_ptr<SVGLayer>>();
    const auto start = std::chrono::steady_clock::now();
    auto parser = NSXMLSVGParser::make(std::move(bytes), registry,
                                       [done](std::shared_ptr<SVGLayer> layer) { *done = std::move(layer); });
    if (!parser->startParsing()) {
        const auto& e = parser->parserError();
        std::string why = e ? e->message : "unreadable";
        if (e && e->line > 0) why = "line " + std::to_string(e->line) + ", column " + std::to_string(e->column) + ": " + why;
        throw Failure(name + " is not a drawing it can read: " + why);
    }
    while (!*done) platform::RunLoop::main().runFor(0.01);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return {*done, elapsed.count()};
}

SvgDocument readSvgFile(const std::string& file, const SVGParserSupportedElements& registry) {
    std::ifstream in(file, std::ios::binary);
    if (!std::filesystem::is_regular_file(file) || !in) throw BadInput("IN " + shown(file) + " is not a readable file");
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return readSvg(platform::Data(std::move(bytes)), file, registry);
}

CGRect documentRect(const SVGLayer& layer) {
    const auto roots = layer.sublayers();
    if (!roots.empty()) {
        const CGRect frame = roots.front()->frame();
        if (frame.size.width > 0 && frame.size.height > 0) return frame;
    }
    return layer.boundingBox();
}

platform::Data renderSvg(const SvgDocument& document, std::optional<std::pair<int, int>> size,
                         std::optional<platform::CGColor> background, const std::string& name) {
    const CGRect rect = documentRect(*document.layer);
    if (rect.isEmpty()) throw Failure(name + " draws nothing that has a size");
    const double width = size ? size->first : std::ceil(rect.size.width);
    const double height = size ? size->second : std::ceil(rect.size.height);
    const auto factor = fitFactor(rect, {{0, 0}, {width, height}});
    if (!factor) throw Failure(name + " cannot be scaled to fit " + std::to_string(width) + "x" + std::to_string(height));
    // The canvas holds the drawing scaled about its origin and moved so the document's
    // rectangle sits centred on the canvas.
    auto canvas = platform::CALayer::layer();
    canvas->setBounds({{0, 0}, {width, height}});
    document.layer->setAffineTransform(platform::CGAffineTransformMakeScale(*factor, *factor));
    document.layer->setPosition({(width - rect.size.width * *factor) / 2 - rect.origin.x * *factor,
                                 (height - rect.size.height * *factor) / 2 - rect.origin.y * *factor});
    canvas->addSublayer(document.layer);
    auto png = platform::LayerRenderer::renderPNG(*canvas, 1, background);
    if (!png) {
        throw Failure("cannot render " + name + " at " + std::to_string(static_cast<long>(width)) + "x" +
                      std::to_string(static_cast<long>(height)) + " pixels");
    }
    return std::move(*png);
}

}  // namespace qvtool
