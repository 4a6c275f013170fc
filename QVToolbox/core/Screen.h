// Global screen values and device predicates, from the main screen and device profile.
//
//   hx_kScreenW();     // 375 with the default phone profile
//   hx_kNavFrameH();   // 64 (88 on a tall screen without a status bar height)
//   hx_is678();        // true: height 667
//
// Each value is measured once on first use and kept, except hx_kStatusBarFrameH, which is
// read on every call. Thread-safe.
#pragma once

#include <string>

namespace QVToolbox {

double hx_kScreenW();
double hx_kScreenH();
bool isIPhoneX();  // main screen height >= 812
double hx_kStatusBarFrameH();
double hx_kNavFrameH();
double hx_kTabbarFrameH();
double hx_kTabbarBottom();
double hx_kPixel();
inline constexpr double hx_kRatioIDCard = 0.63;
double hx_scaleIphone();
double hx_kScreenW16_9();
double hx_kScreenH16_9();

// Device predicates: all false unless the idiom is phone, except hx_isPadDevice.
bool hx_isIphone();
bool hx_isPadDevice();
bool hx_isIphoneX();
bool hx_isXs();
bool hx_isXsMax();
bool hx_isXR();
bool hx_is4OrLess();
bool hx_is5();
bool hx_is678();
bool hx_is678P();
bool qv_is678OrLess();
bool qv_is678pOrLess();
bool hx_isSimulator();  // true only in a build for a simulator: never here
std::string hx_deviceModel();

}  // namespace QVToolbox
