#include <QVToolbox/svg/SVGPath.h>

#include <QVToolbox/svg/NSXMLSVGParser.h>
#include <QVToolbox/svg/PathDLexer.h>
#include <QVToolbox/svg/SVGNumber.h>
#include <QVToolbox/svg/SVGAttributes.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/graphics/Path.h>
#include <QVPlatform/layers/CAShapeLayer.h>
#include <QVPlatform/ui/UIBezierPath.h>

namespace QVToolbox {

namespace {

using platform::CGPoint;

// Drives a flat CGMutablePath with the builder operations the commands use. A move is held
// until something is drawn from it, so a move nothing follows (the initial move to the
// origin among them) adds nothing to the outline or its box.
class OutlineBuilder {
public:
    void moveToPoint(CGPoint p) {
        current_ = start_ = p;
        pendingMove_ = true;
    }
    void addLineToPoint(CGPoint p) {
        beginSubpath();
        path_.addLineTo(p);
        current_ = p;
    }
    void addCurveToPoint(CGPoint p, CGPoint c1, CGPoint c2) {
        beginSubpath();
        path_.addCurveTo(c1, c2, p);
        current_ = p;
    }
    void addQuadCurveToPoint(CGPoint p, CGPoint c) {
        beginSubpath();
        path_.addQuadCurveTo(c, p);
        current_ = p;
    }
    void closePath() {
        if (!pendingMove_) path_.closeSubpath();
        current_ = start_;
    }
    CGPoint currentPoint() const { return current_; }
    platform::CGPathRef build() && { return path_.isEmpty() ? nullptr : std::move(path_).build(); }

private:
    void beginSubpath() {
        if (!pendingMove_) return;
        path_.moveTo(current_);
        pendingMove_ = false;
    }
    platform::CGMutablePath path_;
    CGPoint current_{0, 0}, start_{0, 0};
    bool pendingMove_ = true;
};

bool hasCommandLetter(std::string_view d) {
    for (const char c : d) {
        if (PathCommand::forLetter(c)) return true;
    }
    return false;
}

}  // namespace

std::shared_ptr<const platform::CGPath> outlineFromPathData(std::string_view d) {
    OutlineBuilder builder;
    std::optional<PathCommand> previous;
    PathDLexer lexer{std::string(d)};
    while (auto command = lexer.next()) {
        if (command->execute(builder, previous ? &*previous : nullptr)) previous = std::move(command);
    }
    return std::move(builder).build();
}

std::shared_ptr<SVGPath> SVGPath::make(bool shouldParseAsynchronously) {
    auto path = std::make_shared<SVGPath>();
    path->shouldParseAsynchronously = shouldParseAsynchronously;
    auto& t = path->supportedAttributes;
    t.emplace_back("d", [](SVGElement& e, std::string_view text) { static_cast<SVGPath&>(e).setPathData(text); });
    t.emplace_back("clip-rule", [](SVGElement& e, std::string_view text) { static_cast<SVGPath&>(e).setClipRule(text); });
    appendFamilies(t, SVGFamilyTarget::shape);
    return path;
}

std::shared_ptr<SVGPath> SVGPath::singlePathString(std::string_view d) {
    auto path = std::make_shared<SVGPath>();
    path->shouldParseAsynchronously = false;
    path->setPathData(d);
    path->startParsingOutline(nullptr);
    return path;
}

void SVGPath::setPathData(std::string_view d) {
    pathData_ = trimSpacesAndTabs(d);
    hasPathData_ = true;
}

void SVGPath::setClipRule(std::string_view rule) {
    if (rule != "evenodd") return;
    if (const auto outline = svgLayer->path()) {
        // The platform's even-odd copy of the outline; a layer's path carries no rule of its
        // own, so the copy draws as the original did.
        auto copy = platform::UIBezierPath::bezierPathWithCGPath(*outline);
        copy->setUsesEvenOddFillRule(true);
        svgLayer->setPath(copy->cgPath());
        return;
    }
    delayedAttributes.record("clip-rule", rule);
}

void SVGPath::didProcessElement(SVGContainerElement* parent) { attach(parent); }

void SVGPath::finishOutline(std::shared_ptr<const platform::CGPath> outline) {
    if (outline) svgLayer->setPath(std::move(outline));
    // Delayed attributes now that the outline exists; then the table is no longer needed.
    for (const auto& [name, text] : delayedAttributes.pairs) {
        if (const SVGAttributeHandler* h = handler(name)) (*h)(*this, text);
    }
    delayedAttributes.pairs.clear();
    supportedAttributes.clear();
}

void SVGPath::startParsingOutline(const std::shared_ptr<CanManageAsychronousParsing>& manager) {
    if (!hasPathData_ || parsing_.load(std::memory_order_acquire)) return;
    // Short path data costs less to build than a job's hand-over: built at once, uncounted.
    if (!shouldParseAsynchronously || pathData_.size() < kInlineOutlineBytes) {
        finishOutline(outlineFromPathData(pathData_));
        return;
    }
    if (!hasCommandLetter(pathData_)) return;  // no outline would start: no job, nothing counted
    parsing_.store(true, std::memory_order_release);
    if (manager) manager->willStartProcessing();
    auto self = std::static_pointer_cast<SVGPath>(shared_from_this());
    platform::DispatchQueue::global(platform::DispatchQoS::userInitiated)->async([self, manager] {
        // Whatever happens while building, the manager hears back exactly once.
        struct Report {
            const std::shared_ptr<SVGPath>& path;
            const std::shared_ptr<CanManageAsychronousParsing>& manager;
            ~Report() {
                path->parsing_.store(false, std::memory_order_release);
                if (manager) manager->finishedProcessing(path->svgLayer);
            }
        } report{self, manager};
        self->finishOutline(outlineFromPathData(self->pathData_));
    });
}

}  // namespace QVToolbox
