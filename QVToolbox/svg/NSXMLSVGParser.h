// NSXMLSVGParser: reads an SVG document into a tree of layers under one SVGLayer.
//
//   auto parser = NSXMLSVGParser::make(Data::fromString(svg), SVGParserSupportedElements::allSupportedElements(),
//                                      [](std::shared_ptr<SVGLayer> layer) { show(layer); });
//   if (!parser->startParsing()) log(parser->parserError()->message);   // no completion then
//   RunLoop::main().runUntilIdle();   // the completion runs on the main thread, once
//
// `startParsing` reads the document on the calling thread. Each path element's outline is
// built by one job on the shared concurrent pool; the parser counts the jobs it started, and
// the job that finishes last (or the end of the document, when none is left) fires the
// completion on the main thread with `containerLayer`, whose sublayers are the root
// elements' layers and whose `boundingBox` is the union of every shape's box. The count,
// the box and the "document read" flag change together under one lock, so the completion
// fires exactly once, after the last box is in. A document the reader gives up on
// (malformed, truncated, too deep, an entity bomb) fails: `startParsing` answers false, the
// error can be read, and the completion is never called. A parser without a registry
// ignores every element and completes with an empty layer.
// Thread rule: start it once, from one thread; the completion runs on the main thread, which
// the host pumps. The parser keeps itself alive until its jobs have reported.
#pragma once

#include <QVToolbox/svg/SVGElement.h>
#include <QVToolbox/svg/SVGParserSupportedElements.h>

#include <QVPlatform/base/Data.h>
#include <QVPlatform/foundation/NSXMLParser.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace QVToolbox {

class SVGLayer;

// `CanManageAsychronousParsing`: told when an asynchronous path outline is done.
class CanManageAsychronousParsing {
public:
    virtual ~CanManageAsychronousParsing() = default;
    // Called once per started job, from the job's thread, after the layer has its outline.
    virtual void finishedProcessing(const std::shared_ptr<platform::CAShapeLayer>& layer) = 0;
    // Called by a path element when its job starts (before it runs).
    virtual void willStartProcessing() = 0;
};

class NSXMLSVGParser final : public platform::NSXMLParserDelegate,
                             public CanManageAsychronousParsing,
                             public std::enable_shared_from_this<NSXMLSVGParser> {
public:
    using Completion = std::function<void(std::shared_ptr<SVGLayer>)>;

    static std::shared_ptr<NSXMLSVGParser> make(platform::Data SVGData,
                                                std::optional<SVGParserSupportedElements> supportedElements,
                                                Completion completion);
    // Reads the file first; when it cannot be read the parser has no document, no registry
    // and no completion, and `startParsing` answers false.
    static std::shared_ptr<NSXMLSVGParser> make(const std::filesystem::path& SVGURL,
                                                std::optional<SVGParserSupportedElements> supportedElements,
                                                Completion completion);

    // Reads the document; false when the reader gave up (see parserError) or it was started
    // before. Call once.
    bool startParsing();

    const std::shared_ptr<SVGLayer>& containerLayer() const { return containerLayer_; }
    const std::optional<SVGParserSupportedElements>& supportedElements() const { return supportedElements_; }
    // Why the document was refused, when it was.
    const std::optional<platform::NSXMLParserError>& parserError() const { return parserError_; }
    // Paths whose outline is being built now.
    int asyncParseCount() const;

    void finishedProcessing(const std::shared_ptr<platform::CAShapeLayer>& layer) override;
    void willStartProcessing() override;

    // Reader callbacks (NSXMLParserDelegate).
    void didStartElement(platform::NSXMLParser&, const std::string& elementName,
                         const platform::NSXMLAttributes& attributes) override;
    void didEndElement(platform::NSXMLParser&, const std::string& elementName) override;
    void didEndDocument(platform::NSXMLParser&) override;
    void parseErrorOccurred(platform::NSXMLParser&, const platform::NSXMLParserError& error) override;

    NSXMLSVGParser(platform::Data data, std::optional<SVGParserSupportedElements> supportedElements, Completion completion,
                   bool hasDocument);

private:
    void unionBox(const platform::CGRect& box);   // call with mutex_ held
    void fireCompletionIfDone(std::unique_lock<std::mutex>& lock);

    platform::Data data_;
    bool hasDocument_;
    bool started_ = false;
    std::optional<SVGParserSupportedElements> supportedElements_;
    std::shared_ptr<SVGLayer> containerLayer_;
    std::optional<platform::NSXMLParserError> parserError_;
    // The open supported elements, innermost last, with the tag each was opened under.
    std::vector<std::pair<std::string, std::shared_ptr<SVGElement>>> elementStack_;

    mutable std::mutex mutex_;  // guards the four fields below and containerLayer_'s box
    int asyncParseCount_ = 0;
    bool didDispatchAllElements_ = true;
    bool failed_ = false;
    Completion completionBlock_;
};

}  // namespace QVToolbox
