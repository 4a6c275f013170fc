// SVGView: a view that draws the SVG resource named by its `SVGName`.
//
//   auto view = std::make_shared<SVGView>(CGRect{{0, 0}, {64, 64}});
//   view->setSVGName("logo");             // logo.svg in the main bundle, else the data asset "logo"
//   view->setValue(Any("logo"), "SVGName");   // the same through key-value coding
//
// Setting a name looks up NAME.svg in the main bundle first and then the data asset NAME
// (the reverse of viewWithSVGNamed) and loads the bytes as layerWithSVGData does: a cached
// drawing is added at once, a new one when its parse completes on the main thread. Each
// setting adds another drawing on top; earlier ones stay. A name with neither resource, a
// failed read, or none leaves the view unchanged. No scaling: call resizeToFit on the drawing.
// Thread rule: main thread only, as every view.
#pragma once

#include <QVPlatform/ui/UIView.h>

#include <optional>
#include <string>

namespace QVToolbox {

class SVGView : public platform::NSObjectSubclass<SVGView, platform::UIView, "SVGView"> {
public:
    explicit SVGView(platform::CGRect frame = {}) : NSObjectSubclass(frame) {}

    // Registers the key-value property "SVGName" (a text, or null for none).
    static void registerClass(platform::ObjCClass& cls);

    const std::optional<std::string>& SVGName() const { return SVGName_; }
    void setSVGName(std::optional<std::string> name);

private:
    void SVGNameDidChange();

    std::optional<std::string> SVGName_;
};

}  // namespace QVToolbox
