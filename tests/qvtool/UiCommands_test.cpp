// qvtool's ui group (the sample scene, the empty state and frames of an animation as PNGs)
// and the notice board's frames.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using qvtest::refuses;
using qvtest::runTool;

namespace {

// Width and height from a PNG's IHDR chunk (bytes 16...23, big-endian).
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::vector<unsigned char>& png) {
    const auto word = [&](std::size_t at) {
        return std::uint32_t(png[at]) << 24 | std::uint32_t(png[at + 1]) << 16 | std::uint32_t(png[at + 2]) << 8 | png[at + 3];
    };
    return png.size() < 24 ? std::pair<std::uint32_t, std::uint32_t>{0, 0} : std::pair{word(16), word(20)};
}

std::vector<unsigned char> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

TEST(QvtoolUi, SampleWritesAPngAtTheScreenProfilesPixelSize) {
    const qvtest::TemporaryFolder work;
    const auto r = runTool({"ui", "sample", "-o", "sample.png"}, {}, work.folder);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote sample.png (750 x 1334 pixels)\n");
    EXPECT_EQ(pngSize(readAll(work.folder + "/sample.png")), (std::pair<std::uint32_t, std::uint32_t>{750, 1334}));
    const auto big = runTool({"ui", "sample", "-o", "big.png"}, {}, work.folder, {"QV_SCREEN=414x896@3,status=44,bottom=34"});
    EXPECT_EQ(big.status, 0) << big.err;
    EXPECT_EQ(pngSize(readAll(work.folder + "/big.png")), (std::pair<std::uint32_t, std::uint32_t>{1242, 2688}));
    EXPECT_TRUE(refuses({"ui", "sample"}, "-o is required"));
    EXPECT_EQ(runTool({"ui", "sample", "-o", work.folder + "/no/such/folder/x.png"}).status, 1);
}

TEST(QvtoolUi, EmptyWritesTheEmptyStateAtTheScreenProfilesPixelSize) {
    const qvtest::TemporaryFolder work;
    const auto r = runTool({"ui", "empty", "-o", "empty.png"}, {}, work.folder);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote empty.png (750 x 1334 pixels)\n");
    EXPECT_EQ(pngSize(readAll(work.folder + "/empty.png")), (std::pair<std::uint32_t, std::uint32_t>{750, 1334}));
    EXPECT_TRUE(refuses({"ui", "empty"}, "-o is required"));
}

TEST(QvtoolUi, AnimateWritesAFramePerInstantShowingTheAnimationThen) {
    const qvtest::TemporaryFolder work;
    const auto r = runTool({"ui", "animate", "--at", "0,0.1,0.35", "-o", "frames"}, {}, work.folder);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "wrote frames/frame-0.png (t = 0 s)\n"
              "wrote frames/frame-1.png (t = 0.1 s)\n"
              "wrote frames/frame-2.png (t = 0.35 s)\n");
    const auto frame = [&](int i) {
        const auto bytes = readAll(work.folder + "/frames/frame-" + std::to_string(i) + ".png");
        return platform::decodePNG(bytes).value_or(platform::Bitmap{});
    };
    const auto pixel = [](const platform::Bitmap& b, int x, int y) {  // at scale 2: pixels are half points
        const std::uint8_t* p = b.pixel(x * 2, y * 2);
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    const auto first = frame(0), middle = frame(1), last = frame(2);
    ASSERT_EQ(first.width, 480);
    ASSERT_EQ(last.height, 480);
    const std::array<int, 4> white{255, 255, 255, 255}, panel{0x5F, 0x2A, 0xD1, 255};
    EXPECT_EQ(pixel(first, 120, 120), white);  // the panel has not faded in yet
    EXPECT_EQ(pixel(last, 50, 50), panel);     // in full, at its full size
    EXPECT_EQ(pixel(middle, 50, 50), white);   // still scaled down
    EXPECT_EQ(pixel(last, 96, 138), white);    // the check mark, drawn
    const auto underMark = pixel(middle, 96, 138);  // not drawn yet: the half-faded panel
    EXPECT_LT(underMark[1], 250);
    EXPECT_GT(underMark[1], panel[1]);

    EXPECT_TRUE(refuses({"ui", "animate", "--at", "0.2,0.1", "-o", work.folder}, "must not decrease"));
    EXPECT_TRUE(refuses({"ui", "animate", "--at", "-1", "-o", work.folder}, "0 to 3600 seconds"));
    EXPECT_TRUE(refuses({"ui", "animate", "--at", "0,,1", "-o", work.folder}, "--at"));
    EXPECT_TRUE(refuses({"ui", "animate"}, "-o is required"));
}

TEST(QvtoolNotice, FramesAtInstantsNameTheRowAndTheSlide) {
    qvtest::TemporaryFolder folder("qv-notice");
    EXPECT_TRUE(qvtest::answers({"notice", "--rows", "A,B,C", "--at", "0,0.25,2.5,4.25", "-o", folder.folder},
                                "000.png t=0 s row 0 sliding\n001.png t=0.25 s row 0 sliding\n002.png t=2.5 s row 2\n"
                                "003.png t=4.25 s row 2 sliding\n"));
    EXPECT_TRUE(std::filesystem::exists(folder.folder + "/003.png"));
    EXPECT_TRUE(qvtest::answers({"notice", "--rows", "Only", "--at", "0,9", "-o", folder.folder},
                                "000.png t=0 s row 0\n001.png t=9 s row 0\n"));
    EXPECT_TRUE(qvtest::refuses({"notice", "--rows", "A,B", "--at", "2,1", "-o", folder.folder}, "must not decrease"));
    EXPECT_TRUE(qvtest::refuses({"notice", "--rows", "A,B", "--at", "-1", "-o", folder.folder}, "0 to 3600 seconds"));
}
