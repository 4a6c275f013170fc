// qvtool's ui group (the sample scene as a PNG) and the notice board's frames.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

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

TEST(QvtoolNotice, FramesAtInstantsNameTheRowAndTheSlide) {
    qvtest::TemporaryFolder folder("qv-notice");
    EXPECT_TRUE(qvtest::answers({"notice", "--rows", "A,B,C", "--at", "0,0.25,2.5,4.25", "-o", folder.folder},
                                "000.png t=0 s row 0 sliding\n001.png t=0.25 s row 0 sliding\n002.png t=2.5 s row 2\n"
                                "003.png t=4.25 s row 2 sliding\n"));
    EXPECT_TRUE(std::filesystem::exists(folder.folder + "/003.png"));
    EXPECT_TRUE(qvtest::answers({"notice", "--rows", "Only", "--at", "0,9", "-o", folder.folder},
                                "000.png t=0 s row 0\n001.png t=9 s row 0\n"));
    EXPECT_TRUE(qvtest::refuses({"notice", "--rows", "A,B", "--at", "2,1", "-o", folder.folder}, "must not go back"));
    EXPECT_TRUE(qvtest::refuses({"notice", "--rows", "A,B", "--at", "-1", "-o", folder.folder}, "--at"));
}
