// NSBlock: a parameterless callback carried as a platform object, so that it travels through
// perform() and method tables like any other argument (a completion, for example).
//
//   Any completion = NSBlock::make([] { done(); });
//   controller->perform("dismissViewControllerAnimated:completion:", Any(true), completion);
//   NSBlock::invoke(completion);   // runs it; a null value does nothing
//
// Thread rule: as the wrapped callback.
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <functional>
#include <memory>
#include <utility>

namespace platform {

class NSBlock : public NSObjectSubclass<NSBlock, NSObject, "NSBlock"> {
public:
    explicit NSBlock(std::function<void()> body) : body_(std::move(body)) {}

    // A null value for an empty callback, else the callback as an object.
    static Any make(std::function<void()> body) {
        if (!body) return Any();
        return Any(std::make_shared<NSBlock>(std::move(body)));
    }
    // The callback held by `value`, or an empty one when it holds none.
    static std::function<void()> from(const Any& value) {
        const auto block = value.objectAs<NSBlock>();
        return block ? block->body_ : std::function<void()>();
    }
    static void invoke(const Any& value) {
        if (auto body = from(value)) body();
    }

private:
    std::function<void()> body_;
};

}  // namespace platform
