#include <QVToolbox/UIKitExtension/ImageCompression.h>

#include <gtest/gtest.h>

#include <vector>

using namespace QVToolbox;
using platform::CGSize;
using platform::Data;

namespace {

// An encoder whose output size is a function of the quality, recording each quality asked.
struct FakeEncoder {
    std::function<std::size_t(double)> sizeAt;
    std::vector<double> qualities;

    JPEGEncoder encoder() {
        return [this](double quality) -> std::optional<Data> {
            qualities.push_back(quality);
            return Data(std::vector<std::uint8_t>(sizeAt(quality)));
        };
    }
};

}  // namespace

TEST(ImageCompression, TypeComesFromTheFirstByte) {
    const std::vector<std::uint8_t> gif{0x47}, png{0x89, 'P'}, jpeg{0xFF, 0xD8}, tiffII{0x49}, tiffMM{0x4D}, other{0x00};
    EXPECT_EQ(checkImageDataType(gif), DataType::gif);
    EXPECT_EQ(checkImageDataType(png), DataType::png);
    EXPECT_EQ(checkImageDataType(jpeg), DataType::jpeg);
    EXPECT_EQ(checkImageDataType(tiffII), DataType::tiff);
    EXPECT_EQ(checkImageDataType(tiffMM), DataType::tiff);
    EXPECT_EQ(checkImageDataType(other), DataType::defaultType);
    EXPECT_EQ(checkImageDataType(std::span<const std::uint8_t>{}), DataType::defaultType);
    EXPECT_EQ(checkImageDataType(static_cast<const Data*>(nullptr)), DataType::defaultType);
    EXPECT_EQ(rawValue(DataType::defaultType), "defaultType");
}

TEST(ImageCompression, TargetSizesNeverEnlargeNorShrinkBelowTen) {
    EXPECT_EQ(targetSize({4000, 3000}, CompressionMode::low()), (CGSize{512, 384}));
    EXPECT_EQ(targetSize({300, 200}, CompressionMode::low()), (CGSize{300, 200}));
    EXPECT_EQ(targetSize({5000, 40}, CompressionMode::low()), (CGSize{5000, 40}));
    EXPECT_EQ(targetSize({9, 4000}, CompressionMode::low()), (CGSize{9, 4000}));
    EXPECT_EQ(targetSize({3000, 4000}, CompressionMode::high()), (CGSize{1536, 2048}));

    EXPECT_EQ(CompressionMode::other(5, 100).targetSide(), 1024);
    EXPECT_EQ(CompressionMode::other(5, 100).byteBudget(), 2 * 1024 * 1024);
    EXPECT_EQ(CompressionMode::other(8000, 50'000'000).targetSide(), 4096);
    EXPECT_EQ(CompressionMode::other(8000, 50'000'000).byteBudget(), 20 * 1024 * 1024);
    EXPECT_EQ(CompressionMode::other(300, 100'000).byteBudget(), 100'000);
    // A side that is not finite counts as below the minimum.
    EXPECT_EQ(CompressionMode::other(std::numeric_limits<double>::infinity(), 0).targetSide(), 1024);
    EXPECT_EQ(CompressionMode::other(std::numeric_limits<double>::quiet_NaN(), 0).targetSide(), 1024);
}

TEST(ImageCompression, ByteSearchStopsAtQualityOneOrBisectsIntoTheWindow) {
    FakeEncoder small{[](double) { return std::size_t{100}; }};
    auto found = searchDataSize(small.encoder(), 1000);
    EXPECT_EQ(found.encodings, 1);
    EXPECT_EQ(small.qualities, std::vector<double>{1.0});

    // Size grows linearly with quality: 0.5 gives 1000 (above 950), 0.25 gives 500 (below
    // 855), 0.375 gives 750, 0.4375 gives 875: inside 90 %...100 % of 950.
    FakeEncoder linear{[](double q) { return static_cast<std::size_t>(q * 2000); }};
    found = searchDataSize(linear.encoder(), 950);
    ASSERT_TRUE(found.data);
    EXPECT_EQ(found.data->count(), 875u);
    EXPECT_EQ(linear.qualities, (std::vector<double>{1.0, 0.5, 0.25, 0.375, 0.4375}));
}

TEST(ImageCompression, ExactlyTheBudgetIsRejectedByBisectionAndAcceptedByTheLinearSearch) {
    // Every quality gives exactly the budget: bisection stops inside the window but the size
    // is not below the budget, so the linear search runs and takes its first encoding at 0.9.
    FakeEncoder exact{[](double) { return std::size_t{1000}; }};
    auto found = searchDataSize(exact.encoder(), 1000);
    ASSERT_TRUE(found.data);
    EXPECT_EQ(found.data->count(), 1000u);
    EXPECT_EQ(exact.qualities, (std::vector<double>{1.0, 0.5, 1.0, 0.9}));
}

TEST(ImageCompression, LinearSearchWalksWholeStepsDownToZero) {
    // Incompressible: nothing ever fits. The walk is 0.90, 0.88, ... 0.02, 0.00 and returns
    // the last encoding; no quality below zero is ever asked for.
    FakeEncoder huge{[](double) { return std::size_t{5000}; }};
    auto found = cycleSearchDataSize(huge.encoder(), 1000);
    ASSERT_TRUE(found.data);
    EXPECT_EQ(found.encodings, 1 + 46);
    EXPECT_EQ(huge.qualities.back(), 0.0);
    EXPECT_DOUBLE_EQ(huge.qualities[2], 0.88);
    for (double q : huge.qualities) EXPECT_GE(q, 0.0);

    // An encoder that fails mid-search ends the search with no data.
    int calls = 0;
    const JPEGEncoder failing = [&calls](double) -> std::optional<Data> {
        if (++calls == 3) return std::nullopt;
        return Data(std::vector<std::uint8_t>(5000));
    };
    EXPECT_FALSE(searchDataSize(failing, 1000).data);
}

namespace {

// A photo-like picture: smooth gradients with a little noise, so JPEG sizes respond to the
// quality the way a photo's do.
std::shared_ptr<platform::UIImage> photoLike(int width, int height, double scale = 1, int noise = 24) {
    auto bitmap = platform::Bitmap::make(width, height);
    std::uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int n = noise ? static_cast<int>(state >> 24) % noise - noise / 2 : 0;
            auto* p = bitmap.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(std::clamp(x * 255 / width + n, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(y * 255 / height + n, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp((x + y) * 128 / (width + height) + 64 + n, 0, 255));
            p[3] = 255;
        }
    }
    return platform::UIImage::imageWithBitmap(std::move(bitmap), scale);
}

}  // namespace

TEST(ImageCompression, ResizingShrinksEnlargesAndRefusesImpossibleSizes) {
    const auto image = photoLike(400, 300);
    EXPECT_EQ(resizeCG(image, image->size()), image);
    EXPECT_EQ(resizeIO(image, image->size()), image);

    // resizeIO takes the requested size's longer side as the thumbnail's maximum.
    const auto small = resizeIO(image, {100, 75});
    ASSERT_TRUE(small);
    EXPECT_EQ(small->pixelWidth(), 100);
    EXPECT_EQ(small->pixelHeight(), 75);
    // resizeCG draws into a context of the new size: enlarging works too.
    const auto large = resizeCG(image, {800, 600});
    ASSERT_TRUE(large);
    EXPECT_EQ(large->pixelWidth(), 800);
    EXPECT_EQ(large->pixelHeight(), 600);
    // The picture survives the scaling: the gradient's corners keep their colours.
    EXPECT_NEAR(small->bitmap().pixel(99, 0)[0], 252, 16);
    EXPECT_NEAR(small->bitmap().pixel(0, 74)[1], 250, 16);

    // A scale-2 image: sizes are points, pixels follow the scale.
    const auto retina = resizeCG(photoLike(200, 200, 2), {50, 50});
    ASSERT_TRUE(retina);
    EXPECT_EQ(retina->pixelWidth(), 100);
    EXPECT_EQ(retina->size(), (CGSize{50, 50}));

    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(resizeCG(image, {0, 10}), nullptr);
    EXPECT_EQ(resizeCG(image, {inf, 10}), nullptr);
    EXPECT_EQ(resizeIO(image, {100000, 100000}), nullptr);
}

TEST(ImageCompression, CompressReachesEachBudgetOnAPhotoLikeImage) {
    const auto photo = photoLike(1024, 768);
    const auto low = compress(photo, CompressionMode::low());
    ASSERT_TRUE(low);
    EXPECT_LT(low->count(), 512u * 1024);
    const auto decoded = platform::decodeJPEG(low->span());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 512);
    EXPECT_EQ(decoded->height, 384);

    // A tight budget forces the bisection below quality 1.
    const auto tight = searchDataSize(*photo, 60'000);
    ASSERT_TRUE(tight.data);
    EXPECT_LT(tight.data->count(), 60'000u);
    EXPECT_LT(tight.quality, 1.0);

    // Noise on every pixel does not compress: even quality 0 stays above a tiny budget, so the
    // linear search runs to its end and still gives its last (smallest) encoding.
    const auto noisy = photoLike(96, 96, 1, 255);
    const auto floor = searchDataSize(*noisy, 500);
    ASSERT_TRUE(floor.data);
    EXPECT_EQ(floor.quality, 0.0);
    EXPECT_EQ(floor.encodings, 1 + 6 + 1 + 46);
    EXPECT_EQ(*floor.data, *platform::encodeJPEG(noisy->bitmap(), 0.0));
}
