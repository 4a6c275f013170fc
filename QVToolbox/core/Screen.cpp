#include <QVToolbox/core/Screen.h>

#include <QVPlatform/ui/UIScreen.h>

namespace QVToolbox {

namespace {

using platform::UIDevice;
using platform::UIScreen;
using platform::UIUserInterfaceIdiom;

struct Measured {
    double width;
    double height;
    double scale;
    bool phone;
    bool pad;
};

const Measured& measured() {
    static const Measured m = [] {
        const auto screen = UIScreen::main();
        const auto idiom = UIDevice::current()->userInterfaceIdiom();
        return Measured{screen->bounds().size.width, screen->bounds().size.height, screen->scale(),
                        idiom == UIUserInterfaceIdiom::phone, idiom == UIUserInterfaceIdiom::pad};
    }();
    return m;
}

bool phoneWithHeight(bool (*test)(double height, double width)) {
    return measured().phone && test(measured().height, measured().width);
}

}  // namespace

double hx_kScreenW() { return measured().width; }
double hx_kScreenH() { return measured().height; }
bool isIPhoneX() { return measured().height >= 812; }

double hx_kStatusBarFrameH() {
    if (!isIPhoneX()) return 20;
    const double h = UIScreen::main()->statusBarHeight();
    return h > 0 ? h : 44;
}

double hx_kNavFrameH() {
    static const double value = [] {
        if (!isIPhoneX()) return 64.0;
        const double h = UIScreen::main()->statusBarHeight();
        return h > 0 ? h + 44 : 88.0;
    }();
    return value;
}

double hx_kTabbarFrameH() { return isIPhoneX() ? 83 : 49; }
double hx_kTabbarBottom() { return isIPhoneX() ? 34 : 0; }
double hx_kPixel() { return 1 / measured().scale; }
double hx_scaleIphone() { return measured().width / 375; }
double hx_kScreenW16_9() { return measured().width * 9 / 16; }
double hx_kScreenH16_9() { return measured().height * 16 / 9; }

bool hx_isIphone() { return measured().phone; }
bool hx_isPadDevice() { return measured().pad; }
bool hx_isIphoneX() { return phoneWithHeight([](double h, double) { return h == 812; }); }
bool hx_isXs() { return phoneWithHeight([](double h, double) { return h == 812; }); }
bool hx_isXsMax() { return phoneWithHeight([](double h, double w) { return h == 896 && w == 414; }); }
bool hx_isXR() { return phoneWithHeight([](double h, double w) { return h == 896 && w == 414; }); }
bool hx_is4OrLess() { return phoneWithHeight([](double h, double) { return h < 568; }); }
bool hx_is5() { return phoneWithHeight([](double h, double) { return h == 568; }); }
bool hx_is678() { return phoneWithHeight([](double h, double) { return h == 667; }); }
bool hx_is678P() { return phoneWithHeight([](double h, double) { return h == 736; }); }
bool qv_is678OrLess() { return phoneWithHeight([](double h, double) { return h < 667; }); }
bool qv_is678pOrLess() { return phoneWithHeight([](double h, double) { return h < 736; }); }
bool hx_isSimulator() { return false; }
std::string hx_deviceModel() { return UIDevice::current()->machineIdentifier(); }

}  // namespace QVToolbox
