// The keyboard and orientation notifications, which the host posts when its keyboard or
// device does something, and a small helper for posting and reading them.
//
//   NSNotificationCenter::defaultCenter().addObserver(UIKeyboardWillShowNotification, nullptr,
//       [](const NSNotification& n) { lift(keyboardFrameEnd(n).value_or(CGRect{}).height(), keyboardAnimationDuration(n)); });
//   postKeyboardNotification(UIKeyboardWillShowNotification, {{0, 376}, {375, 291}}, 0.25);   // host side
//   postOrientationDidChange();
//
// The user info of a keyboard notification is a dictionary: under UIKeyboardFrameEndUserInfoKey
// the end frame in screen coordinates as a dictionary with "x", "y", "width" and "height",
// and under UIKeyboardAnimationDurationUserInfoKey the duration in seconds. Notifications go
// to NSNotificationCenter::defaultCenter(), delivered on the posting thread (the host posts
// on the main thread, as the platform does).
#pragma once

#include <QVPlatform/foundation/NotificationCenter.h>
#include <QVPlatform/graphics/Geometry.h>

#include <optional>
#include <string>

namespace platform {

inline const std::string UIKeyboardWillShowNotification = "UIKeyboardWillShowNotification";
inline const std::string UIKeyboardDidShowNotification = "UIKeyboardDidShowNotification";
inline const std::string UIKeyboardWillHideNotification = "UIKeyboardWillHideNotification";
inline const std::string UIKeyboardDidHideNotification = "UIKeyboardDidHideNotification";
inline const std::string UIDeviceOrientationDidChangeNotification = "UIDeviceOrientationDidChangeNotification";

inline const std::string UIKeyboardFrameEndUserInfoKey = "UIKeyboardFrameEndUserInfoKey";
inline const std::string UIKeyboardAnimationDurationUserInfoKey = "UIKeyboardAnimationDurationUserInfoKey";

// Posts one of the four keyboard notifications with its user info.
void postKeyboardNotification(const std::string& name, CGRect endFrame, double animationDuration);
void postOrientationDidChange();

// The end frame of a keyboard notification; absent when the user info holds none.
std::optional<CGRect> keyboardFrameEnd(const NSNotification& notification);
// The animation duration of a keyboard notification; 0 when the user info holds none.
double keyboardAnimationDuration(const NSNotification& notification);

}  // namespace platform
