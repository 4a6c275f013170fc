#include <QVPlatform/graphics/ImageThumbnail.h>

#include <gtest/gtest.h>

using namespace platform;

TEST(ImageThumbnail, ShrinksToTheMaximumButNeverEnlargesAndNeedsToBeAsked) {
    auto bitmap = Bitmap::make(400, 300);
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < 400; ++x) {
            auto* p = bitmap.pixel(x, y);
            p[0] = x < 200 ? 255 : 0;  // left half red, right half blue
            p[2] = x < 200 ? 0 : 255;
            p[3] = 255;
        }
    }
    auto source = CGImageSourceCreateWithData(*encodePNG(bitmap));
    ASSERT_TRUE(source);
    const Any::Dictionary make{{kCGImageSourceCreateThumbnailFromImageIfAbsent, true},
                               {kCGImageSourceCreateThumbnailWithTransform, true},
                               {kCGImageSourceThumbnailMaxPixelSize, 100}};
    const auto thumb = CGImageSourceCreateThumbnailAtIndex(*source, 0, make);
    ASSERT_TRUE(thumb);
    EXPECT_EQ(thumb->width, 100);
    EXPECT_EQ(thumb->height, 75);
    EXPECT_EQ(thumb->pixel(10, 40)[0], 255);
    EXPECT_EQ(thumb->pixel(90, 40)[2], 255);

    Any::Dictionary bigger = make;
    bigger.insert_or_assign(kCGImageSourceThumbnailMaxPixelSize, 1000);
    EXPECT_EQ(CGImageSourceCreateThumbnailAtIndex(*source, 0, bigger)->width, 400);

    // The containers carry no embedded thumbnail: none unless asked to make one.
    EXPECT_FALSE(CGImageSourceCreateThumbnailAtIndex(*source, 0, {{kCGImageSourceThumbnailMaxPixelSize, 100}}));
    Any::Dictionary zero = make;
    zero.insert_or_assign(kCGImageSourceThumbnailMaxPixelSize, 0);
    EXPECT_FALSE(CGImageSourceCreateThumbnailAtIndex(*source, 0, zero));
    EXPECT_FALSE(CGImageSourceCreateThumbnailAtIndex(*source, 1, make));
}
