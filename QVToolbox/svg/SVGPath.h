// SVGPath: the "path" element. Its "d" text becomes the outline of its shape layer.
//
//   auto path = SVGPath::make(true);                        // as the registries build it
//   path->applyAttributes({{"d", "M0 0 L10 0 L10 10 Z"}});  // "d" only records the text
//   path->startParsingOutline(parser);                      // one pool job builds the outline
//   SVGPath::singlePathString("M0 0 L5 5")->svgLayer->path();  // synchronous, at once
//
// The outline is built from the last "d" applied (a "d" inside "style" included) after all
// the start tag's attributes are in, by one job on the shared concurrent pool. The job sets
// the layer's path, applies the delayed "clip-rule", empties the element's table and reports
// to the parser; it holds the element and the parser until then and always reports, exactly
// once. A path with no "d", or whose text holds no command letter, starts no job; path data
// shorter than kInlineOutlineBytes is built at once on the parser's thread (a job's hand-over
// costs more than such an outline), is not counted and has its outline at its end tag.
//
// Outline rules: the builder starts at (0, 0), so a first relative command is relative to
// the origin; a move that no drawing follows adds nothing to the outline (the initial move
// to the origin never counts in the box); commands with too few or non-finite numbers are
// skipped. Thread rule: attributes are applied on the parser's thread; the job runs alone.
#pragma once

#include <QVToolbox/svg/SVGElement.h>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace platform {
class CGPath;
}

namespace QVToolbox {

class CanManageAsychronousParsing;

// The outline of path data (Algorithms of path building), or null when it draws nothing.
std::shared_ptr<const platform::CGPath> outlineFromPathData(std::string_view d);

class SVGPath final : public SVGShapeElement {
public:
    static constexpr std::size_t kInlineOutlineBytes = 256;

    static std::shared_ptr<SVGPath> make(bool shouldParseAsynchronously);
    // `SVGPath(singlePathString:)`: a path outside documents, built at once.
    static std::shared_ptr<SVGPath> singlePathString(std::string_view d);

    std::string_view elementName() const override { return "path"; }
    void didProcessElement(SVGContainerElement* parent) override;

    // Starts the outline job when there is path data (see above); synchronous paths build at once.
    void startParsingOutline(const std::shared_ptr<CanManageAsychronousParsing>& manager);
    bool isParsingOutline() const { return parsing_.load(std::memory_order_acquire); }

    // The "d" handler: records the text, trimmed of spaces and tabs.
    void setPathData(std::string_view d);
    // The "clip-rule" handler.
    void setClipRule(std::string_view rule);

    bool shouldParseAsynchronously = true;
    DelayedAttributes delayedAttributes;

private:
    void finishOutline(std::shared_ptr<const platform::CGPath> outline);

    std::string pathData_;
    bool hasPathData_ = false;
    std::atomic<bool> parsing_{false};
};

}  // namespace QVToolbox
