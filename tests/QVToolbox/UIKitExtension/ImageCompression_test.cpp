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
    EXPECT_EQ(found.data->size(), 875u);
    EXPECT_EQ(linear.qualities, (std::vector<double>{1.0, 0.5, 0.25, 0.375, 0.4375}));
}

TEST(ImageCompression, ExactlyTheBudgetIsRejectedByBisectionAndAcceptedByTheLinearSearch) {
    // Every quality gives exactly the budget: bisection stops inside the window but the size
    // is not below the budget, so the linear search runs and takes its first encoding at 0.9.
    FakeEncoder exact{[](double) { return std::size_t{1000}; }};
    auto found = searchDataSize(exact.encoder(), 1000);
    ASSERT_TRUE(found.data);
    EXPECT_EQ(found.data->size(), 1000u);
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
