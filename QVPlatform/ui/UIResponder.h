// UIResponder: the base of views, windows, scenes and the application: an object in the chain
// that events travel up.
//
//   view->nextResponder();   // its superview (a window's is its scene's application)
//
// Thread rule: responders are used on the main thread.
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <memory>

namespace platform {

class UIResponder : public NSObjectSubclass<UIResponder, NSObject, "UIResponder"> {
public:
    // The next object in the chain; null at its end.
    virtual std::shared_ptr<UIResponder> nextResponder() const { return nullptr; }
};

}  // namespace platform
