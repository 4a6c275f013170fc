#include <QVResource/localization/QVLocLanguage.h>
#include <QVResource/localization/QVLocalizedResource.h>
#include <QVResource/theme/QVThemeManager.h>

#include "QVResource/localization/LocalizationFixture.h"

using namespace QVResource;
using L = QVLanguageType;
namespace fs = std::filesystem;

namespace {

class QVLocalizedResourceTest : public qvtest::LocalizationTest {
protected:
    void SetUp() override {
        LocalizationTest::SetUp();
        localize({"Base", "en", "ko"});
    }
    // The folder a resource's bundle stands for, relative to the application bundle.
    std::string relative(const std::shared_ptr<platform::Bundle>& bundle) const {
        return fs::relative(bundle->bundlePath(), root).generic_string();
    }
};

}  // namespace

TEST_F(QVLocalizedResourceTest, ModuleBundleWithItsLprojIsFoundFirst) {
    qvtest::writeFile(root / "Login.bundle/en.lproj/Login.strings", "\"title\" = \"Sign in\";");
    const auto login = QVLocalizedResource::create("Login");
    EXPECT_EQ(login->moduleName(), "Login");
    EXPECT_EQ(relative(login->moduleBundle()), "Login.bundle");
    EXPECT_EQ(relative(login->lprojBundle()), "Login.bundle/en.lproj");
    EXPECT_EQ(login->localizedStr("title"), "Sign in");
    EXPECT_EQ(login->localizedStr("missing"), "missing");
    EXPECT_EQ(login->localizedStr(""), "");
}

TEST_F(QVLocalizedResourceTest, LocalizedFolderInsideTheModuleBundleIsTheSecondAttempt) {
    qvtest::writeFile(root / "Pay.bundle/Localized/en.lproj/Pay.strings", "\"pay\" = \"Pay now\";");
    const auto pay = QVLocalizedResource::create("Pay");
    EXPECT_EQ(relative(pay->moduleBundle()), "Pay.bundle");  // the module bundle itself, for images
    EXPECT_EQ(relative(pay->lprojBundle()), "Pay.bundle/Localized/en.lproj");
    EXPECT_EQ(pay->localizedStr("pay"), "Pay now");
}

TEST_F(QVLocalizedResourceTest, FrameworkLayoutsAtTheResourcesFolderAndAtTheRoot) {
    qvtest::writeFile(root / "Frameworks/Chat.framework/Chat.bundle/en.lproj/Chat.strings", "\"hi\" = \"Hello\";");
    auto chat = QVLocalizedResource::create("Chat");
    EXPECT_EQ(relative(chat->lprojBundle()), "Frameworks/Chat.framework/Chat.bundle/en.lproj");
    EXPECT_EQ(chat->localizedStr("hi"), "Hello");

    qvtest::writeFile(root / "Frameworks/Map.framework/en.lproj/Map.strings", "\"go\" = \"Go\";");
    auto map = QVLocalizedResource::create("Map");
    EXPECT_EQ(relative(map->moduleBundle()), "Frameworks/Map.framework");
    EXPECT_EQ(map->localizedStr("go"), "Go");

    // A bundle with a Resources folder: the lproj folders live there, Frameworks/ at the root.
    fs::create_directories(root / "Resources");
    fs::rename(root / "en.lproj", root / "Resources/en.lproj");
    qvtest::writeFile(root / "Frameworks/Feed.framework/Feed.bundle/en.lproj/Feed.strings", "\"f\" = \"Feed\";");
    auto feed = QVLocalizedResource::create("Feed");
    EXPECT_EQ(relative(feed->moduleBundle()), "Frameworks/Feed.framework/Feed.bundle");
    EXPECT_EQ(feed->localizedStr("f"), "Feed");
    qvtest::writeFile(root / "Resources/Frameworks/Feed.framework/Feed.bundle/en.lproj/Feed.strings", "\"f\" = \"Inner\";");
    EXPECT_EQ(QVLocalizedResource::create("Feed")->localizedStr("f"), "Inner");  // resources first
}

TEST_F(QVLocalizedResourceTest, ModuleWithoutLprojOrBundleFallsBackToTheMainBundle) {
    fs::create_directories(root / "Bare.bundle");
    const auto bare = QVLocalizedResource::create("Bare");
    EXPECT_EQ(relative(bare->moduleBundle()), "Bare.bundle");  // attempt 3 accepts it without an lproj
    EXPECT_EQ(bare->lprojBundle()->bundlePath(), root);

    qvtest::writeFile(root / "en.lproj/Ghost.strings", "\"boo\" = \"Boo\";");
    const auto ghost = QVLocalizedResource::create("Ghost");
    EXPECT_EQ(ghost->moduleBundle()->bundlePath(), root);
    EXPECT_EQ(ghost->localizedStr("boo"), "Boo");  // the main bundle's table named after the module
}

TEST_F(QVLocalizedResourceTest, ModuleNamesCannotLeaveTheApplicationBundle) {
    const fs::path outside = fs::path(folder.folder) / "Evil.bundle";
    qvtest::writeFile(outside / "en.lproj/Evil.strings", "\"k\" = \"outside\";");
    for (const char* name : {"../Evil", "../../Evil", "a/../../Evil", "/tmp/Evil", ".."}) {
        const auto resource = QVLocalizedResource::create(name);
        EXPECT_EQ(resource->moduleBundle()->bundlePath(), root) << name;
        EXPECT_EQ(resource->lprojBundle()->bundlePath(), root) << name;
        EXPECT_EQ(resource->localizedStr("k"), "k") << name;
    }
}

TEST_F(QVLocalizedResourceTest, QVRTextFormatsTheTranslationOrTheKey) {
    qvtest::writeFile(root / "en.lproj/Localizable.strings",
                      "\"%@ sent %ld files\" = \"%2$ld files from %1$@\";\n\"100% sure\" = \"Sure: 100%\";");
    QVRLocalizedStringKey::StringInterpolation s(2, 2);
    s.appendInterpolation(std::string("Ann")).appendLiteral(" sent ").appendInterpolation(3).appendLiteral(" files");
    EXPECT_EQ(QVRText(QVRLocalizedStringKey(s)), "3 files from Ann");  // the translation reorders
    QVRLocalizedStringKey::StringInterpolation missing;
    missing.appendInterpolation(2.5).appendLiteral(" km");
    EXPECT_EQ(QVRText(QVRLocalizedStringKey(missing)), "2.500000 km");  // the key, formatted
    EXPECT_EQ(QVRText("100% sure"), "Sure: 100%");  // no arguments: not formatted
    EXPECT_EQ(QVRText("50% off"), "50% off");

    qvtest::writeFile(root / "Cart.bundle/en.lproj/Cart.strings", "\"%ld items\" = \"%ld articles\";");
    QVRLocalizedStringKey::StringInterpolation items;
    items.appendInterpolation(4).appendLiteral(" items");
    EXPECT_EQ(QVLocLanguage::locByInterpolation("Cart", QVRLocalizedStringKey(items)).string(), "4 articles");
    EXPECT_EQ(QVLocLanguage::loc("Cart", "%ld items").string(), "%ld articles");
    EXPECT_EQ(loc("%ld items", "Cart"), "%ld articles");
}

TEST_F(QVLocalizedResourceTest, ImagesTryLanguageAndThemeVariantsInOrder) {
    ASSERT_TRUE(QVLocalized::setCurrentLanguage(L::ko_KR));
    platform::NSUserDefaults::standardUserDefaults().setObject(platform::Any("main_dark"), "selectedTheme");
    fs::create_directories(root / "Icons.bundle/ko.lproj");
    const auto width = [](const std::shared_ptr<platform::UIImage>& image) { return image ? image->pixelWidth() : 0; };
    const auto icons = [] { return QVLocalized::resourceBundle("Icons"); };

    qvtest::writePng(root / "icon_back.png", 1);
    EXPECT_EQ(width(icons()->image("icon_back")), 1);
    qvtest::writePng(root / "Icons.bundle/icon_back.png", 2);
    EXPECT_EQ(width(icons()->image("icon_back")), 2);  // the module bundle before the main bundle
    qvtest::writePng(root / "icon_back_main_dark.png", 3);
    EXPECT_EQ(width(icons()->image("icon_back")), 3);
    qvtest::writePng(root / "Icons.bundle/icon_back_KOR.png", 4);
    EXPECT_EQ(width(icons()->image("icon_back")), 4);
    qvtest::writePng(root / "icon_back_KOR_main_dark.png", 5);
    EXPECT_EQ(width(icons()->image("icon_back")), 5);

    // Tirosa's tables carry the main identifier.
    platform::NSUserDefaults::standardUserDefaults().setObject(platform::Any("tirosage"), "selectedTheme");
    qvtest::writePng(root / "star_main.png", 6);
    EXPECT_EQ(width(imageLoc("Icons", "star")), 6);
}

TEST_F(QVLocalizedResourceTest, MissingImagePrintsOneLineUnlessTheNameIsEmpty) {
    const auto resource = QVLocalizedResource::create("Nothing");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(resource->image("ghost"), nullptr);
    EXPECT_EQ(resource->image(""), nullptr);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "未找到图片资源文件, imageName:ghost\n");
}
