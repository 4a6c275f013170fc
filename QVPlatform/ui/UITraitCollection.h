// UITraitCollection: the traits that decide how content looks; here the interface style
// (unspecified, light or dark).
//
//   UITraitCollection::setSystemUserInterfaceStyle(UIUserInterfaceStyle::dark);  // the host switches
//   UITraitCollection::current().userInterfaceStyle();                           // dark
//   UITraitCollection dark = UITraitCollection::withUserInterfaceStyle(UIUserInterfaceStyle::dark);
//   dark.performAsCurrent([] { color->red(); });   // resolves dynamic colours for dark
//
// The system appearance starts as the environment variable QV_APPEARANCE says ("dark" or
// "light"; light when unset or anything else) and a host may change it at any time.
// `current` is per thread: what `setCurrent` / `performAsCurrent` made current on this
// thread, else the system appearance. Views keep their own trait collections (see UIView).
// Thread rule: trait collections are values; the system appearance may be read and set from
// any thread.
#pragma once

#include <functional>
#include <optional>

namespace platform {

enum class UIUserInterfaceStyle { unspecified = 0, light = 1, dark = 2 };

class UITraitCollection {
public:
    // Every trait unspecified.
    UITraitCollection() = default;
    static UITraitCollection withUserInterfaceStyle(UIUserInterfaceStyle style) { return UITraitCollection(style); }

    UIUserInterfaceStyle userInterfaceStyle() const { return style_; }

    // The system appearance: never unspecified.
    static UIUserInterfaceStyle systemUserInterfaceStyle();
    // Switches the system appearance (unspecified restores light). Views pick the change up
    // in their next commit or render.
    static void setSystemUserInterfaceStyle(UIUserInterfaceStyle style);

    // This thread's current trait collection; its style is never unspecified.
    static UITraitCollection current();
    // Makes `traits` current on this thread (an unspecified style falls through to the
    // system appearance); nullopt returns to following the system.
    static void setCurrent(std::optional<UITraitCollection> traits);
    // Runs `body` with this collection current on this thread, restoring the previous one after.
    void performAsCurrent(const std::function<void()>& body) const;

    // `style` where this collection leaves it unspecified, else this collection's own.
    UITraitCollection filledWith(UIUserInterfaceStyle style) const;

    friend bool operator==(const UITraitCollection&, const UITraitCollection&) = default;

private:
    explicit UITraitCollection(UIUserInterfaceStyle style) : style_(style) {}
    UIUserInterfaceStyle style_ = UIUserInterfaceStyle::unspecified;
};

}  // namespace platform
