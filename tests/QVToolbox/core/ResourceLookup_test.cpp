#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/graphics/ImageCodec.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace QVToolbox;
namespace fs = std::filesystem;

namespace {

// Writes a w x h PNG whose first pixel's red channel is `marker`.
void writePng(const fs::path& path, int w, int h, std::uint8_t marker) {
    fs::create_directories(path.parent_path());
    auto bitmap = platform::Bitmap::make(w, h);
    bitmap.rgba[0] = marker;
    bitmap.rgba[3] = 255;
    const auto png = platform::encodePNG(bitmap);
    ASSERT_TRUE(png);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png->bytes()),
                                                static_cast<std::streamsize>(png->count()));
}

struct MainBundle {
    fs::path root = fs::temp_directory_path() / ("qv-resource-" + std::to_string(::getpid()));
    MainBundle() {
        fs::remove_all(root);
        fs::create_directories(root);
        platform::Host::configure({.mainBundlePath = root});
    }
    ~MainBundle() {
        platform::Host::configure({});
        fs::remove_all(root);
    }
};

struct Icons : QVImageResource {
    std::string resourceBundleName() const override { return "Icons"; }
};

}  // namespace

TEST(ResourceLookup, TriesBundleThenFrameworkBundleThenFrameworkThenMain) {
    MainBundle main;
    writePng(main.root / "icon.png", 1, 1, 1);
    // Nothing but the main bundle: images and bundles fall back to it.
    ASSERT_TRUE(QV<platform::UIImage>::loadImage("icon", "Icons"));
    EXPECT_EQ(QV<platform::UIImage>::loadImage("icon", "Icons")->pixelWidth(), 1);
    EXPECT_EQ(QV<platform::Bundle>::loadBundle("Icons")->bundlePath(), main.root);

    writePng(main.root / "Frameworks/Icons.framework/icon.png", 3, 1, 3);
    EXPECT_EQ(QV<platform::UIImage>::loadImage("icon", "Icons")->pixelWidth(), 3);
    writePng(main.root / "Frameworks/Icons.framework/Icons.bundle/icon.png", 4, 1, 4);
    EXPECT_EQ(QV<platform::UIImage>::loadImage("icon", "Icons")->pixelWidth(), 4);
    writePng(main.root / "Icons.bundle/other.png", 2, 1, 2);
    // Icons.bundle opens first but has no "icon": the next bundle that has it is used.
    EXPECT_EQ(QV<platform::UIImage>::loadImage("icon", "Icons")->pixelWidth(), 4);
    EXPECT_EQ(QV<platform::Bundle>::loadBundle("Icons")->bundlePath(), main.root / "Icons.bundle");
    EXPECT_EQ(Icons().qv_img("other")->pixelWidth(), 2);
    EXPECT_EQ(Icons().qv_img("icon")->pixelWidth(), 4);
    EXPECT_EQ(QVImageResource().qv_img("icon")->pixelWidth(), 1);
    EXPECT_EQ(Icons().qv_img("missing"), nullptr);
}
