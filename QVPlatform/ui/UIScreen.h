// UIScreen and UIDevice: the screen and device profile the host configures.
//
//   UIScreen::main()->bounds().size.height;   // 667 with the default phone profile
//   UIScreen::main()->scale();                // 2
//   UIDevice::current()->userInterfaceIdiom(); // UIUserInterfaceIdiom::phone
//
// The default profile is a phone of 375 x 667 points at scale 2 with a 20-point status bar and
// no bottom inset. A host changes it with `ScreenProfile::configure(...)` before first use, or
// through the environment: QV_SCREEN="375x812@3,status=44,bottom=34,idiom=phone" (any part may
// be left out). The status bar and the bottom inset (a home indicator) are a window's safe area.
// The machine identifier is the operating system's (uname's machine field). Values are read
// once and kept; reads are thread-safe.
#pragma once

#include <QVPlatform/graphics/Geometry.h>
#include <QVPlatform/runtime/NSObject.h>

#include <memory>
#include <optional>
#include <string>

namespace platform {

enum class UIUserInterfaceIdiom { unspecified, phone, pad, tv, carPlay, mac };

struct ScreenProfile {
    double width = 375;
    double height = 667;
    double scale = 2;
    double statusBarHeight = 20;
    double bottomInset = 0;
    UIUserInterfaceIdiom idiom = UIUserInterfaceIdiom::phone;

    // The profile in use: the configured one, else QV_SCREEN, else the default.
    static ScreenProfile current();
    static void configure(const ScreenProfile& profile);
    // Parses "WxH@S,status=N,bottom=N,idiom=phone|pad" onto `base`; absent when malformed.
    static std::optional<ScreenProfile> parse(const std::string& text, ScreenProfile base);
    static std::optional<ScreenProfile> parse(const std::string& text);
};

class UIScreen : public NSObjectSubclass<UIScreen, NSObject, "UIScreen"> {
public:

    static std::shared_ptr<UIScreen> main();

    CGRect bounds() const { return {{0, 0}, {profile_.width, profile_.height}}; }
    double scale() const { return profile_.scale; }
    double nativeScale() const { return profile_.scale; }
    // The status bar's height in points (0 when hidden).
    double statusBarHeight() const { return profile_.statusBarHeight; }
    // The height in points kept clear at the bottom (a home indicator; 0 when there is none).
    double bottomInset() const { return profile_.bottomInset; }
    // The size in pixels: bounds times scale, rounded.
    CGSize pixelSize() const;

    explicit UIScreen(ScreenProfile profile) : profile_(profile) {}

private:
    const ScreenProfile profile_;
};

class UIDevice : public NSObjectSubclass<UIDevice, NSObject, "UIDevice"> {
public:

    static std::shared_ptr<UIDevice> current();

    UIUserInterfaceIdiom userInterfaceIdiom() const { return idiom_; }
    std::string model() const { return idiom_ == UIUserInterfaceIdiom::pad ? "iPad" : "iPhone"; }
    std::string systemName() const;
    std::string systemVersion() const;
    std::string name() const;
    // The machine identifier reported by the operating system (uname), e.g. "x86_64".
    std::string machineIdentifier() const;

    explicit UIDevice(UIUserInterfaceIdiom idiom) : idiom_(idiom) {}

private:
    const UIUserInterfaceIdiom idiom_;
};

}  // namespace platform
