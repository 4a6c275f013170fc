#include <QVPlatform/graphics/ImageSource.h>

#include "support/GifWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

using namespace platform;
using testgif::Frame;
using testgif::Gif;
using testgif::solid;

namespace {

using Pixel = std::array<std::uint8_t, 4>;
constexpr Pixel kClear{0, 0, 0, 0};
constexpr Pixel kRed{255, 0, 0, 255};
constexpr Pixel kBlue{0, 0, 255, 255};
constexpr Pixel kGreen{0, 255, 0, 255};

// Global table: 0 red, 1 blue, 2 green, 3 white.
Gif screen(int width, int height) {
    Gif gif;
    gif.width = width;
    gif.height = height;
    gif.globalTable = {{255, 0, 0}, {0, 0, 255}, {0, 255, 0}, {255, 255, 255}};
    return gif;
}

Frame disposed(Frame f, int disposal) {
    f.disposal = disposal;
    return f;
}

CGImageSourceRef sourceOf(const Gif& gif, bool trailer = true) {
    return CGImageSourceCreateWithData(Data(testgif::write(gif, trailer)));
}

Pixel at(const Bitmap& b, int x, int y) {
    const auto* p = b.pixel(x, y);
    return {p[0], p[1], p[2], p[3]};
}

Pixel at(CGImageSource& source, std::size_t frame, int x, int y) {
    const auto image = CGImageSourceCreateImageAtIndex(source, frame);
    if (!image) return {1, 2, 3, 4};
    return at(*image, x, y);
}

}  // namespace

TEST(ImageSource, DisposalNoneKeepsTheFrameUnderTheNext) {
    Gif gif = screen(4, 4);
    gif.frames = {disposed(solid(0, 0, 4, 4, 0), 1), disposed(solid(1, 1, 2, 2, 1), 0), solid(3, 3, 1, 1, 2)};
    auto source = sourceOf(gif);
    ASSERT_TRUE(source);
    EXPECT_EQ(CGImageSourceGetCount(*source), 3u);
    EXPECT_EQ(at(*source, 0, 1, 1), kRed);
    EXPECT_EQ(at(*source, 1, 0, 0), kRed);
    EXPECT_EQ(at(*source, 1, 1, 1), kBlue);
    EXPECT_EQ(at(*source, 2, 2, 2), kBlue);
    EXPECT_EQ(at(*source, 2, 3, 3), kGreen);
    EXPECT_EQ(at(*source, 2, 0, 3), kRed);
}

TEST(ImageSource, DisposalBackgroundClearsTheFrameRectangleToTransparent) {
    Gif gif = screen(4, 4);
    gif.frames = {disposed(solid(0, 0, 4, 2, 0), 1), disposed(solid(0, 2, 4, 2, 1), 2), solid(0, 0, 1, 1, 2)};
    auto source = sourceOf(gif);
    ASSERT_TRUE(source);
    EXPECT_EQ(at(*source, 0, 0, 3), kClear);  // not yet drawn
    EXPECT_EQ(at(*source, 1, 0, 3), kBlue);
    EXPECT_EQ(at(*source, 2, 0, 3), kClear);  // frame 1 cleared
    EXPECT_EQ(at(*source, 2, 1, 1), kRed);    // frame 0 kept
    EXPECT_EQ(at(*source, 2, 0, 0), kGreen);
}

TEST(ImageSource, DisposalPreviousRestoresTheCanvasFromBeforeTheFrame) {
    Gif gif = screen(4, 4);
    gif.frames = {disposed(solid(0, 0, 4, 4, 0), 1), disposed(solid(1, 1, 2, 2, 1), 3), disposed(solid(0, 0, 1, 1, 2), 3),
                  solid(3, 0, 1, 1, 3)};
    auto source = sourceOf(gif);
    ASSERT_TRUE(source);
    EXPECT_EQ(at(*source, 1, 1, 1), kBlue);
    EXPECT_EQ(at(*source, 2, 1, 1), kRed);  // blue square gone again
    EXPECT_EQ(at(*source, 2, 0, 0), kGreen);
    EXPECT_EQ(at(*source, 3, 0, 0), kRed);  // green restored away as well
    EXPECT_EQ(at(*source, 3, 3, 0), (Pixel{255, 255, 255, 255}));
    // "Previous" on the first frame goes back to the empty canvas.
    Gif first = screen(2, 1);
    first.frames = {disposed(solid(0, 0, 2, 1, 1), 3), solid(1, 0, 1, 1, 2)};
    auto second = sourceOf(first);
    EXPECT_EQ(at(*second, 1, 0, 0), kClear);
    EXPECT_EQ(at(*second, 1, 1, 0), kGreen);
}

TEST(ImageSource, FramesAskedOutOfOrderMatchFramesAskedInOrder) {
    Gif gif = screen(4, 4);
    gif.frames = {disposed(solid(0, 0, 4, 4, 0), 1), disposed(solid(1, 1, 2, 2, 1), 3), disposed(solid(0, 0, 2, 2, 2), 2),
                  solid(2, 2, 2, 2, 3)};
    auto ordered = sourceOf(gif);
    std::vector<Bitmap> inOrder;
    for (std::size_t i = 0; i < 4; ++i) inOrder.push_back(*CGImageSourceCreateImageAtIndex(*ordered, i));
    auto uncached = CGImageSourceCreateWithData(Data(testgif::write(gif)), {{kCGImageSourceShouldCache, false}});
    for (std::size_t i : {3u, 1u, 2u, 0u, 3u, 2u}) EXPECT_EQ(*CGImageSourceCreateImageAtIndex(*uncached, i), inOrder[i]) << i;
}

TEST(ImageSource, TransparentIndexShowsTheCanvasBelow) {
    Gif gif = screen(2, 2);
    Frame over = solid(0, 0, 2, 2, 1);
    over.indexes = {1, 3, 3, 1};
    over.transparent = 3;
    gif.frames = {disposed(solid(0, 0, 2, 2, 0), 1), over};
    auto source = sourceOf(gif);
    EXPECT_EQ(at(*source, 1, 0, 0), kBlue);
    EXPECT_EQ(at(*source, 1, 1, 0), kRed);
    EXPECT_EQ(at(*source, 1, 0, 1), kRed);
    // On an empty canvas a transparent pixel stays transparent.
    Gif alone = screen(2, 1);
    Frame holes = solid(0, 0, 2, 1, 2);
    holes.indexes = {2, 0};
    holes.transparent = 0;
    alone.frames = {holes};
    auto single = sourceOf(alone);
    EXPECT_EQ(at(*single, 0, 0, 0), kGreen);
    EXPECT_EQ(at(*single, 0, 1, 0), kClear);
}

TEST(ImageSource, LocalColourTableOverridesTheGlobalOneForItsFrameOnly) {
    Gif gif = screen(2, 1);
    Frame local = solid(0, 0, 1, 1, 0);
    local.localTable = {{10, 20, 30}, {40, 50, 60}};
    gif.frames = {disposed(local, 1), solid(1, 0, 1, 1, 0)};
    auto source = sourceOf(gif);
    EXPECT_EQ(at(*source, 1, 0, 0), (Pixel{10, 20, 30, 255}));
    EXPECT_EQ(at(*source, 1, 1, 0), kRed);
    // An index past the table leaves the canvas as it was; no global table and no local one
    // draws nothing.
    Gif small = screen(1, 1);
    small.globalTable = {{1, 2, 3}, {4, 5, 6}};
    small.frames = {solid(0, 0, 1, 1, 7)};
    EXPECT_EQ(at(*sourceOf(small), 0, 0, 0), kClear);
    small.globalTable.clear();
    small.frames = {solid(0, 0, 1, 1, 0)};
    EXPECT_EQ(at(*sourceOf(small), 0, 0, 0), kClear);
}

TEST(ImageSource, InterlacedRowsLandWhereTheyBelong) {
    Gif gif = screen(2, 11);
    Frame f = solid(0, 0, 2, 11, 0);
    for (int y = 0; y < 11; ++y) f.indexes[static_cast<std::size_t>(y * 2)] = static_cast<std::uint8_t>(y % 4);
    f.interlaced = true;
    gif.frames = {f};
    auto source = sourceOf(gif);
    const auto image = CGImageSourceCreateImageAtIndex(*source, 0);
    ASSERT_TRUE(image);
    const Pixel colours[4] = {kRed, kBlue, kGreen, {255, 255, 255, 255}};
    for (int y = 0; y < 11; ++y) {
        EXPECT_EQ(at(*image, 0, y), colours[y % 4]) << y;
        EXPECT_EQ(at(*image, 1, y), kRed) << y;
    }
}

TEST(ImageSource, FrameRectanglesAreClippedToTheScreen) {
    Gif gif = screen(4, 4);
    gif.frames = {solid(3, 3, 5, 5, 1), solid(9, 9, 2, 2, 2)};
    auto source = sourceOf(gif);
    ASSERT_EQ(CGImageSourceGetCount(*source), 2u);
    const auto first = CGImageSourceCreateImageAtIndex(*source, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->width, 4);
    EXPECT_EQ(at(*first, 3, 3), kBlue);
    EXPECT_EQ(at(*first, 2, 2), kClear);
    EXPECT_EQ(at(*source, 1, 3, 3), kBlue);  // entirely outside: draws nothing
}

TEST(ImageSource, DelaysFollowTheControlExtension) {
    Gif gif = screen(1, 1);
    Frame zero = solid(0, 0, 1, 1, 0), one = zero, seven = zero, none = zero;
    zero.delay = 0;
    one.delay = 1;
    seven.delay = 7;
    none.control = false;
    gif.frames = {zero, one, seven, none};
    auto source = sourceOf(gif);
    auto delays = [&](std::size_t i) {
        const auto p = CGImageSourceCopyPropertiesAtIndex(*source, i);
        const Any gifDict = Any((*p).at(kCGImagePropertyGIFDictionary));
        return std::pair{gifDict[kCGImagePropertyGIFUnclampedDelayTime].doubleValue(),
                         gifDict[kCGImagePropertyGIFDelayTime].doubleValue()};
    };
    EXPECT_EQ(delays(0), (std::pair{0.0, 0.1}));
    EXPECT_EQ(delays(1), (std::pair{0.01, 0.1}));
    EXPECT_EQ(delays(2), (std::pair{0.07, 0.07}));
    const auto plain = CGImageSourceCopyPropertiesAtIndex(*source, 3);
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->contains(kCGImagePropertyGIFDictionary));
    EXPECT_EQ(Any(*plain)[kCGImagePropertyPixelWidth].integerValue(), 1);
    EXPECT_FALSE(CGImageSourceCopyPropertiesAtIndex(*source, 4));
    EXPECT_EQ(CGImageSourceGetType(*source), std::string(kUTTypeGIF));
    EXPECT_TRUE(UTTypeConformsTo(*CGImageSourceGetType(*source), kUTTypeGIF));
}

TEST(ImageSource, LoopCountComesFromTheNetscapeBlock) {
    Gif gif = screen(3, 2);
    gif.frames = {solid(0, 0, 1, 1, 0)};
    auto loopOf = [](const Gif& g) { return Any(CGImageSourceCopyProperties(*sourceOf(g)))[kCGImagePropertyGIFDictionary]; };
    EXPECT_TRUE(loopOf(gif)[kCGImagePropertyGIFLoopCount].isNull());
    EXPECT_EQ(loopOf(gif)[kCGImagePropertyGIFCanvasPixelWidth].integerValue(), 3);
    gif.loopCount = 0;
    EXPECT_EQ(loopOf(gif)[kCGImagePropertyGIFLoopCount], Any(0));
    gif.loopCount = 3;
    EXPECT_EQ(loopOf(gif)[kCGImagePropertyGIFLoopCount], Any(3));
}

TEST(ImageSource, OversizedScreensAndFramesAreRefused) {
    Gif wide = screen(16385, 1);
    EXPECT_FALSE(sourceOf(wide));
    Gif many = screen(10000, 10000);  // 100 M pixels
    EXPECT_FALSE(sourceOf(many));
    Gif edge = screen(16384, 1);
    EXPECT_TRUE(sourceOf(edge));
    // A frame beyond the limits ends the file there; the frames before it stand.
    Gif gif = screen(2, 2);
    Frame huge = solid(0, 0, 1, 1, 0);
    huge.width = 20000;
    gif.frames = {solid(0, 0, 2, 2, 1), solid(0, 0, 1, 1, 2)};
    auto bytes = testgif::write(gif, false);
    auto tail = testgif::write(Gif{.frames = {huge}}, false);
    bytes.insert(bytes.end(), tail.begin() + 19, tail.end());  // after its header and table
    auto source = CGImageSourceCreateWithData(Data(bytes));
    ASSERT_TRUE(source);
    EXPECT_EQ(CGImageSourceGetCount(*source), 2u);
    EXPECT_EQ(at(*source, 1, 0, 0), kGreen);
    EXPECT_EQ(CGImageSourceGetStatus(*source), CGImageSourceStatus::invalidData);
}

TEST(ImageSource, BrokenFilesServeTheFramesBeforeTheBreak) {
    Gif gif = screen(8, 8);
    for (int i = 0; i < 50; ++i) gif.frames.push_back(solid(0, 0, 8, 8, static_cast<std::uint8_t>(i % 4)));
    const auto whole = testgif::write(gif);
    // Cut inside frame 40's image data.
    Gif first40 = gif;
    first40.frames.resize(40);
    const auto prefix = testgif::write(first40, false);
    const std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(prefix.size() + 30));
    auto source = CGImageSourceCreateWithData(Data(cut));
    ASSERT_TRUE(source);
    EXPECT_EQ(CGImageSourceGetCount(*source), 40u);
    EXPECT_EQ(at(*source, 39, 7, 7), (Pixel{255, 255, 255, 255}));
    EXPECT_FALSE(CGImageSourceCreateImageAtIndex(*source, 40));
    // A byte that starts no block ends the file there.
    auto garbage = prefix;
    garbage.push_back(0x99);
    garbage.insert(garbage.end(), whole.begin() + static_cast<std::ptrdiff_t>(prefix.size()), whole.end());
    EXPECT_EQ(CGImageSourceGetCount(*CGImageSourceCreateWithData(Data(garbage))), 40u);
    // Image data whose LZW codes are damaged: rows before the damage stay, the file goes on.
    Gif two = screen(4, 4);
    two.frames = {solid(0, 0, 4, 4, 1), solid(0, 0, 1, 1, 2)};
    auto damaged = testgif::write(two);
    const std::size_t dataStart = 13 + 12 + 8 + 10 + 2;  // header, table, control, descriptor, code size, length
    for (std::size_t i = dataStart + 4; i < dataStart + 14; ++i) damaged[i] = 0xFF;
    auto hurt = CGImageSourceCreateWithData(Data(damaged));
    ASSERT_TRUE(hurt);
    EXPECT_EQ(CGImageSourceGetCount(*hurt), 2u);
    EXPECT_EQ(at(*hurt, 1, 0, 0), kGreen);
    // Nothing usable.
    EXPECT_FALSE(CGImageSourceCreateWithData(Data()));
    EXPECT_FALSE(CGImageSourceCreateWithData(Data::fromString("GIF89a\x01")));
    EXPECT_FALSE(CGImageSourceCreateWithData(Data::fromString("not an image at all")));
}

TEST(ImageSource, IncrementalSourceGrowsFrameByFrame) {
    Gif gif = screen(4, 4);
    gif.loopCount = 2;
    for (int i = 0; i < 6; ++i) gif.frames.push_back(disposed(solid(i % 4, 0, 1, 4, static_cast<std::uint8_t>(i % 3)), 1));
    const auto whole = testgif::write(gif);
    auto reference = sourceOf(gif);
    auto source = CGImageSourceCreateIncremental();
    EXPECT_EQ(CGImageSourceGetCount(*source), 0u);
    EXPECT_EQ(CGImageSourceGetStatus(*source), CGImageSourceStatus::readingHeader);
    std::size_t lastCount = 0;
    for (std::size_t n = 0; n <= whole.size(); n += 7) {
        CGImageSourceUpdateData(*source, Data(whole.data(), n), false);
        const std::size_t count = CGImageSourceGetCount(*source);
        EXPECT_GE(count, lastCount);
        if (count > lastCount) {
            EXPECT_EQ(CGImageSourceCreateImageAtIndex(*source, count - 1), CGImageSourceCreateImageAtIndex(*reference, count - 1));
        }
        lastCount = count;
    }
    CGImageSourceUpdateData(*source, Data(whole), true);
    EXPECT_EQ(CGImageSourceGetStatus(*source), CGImageSourceStatus::complete);
    EXPECT_EQ(CGImageSourceGetCount(*source), 6u);
    EXPECT_EQ(CGImageSourceCreateImageAtIndex(*source, 5), CGImageSourceCreateImageAtIndex(*reference, 5));
    // Different bytes start the source over.
    Gif other = screen(1, 1);
    other.frames = {solid(0, 0, 1, 1, 2)};
    CGImageSourceUpdateData(*source, Data(testgif::write(other)), true);
    EXPECT_EQ(CGImageSourceGetCount(*source), 1u);
    EXPECT_EQ(at(*source, 0, 0, 0), kGreen);
}

TEST(ImageSource, PngAndJpegGiveOneFrame) {
    Bitmap b = Bitmap::make(3, 2);
    b.pixel(2, 1)[0] = 200;
    b.pixel(2, 1)[3] = 255;
    auto source = CGImageSourceCreateWithData(*encodePNG(b));
    ASSERT_TRUE(source);
    EXPECT_EQ(CGImageSourceGetType(*source), std::string(kUTTypePNG));
    EXPECT_EQ(CGImageSourceGetCount(*source), 1u);
    EXPECT_EQ(*CGImageSourceCreateImageAtIndex(*source, 0), b);
    EXPECT_EQ(Any(*CGImageSourceCopyPropertiesAtIndex(*source, 0))[kCGImagePropertyPixelHeight].integerValue(), 2);
    auto jpeg = CGImageSourceCreateWithData(*encodeJPEG(b, 0.9));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(CGImageSourceGetType(*jpeg), std::string(kUTTypeJPEG));
    EXPECT_EQ(CGImageSourceGetCount(*jpeg), 1u);
    EXPECT_FALSE(CGImageSourceCreateImageAtIndex(*jpeg, 1));
}
