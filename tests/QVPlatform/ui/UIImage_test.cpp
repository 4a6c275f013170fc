#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>
#include <QVPlatform/graphics/ImageCodec.h>
#include <QVPlatform/ui/ScreenScale.h>
#include <QVPlatform/ui/UIImage.h>

#include "support/GifWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace platform;
namespace fs = std::filesystem;

namespace {

// A square PNG or JPEG of `side` pixels, so that the file found can be told by its size.
Data square(int side, bool jpeg = false) {
    Bitmap b = Bitmap::make(side, side);
    for (std::size_t i = 0; i < b.rgba.size(); i += 4) {
        b.rgba[i] = 200;
        b.rgba[i + 3] = 255;
    }
    return *(jpeg ? encodeJPEG(b, 0.9) : encodePNG(b));
}

void write(const fs::path& path, const Data& data) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.bytes()),
                                                static_cast<std::streamsize>(data.count()));
}

std::shared_ptr<Bundle> imageBundle() {
    const fs::path root = Host::temporaryDirectory() / "image-bundle";
    fs::remove_all(root);
    write(root / "icon.png", square(4));
    write(root / "icon@2x.png", square(8));
    write(root / "icon@3x.png", square(12));
    write(root / "only3x@3x.png", square(30));
    write(root / "photo.jpg", square(10, true));
    write(root / "broken.png", Data::fromString("not an image"));
    write(root / "Base.lproj/flag.png", square(5));
    write(root / "Assets.xcassets/badge.imageset/b1.png", square(16));
    write(root / "Assets.xcassets/badge.imageset/b2.png", square(32));
    write(root / "Assets.xcassets/badge.imageset/b3.png", square(48));
    write(root / "Assets.xcassets/badge.imageset/Contents.json",
          Data::fromString(R"({"images":[{"idiom":"universal","filename":"b1.png","scale":"1x"},
                                          {"idiom":"universal","filename":"b2.png","scale":"2x"},
                                          {"idiom":"universal","filename":"b3.png","scale":"3x"}],
                               "info":{"author":"xcode","version":1}})"));
    write(root / "Assets.xcassets/single.imageset/s.png", square(7));
    write(root / "Assets.xcassets/single.imageset/Contents.json",
          Data::fromString(R"({"images":[{"idiom":"universal","filename":"s.png"}]})"));
    return Bundle::atPath(root);
}

}  // namespace

TEST(UIImage, DecodesDataAndFilesWithTheirScale) {
    const auto image = UIImage::imageWithData(square(6), 2);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 6);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size(), (CGSize{3, 3}));
    EXPECT_EQ(image->className(), "UIImage");
    EXPECT_EQ(image->bitmap().pixel(0, 0)[0], 200);
    EXPECT_EQ(UIImage::imageWithData(Data::fromString("GIF89a")), nullptr);
    EXPECT_EQ(UIImage::imageWithData(Data()), nullptr);
    EXPECT_EQ(UIImage::imageWithData(square(2), -1)->scale(), 1);

    const auto bundle = imageBundle();
    const auto file = UIImage::imageWithContentsOfFile(bundle->bundlePath() / "icon@3x.png");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->scale(), 3);
    EXPECT_EQ(file->size(), (CGSize{4, 4}));
    EXPECT_EQ(UIImage::imageWithContentsOfFile(bundle->bundlePath() / "missing.png"), nullptr);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(bundle->bundlePath() / "broken.png"), nullptr);
    EXPECT_EQ(imageScaleOfFileName("a@2x.jpg"), 2);
    EXPECT_EQ(imageScaleOfFileName("a2x.png"), 1);
}

TEST(UIImage, NamedPrefersTheScreenScaleThenLargerVariants) {
    const auto bundle = imageBundle();
    const int screen = static_cast<int>(mainScreenScale());
    const auto icon = UIImage::named("icon", bundle);
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->scale(), screen);
    EXPECT_EQ(icon->pixelWidth(), 4 * screen);
    EXPECT_EQ(icon->size(), (CGSize{4, 4}));  // every variant is 4 points wide

    const auto only = UIImage::named("only3x", bundle);
    ASSERT_TRUE(only);
    EXPECT_EQ(only->scale(), 3);
    EXPECT_EQ(UIImage::named("icon.png", bundle)->pixelWidth(), 4 * screen);  // extension given
    EXPECT_EQ(UIImage::named("icon@3x.png", bundle)->scale(), 3);            // scale given
    EXPECT_EQ(UIImage::named("photo", bundle)->pixelWidth(), 10);            // .jpg found
    EXPECT_EQ(UIImage::named("flag", bundle)->pixelWidth(), 5);              // localized folder
    EXPECT_EQ(UIImage::named("broken", bundle), nullptr);
    EXPECT_EQ(UIImage::named("missing", bundle), nullptr);
    EXPECT_EQ(UIImage::named("", bundle), nullptr);
}

TEST(UIImage, NamedFallsBackToImageSets) {
    const auto bundle = imageBundle();
    const int screen = static_cast<int>(mainScreenScale());
    const auto badge = UIImage::named("badge", bundle);
    ASSERT_TRUE(badge);
    EXPECT_EQ(badge->scale(), screen);
    EXPECT_EQ(badge->pixelWidth(), 16 * screen);
    const auto single = UIImage::named("single", bundle);  // no scale named: 1x
    ASSERT_TRUE(single);
    EXPECT_EQ(single->scale(), 1);
    EXPECT_EQ(single->pixelWidth(), 7);
}

TEST(UIImage, GifDataGivesItsFirstCompositedFrame) {
    testgif::Gif gif;
    gif.width = 3;
    gif.height = 2;
    gif.globalTable = {{255, 0, 0}, {0, 0, 255}};
    auto first = testgif::solid(1, 0, 2, 2, 1);
    gif.frames = {first, testgif::solid(0, 0, 3, 2, 0)};
    const auto image = UIImage::imageWithData(Data(testgif::write(gif)));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 3);
    EXPECT_EQ(image->bitmap().pixel(0, 0)[3], 0);  // outside the first frame: transparent
    EXPECT_EQ(image->bitmap().pixel(2, 1)[2], 255);
    EXPECT_FALSE(UIImage::imageWithData(Data::fromString("GIF89a")));
}
