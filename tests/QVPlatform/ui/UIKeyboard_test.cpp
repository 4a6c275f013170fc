#include <QVPlatform/ui/UIKeyboard.h>

#include <gtest/gtest.h>

#include <limits>

using namespace platform;

TEST(UIKeyboard, HostPostedNotificationsCarryTheEndFrameAndDuration) {
    auto& center = NSNotificationCenter::defaultCenter();
    std::vector<NSNotification> seen;
    auto token = center.addObserver(std::nullopt, nullptr, [&](const NSNotification& n) {
        if (n.name.starts_with("UIKeyboard") || n.name == UIDeviceOrientationDidChangeNotification) seen.push_back(n);
    });
    postKeyboardNotification(UIKeyboardWillShowNotification, {{0, 376}, {375, 291}}, 0.25);
    postKeyboardNotification(UIKeyboardDidHideNotification, {{0, 667}, {375, 291}}, 0);
    postOrientationDidChange();
    center.removeObserver(token);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].name, "UIKeyboardWillShowNotification");
    EXPECT_EQ(keyboardFrameEnd(seen[0]), (CGRect{{0, 376}, {375, 291}}));
    EXPECT_EQ(keyboardAnimationDuration(seen[0]), 0.25);
    EXPECT_EQ(seen[1].name, "UIKeyboardDidHideNotification");
    EXPECT_EQ(seen[1].userInfo[UIKeyboardFrameEndUserInfoKey]["y"].doubleValue(), 667);
    EXPECT_EQ(seen[2].name, "UIDeviceOrientationDidChangeNotification");
    EXPECT_EQ(keyboardFrameEnd(seen[2]), std::nullopt) << "no user info";
    EXPECT_EQ(keyboardAnimationDuration(seen[2]), 0);

    // User info that another poster got wrong reads as absent, not as garbage.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const NSNotification odd{UIKeyboardWillShowNotification, {},
                             Any::Dictionary{{UIKeyboardFrameEndUserInfoKey, Any::Dictionary{{"x", 0}, {"y", nan}, {"width", 1}, {"height", 1}}},
                                             {UIKeyboardAnimationDurationUserInfoKey, -1}}};
    EXPECT_EQ(keyboardFrameEnd(odd), std::nullopt);
    EXPECT_EQ(keyboardAnimationDuration(odd), 0);
}
