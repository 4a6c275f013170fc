// SVGConstructors: layers and views that receive a drawing from SVG bytes, a URL or a
// resource name, and paths, shape layers and views made from one path text.
//
//   auto layer = layerWithSVGData(data, nullptr, [](std::shared_ptr<SVGLayer> drawing) { ... });
//   auto view = viewWithSVGNamed("logo");             // data asset "logo" first, then logo.svg
//   bezierPathWithPathString("M0 0 L10 0 L10 10 Z");  // a closed triangle
//
// Each constructor returns the new object at once. A drawing of bytes already in
// SVGCache::default_() (same SHA-256) is a hit: a fresh deep copy is made, the completion runs
// with it before the constructor returns, on the caller's thread, and the copy is added to the
// object's layer on the main thread (at once when called there, else queued). Otherwise the
// bytes are parsed on a queue of their own (the parser's completion arrives on the main
// thread); there a deep copy is taken for the cache before anyone sees the drawing, the
// drawing is added to the object if it still exists (held weakly), and the completion runs.
// A caller-supplied parser is started as it is and keeps its own completion.
// Unreadable URLs and missing resources give a plain object and no completion; the view made
// from a URL also prints "No data at URL: " and the URL to standard output.
// Thread rule: layer constructors from any thread; views on the main thread.
#pragma once

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/SVGLayer.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIBezierPath.h>
#include <QVPlatform/ui/UIView.h>

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>

namespace QVToolbox {

using SVGCompletion = std::function<void(std::shared_ptr<SVGLayer>)>;
using SVGParserPtr = std::shared_ptr<NSXMLSVGParser>;

// Algorithms behind the constructors, on an existing layer (null: a throw-away one).
void loadSVGData(const std::shared_ptr<platform::CALayer>& layer, const platform::Data& data, SVGParserPtr parser,
                 SVGCompletion completion);
// Runs the data form with a completion that adds the drawing to `view`'s layer on the main
// thread (the view held weakly) and then calls `completion`, when given.
void loadSVGData(const std::shared_ptr<platform::UIView>& view, const platform::Data& data, SVGParserPtr parser,
                 SVGCompletion completion);
// The whole content at `url`, or none.
std::optional<platform::Data> svgBytesAtURL(const platform::URL& url);
// The bytes for a name: the data asset, else the "svg" resource of the main bundle, or none.
std::optional<platform::Data> svgBytesNamedAssetFirst(std::string_view name);
// The same lookups the other way round: the "svg" resource first, then the data asset.
std::optional<platform::Data> svgBytesNamedFileFirst(std::string_view name);

// `CALayer(SVGData:parser:completion:)` for CALayer and its subclasses.
template <std::derived_from<platform::CALayer> L = platform::CALayer>
std::shared_ptr<L> layerWithSVGData(const platform::Data& SVGData, SVGParserPtr parser, SVGCompletion completion) {
    auto layer = std::make_shared<L>();
    loadSVGData(layer, SVGData, std::move(parser), std::move(completion));
    return layer;
}

// `CALayer(SVGURL:parser:completion:)`: a plain layer and no completion when the read fails.
template <std::derived_from<platform::CALayer> L = platform::CALayer>
std::shared_ptr<L> layerWithSVGURL(const platform::URL& SVGURL, SVGParserPtr parser, SVGCompletion completion) {
    auto layer = std::make_shared<L>();
    if (const auto data = svgBytesAtURL(SVGURL)) loadSVGData(layer, *data, std::move(parser), std::move(completion));
    return layer;
}

// `UIView(SVGData:parser:completion:)`.
template <std::derived_from<platform::UIView> V = platform::UIView>
std::shared_ptr<V> viewWithSVGData(const platform::Data& SVGData, SVGParserPtr parser = nullptr,
                                   SVGCompletion completion = nullptr) {
    auto view = std::make_shared<V>();
    loadSVGData(std::static_pointer_cast<platform::UIView>(view), SVGData, std::move(parser), std::move(completion));
    return view;
}

// Prints "No data at URL: " and the URL.
void reportNoDataAtURL(const platform::URL& url);

// `UIView(SVGURL:parser:completion:)`: when the read fails, prints the line above and returns
// a plain view.
template <std::derived_from<platform::UIView> V = platform::UIView>
std::shared_ptr<V> viewWithSVGURL(const platform::URL& SVGURL, SVGParserPtr parser = nullptr,
                                  SVGCompletion completion = nullptr) {
    const auto data = svgBytesAtURL(SVGURL);
    if (!data) {
        reportNoDataAtURL(SVGURL);
        return std::make_shared<V>();
    }
    return viewWithSVGData<V>(*data, std::move(parser), std::move(completion));
}

// `UIView(SVGNamed:parser:completion:)`: the data asset first, then NAME.svg in the main
// bundle; a plain view when neither can be read.
template <std::derived_from<platform::UIView> V = platform::UIView>
std::shared_ptr<V> viewWithSVGNamed(std::string_view SVGNamed, SVGParserPtr parser = nullptr,
                                    SVGCompletion completion = nullptr) {
    const auto data = svgBytesNamedAssetFirst(SVGNamed);
    if (!data) return std::make_shared<V>();
    return viewWithSVGData<V>(*data, std::move(parser), std::move(completion));
}

// `UIBezierPath(pathString:)`: the outline of the path text, or an empty path.
std::shared_ptr<platform::UIBezierPath> bezierPathWithPathString(std::string_view pathString);
// `CAShapeLayer(pathString:)`: a shape layer whose path is the outline (none when empty).
std::shared_ptr<platform::CAShapeLayer> shapeLayerWithPathString(std::string_view pathString);
// `UIView(pathString:)`: a view whose layer holds one SVGLayer with the outline (or an empty path).
std::shared_ptr<platform::UIView> viewWithPathString(std::string_view pathString);

}  // namespace QVToolbox
