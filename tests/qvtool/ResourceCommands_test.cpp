// qvtool's resource groups: lang and theme, against a small main bundle and a private home
// made for each test.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A 1 x 1 RGBA PNG.
constexpr char kPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x01\x00\x00\x00\x01\x08\x06\x00"
    "\x00\x00\x1f\x15\xc4\x89\x00\x00\x00\x0d\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\xf0\x1f\x00\x05\x00\x01\xff"
    "\x89\x99\x3d\x1d\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";

void writeFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// App/ holds Localizable.strings in en and zh-Hans, a module Login.bundle with its own
// tables, and images; home/ is the home folder. The system language is en-US unless a test
// says otherwise.
class QvtoolResource : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(app / "Info.plist",
                  "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>CFBundleIdentifier</key>"
                  "<string>com.example.qvtool</string></dict></plist>");
        writeFile(app / "en.lproj/Localizable.strings", "\"greeting\" = \"Hello\";\n");
        writeFile(app / "zh-Hans.lproj/Localizable.strings", "\"greeting\" = \"你好\";\n");
        writeFile(app / "Login.bundle/en.lproj/Login.strings",
                  "\"title\" = \"Sign in\";\n\"order %1$@ %2$@\" = \"%2$@ then %1$@\";\n");
        writeFile(app / "Login.bundle/zh-Hans.lproj/Login.strings", "\"title\" = \"登录\";\n");
        writeFile(app / "Login.bundle/icon_back.png", std::string_view(kPng, sizeof kPng - 1));
        writeFile(app / "icon_back_zh-CN.png", std::string_view(kPng, sizeof kPng - 1));
        writeFile(app / "logo_main_dark.png", std::string_view(kPng, sizeof kPng - 1));
        fs::create_directories(home);
    }

    std::vector<std::string> environment(const std::string& languages = "en-US") const {
        return {"QV_MAIN_BUNDLE=" + app.string(), "QV_HOME=" + home.string(), "QV_LANGUAGES=" + languages};
    }
    ::testing::AssertionResult answers(const std::vector<std::string>& arguments, const std::string& out,
                                       const std::string& languages = "en-US") const {
        return qvtest::answers(arguments, out, {}, environment(languages));
    }
    ::testing::AssertionResult refuses(const std::vector<std::string>& arguments, const std::string& message) const {
        return qvtest::refuses(arguments, message, {}, 2, environment());
    }
    qvtest::ToolRun run(const std::vector<std::string>& arguments, const std::string& input = {}) const {
        return qvtest::runTool(arguments, input, {}, environment());
    }

    qvtest::TemporaryFolder folder{"qvtool-resource"};
    fs::path app = fs::path(folder.folder) / "App";
    fs::path home = fs::path(folder.folder) / "home";
};

TEST_F(QvtoolResource, LangCurrentFollowsTheSystemWhereTheBundleLocalizesIt) {
    EXPECT_TRUE(answers({"lang", "current"}, "en\n"));
    EXPECT_TRUE(answers({"lang", "current"}, "zh-Hans\n", "zh-Hans-CN,en"));
    EXPECT_TRUE(answers({"lang", "current"}, "en\n", "fr-FR"));  // not localized
    EXPECT_TRUE(answers({"lang", "supported"}, "en\nzh-Hans\n"));
    EXPECT_TRUE(refuses({"lang", "current", "extra"}, "not expected: extra"));

    // A bundle without localizations: no language, status 1.
    fs::remove_all(app / "en.lproj");
    fs::remove_all(app / "zh-Hans.lproj");
    const auto none = run({"lang", "supported"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(none.err, "");
}

TEST_F(QvtoolResource, LangSetStoresTheChoiceInTheHomeAndTellsWhetherItIsLocalized) {
    EXPECT_TRUE(answers({"lang", "set", "zh-Hans"}, "true\n"));
    EXPECT_TRUE(answers({"lang", "current"}, "zh-Hans\n"));
    EXPECT_TRUE(answers({"lang", "set", "fr"}, "false\n"));
    EXPECT_TRUE(answers({"lang", "current"}, "en\n"));  // back to the system's
    EXPECT_TRUE(answers({"lang", "set", "zh-Hans"}, "true\n"));
    EXPECT_TRUE(answers({"lang", "set", "system"}, "true\n"));
    EXPECT_TRUE(answers({"lang", "current"}, "en\n"));

    EXPECT_TRUE(refuses({"lang", "set", "EN"}, "lang set: CODE 'EN' is not a language code (one of system, en, zh-Hans"));
    EXPECT_TRUE(refuses({"lang", "set", "zh-CN"}, "CODE 'zh-CN' is not a language code"));
    EXPECT_TRUE(refuses({"lang", "set", ""}, "CODE '' is not a language code"));
    EXPECT_TRUE(refuses({"lang", "set"}, "CODE is required"));
    EXPECT_TRUE(answers({"lang", "current"}, "en\n"));  // a refused code changes nothing
}

TEST_F(QvtoolResource, LangTextTranslatesInTheModuleAndFillsArguments) {
    EXPECT_TRUE(answers({"lang", "text", "Login", "title"}, "Sign in\n"));
    EXPECT_TRUE(answers({"lang", "text", "Login", "no such key"}, "no such key\n"));
    EXPECT_TRUE(answers({"lang", "text", "Login", "order %1$@ %2$@", "--arg", "a", "--arg", "b"}, "b then a\n"));
    EXPECT_TRUE(answers({"lang", "text", "--arg", "1", "Login", "%@ + %@", "--arg", "2"}, "1 + 2\n"));
    EXPECT_TRUE(answers({"lang", "text", "Login", "%@ and %@", "--arg", "x"}, "x and %@\n"));  // a missing argument stays
    EXPECT_TRUE(answers({"lang", "text", "Login", "50% off"}, "50% off\n"));
    EXPECT_TRUE(answers({"lang", "text", "Login", "%d items", "--arg", "%n"}, "%n items\n"));  // values are texts
    const auto fromInput = run({"lang", "text", "Login", "-"}, "title");
    EXPECT_EQ(fromInput.status, 0);
    EXPECT_EQ(fromInput.out, "Sign in\n");
    // A module without its own bundle reads the main bundle's table of that name.
    EXPECT_TRUE(answers({"lang", "text", "Localizable", "greeting"}, "Hello\n"));
    EXPECT_TRUE(answers({"lang", "text", "Localizable", "greeting"}, "你好\n", "zh-Hans"));

    EXPECT_TRUE(answers({"lang", "set", "zh-Hans"}, "true\n"));
    EXPECT_TRUE(answers({"lang", "text", "Login", "title"}, "登录\n"));

    EXPECT_TRUE(refuses({"lang", "text", "../App", "title"}, "MODULE '../App' is not a module name"));
    EXPECT_TRUE(refuses({"lang", "text", "Login.bundle/x", "title"}, "is not a module name"));
    EXPECT_TRUE(refuses({"lang", "text", "", "title"}, "MODULE '' is not a module name"));
    EXPECT_TRUE(refuses({"lang", "text", "Login"}, "KEY is required"));
    EXPECT_TRUE(refuses({"lang", "text", "Login", "title", "--arg"}, "--arg"));
    EXPECT_TRUE(refuses({"lang", "text", "Login", "\xff"}, "KEY is not valid UTF-8 text"));
    EXPECT_TRUE(refuses({"lang", "text", "Login", "%@", "--arg", "\xff"}, "--arg is not valid UTF-8 text"));
}

TEST_F(QvtoolResource, LangImageNamesTheVariantFoundOrAnswersNothing) {
    EXPECT_TRUE(answers({"lang", "image", "Login", "icon_back"}, "icon_back\n"));
    EXPECT_TRUE(answers({"lang", "set", "zh-Hans"}, "true\n"));
    EXPECT_TRUE(answers({"lang", "image", "Login", "icon_back"}, "icon_back_zh-CN\n"));  // the sign wins
    EXPECT_TRUE(answers({"theme", "apply", "main_dark"}, ""));
    EXPECT_TRUE(answers({"lang", "image", "Login", "logo"}, "logo_main_dark\n"));
    EXPECT_TRUE(answers({"lang", "image", "Other", "logo"}, "logo_main_dark\n"));  // the main bundle's

    // None found: nothing at all on either output (the library's own notice included).
    const auto missing = run({"lang", "image", "Login", "nothing"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(missing.err, "");

    EXPECT_TRUE(refuses({"lang", "image", "Login", ""}, "lang image: NAME is empty"));
    EXPECT_TRUE(refuses({"lang", "image", "..", "logo"}, "MODULE '..' is not a module name"));
    EXPECT_TRUE(refuses({"lang", "image", "Login"}, "NAME is required"));
}

TEST_F(QvtoolResource, ThemeSelectionPersistsAndColorsPrintAsHex) {
    EXPECT_TRUE(answers({"theme", "list"}, "main\nmain_dark\nvarden\ntirosage\npelmo\n"));
    EXPECT_TRUE(answers({"theme", "current"}, "main\n"));
    EXPECT_TRUE(answers({"theme", "color", "primary"}, "#5F2AD1\n"));
    EXPECT_TRUE(answers({"theme", "apply", "pelmo"}, ""));
    EXPECT_TRUE(answers({"theme", "current"}, "pelmo\n"));
    EXPECT_TRUE(answers({"theme", "color", "primary"}, "#0AC674\n"));
    EXPECT_TRUE(answers({"theme", "color", "primary", "--theme", "varden"}, "#0551D6\n"));
    EXPECT_TRUE(answers({"theme", "color", "primary_1"}, "#0AC6741A\n"));  // alpha 0.1
    EXPECT_TRUE(answers({"theme", "color", "white_0", "--theme", "main"}, "#FFFFFF00\n"));
    EXPECT_TRUE(answers({"theme", "color", "bg_Selago", "--theme", "pelmo"}, run({"theme", "color", "bg_Selago"}).out));

    EXPECT_TRUE(refuses({"theme", "apply", "Pelmo"}, "theme apply: NAME 'Pelmo' is not a theme (one of main, main_dark"));
    EXPECT_TRUE(refuses({"theme", "apply", ""}, "NAME '' is not a theme"));
    EXPECT_TRUE(refuses({"theme", "color", "nosuch"}, "theme color: SLOT 'nosuch' is not a colour slot"));
    EXPECT_TRUE(refuses({"theme", "color", "Primary"}, "SLOT 'Primary' is not a colour slot"));
    EXPECT_TRUE(refuses({"theme", "color", "primary", "--theme", "dark"}, "--theme 'dark' is not a theme"));
    EXPECT_TRUE(refuses({"theme", "color"}, "SLOT is required"));
    EXPECT_TRUE(answers({"theme", "current"}, "pelmo\n"));  // refused names change nothing
}

TEST_F(QvtoolResource, ThemeSheetDrawsEverySlotOfEveryTheme) {
    const std::string out = (fs::path(folder.folder) / "themes.png").string();
    EXPECT_TRUE(answers({"theme", "list", "--png", out}, "main\nmain_dark\nvarden\ntirosage\npelmo\n"));
    std::ifstream in(out, std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto sheet = platform::decodePNG(bytes);
    ASSERT_TRUE(sheet);
    // 2 pixels a point: a name column of 170 points, five columns of 150, a header of 36 and
    // 38 rows of 30.
    EXPECT_EQ(sheet->width, 2 * (170 + 5 * 150));
    EXPECT_EQ(sheet->height, 2 * (36 + 38 * 30));
    // The middle of each theme's primary swatch (first row) is its primary colour.
    const auto swatchCentre = [&](int column, int row) {
        return sheet->pixel(2 * (170 + 150 * column + 11), 2 * (36 + 30 * row + 15));
    };
    const std::uint8_t* mainPrimary = swatchCentre(0, 0);
    EXPECT_EQ(mainPrimary[0], 0x5F);
    EXPECT_EQ(mainPrimary[1], 0x2A);
    EXPECT_EQ(mainPrimary[2], 0xD1);
    const std::uint8_t* pelmoPrimary = swatchCentre(4, 0);
    EXPECT_EQ(pelmoPrimary[0], 0x0A);
    EXPECT_EQ(pelmoPrimary[1], 0xC6);
    EXPECT_EQ(pelmoPrimary[2], 0x74);
    // A slot name is drawn in dark ink somewhere in the first row's name cell.
    bool ink = false;
    for (int y = 2 * 36; y < 2 * 66 && !ink; ++y) {
        for (int x = 0; x < 2 * 170 && !ink; ++x) ink = sheet->pixel(x, y)[0] < 80;
    }
    EXPECT_TRUE(ink);
    EXPECT_EQ(run({"theme", "list", "--png", (fs::path(folder.folder) / "no/such/folder.png").string()}).status, 1);
}

TEST_F(QvtoolResource, HelpShowsTheVerbsAndTheirArguments) {
    const auto lang = run({"lang", "--help"}).out;
    EXPECT_NE(lang.find("\n  text [--arg V]... MODULE KEY "), std::string::npos) << lang;
    EXPECT_NE(lang.find("\n  set CODE "), std::string::npos) << lang;
    const auto theme = run({"theme", "--help"}).out;
    EXPECT_NE(theme.find("\n  color [--theme NAME] SLOT "), std::string::npos) << theme;
    EXPECT_NE(theme.find("bg_primary_1."), std::string::npos) << theme;  // the slots, in the notes
}

}  // namespace
