// qvtool's ui group: the sample scene and the empty state as PNGs.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <cstdint>
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
