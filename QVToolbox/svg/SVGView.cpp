#include <QVToolbox/svg/SVGView.h>

#include <QVToolbox/core/TextProperty.h>
#include <QVToolbox/svg/SVGConstructors.h>

namespace QVToolbox {

void SVGView::registerClass(platform::ObjCClass& cls) {
    cls.addProperty("SVGName", textProperty<SVGView>(&SVGView::SVGName, &SVGView::setSVGName));
}

void SVGView::setSVGName(std::optional<std::string> name) {
    SVGName_ = std::move(name);
    SVGNameDidChange();
}

void SVGView::SVGNameDidChange() {
    if (!SVGName_) return;
    const auto data = svgBytesNamedFileFirst(*SVGName_);
    if (!data) return;
    // Held weakly: a view released before its drawing arrives never receives it.
    // Views live in shared pointers; one that does not has nowhere safe to receive a drawing.
    const auto self = std::static_pointer_cast<SVGView>(weak_from_this().lock());
    if (!self) return;
    const std::weak_ptr<SVGView> weakSelf = self;
    loadSVGData(std::shared_ptr<platform::CALayer>(), *data, nullptr, [weakSelf](std::shared_ptr<SVGLayer> drawing) {
        if (auto self = weakSelf.lock()) self->layer()->addSublayer(drawing);
    });
}

}  // namespace QVToolbox
