#include <QVPlatform/ui/UIKeyboard.h>

#include <cmath>

namespace platform {

void postKeyboardNotification(const std::string& name, CGRect endFrame, double animationDuration) {
    const Any frame = Any::Dictionary{{"x", endFrame.origin.x},
                                      {"y", endFrame.origin.y},
                                      {"width", endFrame.size.width},
                                      {"height", endFrame.size.height}};
    NSNotificationCenter::defaultCenter().post(
        name, {},
        Any::Dictionary{{UIKeyboardFrameEndUserInfoKey, frame}, {UIKeyboardAnimationDurationUserInfoKey, animationDuration}});
}

void postOrientationDidChange() { NSNotificationCenter::defaultCenter().post(UIDeviceOrientationDidChangeNotification); }

std::optional<CGRect> keyboardFrameEnd(const NSNotification& notification) {
    const Any& frame = notification.userInfo[UIKeyboardFrameEndUserInfoKey];
    for (const char* part : {"x", "y", "width", "height"}) {
        if (!frame[part].isNumber() || !std::isfinite(frame[part].doubleValue())) return std::nullopt;
    }
    return CGRect{{frame["x"].doubleValue(), frame["y"].doubleValue()},
                  {frame["width"].doubleValue(), frame["height"].doubleValue()}};
}

double keyboardAnimationDuration(const NSNotification& notification) {
    const double duration = notification.userInfo[UIKeyboardAnimationDurationUserInfoKey].doubleValue();
    return std::isfinite(duration) && duration > 0 ? duration : 0;
}

}  // namespace platform
