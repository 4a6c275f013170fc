// unown: binds a method to an object without keeping the object alive.
//
//   auto setter = unown(element, &Element::setFill);   // std::function<void(std::string)>
//   setter("red");                                     // calls element->setFill("red")
//   element.reset(); setter("blue");                   // object gone: nothing happens
//
// Each call re-obtains the object from a weak reference. Where the platform would trap on a
// released object, the call does nothing. Thread rule: as the bound method's.
#pragma once

#include <functional>
#include <memory>

namespace QVToolbox {

template <class T, class R, class Arg>
std::function<void(Arg)> unown(const std::shared_ptr<T>& instance, R (T::*method)(Arg)) {
    std::weak_ptr<T> weak = instance;
    return [weak, method](Arg argument) {
        if (auto object = weak.lock()) ((*object).*method)(std::forward<Arg>(argument));
    };
}

// The curried form: `method(object)` gives the one-argument operation to call.
template <class T, class Arg>
std::function<void(Arg)> unown(const std::shared_ptr<T>& instance,
                               std::function<std::function<void(Arg)>(T&)> method) {
    std::weak_ptr<T> weak = instance;
    return [weak, method = std::move(method)](Arg argument) {
        if (auto object = weak.lock()) method(*object)(std::forward<Arg>(argument));
    };
}

}  // namespace QVToolbox
