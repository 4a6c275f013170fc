// TextProperty: a key-value coding property holding optional text, for registerClass.
//
//   cls.addProperty("SVGName", textProperty<SVGView>(&SVGView::SVGName, &SVGView::setSVGName));
//   view->setValue(Any("logo"), "SVGName");   // setSVGName("logo"); Any() sets none
//
// A text value sets the text, null sets none; any other kind throws NSException
// "NSInvalidArgumentException" naming the class, as a value of the wrong type does on the
// platform. Reading gives the text, or null for none. Thread rule: that of the class.
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <optional>
#include <string>

namespace QVToolbox {

template <class T>
platform::ObjCClass::Property textProperty(const std::optional<std::string>& (T::*get)() const,
                                           void (T::*set)(std::optional<std::string>)) {
    return platform::ObjCClass::Property{
        [get](const platform::NSObject& self) -> platform::Any {
            const auto& text = (static_cast<const T&>(self).*get)();
            return text ? platform::Any(*text) : platform::Any();
        },
        [set](platform::NSObject& self, const platform::Any& value) {
            auto& object = static_cast<T&>(self);
            if (const auto* text = value.asString()) {
                (object.*set)(*text);
            } else if (value.isNull()) {
                (object.*set)(std::nullopt);
            } else {
                throw platform::NSException("NSInvalidArgumentException", object.className() + ": a text property set with "
                                                                          "a value that is not text");
            }
        },
        true};
}

}  // namespace QVToolbox
