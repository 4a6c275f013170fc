// Core commands: info, clock, version-newer, and the core part of the demo.
#include "Command.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/ui/UIScreen.h>

#include <cmath>
#include <cstdlib>
#include <iostream>

namespace qvtool {
namespace {

using namespace QVToolbox;

const char* yesNo(bool v) { return v ? "true" : "false"; }

int runInfo(const Args& args) {
    if (!args.empty()) return usageError("info takes no arguments");
    const auto bundle = platform::Bundle::main();
    const auto device = platform::UIDevice::current();
    std::cout << "screen: " << hx_kScreenW() << " x " << hx_kScreenH() << " points, scale "
              << platform::UIScreen::main()->scale() << ", pixel " << hx_kPixel() << "\n"
              << "bars: status " << hx_kStatusBarFrameH() << ", navigation " << hx_kNavFrameH() << ", tab bar "
              << hx_kTabbarFrameH() << ", bottom " << hx_kTabbarBottom() << "\n"
              << "ratios: scaleIphone " << hx_scaleIphone() << ", 16:9 width " << hx_kScreenW16_9() << ", 16:9 height "
              << hx_kScreenH16_9() << ", id card " << hx_kRatioIDCard << "\n"
              << "device: iPhone " << yesNo(hx_isIphone()) << ", iPad " << yesNo(hx_isPadDevice()) << ", iPhoneX "
              << yesNo(hx_isIphoneX()) << ", XsMax/XR " << yesNo(hx_isXsMax()) << ", 4OrLess " << yesNo(hx_is4OrLess())
              << ", 5 " << yesNo(hx_is5()) << ", 678 " << yesNo(hx_is678()) << ", 678P " << yesNo(hx_is678P())
              << ", 678OrLess " << yesNo(qv_is678OrLess()) << ", 678pOrLess " << yesNo(qv_is678pOrLess())
              << ", simulator " << yesNo(hx_isSimulator()) << "\n"
              << "machine: " << hx_deviceModel() << " (" << device->systemName() << " " << device->systemVersion() << ")\n"
              << "ip address: " << HxGlobalTools::getIPAddress().value_or("(none)") << "\n"
              << "wifi ip: " << HxGlobalTools::getWiFiIP().value_or("(none)") << "\n"
              << "main bundle: " << platform::Host::mainBundlePath().string() << "\n"
              << "bundle identifier: " << (bundle ? bundle->bundleIdentifier().value_or("(none)") : "(none)") << "\n"
              << "bundle version: "
              << (bundle ? bundle->objectForInfoDictionaryKey("CFBundleShortVersionString").string() : std::string())
              << "\n"
              << "home folder: " << platform::Host::homeDirectory().string() << "\n"
              << "preferred languages:";
    for (const auto& l : platform::Host::preferredLanguages()) std::cout << " " << l;
    std::cout << "\nlocale: " << platform::Host::localeIdentifier() << "\n";
    return 0;
}

int runClock(const Args& input) {
    Args args = input;
    const bool ignoreZeroHour = takeFlag(args, "--ignore-zero-hour");
    if (args.size() != 1) return usageError("clock takes SECONDS [--ignore-zero-hour]");
    char* end = nullptr;
    const double seconds = std::strtod(args[0].c_str(), &end);
    if (args[0].empty() || *end != '\0' || !std::isfinite(seconds)) return inputError("not a number of seconds: " + args[0]);
    std::cout << qv(seconds).toClock(ignoreZeroHour) << "\n";
    return 0;
}

int runVersionNewer(const Args& input) {
    Args args = input;
    bool missingValue = false;
    const auto appVersion = takeOption(args, "--app-version", missingValue);
    if (missingValue || args.size() != 1) return usageError("version-newer takes VERSION [--app-version X]");
    const bool newer = appVersion ? HxGlobalTools::compareVersion(args[0], *appVersion)
                                  : HxGlobalTools::compareVersion(args[0]);
    std::cout << yesNo(newer) << "\n";
    return 0;
}

const Registration info{"info", "info   the platform profile: screen, device, addresses, bundle, home, languages", runInfo, 10};
const Registration clock{"clock", "clock SECONDS [--ignore-zero-hour]   seconds as clock text (toClock)", runClock, 11};
const Registration versionNewer{"version-newer",
                                "version-newer VERSION [--app-version X]   true when VERSION is newer than the app's",
                                runVersionNewer, 12};

const DemoRegistration demo{"Core frame", [](const std::string&) {
    std::cout << "toClock(3725) = " << qv(3725.0).toClock(false) << "\n"
              << "toClock(125, ignoreZeroHour) = " << qv(125.0).toClock(true) << "\n"
              << "compareVersion(1.2.99) against 1.2.9 = " << yesNo(HxGlobalTools::compareVersion("1.2.99", "1.2.9"))
              << "\n"
              << "compareVersion(2.0) = " << yesNo(HxGlobalTools::compareVersion("2.0", "1.2.9")) << " (needs three parts)\n"
              << "screen " << hx_kScreenW() << "x" << hx_kScreenH() << ", navigation bar " << hx_kNavFrameH()
              << ", machine " << hx_deviceModel() << "\n";
    int runs = 0;
    HxAsyncs::once("demo", [&] { ++runs; });
    HxAsyncs::once("demo", [&] { ++runs; });
    std::cout << "once(\"demo\") twice ran the block " << runs << " time(s)\n";
    struct Printer : QVToolboxLogDelegate {
        void send(const std::string& log) override { std::cout << "log delegate received: " << log << "\n"; }
    };
    QVToolboxLog::shared().setDelegate(std::make_shared<Printer>());
    QVToolboxLog::shared().send("hello");
    QVToolboxLog::shared().setDelegate(nullptr);
}, 10};

}  // namespace
}  // namespace qvtool
