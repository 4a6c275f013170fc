// qvtool's color and image groups.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <fstream>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

TEST(ColorCommand, ReadsHexTextsAndRefusesShortOnes) {
    EXPECT_TRUE(answers({"color", "hex", "0xff8000"}, "red 255\ngreen 128\nblue 0\nalpha 255\nhex #FF8000\n"));
    EXPECT_TRUE(answers({"color", "hex", "#3C9DF0", "--alpha", "0.5"},
                        "red 60\ngreen 157\nblue 240\nalpha 128\nhex #3C9DF07F\n"));
    const auto shortText = runTool({"color", "hex", "0x#FFF"});
    EXPECT_EQ(shortText.status, 1);
    EXPECT_TRUE(refuses({"color", "hex", "#FF8000", "--alpha", "x"}, "--alpha"));
}

TEST(ImageCommand, TypesByFirstByteAndCompressesToTheBudget) {
    qvtest::TemporaryFolder folder;
    const std::string gif = folder.folder + "/a.bin";
    std::ofstream(gif, std::ios::binary) << "GIF89a";
    EXPECT_TRUE(answers({"image", "type", gif}, "gif\n"));
    const std::string tiff = folder.folder + "/b.bin";
    std::ofstream(tiff, std::ios::binary) << "MM\x00\x2a";
    EXPECT_TRUE(answers({"image", "type", tiff}, "tiff\n"));

    auto bitmap = platform::Bitmap::make(800, 600);
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            auto* p = bitmap.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(x * 255 / 800);
            p[1] = static_cast<std::uint8_t>((x * y) % 251);
            p[2] = static_cast<std::uint8_t>(y * 255 / 600);
            p[3] = 255;
        }
    }
    const std::string png = folder.folder + "/in.png";
    const auto encoded = platform::encodePNG(bitmap);
    std::ofstream(png, std::ios::binary).write(reinterpret_cast<const char*>(encoded->bytes()),
                                               static_cast<std::streamsize>(encoded->count()));
    const std::string out = folder.folder + "/out.jpg";
    const auto r = runTool({"image", "compress", png, "-o", out, "--mode", "other:400:20000"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("target 400x300\nbudget 20000\n"), std::string::npos) << r.out;
    std::ifstream written(out, std::ios::binary | std::ios::ate);
    EXPECT_GT(written.tellg(), 0);
    EXPECT_LE(written.tellg(), 20000);

    EXPECT_TRUE(refuses({"image", "compress", png, "-o", out, "--mode", "tiny"}, "--mode"));
    EXPECT_EQ(runTool({"image", "compress", gif, "-o", out}).status, 1);
}
