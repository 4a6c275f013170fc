#include <QVToolbox/core/GlobalTools.h>

#include <QVPlatform/dispatch/DispatchQueue.h>
#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/NetworkInterfaces.h>
#include <QVPlatform/base/CharacterSet.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/ui/UIApplication.h>

#include <array>
#include <charconv>
#include <vector>

namespace QVToolbox {

namespace {

using platform::UIApplication;
using platform::URL;

// "1.2.3" as three integers; each part must read as a number (its integer part is used).
std::optional<std::array<long long, 3>> versionParts(std::string_view text) {
    std::array<long long, 3> parts{};
    std::size_t index = 0;
    std::size_t start = 0;
    for (;;) {
        const auto dot = text.find('.', start);
        const auto part = text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (index == 3 || part.empty()) return std::nullopt;
        std::string_view digits = part;
        if (digits.front() == '+' || digits.front() == '-') digits.remove_prefix(1);
        if (digits.empty() || !std::isdigit(static_cast<unsigned char>(digits.front()))) return std::nullopt;
        long long value = 0;
        const auto [end, error] = std::from_chars(part.data() + (part.front() == '+' ? 1 : 0), part.data() + part.size(), value);
        if (error != std::errc()) return std::nullopt;
        // What remains may only be a fraction (the number's integer value is used).
        const std::string_view rest(end, static_cast<std::size_t>(part.data() + part.size() - end));
        if (!rest.empty() && (rest.front() != '.' || rest.find_first_not_of("0123456789", 1) != std::string_view::npos)) {
            return std::nullopt;
        }
        parts[index++] = value;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (index != 3) return std::nullopt;
    return parts;
}

void openIfPossible(const std::string& text) {
    const auto url = URL::string(text);
    const auto app = UIApplication::shared();
    if (url && app->canOpenURL(*url)) app->openURL(*url);
}

}  // namespace

void HxGlobalTools::callPhone(std::string_view phoneNumber, Completion complete) {
    const std::string text =
        platform::addingPercentEncoding("tel://" + std::string(phoneNumber), platform::CharacterSet::urlQueryAllowed());
    const auto url = URL::string(text);
    if (url && UIApplication::shared()->canOpenURL(*url)) {
        openUrl(*url, std::move(complete));
    } else if (complete) {
        complete(false);
    }
}

void HxGlobalTools::openUrl(const URL& url, Completion complete) {
    UIApplication::shared()->openURL(url, {}, [complete = std::move(complete)](bool success) {
        platform::debugPrint(success ? "10以后可以跳转url" : "10以后不能完成跳转");
        if (complete) complete(success);
    });
}

void HxGlobalTools::updateApp(const std::shared_ptr<platform::NSObject>&, std::string_view appId) {
    if (appId.empty()) return;
    openIfPossible("https://apps.apple.com/app/id" + std::string(appId));
}

void HxGlobalTools::evaluationInAppStore(std::string_view appid) {
    openIfPossible("https://itunes.apple.com/app/id" + std::string(appid) + "?mt=12");
}

std::shared_ptr<platform::NSObject> HxGlobalTools::getViewController(std::string_view, std::string_view,
                                                                     const std::shared_ptr<platform::NSObject>&) {
    return nullptr;
}

bool HxGlobalTools::compareVersion(std::string_view version) {
    const auto bundle = platform::Bundle::main();
    const auto appVersion = bundle ? bundle->objectForInfoDictionaryKey("CFBundleShortVersionString").string() : std::string();
    return compareVersion(version, appVersion);
}

bool HxGlobalTools::compareVersion(std::string_view version, std::string_view appVersion) {
    const auto a = versionParts(version);
    const auto b = versionParts(appVersion);
    if (!a || !b) return false;
    if ((*a)[0] != (*b)[0]) return (*a)[0] > (*b)[0];
    if ((*a)[1] != (*b)[1]) return (*a)[1] > (*b)[1];
    return (*a)[2] > (*b)[2];
}

std::optional<std::string> HxGlobalTools::getIPAddress() {
    for (auto& i : platform::networkInterfaceAddresses()) {
        if (i.isUp && i.isRunning && !i.isLoopback) return std::move(i.address);
    }
    return std::nullopt;
}

std::optional<std::string> HxGlobalTools::getWiFiIP() {
    std::optional<std::string> en0;
    std::optional<std::string> wireless;
    for (auto& i : platform::networkInterfaceAddresses()) {
        if (i.name == "en0") en0 = i.address;  // the last one listed wins
        else if (!wireless && i.isWireless) wireless = i.address;
    }
    return en0 ? en0 : wireless;
}

std::pair<std::optional<std::string>, std::optional<std::string>> HxGlobalTools::getWifiNameWithMac() {
    return {std::nullopt, std::nullopt};
}

void HxGlobalTools::openSetting() { openIfPossible(UIApplication::openSettingsURLString); }

void HxGlobalTools::exitApp() {
    platform::DispatchQueue::main()->async([] { UIApplication::shared()->suspend(); });
}

}  // namespace QVToolbox
