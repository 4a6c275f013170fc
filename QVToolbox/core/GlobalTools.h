// HxCommonTool and HxGlobalTools: small platform conveniences.
//
//   HxGlobalTools::compareVersion("1.3.0");     // true when newer than the app's version
//   HxGlobalTools::getIPAddress();              // "192.168.1.20", or absent
//   HxGlobalTools::callPhone("10086", [](bool ok) { ... });
//
// URLs open through the application's URL handlers (platform::UIApplication): nothing opens
// unless the host registered a handler for the scheme. Completions run on the main queue.
// Thread rule: callable from any thread.
#pragma once

#include <QVPlatform/base/URL.h>
#include <QVPlatform/runtime/NSObject.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace QVToolbox {

struct HxCommonTool {
    template <class T>
    static void swapMe(T& value1, T& value2) {
        using std::swap;
        swap(value1, value2);
    }
};

struct HxGlobalTools {
    using Completion = std::function<void(bool)>;

    // Opens "tel://" + the number (percent-encoded for a URL query); complete(false) when the
    // URL is invalid or cannot be opened.
    static void callPhone(std::string_view phoneNumber, Completion complete = nullptr);
    // Asks the application to open `url`; reports "10以后可以跳转url" or "10以后不能完成跳转" on
    // the debug channel, then calls complete(success).
    static void openUrl(const platform::URL& url, Completion complete = nullptr);
    // Opens the store's product page for `appId` (ignored when empty). There is no controller
    // to present from here: the page opens through the application's URL handlers.
    static void updateApp(const std::shared_ptr<platform::NSObject>& vc, std::string_view appId);
    // Opens the store's web page for the app with "?mt=12", if it can be opened.
    static void evaluationInAppStore(std::string_view appid);
    // Storyboards do not exist on this platform: always absent.
    static std::shared_ptr<platform::NSObject> getViewController(std::string_view storyboardID,
                                                                 std::string_view fromStoryboard,
                                                                 const std::shared_ptr<platform::NSObject>& bundle = nullptr);

    // True when `version` (three "."-separated numbers) is newer than the application's
    // CFBundleShortVersionString: the first parts compared, then the second, then the third.
    static bool compareVersion(std::string_view version);
    // The same rule against an explicit application version.
    static bool compareVersion(std::string_view version, std::string_view appVersion);

    // First numeric address (IPv4 or IPv6) of an interface that is up, running and not loopback.
    static std::optional<std::string> getIPAddress();
    // Address of the Wi-Fi interface: "en0" where one exists (the last address listed), else
    // the first interface the kernel reports as wireless.
    static std::optional<std::string> getWiFiIP();
    // (Wi-Fi name, access-point address): this platform exposes neither, so both are absent.
    static std::pair<std::optional<std::string>, std::optional<std::string>> getWifiNameWithMac();

    static void openSetting();
    // On the main queue, moves the application to the background (the process goes on).
    static void exitApp();
};

}  // namespace QVToolbox
