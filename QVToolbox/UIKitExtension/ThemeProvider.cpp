#include <QVToolbox/UIKitExtension/ThemeProvider.h>

#include <QVPlatform/dispatch/DispatchQueue.h>

#include <algorithm>

namespace QVToolbox {

LegacyThemeProvider& LegacyThemeProvider::shared() {
    static LegacyThemeProvider provider;
    return provider;
}

void LegacyThemeProvider::register_(const std::shared_ptr<HxThemeable>& observer) {
    if (!observer) return;
    Registry& r = *registry_;
    const std::lock_guard lock(r.mutex);
    if (r.order.size() >= r.pruneAt) {
        std::erase_if(r.order, [&](const std::weak_ptr<HxThemeable>& entry) {
            if (!entry.expired()) return false;
            r.members.erase(entry);
            return true;
        });
        r.pruneAt = std::max<std::size_t>(16, 2 * r.order.size());
    }
    std::weak_ptr<HxThemeable> entry = observer;
    if (r.members.insert(entry).second) r.order.push_back(std::move(entry));
}

std::vector<std::shared_ptr<HxThemeable>> LegacyThemeProvider::Registry::live() const {
    const std::lock_guard lock(mutex);
    std::vector<std::shared_ptr<HxThemeable>> result;
    result.reserve(order.size());
    for (const auto& entry : order) {
        if (auto observer = entry.lock()) result.push_back(std::move(observer));
    }
    return result;
}

std::vector<std::shared_ptr<HxThemeable>> LegacyThemeProvider::observers() const { return registry_->live(); }

void LegacyThemeProvider::updateTheme() {
    platform::DispatchQueue::main()->async([registry = registry_] {
        // Called outside the lock: an observer may register others from apply().
        for (const auto& observer : registry->live()) observer->apply();
    });
}

}  // namespace QVToolbox
