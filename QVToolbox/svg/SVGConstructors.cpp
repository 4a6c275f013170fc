#include <QVToolbox/svg/SVGConstructors.h>

#include <QVToolbox/svg/SVGCache.h>
#include <QVToolbox/svg/SVGPath.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/URLLoading.h>

#include <iostream>

namespace QVToolbox {

using platform::CALayer;
using platform::Data;
using platform::DispatchQueue;

namespace {

// Runs `work` on the main thread: at once when already there, else queued on the main queue.
void onMain(std::function<void()> work) {
    if (platform::RunLoop::isMainThread()) {
        work();
    } else {
        DispatchQueue::main()->async(std::move(work));
    }
}

void attach(const std::weak_ptr<CALayer>& weakParent, const std::shared_ptr<SVGLayer>& drawing) {
    onMain([weakParent, drawing] {
        if (auto parent = weakParent.lock()) parent->addSublayer(drawing);
    });
}

// Step 4 of the miss path, on the main thread: the copy for the cache is taken before the
// drawing is attached or handed to the caller, who may change it at once.
void finishParse(const SVGContentKey& content, const std::weak_ptr<CALayer>& weakLayer,
                 const SVGCompletion& completion, const std::shared_ptr<SVGLayer>& drawing) {
    if (!drawing) return;
    if (auto copy = drawing->svgLayerCopy()) {
        DispatchQueue::global(platform::DispatchQoS::userInitiated)->async([content, copy = std::move(copy)]() mutable {
            SVGCache::default_().store(content, std::move(copy));
        });
    }
    if (auto layer = weakLayer.lock()) layer->addSublayer(drawing);
    if (completion) completion(drawing);
}

std::optional<Data> resourceBytes(std::string_view name) {
    const auto url = platform::Bundle::main()->urlForResource(name, "svg");
    if (!url) return std::nullopt;
    return svgBytesAtURL(*url);
}

}  // namespace

void loadSVGData(const std::shared_ptr<CALayer>& layer, const Data& data, SVGParserPtr parser, SVGCompletion completion) {
    const std::weak_ptr<CALayer> weakLayer = layer;
    auto content = contentKey(data);
    if (const auto cached = SVGCache::default_().layerFor(content)) {
        if (auto copy = cached->svgLayerCopy()) {
            attach(weakLayer, copy);
            if (completion) completion(copy);
            return;
        }
    }
    auto queue = DispatchQueue::make("com.qvtoolbox.svg.load", DispatchQueue::Attributes::concurrent);
    queue->async([data, parser = std::move(parser), completion = std::move(completion), content = std::move(content),
                  weakLayer] {
        auto active = parser;
        if (!active) {
            active = NSXMLSVGParser::make(
                data, SVGParserSupportedElements::allSupportedElements(),
                [content, weakLayer, completion](std::shared_ptr<SVGLayer> drawing) {
                    finishParse(content, weakLayer, completion, drawing);
                });
        }
        active->startParsing();
    });
}

void loadSVGData(const std::shared_ptr<platform::UIView>& view, const Data& data, SVGParserPtr parser,
                 SVGCompletion completion) {
    const std::weak_ptr<platform::UIView> weakView = view;
    loadSVGData(std::shared_ptr<CALayer>(), data, std::move(parser),
                [weakView, completion = std::move(completion)](std::shared_ptr<SVGLayer> drawing) {
                    onMain([weakView, drawing] {
                        if (auto target = weakView.lock()) target->layer()->addSublayer(drawing);
                    });
                    if (completion) completion(drawing);
                });
}

std::optional<Data> svgBytesAtURL(const platform::URL& url) { return platform::dataWithContentsOfURL(url); }

std::optional<Data> svgBytesNamedAssetFirst(std::string_view name) {
    if (auto asset = platform::Bundle::main()->dataAsset(name)) return asset;
    return resourceBytes(name);
}

std::optional<Data> svgBytesNamedFileFirst(std::string_view name) {
    const auto bundle = platform::Bundle::main();
    // A file that exists but cannot be read gives nothing: the asset is tried only without one.
    if (const auto url = bundle->urlForResource(name, "svg")) return svgBytesAtURL(*url);
    return bundle->dataAsset(name);
}

void reportNoDataAtURL(const platform::URL& url) { std::cout << "No data at URL: " << url.absoluteString() << std::endl; }

std::shared_ptr<platform::UIBezierPath> bezierPathWithPathString(std::string_view pathString) {
    const auto outline = SVGPath::singlePathString(pathString)->svgLayer->path();
    if (!outline) return platform::UIBezierPath::bezierPath();
    return platform::UIBezierPath::bezierPathWithCGPath(*outline);
}

std::shared_ptr<platform::CAShapeLayer> shapeLayerWithPathString(std::string_view pathString) {
    auto layer = platform::CAShapeLayer::layer();
    layer->setPath(SVGPath::singlePathString(pathString)->svgLayer->path());
    return layer;
}

std::shared_ptr<platform::UIView> viewWithPathString(std::string_view pathString) {
    auto view = std::make_shared<platform::UIView>();
    auto drawing = SVGLayer::make();
    auto outline = SVGPath::singlePathString(pathString)->svgLayer->path();
    drawing->setPath(outline ? std::move(outline) : platform::CGMutablePath().copy());
    view->layer()->addSublayer(drawing);
    return view;
}

}  // namespace QVToolbox
