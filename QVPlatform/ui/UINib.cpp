#include <QVPlatform/ui/UINib.h>

#include <map>
#include <mutex>

namespace platform {

namespace {

struct LayoutRegistry {
    std::mutex mutex;  // guards factories
    std::map<std::string, UINib::Factory, std::less<>> factories;
};

LayoutRegistry& registry() {
    static auto* shared = new LayoutRegistry();  // outlives static objects that load layouts
    return *shared;
}

}  // namespace

void UINib::registerLayout(const std::string& name, Factory factory) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    if (factory) {
        r.factories[name] = std::move(factory);
    } else {
        r.factories.erase(name);
    }
}

bool UINib::hasLayout(std::string_view name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.factories.find(name) != r.factories.end();
}

std::shared_ptr<UINib> UINib::nibWithName(std::string name) { return std::make_shared<UINib>(std::move(name)); }

std::vector<NSObjectPtr> UINib::instantiate() const {
    Factory factory;
    {
        auto& r = registry();
        std::lock_guard lock(r.mutex);
        const auto it = r.factories.find(name_);
        if (it != r.factories.end()) factory = it->second;
    }
    if (!factory) {
        throw NSException("NSInternalInconsistencyException",
                          "Could not load NIB in bundle: 'main' with name '" + name_ + "'");
    }
    // The factory runs outside the lock: it may itself load other layouts.
    auto objects = factory();
    std::erase(objects, nullptr);
    return objects;
}

}  // namespace platform
