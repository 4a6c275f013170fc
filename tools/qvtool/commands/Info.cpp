// `qvtool info`: the platform profile the libraries see.
#include "../Cli.h"

#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/ui/UIScreen.h>

#include <iostream>

namespace qvtool {
namespace {

using namespace QVToolbox;

const char* yesNo(bool v) { return v ? "true" : "false"; }

int info() {
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

void define(CLI::App& group) { Verb(group).run(info); }

const GroupRegistration registration{
    {"info", "the platform profile: screen, device, addresses, bundle, home, languages", 10, define}};

}  // namespace
}  // namespace qvtool
