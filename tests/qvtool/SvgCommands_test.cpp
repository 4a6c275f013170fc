// qvtool svg: render, info and path.
#include "ToolRunner.h"

#include "support/TemporaryFolder.h"

#include <QVPlatform/graphics/ImageCodec.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

namespace {

std::string write(const std::string& folder, const std::string& name, const std::string& text) {
    const std::string path = folder + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

TEST(QvtoolSvg, PathPrintsTheLexersCommands) {
    EXPECT_TRUE(answers({"svg", "path", "M0 0 L10 0 L10 10 Z"}, "M 0 0\nL 10 0\nL 10 10\nZ\n"));
    EXPECT_TRUE(answers({"svg", "path", "m.5.5l1e-3-2"}, "m 0.5 0.5\nl 0.001 -2\n"));
    EXPECT_TRUE(answers({"svg", "path", "10 20"}, ""));
}

TEST(QvtoolSvg, RenderWritesAPngAndInfoSummarises) {
    qvtest::TemporaryFolder folder("qv-svg");
    const auto in = write(folder.folder, "a.svg",
                          "<svg width='20' height='10'><g><rect x='2' y='2' width='4' height='4' fill='red'/>"
                          "<path d='M10 1 L18 8'/></g></svg>");
    const auto out = folder.folder + "/a.png";
    EXPECT_TRUE(answers({"svg", "render", in, "-o", out}, ""));
    std::ifstream png(out, std::ios::binary);
    char signature[4] = {};
    png.read(signature, 4);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    EXPECT_TRUE(answers({"svg", "render", in, "-o", out, "--size", "64x64", "--background", "white"}, ""));

    const auto info = runTool({"svg", "info", in});
    EXPECT_EQ(info.status, 0);
    EXPECT_TRUE(info.out.starts_with("elements: g 1 path 1 rect 1 svg 1\nbounding box: 2 1 16 7\nroot frame: 0 0 20 10\n"
                                     "parse time: "))
        << info.out;
}

TEST(QvtoolSvg, RefusesBadInputAndSaysWhyADocumentFails) {
    qvtest::TemporaryFolder folder("qv-svg");
    const auto truncated = write(folder.folder, "t.svg", "<svg><rect width='4' height='4'/>");
    const auto r = runTool({"svg", "render", truncated, "-o", folder.folder + "/t.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("is not a drawing it can read: line 1"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(folder.folder + "/t.png"));
    const auto ok = write(folder.folder, "ok.svg", "<svg width='4' height='4'/>");
    EXPECT_TRUE(refuses({"svg", "render", ok, "-o", "x.png", "--size", "0x5"}, "--size '0x5' is not WIDTHxHEIGHT"));
    EXPECT_TRUE(refuses({"svg", "render", ok, "-o", "x.png", "--background", "nosuch"}, "is not an SVG colour"));
    EXPECT_TRUE(refuses({"svg", "info", folder.folder + "/missing.svg"}, "is not a readable file"));
}

TEST(QvtoolSvg, ViewShowsTheFileBeforeTheDataAssetAndRefusesMissingNames) {
    qvtest::TemporaryFolder folder("qv-svg-view");
    const std::string svg = "<svg width='20' height='10'><rect width='10' height='10' fill='COLOR'/></svg>";
    auto coloured = [&](const std::string& colour) {
        std::string text = svg;
        return text.replace(text.find("COLOR"), 5, colour);
    };
    std::filesystem::create_directories(folder.folder + "/Assets.xcassets/mark.dataset");
    write(folder.folder + "/Assets.xcassets/mark.dataset", "mark.svg", coloured("blue"));
    write(folder.folder, "mark.svg", coloured("red"));
    const auto out = folder.folder + "/mark.png";
    EXPECT_TRUE(answers({"svg", "view", "mark", "--bundle", folder.folder, "-o", out}, ""));
    std::ifstream file(out, std::ios::binary);
    const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const auto bitmap = platform::decodePNG(png);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->width, 20);
    const auto* inside = bitmap->pixel(5, 5);
    EXPECT_EQ(inside[0], 255);  // red: the file, not the asset
    EXPECT_EQ(inside[2], 0);

    EXPECT_TRUE(refuses({"svg", "view", "absent", "--bundle", folder.folder, "-o", out}, "neither absent.svg"));
    EXPECT_TRUE(refuses({"svg", "view", "mark", "--bundle", folder.folder + "/none", "-o", out}, "is not a folder"));
}
