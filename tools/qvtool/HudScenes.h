// Toasts and HUDs rendered at a chosen instant of the manual clock, for `qvtool hud` and the
// demo gallery.
#pragma once

#include <QVPlatform/base/Data.h>

#include <functional>
#include <optional>
#include <string>

namespace platform {
class UIWindow;
}

namespace qvtool {

// A phone-sized window over a light or dark backdrop with some placeholder content; `show`
// puts a toast or HUD on it, the manual clock then runs `at` seconds, and the window is
// rendered at the screen's scale. Absent when rendering fails.
std::optional<platform::Data> renderHudScene(bool dark, double at, const std::function<void(platform::UIWindow&)>& show);

// Banner colours that read well over the light or dark backdrop (the HUD's own defaults are a
// clear banner with black text).
void useBannerColors(bool dark);

// A contact sheet of the 19 drawn looping animations, each at 0.2, 0.5 and 0.8 s.
std::optional<platform::Data> renderAnimationSheet(bool dark);

}  // namespace qvtool
