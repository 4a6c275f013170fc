#include <QVToolbox/QVToolbox.h>

#include <QVPlatform/base/Clock.h>
#include <QVPlatform/dispatch/ManualClock.h>
#include <QVPlatform/dispatch/RunLoop.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/graphics/ImageCodec.h>

#include "support/TestVideo.h"

#include <gtest/gtest.h>

#include "support/TemporaryFolder.h"

#include "support/DebugMessages.h"

#include <filesystem>

using namespace QVToolbox;
using Files = HxPOP<platform::FileManager>;

namespace {

struct Clips : qvtest::TemporaryFolder {
    Clips() : TemporaryFolder("qv-video") {}
};

}  // namespace

TEST(FileVideo, LocalFramesAsImagesAndTheFailureMessage) {
    Clips clips;
    const std::string path = clips.folder + "/portrait.mov";
    ASSERT_TRUE(qvtest::writeTestVideo(path, 20, 90));
    auto upright = Files::getLocalVideoImage(path, true);
    ASSERT_NE(upright, nullptr);
    EXPECT_EQ(upright->pixelWidth(), 32);
    EXPECT_EQ(upright->pixelHeight(), 64);
    auto asStored = Files::getLocalVideoImage(path, false);
    ASSERT_NE(asStored, nullptr);
    EXPECT_EQ(asStored->pixelWidth(), 64);
    EXPECT_NEAR(asStored->bitmap().pixel(8, 16)[0], 100, 3);  // frame 10, shown at 1.0 s

    qvtest::DebugMessages debug;
    const auto images = Files::getLocalVideoImages({path, clips.folder + "/missing.mov"}, true);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_NE(images[0], nullptr);
    EXPECT_EQ(images[1], nullptr);
    EXPECT_EQ(debug.seen, (std::vector<std::string>{"获取缩略图失败"}));
}

TEST(FileVideo, ServerVariantsCallBackOnTheMainThread) {
    Clips clips;
    const std::string path = clips.folder + "/clip.mov";
    ASSERT_TRUE(qvtest::writeTestVideo(path, 15, 0));
    qvtest::DebugMessages debug;
    std::shared_ptr<platform::UIImage> one;
    bool calledOnMain = false;
    std::vector<std::shared_ptr<platform::UIImage>> many;
    Files::getServerVideoImage("file://" + path, false, [&](auto image) {
        one = image;
        calledOnMain = platform::RunLoop::isMainThread();
    });
    Files::getServerVideoImages({"file://" + path, "http://127.0.0.1:9/none.mp4"}, false, [&](auto images) { many = images; });
    platform::ManualClock::drain();
    ASSERT_NE(one, nullptr);
    EXPECT_TRUE(calledOnMain);
    ASSERT_EQ(many.size(), 2u);
    EXPECT_NE(many[0], nullptr);
    EXPECT_EQ(many[1], nullptr);  // nothing listens there
    EXPECT_EQ(debug.seen, (std::vector<std::string>{"获取缩略图失败"}));
}

TEST(FileVideo, ImagesReadBackFromFiles) {
    Clips clips;
    auto bitmap = platform::Bitmap::make(3, 2);
    bitmap.pixel(1, 1)[0] = 200;
    bitmap.pixel(1, 1)[3] = 255;
    const auto png = platform::encodePNG(bitmap);
    ASSERT_TRUE(png);
    EXPECT_TRUE(Files::writeToFile(FileWriteType::ImageType, platform::Any(*png), clips.folder + "/a.png").isSuccess);
    const auto read = Files::readFromFile(FileWriteType::ImageType, clips.folder + "/a.png");
    ASSERT_TRUE(read.isSuccess);
    ASSERT_TRUE(read.content);
    const auto image = read.content->objectAs<platform::UIImage>();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->pixelWidth(), 3);
    EXPECT_EQ(image->bitmap().pixel(1, 1)[0], 200);
    Files::writeToFile(FileWriteType::TextType, platform::Any("not an image"), clips.folder + "/b.png");
    const auto notImage = Files::readFromFile(FileWriteType::ImageType, clips.folder + "/b.png");
    EXPECT_TRUE(notImage.isSuccess);
    EXPECT_FALSE(notImage.content);
}
