#include <QVPlatform/graphics/ImageCodec.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace platform;

namespace {

// Written by hand (zlib-compressed rows, CRCs): a 2 x 2 RGBA image with the pixels
// red, half-transparent green / transparent blue, white; a 3 x 1 grayscale ramp; headers
// declaring 20000 x 10 and 16000 x 16000 pixels.
const std::vector<std::uint8_t> kRgba2x2{
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d,
    0x24, 0x00, 0x00, 0x00, 0x14, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xf0,
    0x1f, 0x08, 0x1b, 0x18, 0xc0, 0x34, 0x10, 0x00, 0x00, 0x3f, 0xd7, 0x08, 0x79, 0x8f, 0x13, 0x8a,
    0x8a, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::vector<std::uint8_t> kGray3x1{
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x08, 0x00, 0x00, 0x00, 0x00, 0x3e, 0x8b, 0x4b,
    0x68, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x60, 0x68, 0xf8, 0x0f,
    0x00, 0x02, 0x03, 0x01, 0x80, 0x24, 0x61, 0xf5, 0x97, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e,
    0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::vector<std::uint8_t> kTooWide{
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x4e, 0x20, 0x00, 0x00, 0x00, 0x0a, 0x08, 0x06, 0x00, 0x00, 0x00, 0x51, 0x73, 0x6e,
    0x4d, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82,
};
const std::vector<std::uint8_t> kTooManyPixels{
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52,
    0x00, 0x00, 0x3e, 0x80, 0x00, 0x00, 0x3e, 0x80, 0x08, 0x06, 0x00, 0x00, 0x00, 0x41, 0x7e, 0xdf,
    0xde, 0x00, 0x00, 0x00, 0x0c, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0x60, 0xa0, 0x3d, 0x00,
    0x00, 0x00, 0x64, 0x00, 0x01, 0x86, 0x64, 0x3c, 0x35, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e,
    0x44, 0xae, 0x42, 0x60, 0x82,
};

std::vector<std::uint8_t> px(const Bitmap& b, int x, int y) { return {b.pixel(x, y), b.pixel(x, y) + 4}; }

// Four 8 x 8 blocks of solid colour.
Bitmap quadrants() {
    Bitmap b = Bitmap::make(16, 16);
    const std::uint8_t colours[4][4] = {{250, 10, 10, 255}, {10, 250, 10, 255}, {10, 10, 250, 255}, {240, 240, 240, 255}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const auto* c = colours[(y / 8) * 2 + x / 8];
            std::copy(c, c + 4, b.pixel(x, y));
        }
    }
    return b;
}

}  // namespace

TEST(ImageCodec, DecodesPngPixelsExactly) {
    EXPECT_EQ(imageFormatOf(kRgba2x2), ImageFormat::png);
    const auto rgba = decodeImage(kRgba2x2);
    ASSERT_TRUE(rgba);
    EXPECT_EQ(rgba->width, 2);
    EXPECT_EQ(rgba->height, 2);
    EXPECT_EQ(px(*rgba, 0, 0), (std::vector<std::uint8_t>{255, 0, 0, 255}));
    EXPECT_EQ(px(*rgba, 1, 0), (std::vector<std::uint8_t>{0, 255, 0, 128}));
    EXPECT_EQ(px(*rgba, 0, 1)[3], 0);
    EXPECT_EQ(px(*rgba, 1, 1), (std::vector<std::uint8_t>{255, 255, 255, 255}));

    const auto gray = decodePNG(kGray3x1);
    ASSERT_TRUE(gray);
    EXPECT_EQ(px(*gray, 0, 0), (std::vector<std::uint8_t>{0, 0, 0, 255}));
    EXPECT_EQ(px(*gray, 1, 0), (std::vector<std::uint8_t>{128, 128, 128, 255}));
    EXPECT_EQ(px(*gray, 2, 0), (std::vector<std::uint8_t>{255, 255, 255, 255}));

    // Lossless round trip through our encoder.
    const auto encoded = encodePNG(quadrants());
    ASSERT_TRUE(encoded);
    EXPECT_EQ(decodePNG(encoded->span()), quadrants());
}

TEST(ImageCodec, JpegRoundTripKeepsColoursClose) {
    const auto jpeg = encodeJPEG(quadrants(), 0.9);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(imageFormatOf(jpeg->span()), ImageFormat::jpeg);
    const auto back = decodeImage(jpeg->span());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->width, 16);
    ASSERT_EQ(back->height, 16);
    const Bitmap original = quadrants();
    for (auto [x, y] : {std::pair{3, 3}, std::pair{12, 3}, std::pair{3, 12}, std::pair{12, 12}}) {
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(back->pixel(x, y)[c], original.pixel(x, y)[c], 12) << x << "," << y;
        EXPECT_EQ(back->pixel(x, y)[3], 255);
    }
    // Transparent pixels come out black (composited on black).
    Bitmap clear = Bitmap::make(8, 8);
    for (std::size_t i = 0; i < clear.rgba.size(); i += 4) clear.rgba[i] = 255;  // red, alpha 0
    const auto dark = decodeJPEG(encodeJPEG(clear, 1)->span());
    ASSERT_TRUE(dark);
    EXPECT_LE(dark->pixel(4, 4)[0], 8);
    // A lower quality gives fewer bytes.
    EXPECT_LT(encodeJPEG(quadrants(), 0.1)->count(), jpeg->count());
    // Qualities outside 0...1 are clamped; NaN is the lowest quality.
    EXPECT_EQ(*encodeJPEG(quadrants(), std::nan("")), *encodeJPEG(quadrants(), 0));
    EXPECT_EQ(*encodeJPEG(quadrants(), -3), *encodeJPEG(quadrants(), 0));
    EXPECT_EQ(*encodeJPEG(quadrants(), 7), *encodeJPEG(quadrants(), 1));
}

TEST(ImageCodec, DamagedOrOversizedInputGivesNoBitmap) {
    auto truncated = kRgba2x2;
    truncated.resize(truncated.size() - 20);
    EXPECT_FALSE(decodePNG(truncated));
    auto badCrc = kRgba2x2;
    badCrc[40] ^= 0xFF;  // inside the IDAT data
    EXPECT_FALSE(decodePNG(badCrc));
    EXPECT_FALSE(decodePNG(kTooWide));
    EXPECT_FALSE(decodePNG(kTooManyPixels));
    EXPECT_FALSE(decodeImage(std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    EXPECT_FALSE(decodeImage(std::vector<std::uint8_t>{}));
    EXPECT_FALSE(decodeImage(std::vector<std::uint8_t>{'G', 'I', 'F', '8', '9', 'a'}));
    EXPECT_FALSE(decodeJPEG(std::vector<std::uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F'}));

    // A textured 128 x 128 image, so that the compressed rows outweigh the tables.
    Bitmap texture = Bitmap::make(128, 128);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            std::uint8_t* p = texture.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 2);
            p[1] = static_cast<std::uint8_t>((x * y) % 251);
            p[2] = static_cast<std::uint8_t>(y * 2);
            p[3] = 255;
        }
    }
    const auto jpeg = encodeJPEG(texture, 0.8);
    ASSERT_TRUE(jpeg);
    // A JPEG cut short still decodes to its full size, as the platform shows a partial photo.
    std::vector<std::uint8_t> cut(jpeg->bytes(), jpeg->bytes() + jpeg->count() * 2 / 3);
    const auto partial = decodeJPEG(cut);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->width, 128);
    EXPECT_EQ(partial->height, 128);
    // Flipped bytes anywhere after the header never crash.
    std::srand(7);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> noisy(jpeg->bytes(), jpeg->bytes() + jpeg->count());
        for (int i = 0; i < 4; ++i) noisy[20 + static_cast<std::size_t>(std::rand()) % (noisy.size() - 20)] = static_cast<std::uint8_t>(std::rand());
        (void)decodeJPEG(noisy);
    }
    EXPECT_FALSE(encodePNG(Bitmap{}));
    EXPECT_FALSE(encodeJPEG(Bitmap{2, 2, {1, 2, 3}}, 0.5));
}
