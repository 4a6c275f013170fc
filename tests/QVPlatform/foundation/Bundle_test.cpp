#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace platform;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& path, std::string_view text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

const char* kInfo =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n"
    "<key>CFBundleIdentifier</key><string>com.example.sample</string>\n"
    "<key>CFBundleShortVersionString</key><string>1.2.9</string>\n"
    "<key>CFBundleDevelopmentRegion</key><string>en</string>\n"
    "</dict></plist>\n";

// A bundle folder laid out the way hosts ship them.
fs::path makeBundle(const std::string& name) {
    const fs::path root = Host::temporaryDirectory() / name;
    fs::remove_all(root);
    write(root / "Info.plist", kInfo);
    write(root / "logo.png", "plain");
    write(root / "notes.txt", "notes");
    write(root / "en.lproj/Localizable.strings", "\"a\" = \"A\";");
    write(root / "en.lproj/hello.txt", "hello");
    write(root / "zh-Hans.lproj/hello.txt", "你好");
    write(root / "Base.lproj/Main.storyboard", "base");
    write(root / "docs/guide.md", "guide");
    fs::create_directories(root / "Module.bundle");
    write(root / "Assets.xcassets/config.dataset/Contents.json",
          R"({"data":[{"idiom":"universal","filename":"config.json"}],"info":{"version":1}})");
    write(root / "Assets.xcassets/config.dataset/config.json", "{\"k\":1}");
    write(root / "Assets.xcassets/Group/loose.dataset/payload.bin", "loose");
    write(root / "Assets.xcassets/two.dataset/a.bin", "a");
    write(root / "Assets.xcassets/two.dataset/b.bin", "b");
    return root;
}

struct HostScope {
    explicit HostScope(HostConfiguration c) { Host::configure(c); }
    ~HostScope() { Host::configure({}); }
};

}  // namespace

TEST(Bundle, ReadsInfoAndFindsResourcesGlobalThenLocalized) {
    const fs::path root = makeBundle("bundle-lookup");
    HostScope host({.mainBundlePath = root, .preferredLanguages = std::vector<std::string>{"zh-Hans-CN", "en"}});
    const auto bundle = Bundle::main();
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->bundlePath(), root);
    EXPECT_EQ(bundle->resourcePath(), root);
    EXPECT_EQ(bundle->bundleIdentifier(), "com.example.sample");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleShortVersionString"), Any("1.2.9"));
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("missing").isNull());
    EXPECT_EQ(bundle->className(), "NSBundle");

    EXPECT_EQ(bundle->pathForResource("logo", "png"), root / "logo.png");
    EXPECT_EQ(bundle->pathForResource("logo.png"), root / "logo.png");
    EXPECT_EQ(bundle->pathForResource("logo", ".png"), root / "logo.png");
    EXPECT_EQ(bundle->pathForResource("logo", ""), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("guide", "md", "docs"), root / "docs/guide.md");
    EXPECT_EQ(bundle->pathForResource("hello", "txt"), root / "zh-Hans.lproj/hello.txt");
    EXPECT_EQ(bundle->pathForResource("Main", "storyboard"), root / "Base.lproj/Main.storyboard");
    EXPECT_EQ(bundle->pathForResource("Module", "bundle"), root / "Module.bundle");  // folders are resources too
    EXPECT_EQ(bundle->pathForResource("en", "lproj"), root / "en.lproj");
    EXPECT_EQ(bundle->pathForResource("missing", "png"), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("../bundle-lookup/logo", "png"), std::nullopt);
    EXPECT_EQ(bundle->pathForResource("guide", "md", "../bundle-lookup/docs"), std::nullopt);
    const auto url = bundle->urlForResource("notes", "txt");
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->isFileURL());
    EXPECT_EQ(url->path(), (root / "notes.txt").string());

    EXPECT_EQ(bundle->localizations(), (std::vector<std::string>{"Base", "en", "zh-Hans"}));
    EXPECT_EQ(bundle->preferredLocalizations(), (std::vector<std::string>{"zh-Hans", "en"}));
}

TEST(Bundle, PreferredLocalizationsFallBackToTheDevelopmentRegion) {
    const fs::path root = makeBundle("bundle-languages");
    HostScope host({.mainBundlePath = root, .preferredLanguages = std::vector<std::string>{"fr-FR"}});
    EXPECT_EQ(Bundle::main()->preferredLocalizations(), std::vector<std::string>{"en"});
    Host::configure({.mainBundlePath = root, .preferredLanguages = std::vector<std::string>{"EN_us"}});
    EXPECT_EQ(Bundle::main()->preferredLocalizations(), std::vector<std::string>{"en"});
    EXPECT_EQ(Bundle::main()->pathForResource("hello", "txt"), root / "en.lproj/hello.txt");
}

TEST(Bundle, OpensSubBundlesAndResourcesFolders) {
    const fs::path root = makeBundle("bundle-sub");
    EXPECT_EQ(Bundle::atPath(root / "missing"), nullptr);
    EXPECT_EQ(Bundle::atPath(root / "logo.png"), nullptr);
    const auto module = Bundle::atPath(root / "Module.bundle");
    ASSERT_TRUE(module);
    EXPECT_TRUE(module->infoDictionary().empty());
    EXPECT_EQ(module->bundleIdentifier(), std::nullopt);
    EXPECT_TRUE(module->localizations().empty());
    EXPECT_TRUE(module->preferredLocalizations().empty());

    write(root / "Framework.framework/Resources/icon.png", "x");
    write(root / "Framework.framework/Info.plist", "not a property list");
    const auto framework = Bundle::atPath(root / "Framework.framework");
    ASSERT_TRUE(framework);
    EXPECT_EQ(framework->resourcePath(), root / "Framework.framework/Resources");
    EXPECT_EQ(framework->pathForResource("icon", "png"), root / "Framework.framework/Resources/icon.png");
    EXPECT_TRUE(framework->infoDictionary().empty());

    // main() follows the host's configuration and never returns null.
    HostScope host({.mainBundlePath = root / "does-not-exist"});
    ASSERT_TRUE(Bundle::main());
    EXPECT_EQ(Bundle::main()->pathForResource("logo", "png"), std::nullopt);
}

TEST(Bundle, DataAssetsComeFromAssetCatalogs) {
    const auto bundle = Bundle::atPath(makeBundle("bundle-assets"));
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->dataAsset("config"), Data::fromString("{\"k\":1}"));
    EXPECT_EQ(bundle->dataAsset("loose"), Data::fromString("loose"));   // in a group, no Contents.json
    EXPECT_EQ(bundle->dataAsset("two"), std::nullopt);                  // ambiguous without Contents.json
    EXPECT_EQ(bundle->dataAsset("missing"), std::nullopt);
    EXPECT_EQ(bundle->dataAsset("../Assets.xcassets/config"), std::nullopt);
    EXPECT_EQ(bundle->assetFolder("config", "dataset"), bundle->bundlePath() / "Assets.xcassets/config.dataset");
    EXPECT_EQ(bundle->assetFolder("config", "imageset"), std::nullopt);
}

TEST(Bundle, LocalizedStringForKeyUsesTheTableOrTheFallbacks) {
    const fs::path root = makeBundle("bundle-strings");
    write(root / "en.lproj/Module.strings", "\"title\" = \"Module title\";\n\"empty\" = \"\";");
    write(root / "en.lproj/Broken.strings", "\"title\" = ");
    HostScope host({.mainBundlePath = root, .preferredLanguages = std::vector<std::string>{"en"}});
    const auto bundle = Bundle::main();
    EXPECT_EQ(bundle->localizedStringForKey("a"), "A");                          // Localizable by default
    EXPECT_EQ(bundle->localizedStringForKey("a", "", std::string_view("")), "A");  // empty name too
    EXPECT_EQ(bundle->localizedStringForKey("title", "", "Module"), "Module title");
    EXPECT_EQ(bundle->localizedStringForKey("empty", "fallback", "Module"), "");   // an entry may be empty
    EXPECT_EQ(bundle->localizedStringForKey("missing", "fallback", "Module"), "fallback");
    EXPECT_EQ(bundle->localizedStringForKey("missing", "", "Module"), "missing");
    EXPECT_EQ(bundle->localizedStringForKey("title", "", "NoSuchTable"), "title");
    EXPECT_EQ(bundle->localizedStringForKey("title", "", "Broken"), "title");
    // The table is read once: a change on disk is not seen by the same bundle object.
    write(root / "en.lproj/Module.strings", "\"title\" = \"Changed\";");
    EXPECT_EQ(bundle->localizedStringForKey("title", "", "Module"), "Module title");
    EXPECT_EQ(Bundle::atPath(root)->localizedStringForKey("title", "", "Module"), "Changed");
}
