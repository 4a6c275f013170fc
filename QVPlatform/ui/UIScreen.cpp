#include <QVPlatform/ui/UIScreen.h>

#include <sys/utsname.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <sstream>

namespace platform {

namespace {

std::mutex profileMutex;  // guards configuredProfile
std::optional<ScreenProfile> configuredProfile;

std::optional<double> positiveNumber(const std::string& text) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(v > 0) || v > 1e6) return std::nullopt;
    return v;
}

// An inset: 0 or a positive number.
std::optional<double> insetNumber(const std::string& text) {
    if (text == "0") return 0.0;
    return positiveNumber(text);
}

utsname systemInfo() {
    utsname info{};
    uname(&info);
    return info;
}

}  // namespace

std::optional<ScreenProfile> ScreenProfile::parse(const std::string& text, ScreenProfile profile) {
    std::stringstream parts(text);
    std::string part;
    while (std::getline(parts, part, ',')) {
        if (part.empty()) continue;
        if (part.rfind("status=", 0) == 0 || part.rfind("bottom=", 0) == 0) {
            const auto h = insetNumber(part.substr(7));
            if (!h) return std::nullopt;
            (part[0] == 's' ? profile.statusBarHeight : profile.bottomInset) = *h;
        } else if (part.rfind("idiom=", 0) == 0) {
            const std::string v = part.substr(6);
            if (v == "phone") profile.idiom = UIUserInterfaceIdiom::phone;
            else if (v == "pad") profile.idiom = UIUserInterfaceIdiom::pad;
            else if (v == "tv") profile.idiom = UIUserInterfaceIdiom::tv;
            else if (v == "mac") profile.idiom = UIUserInterfaceIdiom::mac;
            else return std::nullopt;
        } else {
            // WxH, optionally followed by @S
            const auto x = part.find('x');
            if (x == std::string::npos) return std::nullopt;
            const auto at = part.find('@', x);
            const auto w = positiveNumber(part.substr(0, x));
            const auto h = positiveNumber(part.substr(x + 1, at == std::string::npos ? std::string::npos : at - x - 1));
            if (!w || !h) return std::nullopt;
            profile.width = *w;
            profile.height = *h;
            if (at != std::string::npos) {
                const auto s = positiveNumber(part.substr(at + 1));
                if (!s) return std::nullopt;
                profile.scale = *s;
            }
        }
    }
    return profile;
}

std::optional<ScreenProfile> ScreenProfile::parse(const std::string& text) { return parse(text, ScreenProfile{}); }

ScreenProfile ScreenProfile::current() {
    {
        std::lock_guard lock(profileMutex);
        if (configuredProfile) return *configuredProfile;
    }
    if (const char* env = std::getenv("QV_SCREEN")) {
        if (auto parsed = parse(env)) return *parsed;
    }
    return ScreenProfile{};
}

void ScreenProfile::configure(const ScreenProfile& profile) {
    std::lock_guard lock(profileMutex);
    configuredProfile = profile;
}

std::shared_ptr<UIScreen> UIScreen::main() {
    static const auto screen = std::make_shared<UIScreen>(ScreenProfile::current());
    return screen;
}

CGSize UIScreen::pixelSize() const {
    return {std::round(profile_.width * profile_.scale), std::round(profile_.height * profile_.scale)};
}

std::shared_ptr<UIDevice> UIDevice::current() {
    static const auto device = std::make_shared<UIDevice>(ScreenProfile::current().idiom);
    return device;
}

std::string UIDevice::systemName() const { return systemInfo().sysname; }
std::string UIDevice::systemVersion() const { return systemInfo().release; }
std::string UIDevice::name() const { return systemInfo().nodename; }
std::string UIDevice::machineIdentifier() const { return systemInfo().machine; }

}  // namespace platform
