// Theme observers: objects that re-apply their appearance when told to, and the registry that
// tells them.
//
//   struct Banner : HxThemeable { void apply() override { repaint(); } };
//   auto banner = std::make_shared<Banner>();
//   LegacyThemeProvider::shared().register_(banner);   // held weakly
//   LegacyThemeProvider::shared().updateTheme();       // banner->apply() on the main queue
//
// `LegacyThemeProvider` holds its observers weakly: registering never keeps an observer alive,
// and an observer that is released leaves the registry by itself. Registering an observer
// that is already registered does nothing. `updateTheme` hops to the main queue and there
// calls `apply()` on a snapshot of the live observers, in the order they registered; an
// observer released before the block runs is not called.
// (`register` is a C++ keyword, hence `register_`.)
//
// Thread rule: `register_`, `observers` and `updateTheme` may be called from any thread (a
// mutex guards the registry); `apply()` runs on the main thread.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace QVToolbox {

// An object whose appearance can be re-applied.
class HxThemeable {
public:
    virtual ~HxThemeable() = default;
    virtual void apply() = 0;
};

// Something that tells registered themeables to re-apply their appearance.
class HxThemeProvider {
public:
    virtual ~HxThemeProvider() = default;
    virtual void register_(const std::shared_ptr<HxThemeable>& observer) = 0;
    virtual void updateTheme() = 0;
};

class LegacyThemeProvider : public HxThemeProvider {
public:
    // The process-wide registry.
    static LegacyThemeProvider& shared();

    LegacyThemeProvider() = default;
    LegacyThemeProvider(const LegacyThemeProvider&) = delete;
    LegacyThemeProvider& operator=(const LegacyThemeProvider&) = delete;

    // Adds `observer` weakly; null does nothing.
    void register_(const std::shared_ptr<HxThemeable>& observer) override;
    // Calls `apply()` on every live observer, asynchronously on the main queue.
    void updateTheme() override;
    // The live observers now, in registration order.
    std::vector<std::shared_ptr<HxThemeable>> observers() const;

private:
    struct Registry {
        std::vector<std::shared_ptr<HxThemeable>> live() const;

        mutable std::mutex mutex;  // guards every member below
        // Registration order; released entries are dropped whenever the list has doubled.
        std::vector<std::weak_ptr<HxThemeable>> order;
        std::set<std::weak_ptr<HxThemeable>, std::owner_less<>> members;
        std::size_t pruneAt = 16;
    };
    // Shared with pending updates, so they stay valid after the provider is gone.
    const std::shared_ptr<Registry> registry_ = std::make_shared<Registry>();
};

}  // namespace QVToolbox
