// UINib: objects made from a named layout. Layout files are not read on this platform; the
// host (or a module) registers, under the layout's name, a factory that builds its top-level
// objects, and a nib of that name instantiates them.
//
//   UINib::registerLayout("PhotoCell", [] { return std::vector<NSObjectPtr>{std::make_shared<PhotoCell>()}; });
//   auto nib = UINib::nibWithName("PhotoCell");
//   auto cell = nib->instantiate().front();     // a new PhotoCell each time
//
// Instantiating a name no factory is registered under throws NSException
// "NSInternalInconsistencyException" ("Could not load NIB ... with name '...'"), as loading a
// missing layout file does on the platform. Thread rule: the registry may be used from any
// thread; the objects made follow their own rules (views: main thread).
#pragma once

#include <QVPlatform/runtime/NSObject.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class UINib : public NSObjectSubclass<UINib, NSObject, "UINib"> {
public:
    using Factory = std::function<std::vector<NSObjectPtr>()>;

    // Registers (or replaces) the factory for `name`. An empty factory unregisters it.
    static void registerLayout(const std::string& name, Factory factory);
    static bool hasLayout(std::string_view name);

    // A nib for `name`; it is looked up when instantiated, so it may be registered later.
    static std::shared_ptr<UINib> nibWithName(std::string name);
    explicit UINib(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    // New top-level objects from the layout's factory (nulls it returns are left out).
    std::vector<NSObjectPtr> instantiate() const;

private:
    std::string name_;
};

}  // namespace platform
