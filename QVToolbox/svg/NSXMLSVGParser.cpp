#include <QVToolbox/svg/NSXMLSVGParser.h>

#include <QVToolbox/svg/SVGContainers.h>
#include <QVToolbox/svg/SVGLayer.h>
#include <QVToolbox/svg/SVGPath.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/layers/CAShapeLayer.h>

#include <fstream>
#include <iterator>

namespace QVToolbox {

using platform::CGRect;
using platform::Data;

NSXMLSVGParser::NSXMLSVGParser(Data data, std::optional<SVGParserSupportedElements> supportedElements,
                               Completion completion, bool hasDocument)
    : data_(std::move(data)),
      hasDocument_(hasDocument),
      supportedElements_(std::move(supportedElements)),
      containerLayer_(SVGLayer::make()),
      completionBlock_(std::move(completion)) {}

std::shared_ptr<NSXMLSVGParser> NSXMLSVGParser::make(Data SVGData, std::optional<SVGParserSupportedElements> supportedElements,
                                                     Completion completion) {
    return std::make_shared<NSXMLSVGParser>(std::move(SVGData), std::move(supportedElements), std::move(completion), true);
}

std::shared_ptr<NSXMLSVGParser> NSXMLSVGParser::make(const std::filesystem::path& SVGURL,
                                                     std::optional<SVGParserSupportedElements> supportedElements,
                                                     Completion completion) {
    std::ifstream in(SVGURL, std::ios::binary);
    std::vector<std::uint8_t> bytes;
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return std::make_shared<NSXMLSVGParser>(Data(), std::nullopt, nullptr, false);
    return make(Data(std::move(bytes)), std::move(supportedElements), std::move(completion));
}

int NSXMLSVGParser::asyncParseCount() const {
    std::lock_guard lock(mutex_);
    return asyncParseCount_;
}

bool NSXMLSVGParser::startParsing() {
    if (started_ || !hasDocument_) {
        if (!hasDocument_) parserError_ = platform::NSXMLParserError{0, 0, 0, "the document could not be read"};
        return false;
    }
    started_ = true;
    {
        std::lock_guard lock(mutex_);
        didDispatchAllElements_ = false;
    }
    platform::NSXMLParser reader(data_);
    reader.setDelegate(this);
    const bool ok = reader.parse();
    elementStack_.clear();  // elements a failed document left open
    if (!ok) {
        parserError_ = reader.parserError();
        Completion dropped;
        std::lock_guard lock(mutex_);
        failed_ = true;
        dropped.swap(completionBlock_);  // destroyed after the lock (declared before it)
    }
    return ok;
}

void NSXMLSVGParser::didStartElement(platform::NSXMLParser&, const std::string& elementName,
                                     const platform::NSXMLAttributes& attributes) {
    if (!supportedElements_) return;
    const auto builder = supportedElements_->tags.find(elementName);
    if (builder == supportedElements_->tags.end() || !builder->second) return;
    std::shared_ptr<SVGElement> element = builder->second();
    if (!element) return;
    element->applyAttributes(attributes);
    // The outline is built once, after every attribute is in (the last "d" wins).
    if (auto* path = dynamic_cast<SVGPath*>(element.get())) path->startParsingOutline(shared_from_this());
    elementStack_.emplace_back(elementName, std::move(element));
}

void NSXMLSVGParser::didEndElement(platform::NSXMLParser&, const std::string& elementName) {
    if (elementStack_.empty() || elementStack_.back().first != elementName) return;
    const std::shared_ptr<SVGElement> element = std::move(elementStack_.back().second);
    elementStack_.pop_back();
    if (auto* root = dynamic_cast<SVGRootElement*>(element.get())) {
        // Layers are safe from any thread; the tree is complete before the completion runs.
        containerLayer_->addSublayer(root->containerLayer);
    } else if (!elementStack_.empty()) {
        if (auto* parent = dynamic_cast<SVGContainerElement*>(elementStack_.back().second.get())) {
            element->didProcessElement(parent);
            auto* shape = dynamic_cast<SVGShapeElement*>(element.get());
            auto* path = dynamic_cast<SVGPath*>(element.get());
            // An asynchronous path reports its box when its outline is done.
            if (shape && !(path && path->isParsingOutline())) {
                if (const auto box = shape->boundingBox()) {
                    std::lock_guard lock(mutex_);
                    unionBox(*box);
                }
            }
        }
    }
    // Emptied so no element outlives its end tag; a path's job empties its own table.
    auto* path = dynamic_cast<SVGPath*>(element.get());
    if (!path || !path->isParsingOutline()) element->supportedAttributes.clear();
}

void NSXMLSVGParser::didEndDocument(platform::NSXMLParser&) {
    std::unique_lock lock(mutex_);
    didDispatchAllElements_ = true;
    fireCompletionIfDone(lock);
}

void NSXMLSVGParser::parseErrorOccurred(platform::NSXMLParser&, const platform::NSXMLParserError&) {
    std::lock_guard lock(mutex_);
    failed_ = true;
}

void NSXMLSVGParser::willStartProcessing() {
    std::lock_guard lock(mutex_);
    ++asyncParseCount_;
}

void NSXMLSVGParser::finishedProcessing(const std::shared_ptr<platform::CAShapeLayer>& layer) {
    const auto path = layer ? layer->path() : nullptr;
    std::unique_lock lock(mutex_);
    --asyncParseCount_;
    if (path) unionBox(platform::CGPathGetBoundingBox(*path));
    fireCompletionIfDone(lock);
}

void NSXMLSVGParser::unionBox(const CGRect& box) {
    containerLayer_->setBoundingBox(platform::CGRectUnion(containerLayer_->boundingBox(), box));
}

void NSXMLSVGParser::fireCompletionIfDone(std::unique_lock<std::mutex>& lock) {
    if (asyncParseCount_ > 0 || !didDispatchAllElements_ || failed_ || !completionBlock_) return;
    Completion completion;
    completion.swap(completionBlock_);
    lock.unlock();
    auto layer = containerLayer_;
    if (platform::RunLoop::isMainThread()) {
        completion(std::move(layer));
    } else {
        platform::DispatchQueue::main()->async([completion = std::move(completion), layer = std::move(layer)] {
            completion(layer);
        });
    }
}

}  // namespace QVToolbox
