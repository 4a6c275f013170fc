#include <QVToolbox/QVToolbox.h>

#include "QVToolbox/gif/GifTestData.h"
#include "support/DebugMessages.h"
#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <gtest/gtest.h>

#include <fstream>

namespace {

using giftest::gifWithDelays;
using platform::UIImage;
using namespace QVToolbox;

// Writes `bytes` to FOLDER/a.gif; returns its file URL.
std::string writeGif(const qvtest::TemporaryFolder& folder, const platform::Data& bytes) {
    const std::string path = folder.folder + "/a.gif";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.bytes()),
                                                static_cast<std::streamsize>(bytes.count()));
    return "file://" + path;
}

TEST(GIFImageBuildersTest, FramesRepeatToShareTheCommonInterval) {
    const auto image = HxPOP<UIImage>::gif(gifWithDelays({10, 20, 5}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->images().size(), 7u);  // 2 + 4 + 1 intervals of 50 ms
    EXPECT_DOUBLE_EQ(image->duration(), 0.35);
    const auto& list = image->images();
    EXPECT_EQ(list[0], list[1]);  // one image per frame, shared by its entries
    EXPECT_NE(list[1], list[2]);
    EXPECT_EQ(list[2], list[5]);
    EXPECT_NE(list[5], list[6]);

    // A 0 cs delay takes the clamped 0.1 s; no minimum otherwise.
    const auto pair = gifImages(gifWithDelays({0, 2}));
    ASSERT_TRUE(pair.gifImages);
    EXPECT_EQ(pair.gifImages->size(), 6u);  // 100 ms and 20 ms over 20 ms
    EXPECT_DOUBLE_EQ(*pair.duration, 0.12);
}

TEST(GIFImageBuildersTest, AFrameThatDoesNotDecodeTakesItsDelayWithIt) {
    // 0.1, 0.2 and 0.3 s; frame 1 states an LZW code size no GIF may have, so it does not decode.
    auto bytes = gifWithDelays({10, 20, 30}).vector();
    std::vector<std::size_t> controls;
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i) {
        if (bytes[i] == 0x21 && bytes[i + 1] == 0xF9 && bytes[i + 2] == 0x04) controls.push_back(i);
    }
    ASSERT_EQ(controls.size(), 3u);
    bytes[controls[1] + 8 + 10] = 12;  // after the 8-byte control extension and the 10-byte descriptor
    const platform::Data data(bytes);
    const auto source = platform::CGImageSourceCreateWithData(data);
    ASSERT_EQ(platform::CGImageSourceGetCount(*source), 3u);
    ASSERT_FALSE(platform::CGImageSourceCreateImageAtIndex(*source, 1));

    const auto result = gifImages(data);
    ASSERT_TRUE(result.gifImages);
    EXPECT_EQ(result.gifImages->size(), 4u);  // 100 ms and 300 ms over 100 ms
    EXPECT_DOUBLE_EQ(*result.duration, 0.4);
}

TEST(GIFImageBuildersTest, StillsAndEmptySourcesAndJunk) {
    const auto png = platform::encodePNG(platform::Bitmap::make(3, 2));
    ASSERT_TRUE(png);
    const auto still = gifImages(*png);
    ASSERT_TRUE(still.gifImages);
    EXPECT_EQ(still.gifImages->size(), 1u);
    EXPECT_DOUBLE_EQ(*still.duration, 0.1);

    const qvtest::DebugMessages debug;
    const auto junk = gifImages(platform::Data::fromString("no image"));
    EXPECT_FALSE(junk.gifImages);
    EXPECT_FALSE(junk.duration);
    EXPECT_EQ(gif(platform::Data::fromString("no image")), nullptr);
    EXPECT_EQ(debug.seen, (std::vector<std::string>{"Motivo: Source for the image does not exist",
                                                    "Motivo: Source for the image does not exist"}));
}

TEST(GIFImageBuildersTest, TooManyEntriesGiveNoneWithALine) {
    // 655.35 s, 655.35 s and 10 ms: 131,071 entries of 10 ms.
    const qvtest::DebugMessages debug;
    EXPECT_EQ(gif(gifWithDelays({65535, 65535, 1})), nullptr);
    EXPECT_EQ(debug.seen, (std::vector<std::string>{"Motivo: The GIF needs more than 100000 images"}));
    EXPECT_NE(gif(gifWithDelays({65535, 1})), nullptr);  // 65,536 entries
}

TEST(GIFImageBuildersTest, URLsNamesAndAssetsSayWhatFailed) {
    const qvtest::TemporaryFolder folder;
    const auto image = HxPOP<UIImage>::gif(GifURL{writeGif(folder, gifWithDelays({10, 10}))});
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->images().size(), 2u);

    const qvtest::DebugMessages debug;
    EXPECT_FALSE(HxPOP<UIImage>::gifImages(GifURL{"file://" + folder.folder + "/missing.gif"}).gifImages);
    EXPECT_EQ(HxPOP<UIImage>::gif(GifName{"no-such-gif"}), nullptr);
    EXPECT_FALSE(HxPOP<UIImage>::gifImages(GifAsset{"no-such-asset"}).duration);
    EXPECT_EQ(debug.seen, (std::vector<std::string>{
                              "Motivo: Cannot turn image named \"file://" + folder.folder + "/missing.gif\" into NSData",
                              "Motivo: This image named \"no-such-gif\" does not exist",
                              "Motivo: Cannot turn image named \"no-such-asset\" into NSDataAsset"}));
}

TEST(GIFImageBuildersTest, LoadGifSetsTheViewsImageOnTheMainQueue) {
    const qvtest::TemporaryFolder folder;
    const std::string url = writeGif(folder, gifWithDelays({10, 20}));
    const auto view = std::make_shared<platform::UIImageView>(platform::CGRect{});
    view->setImage(UIImage::imageWithBitmap(platform::Bitmap::make(1, 1)));
    hx(view).loadGif(GifURL{url});
    platform::ManualClock::drain();
    ASSERT_NE(view->image(), nullptr);
    EXPECT_EQ(view->image()->images().size(), 3u);
    hx(view).loadGif(GifName{"no-such-gif"});  // none clears the image
    platform::ManualClock::drain();
    EXPECT_EQ(view->image(), nullptr);
}

}  // namespace
