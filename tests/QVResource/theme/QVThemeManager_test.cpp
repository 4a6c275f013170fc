#include <QVResource/theme/QVThemeManager.h>

#include <QVPlatform/foundation/NotificationCenter.h>

#include <gtest/gtest.h>

using namespace QVResource;
using platform::Any;
using platform::NSUserDefaults;

namespace {

// Each test starts from fresh user defaults with nothing stored.
class QVThemeManagerTest : public ::testing::Test {
protected:
    void SetUp() override { NSUserDefaults::standardUserDefaults().removeObjectForKey("selectedTheme"); }
    void TearDown() override { NSUserDefaults::standardUserDefaults().removeObjectForKey("selectedTheme"); }
};

}  // namespace

TEST_F(QVThemeManagerTest, FreshInstallIsTheMainTheme) {
    EXPECT_EQ(QVThemeManager::shared().currentTheme()->primary()->hexString(), "#5F2AD1");
    EXPECT_EQ(QVThemeManager::shared().selectedTheme(), QVAppTheme::main);
}

TEST_F(QVThemeManagerTest, ApplyThemeStoresPostsOnceAndLeavesQVColor) {
    const auto before = QVColor.get();
    ASSERT_TRUE(before);
    int posts = 0;
    auto& center = platform::NSNotificationCenter::defaultCenter();
    const auto token = center.addObserver("ThemeDidChangeNotification", nullptr, [&](const platform::NSNotification& n) {
        ++posts;
        EXPECT_TRUE(n.object.isNull());
        EXPECT_TRUE(n.userInfo.isNull());
        // Observers run synchronously and already read the new selection.
        EXPECT_EQ(QVThemeManager::shared().currentTheme()->primary()->hexString(), "#0AC674");
    });
    QVThemeManager::shared().applyTheme(QVAppTheme::pelmo);
    center.removeObserver(token);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(NSUserDefaults::standardUserDefaults().objectForKey("selectedTheme"), Any("pelmo"));
    EXPECT_EQ(QVThemeManager::shared().currentTheme()->primary()->hexString(), "#0AC674");
    EXPECT_EQ(QVColor.get(), before);  // QVColor does not follow applyTheme

    QVColor = QVThemeManager::shared().currentTheme();
    EXPECT_EQ(QVColor->primary()->hexString(), "#0AC674");
    QVColor = nullptr;  // ignored
    EXPECT_EQ(QVColor->primary()->hexString(), "#0AC674");
    QVColor = before;
}

TEST_F(QVThemeManagerTest, UnknownOrMistypedSelectionsFallBackToMain) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    for (const Any& stored : {Any("Pelmo"), Any("pelmo "), Any(3), Any(true), Any(Any::List{"pelmo"})}) {
        defaults.setObject(stored, "selectedTheme");
        EXPECT_EQ(QVThemeManager::shared().currentTheme()->primary()->hexString(), "#5F2AD1");
    }
    defaults.setObject(Any("tirosage"), "selectedTheme");
    EXPECT_EQ(QVThemeManager::shared().currentTheme()->primary()->hexString(), "#F87B15");
    EXPECT_EQ(QVThemeManager::shared().currentTheme()->type(), QVAppTheme::main);
}

TEST(UserDefault, GivesTheDefaultOnAKindMismatch) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    defaults.setObject(Any(7), "userDefaultProbe");
    EXPECT_EQ((UserDefault<std::int64_t>{"userDefaultProbe", 1}.wrappedValue()), 7);
    EXPECT_EQ((UserDefault<std::string>{"userDefaultProbe", "x"}.wrappedValue()), "x");
    EXPECT_EQ((UserDefault<double>{"userDefaultProbe", 0.5}.wrappedValue()), 0.5);
    EXPECT_EQ((UserDefault<bool>{"absentKey", true}.wrappedValue()), true);
    defaults.removeObjectForKey("userDefaultProbe");
}
