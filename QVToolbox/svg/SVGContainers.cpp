#include <QVToolbox/svg/SVGContainers.h>

#include <QVToolbox/svg/SVGAttributes.h>
#include <QVToolbox/svg/SVGNumber.h>
#include <QVToolbox/svg/SVGShapes.h>

#include <QVPlatform/layers/CAShapeLayer.h>

#include <vector>

namespace QVToolbox {

using platform::CGRect;

std::shared_ptr<SVGGroup> SVGGroup::make() {
    auto group = std::make_shared<SVGGroup>();
    appendFamilies(group->supportedAttributes, SVGFamilyTarget::group);
    return group;
}

void SVGGroup::didProcessElement(SVGContainerElement* parent) {
    for (const auto& sublayer : containerLayer->sublayers()) {
        auto* shape = dynamic_cast<platform::CAShapeLayer*>(sublayer.get());
        if (!shape) continue;
        for (const auto& [key, value] : delayedAttributes.pairs) applyGroupAttribute(key, value, *shape);
    }
    if (parent) parent->containerLayer->addSublayer(containerLayer);
}

std::shared_ptr<SVGRootElement> SVGRootElement::make(bool withAttributes) {
    auto root = std::make_shared<SVGRootElement>();
    if (!withAttributes) return root;
    auto& t = root->supportedAttributes;
    t.emplace_back("width", [](SVGElement& e, std::string_view text) {
        if (const auto v = svgLength(text)) static_cast<SVGRootElement&>(e).setWidth(*v);
    });
    t.emplace_back("height", [](SVGElement& e, std::string_view text) {
        if (const auto v = svgLength(text)) static_cast<SVGRootElement&>(e).setHeight(*v);
    });
    t.emplace_back("viewBox", [](SVGElement& e, std::string_view text) { static_cast<SVGRootElement&>(e).setViewBox(text); });
    appendFamilies(t, SVGFamilyTarget::root);
    return root;
}

void SVGRootElement::didProcessElement(SVGContainerElement* parent) {
    if (parent) parent->containerLayer->addSublayer(containerLayer);
}

void SVGRootElement::setWidth(double width) {
    CGRect frame = containerLayer->frame();
    frame.size.width = width;
    containerLayer->setFrame(frame);
}

void SVGRootElement::setHeight(double height) {
    CGRect frame = containerLayer->frame();
    frame.size.height = height;
    containerLayer->setFrame(frame);
}

void SVGRootElement::setViewBox(std::string_view text) {
    std::vector<double> numbers;
    std::size_t i = 0;
    while (i <= text.size()) {
        std::size_t end = text.find_first_of(" ,", i);
        if (end == std::string_view::npos) end = text.size();
        std::string_view piece = text.substr(i, end - i);
        while (!piece.empty() && (piece.front() == '\t' || piece.front() == '\n' || piece.front() == '\r')) piece.remove_prefix(1);
        while (!piece.empty() && (piece.back() == '\t' || piece.back() == '\n' || piece.back() == '\r')) piece.remove_suffix(1);
        if (const auto v = strictDouble(piece)) numbers.push_back(*v);
        i = end + 1;
    }
    if (numbers.size() != 4 || numbers[2] < 0 || numbers[3] < 0) return;
    // The layer sits at the origin of its parent with the view box's size; its bounds start at
    // (min-x, min-y), so that point of the content lands on the layer's corner.
    containerLayer->setFrame({{0, 0}, {numbers[2], numbers[3]}});
    containerLayer->setBounds({{numbers[0], numbers[1]}, {numbers[2], numbers[3]}});
}

}  // namespace QVToolbox
