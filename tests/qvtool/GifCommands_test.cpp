// qvtool's gif group, on GIFs the test writes.
#include "ToolRunner.h"

#include "support/GifWriter.h"
#include "support/TemporaryFolder.h"

#include <filesystem>
#include <fstream>
#include <iterator>

using qvtest::answers;
using qvtest::refuses;
using qvtest::runTool;

namespace {

std::string writeGif(const std::string& path, const testgif::Gif& gif) {
    const auto bytes = testgif::write(gif);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Width and height from a PNG's IHDR chunk.
std::pair<int, int> pngSize(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 24 || bytes.substr(1, 3) != "PNG") return {0, 0};
    auto be32 = [&](std::size_t at) {
        int v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return {be32(16), be32(20)};
}

testgif::Gif threeFrames() {
    testgif::Gif gif;
    gif.width = 5;
    gif.height = 3;
    gif.loopCount = 0;
    gif.frames = {testgif::solid(0, 0, 5, 3, 0), testgif::solid(1, 1, 1, 1, 1), testgif::solid(0, 0, 1, 1, 1)};
    gif.frames[0].delay = 0;
    gif.frames[1].delay = 25;
    gif.frames[2].control = false;
    return gif;
}

}  // namespace

TEST(QvtoolGif, InfoListsCanvasLoopsAndDelays) {
    const qvtest::TemporaryFolder folder;
    const auto path = writeGif(folder.folder + "/a.gif", threeFrames());
    EXPECT_TRUE(answers({"gif", "info", path},
                        "type: com.compuserve.gif\ncanvas: 5 x 3\nloop count: 0 (forever)\nframes: 3\n"
                        "frame 0: delay 0.10 s (unclamped 0.00 s), store 0.067 s, builder 100 ms\n"
                        "frame 1: delay 0.25 s (unclamped 0.25 s), store 0.250 s, builder 250 ms\n"
                        "frame 2: no delay (no control extension), store 0.067 s, builder 100 ms\n"
                        "loop duration: 0.35 s (sum of the delays), store 0.383 s, builder 0.450 s\n"));
    auto once = threeFrames();
    once.loopCount.reset();
    const auto plain = writeGif(folder.folder + "/b.gif", once);
    EXPECT_NE(runTool({"gif", "info", plain}).out.find("loop count: none (plays once)\n"), std::string::npos);
    EXPECT_TRUE(refuses({"gif", "info", folder.folder + "/missing.gif"}, "cannot read", {}, 1));
    std::ofstream(folder.folder + "/text.gif") << "hello";
    EXPECT_TRUE(refuses({"gif", "info", folder.folder + "/text.gif"}, "no readable GIF", {}, 1));
}

TEST(QvtoolGif, FramesWritesOnePngPerFrameAndStripPutsThemSideBySide) {
    const qvtest::TemporaryFolder folder;
    const auto path = writeGif(folder.folder + "/a.gif", threeFrames());
    EXPECT_TRUE(answers({"gif", "frames", path, "-o", folder.folder + "/out"}, "3 of 3 frames written to " + folder.folder + "/out\n"));
    for (const char* name : {"000.png", "001.png", "002.png"}) {
        EXPECT_EQ(pngSize(folder.folder + "/out/" + name), (std::pair{5, 3})) << name;
    }
    EXPECT_TRUE(answers({"gif", "strip", path, "-o", folder.folder + "/strip.png"},
                        "3 frames in 3 x 1 cells of 5 x 3 written to " + folder.folder + "/strip.png\n"));
    EXPECT_EQ(pngSize(folder.folder + "/strip.png"), (std::pair{15, 3}));

    // Frames whose data never decodes: nothing written, status 1.
    auto bytes = testgif::write(threeFrames());
    const std::size_t firstData = 13 + 6 + 19 + 8 + 10 + 2;  // header, table, loop block, control, descriptor, sizes
    for (std::size_t i = firstData; i < bytes.size() - 1; ++i) bytes[i] = 0xFF;
    std::ofstream(folder.folder + "/bad.gif", std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(refuses({"gif", "frames", folder.folder + "/bad.gif", "-o", folder.folder + "/none"}, "no frame that decodes", {}, 1));
    EXPECT_TRUE(std::filesystem::is_empty(folder.folder + "/none"));
}

TEST(QvtoolGif, PlayPrintsFrameChangesLoopsTheFinishAndTheMostFramesDecoded) {
    const qvtest::TemporaryFolder folder;
    testgif::Gif gif;
    gif.width = 4;
    gif.height = 4;
    for (const int delay : {12, 12, 13}) {
        auto frame = testgif::solid(0, 0, 4, 4, static_cast<std::uint8_t>(gif.frames.size() % 2));
        frame.delay = delay;
        gif.frames.push_back(frame);
    }
    const auto path = writeGif(folder.folder + "/a.gif", gif);
    // 60 ticks a second: changes on ticks 8, 15, 23, 30 and 37, the finish on tick 38.
    EXPECT_TRUE(answers({"gif", "play", path, "--loops", "2"},
                        path + ": 3 frames, loop 0.370 s, 2 loops, buffer 50\n"
                               "0.133 s: frame 1\n0.250 s: frame 2\n0.250 s: loop 1 done\n"
                               "0.383 s: frame 0\n0.500 s: frame 1\n0.617 s: frame 2\n0.617 s: loop 2 done\n"
                               "0.633 s: finished\nmost frames decoded at once: 3 of 3\n"));

    // 300 frames with a buffer of 5: never more than the current frame and 5 ahead.
    testgif::Gif long_;
    for (int i = 0; i < 300; ++i) long_.frames.push_back(testgif::solid(0, 0, 1, 1, static_cast<std::uint8_t>(i % 2)));
    const auto longPath = writeGif(folder.folder + "/long.gif", long_);
    const auto played = runTool({"gif", "play", longPath, "--loops", "1", "--buffer", "5"});
    EXPECT_EQ(played.status, 0);
    EXPECT_NE(played.out.find("29.900 s: frame 299\n29.900 s: loop 1 done\n29.917 s: finished\n"
                              "most frames decoded at once: 6 of 300\n"),
              std::string::npos)
        << played.out;

    EXPECT_TRUE(refuses({"gif", "play", path, "--loops", "0"}, "--loops '0' is not from 1 to 1000"));
    EXPECT_TRUE(refuses({"gif", "play", path}, "--loops"));
    testgif::Gif still;
    still.frames = {testgif::solid(0, 0, 1, 1, 0)};
    EXPECT_TRUE(refuses({"gif", "play", writeGif(folder.folder + "/still.gif", still), "--loops", "1"}, "is not animated", {}, 1));
}
