// `qvtool svg`: SVG documents rendered to PNG, summarised, and path data as its commands.
//
// `render` and `info` parse with every supported element (allSupportedElements) and wait for
// the parser's completion by pumping the main run loop; a document the XML reader gives up
// on is reported with the reader's reason and exit status 1.
#include "../Cli.h"
#include "../Input.h"
#include "../SvgRender.h"

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/PathDLexer.h>
#include <QVToolbox/svg/SVGColor.h>
#include <QVToolbox/svg/SVGConstructors.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGView.h>

#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/AtomicFile.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/ui/UIWindow.h>

#include <QVPlatform/graphics/ImageCodec.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>

namespace qvtool {
namespace {

using namespace QVToolbox;

// "M 10 20": the command's letter (lower case when relative) and its numbers.
std::string commandLine(const PathCommand& command) {
    static constexpr char kLetters[] = "MLHVCSQTZ";
    char letter = kLetters[static_cast<int>(command.record())];
    if (command.pathType() == PathType::relative) letter = static_cast<char>(letter - 'A' + 'a');
    std::string line(1, letter);
    for (const double value : command.coordinateBuffer()) {
        char number[32];
        std::snprintf(number, sizeof number, " %.17g", value);
        line += number;
    }
    return line;
}

void definePath(CLI::App& group) {
    Verb verb(group, "path", "the commands PathDLexer yields for path data, one per line");
    const auto& d = verb.text("PATH-DATA", "the text of a \"d\" attribute, such as 'M0 0 L10 0 L10 10 Z'");
    verb.run([&d] {
        for (const PathCommand& command : PathDLexer(d)) std::cout << commandLine(command) << "\n";
        return 0;
    });
}

using platform::CGRect;

std::string rectText(const CGRect& r) {
    if (r.isNull()) return "none";
    char text[128];
    std::snprintf(text, sizeof text, "%g %g %g %g", r.origin.x, r.origin.y, r.size.width, r.size.height);
    return text;
}

std::pair<int, int> sizeArgument(const std::string& text) {
    int w = 0, h = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &w, &h, &rest) != 2 || w <= 0 || h <= 0) {
        throw BadInput("--size " + shown(text) + " is not WIDTHxHEIGHT in whole pixels, such as 256x256");
    }
    if (w > platform::kMaxImageDimension || h > platform::kMaxImageDimension) {
        throw BadInput("--size " + shown(text) + " is larger than " + std::to_string(platform::kMaxImageDimension) +
                       " pixels a side");
    }
    return {w, h};
}

void defineRender(CLI::App& group) {
    Verb verb(group, "render", "draws IN.svg into a PNG file");
    const auto& in = verb.argument("IN", "the SVG file");
    const auto& out = verb.option("-o,--output", "OUT.png", "the PNG file to write", true);
    const auto& size = verb.option("--size", "WxH", "pixel size; the drawing is scaled uniformly to fit and centred "
                                                   "(default: the document's own size)");
    const auto& background = verb.option("--background", "COLOR", "an SVG colour under the drawing (default: transparent)");
    verb.run([&] {
        std::optional<platform::CGColor> under;
        if (background) {
            const auto color = colorFromSVGString(*background);
            if (!color) throw BadInput("--background " + shown(*background) + " is not an SVG colour (#rgb, rgb(), a name)");
            under = platform::CGColor{color->red(), color->green(), color->blue(), color->alpha()};
        }
        const auto wanted = size ? std::optional(sizeArgument(*size)) : std::nullopt;
        const SvgDocument parsed = readSvgFile(in, SVGParserSupportedElements::allSupportedElements());
        const platform::Data png = renderSvg(parsed, wanted, under, in);
        std::ofstream file(*out, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(png.bytes()), static_cast<std::streamsize>(png.count()));
        if (!file.flush()) throw Failure("cannot write " + *out);
        return 0;
    });
}

void defineInfo(CLI::App& group) {
    Verb verb(group, "info", "element counts, bounding box, root frame and parse time of IN.svg");
    const auto& in = verb.argument("IN", "the SVG file");
    verb.run([&] {
        // The full registry, with each builder counting what it builds.
        auto counts = std::make_shared<std::map<std::string, int>>();
        SVGParserSupportedElements counting;
        for (const auto& [tag, builder] : SVGParserSupportedElements::allSupportedElements().tags) {
            counting.tags.emplace(tag, [counts, tag, builder] {
                ++(*counts)[tag];
                return builder();
            });
        }
        const SvgDocument parsed = readSvgFile(in, counting);
        std::cout << "elements:";
        if (counts->empty()) std::cout << " none";
        for (const auto& [tag, n] : *counts) std::cout << " " << tag << " " << n;
        const auto roots = parsed.layer->sublayers();
        std::cout << "\nbounding box: " << rectText(parsed.layer->boundingBox())
                  << "\nroot frame: " << (roots.empty() ? "none" : rectText(roots.front()->frame())) << "\n";
        std::printf("parse time: %.3f ms\n", parsed.milliseconds);
        return 0;
    });
}

// An SVGView named NAME in a window the drawing's size (or WxH, the drawing fitted), rendered.
void defineView(CLI::App& group) {
    Verb verb(group, "view", "shows resource NAME of bundle DIR in an SVGView in a window, rendered to a PNG file");
    const auto& name = verb.argument("NAME", "the resource: NAME.svg in the bundle, else the data asset NAME");
    const auto& bundle = verb.option("--bundle", "DIR", "the main bundle folder", true);
    const auto& out = verb.option("-o,--output", "OUT.png", "the PNG file to write", true);
    const auto& size = verb.option("--size", "WxH", "window size in pixels; the drawing is scaled uniformly to fit "
                                                   "(default: the document's own size)");
    verb.run([&] {
        if (!std::filesystem::is_directory(*bundle)) throw BadInput("--bundle " + shown(*bundle) + " is not a folder");
        const auto wanted = size ? std::optional(sizeArgument(*size)) : std::nullopt;
        platform::Host::configure({.mainBundlePath = std::filesystem::path(*bundle)});
        const auto bytes = svgBytesNamedFileFirst(name);
        if (!bytes) throw BadInput(shown(name) + " is neither " + name + ".svg nor a data asset in " + *bundle);
        // The reader's verdict first, with no elements built: a refused document never completes.
        readSvg(*bytes, name, SVGParserSupportedElements{});

        auto view = std::make_shared<SVGView>();
        view->setSVGName(name);
        while (view->layer()->sublayers().empty()) platform::RunLoop::main().runFor(0.01);
        auto drawing = std::dynamic_pointer_cast<SVGLayer>(view->layer()->sublayers().front());
        const CGRect rect = documentRect(*drawing);
        if (rect.isEmpty()) throw Failure(name + " draws nothing that has a size");
        const double width = wanted ? wanted->first : std::ceil(rect.size.width);
        const double height = wanted ? wanted->second : std::ceil(rect.size.height);
        if (wanted) resizeToFit(*drawing, {{0, 0}, {width, height}});

        auto window = std::make_shared<platform::UIWindow>(CGRect{{0, 0}, {width, height}});
        window->makeKeyAndVisible();
        view->setFrame(window->bounds());
        window->addSubview(view);
        const auto png = window->renderPNG(1);
        if (!png) throw Failure("the window did not render");
        std::string error;
        if (!platform::writeFileAtomically(*out, png->view(), &error)) throw Failure("cannot write " + *out + ": " + error);
        return 0;
    });
}

void define(CLI::App& group) {
    defineRender(group);
    defineView(group);
    defineInfo(group);
    definePath(group);
}

const GroupRegistration registration{{"svg", "SVG documents rendered to PNG, summarised, shown in a view; path data as commands", 45, define}};

}  // namespace
}  // namespace qvtool
