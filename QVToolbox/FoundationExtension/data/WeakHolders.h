// Weak holders: QVWeakObj keeps a weak reference to an object of one type; QVWeakContainer
// keeps one to any platform object and reads it back as T, printing each access.
//
//   auto obj = std::make_shared<NSObject>();
//   QVWeakObj<NSObject> weak(obj);
//   obj.reset();  weak.value.lock();   // null: the object is gone
//
// Neither keeps its object alive. Thread rule: like std::weak_ptr (one holder per thread for
// writes).
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <iostream>
#include <memory>
#include <string>

namespace QVToolbox {

template <class T>
struct QVWeakObj {
    std::weak_ptr<T> value;
    explicit QVWeakObj(const std::shared_ptr<T>& object) : value(object) {}
};

template <class T>
    requires std::derived_from<T, platform::NSObject>
class QVWeakContainer {
public:
    explicit QVWeakContainer(const std::shared_ptr<platform::NSObject>& value = nullptr) : _value(value) {}

    // Writes "QVWeakContainer get=====>: " and the held object's description (or "nil") to
    // standard output; returns the object when it is alive and a T.
    std::shared_ptr<T> value() const {
        auto object = _value.lock();
        std::cout << "QVWeakContainer get=====>: " << (object ? object->description() : std::string("nil")) << std::endl;
        return std::dynamic_pointer_cast<T>(object);
    }
    // Writes "QVWeakContainer set=====>: " and the new value's description, then holds it weakly.
    void setValue(const std::shared_ptr<T>& newValue) {
        std::cout << "QVWeakContainer set=====>: " << (newValue ? newValue->description() : std::string("nil")) << std::endl;
        _value = newValue;
    }

    std::weak_ptr<platform::NSObject> _value;
};

}  // namespace QVToolbox
